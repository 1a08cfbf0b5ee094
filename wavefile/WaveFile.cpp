#include "WaveFile.h"

#include "WaveHeader.h"

CWaveFile::CWaveFile()
    : m_pRiffHeader(std::make_unique<unsigned char[]>(RiffHeaderSize)),
      m_pFmtChunk(std::make_unique<unsigned char[]>(FmtChunkSize)),
      m_pDataHeader(std::make_unique<unsigned char[]>(DataHeaderSize)),
      m_pSectHeader(std::make_unique<unsigned char[]>(SectHeaderSize)) {}

CWaveFile::~CWaveFile() = default;

void CWaveFile::FormatFromImage(unsigned* sampleRate, unsigned short* bitsPerSample,
                                unsigned short* channels) const {
    waveheader::FormatOfFmtChunk(m_pFmtChunk.get(), sampleRate, bitsPerSample, channels);
}
