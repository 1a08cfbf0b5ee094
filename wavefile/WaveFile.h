#pragma once
#include <cstddef>
#include <memory>

// The part that reader and writer share: byte images of the four header pieces, laid out
// exactly as in the file (little-endian) and zero-filled when the object is built.
//   RIFF image   12 bytes  "RIFF", RIFF size, "WAVE"
//   fmt image    24 bytes  "fmt ", fmt size, the 16-byte PCM format
//   data header   8 bytes  "data", data size
//   sect header   8 bytes  "sect", entry count
class CWaveFile {
public:
    static constexpr std::size_t RiffHeaderSize = 12;
    static constexpr std::size_t FmtChunkSize = 24;
    static constexpr std::size_t DataHeaderSize = 8;
    static constexpr std::size_t SectHeaderSize = 8;

    CWaveFile();
    virtual ~CWaveFile();
    CWaveFile(const CWaveFile&) = delete;
    CWaveFile& operator=(const CWaveFile&) = delete;

protected:
    // Sample rate, bits per sample and channels as they stand in the fmt image.
    void FormatFromImage(unsigned* sampleRate, unsigned short* bitsPerSample, unsigned short* channels) const;

    std::unique_ptr<unsigned char[]> m_pRiffHeader;
    std::unique_ptr<unsigned char[]> m_pFmtChunk;
    std::unique_ptr<unsigned char[]> m_pDataHeader;
    std::unique_ptr<unsigned char[]> m_pSectHeader;
};
