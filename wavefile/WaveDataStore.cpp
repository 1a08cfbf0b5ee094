#include "WaveDataStore.h"

void CWaveDataStore::Write(const char*, unsigned*) {}

void CWaveDataStore::Read(char*, unsigned* length) {
    *length = 0;
}
