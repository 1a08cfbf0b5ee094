#include "WaveFile.h"

#include "WaveBytes.h"

CWaveFile::CWaveFile()
    : m_pRiffHeader(std::make_unique<unsigned char[]>(RiffHeaderSize)),
      m_pFmtChunk(std::make_unique<unsigned char[]>(FmtChunkSize)),
      m_pDataHeader(std::make_unique<unsigned char[]>(DataHeaderSize)),
      m_pSectHeader(std::make_unique<unsigned char[]>(SectHeaderSize)) {}

CWaveFile::~CWaveFile() = default;

void CWaveFile::FormatFromImage(unsigned* sampleRate, unsigned short* bitsPerSample,
                                unsigned short* channels) const {
    // The fmt image starts at file offset 12: channels at 22, rate at 24, bits at 34.
    *channels = wavebytes::Get16(m_pFmtChunk.get() + 10);
    *sampleRate = wavebytes::Get32(m_pFmtChunk.get() + 12);
    *bitsPerSample = wavebytes::Get16(m_pFmtChunk.get() + 22);
}
