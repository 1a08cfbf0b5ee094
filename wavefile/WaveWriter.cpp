#include "WaveWriter.h"

#include "WaveBytes.h"
#include "WaveErrors.h"

#include <algorithm>
#include <cstdint>
#include <limits>

using namespace wavebytes;

namespace {
constexpr std::uint32_t kMaxOffset = std::numeric_limits<std::uint32_t>::max();
}

CWaveWriter::CWaveWriter(const char* fileName, unsigned sampleRate, unsigned short channels)
    : m_FileName(fileName) {
    m_HeaderSize = 44;
    m_DataBytes = 0;

    PutTag(m_pRiffHeader.get(), "RIFF");
    Put32(m_pRiffHeader.get() + 4, m_HeaderSize - 8);
    PutTag(m_pRiffHeader.get() + 8, "WAVE");

    const auto blockAlign = static_cast<std::uint16_t>(channels * 2);
    unsigned char* fmt = m_pFmtChunk.get();
    PutTag(fmt, "fmt ");
    Put32(fmt + 4, 16);
    Put16(fmt + 8, 1);
    Put16(fmt + 10, channels);
    Put32(fmt + 12, sampleRate);
    Put32(fmt + 16, std::uint32_t(blockAlign) * sampleRate);
    Put16(fmt + 20, blockAlign);
    Put16(fmt + 22, 16);

    PutTag(m_pDataHeader.get(), "data");
    Put32(m_pDataHeader.get() + 4, 0);
    PutTag(m_pSectHeader.get(), "sect");
    Put32(m_pSectHeader.get() + 4, 0);

    m_DataLimit = MaxDataBytes(blockAlign);
    m_SizeUpdateBytes = std::max<std::uint32_t>(Get32(fmt + 16), 1);

    if (!OpenAndWriteHeader())
        throw WaveErrors::FileOperation();
}

CWaveWriter::~CWaveWriter() {
    CWaveWriter::Close();
    while (m_pFirstEntry) {
        SectionEntry* next = m_pFirstEntry->pNext;
        delete m_pFirstEntry;
        m_pFirstEntry = next;
    }
}

bool CWaveWriter::OpenAndWriteHeader() {
    m_File.open(m_FileName, std::ios::binary | std::ios::out | std::ios::trunc);
    if (!m_File.is_open())
        return false;
    m_File.write(reinterpret_cast<const char*>(m_pRiffHeader.get()), RiffHeaderSize);
    m_File.write(reinterpret_cast<const char*>(m_pFmtChunk.get()), FmtChunkSize);
    m_File.write(reinterpret_cast<const char*>(m_pDataHeader.get()), DataHeaderSize);
    // The header goes to the disk at once: a file cut off from here on is still a valid WAV file.
    m_File.flush();
    m_BytesAtSizeUpdate = 0;
    m_Full = false;
    return true;
}

unsigned short CWaveWriter::BlockAlign() const {
    return Get16(m_pFmtChunk.get() + 20);
}

unsigned CWaveWriter::MaxDataBytes(unsigned short blockAlign) {
    const unsigned frame = std::max<unsigned>(blockAlign, 2);
    // The "sect" chunk starts at 44 + D; keeping that offset within 32 bits keeps the RIFF size
    // (36 + D) and every position a reader reports within 32 bits as well.
    return (kMaxOffset - 44) / frame * frame;
}

void CWaveWriter::SetDataLimit(unsigned bytes) {
    const unsigned frame = std::max<unsigned>(BlockAlign(), 2);
    m_DataLimit = std::min(bytes / frame * frame, MaxDataBytes(BlockAlign()));
}

SectionEntry* CWaveWriter::AddSection(unsigned seconds) {
    auto* entry = new SectionEntry{seconds, nullptr};
    if (m_pLastEntry)
        m_pLastEntry->pNext = entry;
    else
        m_pFirstEntry = entry;
    m_pLastEntry = entry;
    Put32(m_pSectHeader.get() + 4, Get32(m_pSectHeader.get() + 4) + 1);
    return entry;
}

void CWaveWriter::WriteSectHeader() {
    m_File.write(reinterpret_cast<const char*>(m_pSectHeader.get()), SectHeaderSize);
}

void CWaveWriter::Write(const char* data, unsigned* length) {
    if (!m_File.is_open())
        return;
    unsigned take = *length;
    const unsigned room = m_DataLimit > m_DataBytes ? m_DataLimit - m_DataBytes : 0;
    if (take > room) {
        // Refuse what would not fit: the file keeps valid sizes and the caller learns of it.
        const unsigned frame = std::max<unsigned>(BlockAlign(), 2);
        take = room / frame * frame;
        *length = take;
        m_Full = true;
    }
    m_DataBytes += take;
    m_File.write(data, take);
    if (m_DataBytes - m_BytesAtSizeUpdate >= m_SizeUpdateBytes || m_Full)
        KeepSizesCurrent();
}

void CWaveWriter::KeepSizesCurrent() {
    unsigned char size[4];
    const std::streampos end = m_File.tellp();
    m_File.seekp(4);
    Put32(size, Get32(m_pRiffHeader.get() + 4) + m_DataBytes);
    m_File.write(reinterpret_cast<const char*>(size), 4);
    m_File.seekp(40);
    Put32(size, Get32(m_pDataHeader.get() + 4) + m_DataBytes);
    m_File.write(reinterpret_cast<const char*>(size), 4);
    m_File.seekp(end);
    // Hand everything to the system now, so that a crash of the program loses at most the last
    // second. (No fsync: it could stall the capture worker for longer than its buffers last.)
    m_File.flush();
    m_BytesAtSizeUpdate = m_DataBytes;
}

void CWaveWriter::GetFormat(unsigned* sampleRate, unsigned short* bitsPerSample, unsigned short* channels) {
    FormatFromImage(sampleRate, bitsPerSample, channels);
}

bool CWaveWriter::Seek(std::int64_t offset, bool absolute) {
    if (offset != 0 || !absolute || !m_File.is_open())
        return false;
    m_DataBytes = 0;
    m_File.close();
    Put32(m_pRiffHeader.get() + 4, m_HeaderSize - 8);
    Put32(m_pDataHeader.get() + 4, 0);
    OpenAndWriteHeader();
    return false;
}

void CWaveWriter::Close() {
    if (!m_File.is_open())
        return;
    m_File.seekp(0);
    Put32(m_pRiffHeader.get() + 4, Get32(m_pRiffHeader.get() + 4) + m_DataBytes);
    Put32(m_pDataHeader.get() + 4, Get32(m_pDataHeader.get() + 4) + m_DataBytes);
    m_File.write(reinterpret_cast<const char*>(m_pRiffHeader.get()), RiffHeaderSize);
    m_File.write(reinterpret_cast<const char*>(m_pFmtChunk.get()), FmtChunkSize);
    m_File.write(reinterpret_cast<const char*>(m_pDataHeader.get()), DataHeaderSize);
    m_File.seekp(std::streamoff(Get32(m_pRiffHeader.get() + 4)) + 8);
    WriteSectHeader();
    for (const SectionEntry* entry = m_pFirstEntry; entry; entry = entry->pNext) {
        unsigned char seconds[4];
        Put32(seconds, entry->Seconds);
        m_File.write(reinterpret_cast<const char*>(seconds), 4);
    }
    m_File.close();
}
