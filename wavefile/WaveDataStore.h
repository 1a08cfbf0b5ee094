#pragma once
#include <cstdint>

// The side of a wave file that the audio engine sees. The engine borrows a store through
// this interface and moves sample bytes with Write (capture) or Read (playback) on its fill
// worker; it never frees the store. Seek/Tell/GetLength work in bytes, in 64 bits: at 48 kHz
// stereo 16-bit an int runs out after 3.1 hours of sound.
//
// Stores are always destroyed through their CWaveFile side, so this interface has no
// virtual destructor; the protected one keeps anybody from deleting through it.
class CWaveDataStore {
public:
    // Accepts *length sample bytes. The default store ignores them.
    virtual void Write(const char* data, unsigned* length);
    // Delivers up to *length sample bytes into buffer and sets *length to the number delivered
    // (0 at the end of the samples). The default store delivers nothing.
    virtual void Read(char* buffer, unsigned* length);
    virtual void GetFormat(unsigned* sampleRate, unsigned short* bitsPerSample, unsigned short* channels) = 0;
    virtual bool Seek(std::int64_t offset, bool absolute) = 0;
    virtual std::uint64_t Tell() = 0;
    virtual std::uint64_t GetLength() = 0;

protected:
    CWaveDataStore() = default;
    CWaveDataStore(const CWaveDataStore&) = default;
    CWaveDataStore& operator=(const CWaveDataStore&) = default;
    ~CWaveDataStore() = default;
};
