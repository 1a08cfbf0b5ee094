#include "WaveWriter.h"

#include "WaveBytes.h"
#include "WaveErrors.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
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
    // A header that cannot be written (a full disk, /dev/full) means the file cannot be made.
    if (!m_File) {
        m_File.close();
        return false;
    }
    return true;
}

unsigned short CWaveWriter::BlockAlign() const {
    return Get16(m_pFmtChunk.get() + 20);
}

unsigned CWaveWriter::FrameBytes() const {
    return std::max<unsigned>(BlockAlign(), 2);
}

unsigned CWaveWriter::MaxDataBytes(unsigned short blockAlign) {
    const unsigned frame = std::max<unsigned>(blockAlign, 2);
    // The "sect" chunk starts at 44 + D; keeping that offset within 32 bits keeps the RIFF size
    // (36 + D) and every position a reader reports within 32 bits as well.
    return (kMaxOffset - 44) / frame * frame;
}

void CWaveWriter::SetDataLimit(unsigned bytes) {
    m_DataLimit = std::min(bytes / FrameBytes() * FrameBytes(), MaxDataBytes(BlockAlign()));
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
    if (m_Failed) {
        *length = 0;
        return;
    }
    if (!m_File.is_open())
        return;
    unsigned take = *length;
    const unsigned room = m_DataLimit > m_DataBytes ? m_DataLimit - m_DataBytes : 0;
    if (take > room) {
        // Refuse what would not fit: the file keeps valid sizes and the caller learns of it.
        take = room / FrameBytes() * FrameBytes();
        *length = take;
        m_Full = true;
    }
    const unsigned before = m_DataBytes;
    m_DataBytes += take;
    m_File.write(data, take);
    if (m_File && (m_DataBytes - m_BytesAtSizeUpdate >= m_SizeUpdateBytes || m_Full))
        KeepSizesCurrent();
    if (!m_File) {
        Salvage();
        // Only what is really in the file counts as taken (never less than nothing: bytes that
        // earlier calls left in the stream's buffer may be lost too).
        *length = m_DataBytes > before ? m_DataBytes - before : 0;
    }
}

void CWaveWriter::WriteSizes() {
    unsigned char size[4];
    m_File.seekp(4);
    Put32(size, m_HeaderSize - 8 + m_DataBytes);
    m_File.write(reinterpret_cast<const char*>(size), 4);
    m_File.seekp(40);
    Put32(size, m_DataBytes);
    m_File.write(reinterpret_cast<const char*>(size), 4);
}

void CWaveWriter::KeepSizesCurrent() {
    const std::streampos end = m_File.tellp();
    WriteSizes();
    m_File.seekp(end);
    // Hand everything to the system now, so that a crash of the program loses at most the last
    // second. (No fsync: it could stall the capture worker for longer than its buffers last.)
    m_File.flush();
    m_BytesAtSizeUpdate = m_DataBytes;
}

void CWaveWriter::Salvage() {
    m_Failed = true;
    // What the stream still buffers may or may not reach the file; the file's own size says which
    // samples did. Closing tries once more and lets go of the rest.
    m_File.clear();
    m_File.close();
    std::error_code ec;
    const std::uint64_t size = std::filesystem::file_size(m_FileName, ec);
    if (ec || size < m_HeaderSize) {
        m_DataBytes = 0;
        return;
    }
    const std::uint64_t there = std::min<std::uint64_t>(m_DataBytes, size - m_HeaderSize);
    m_DataBytes = unsigned(there / FrameBytes() * FrameBytes());
    // Cutting needs no room on the disk: a partial frame, or a partial "sect" chunk, goes.
    std::filesystem::resize_file(m_FileName, m_HeaderSize + m_DataBytes, ec);
    // Overwriting the sizes needs none either. The stream stays open behind the samples, so that
    // Close can still try to add the section list.
    m_File.open(m_FileName, std::ios::binary | std::ios::in | std::ios::out);
    if (!m_File.is_open())
        return;
    WriteSizes();
    m_File.seekp(std::streamoff(m_HeaderSize) + m_DataBytes);
    m_File.flush();
    m_BytesAtSizeUpdate = m_DataBytes;
}

void CWaveWriter::GetFormat(unsigned* sampleRate, unsigned short* bitsPerSample, unsigned short* channels) {
    FormatFromImage(sampleRate, bitsPerSample, channels);
}

bool CWaveWriter::Seek(std::int64_t offset, bool absolute) {
    if (offset != 0 || !absolute || !m_File.is_open() || m_Failed)
        return false;
    m_DataBytes = 0;
    m_File.close();
    Put32(m_pRiffHeader.get() + 4, m_HeaderSize - 8);
    Put32(m_pDataHeader.get() + 4, 0);
    // Every later Write would be lost without a file: say so.
    if (!OpenAndWriteHeader())
        m_Failed = true;
    return false;
}

bool CWaveWriter::Close() {
    if (!m_File.is_open())
        return !m_Failed;
    m_File.seekp(0);
    Put32(m_pRiffHeader.get() + 4, Get32(m_pRiffHeader.get() + 4) + m_DataBytes);
    Put32(m_pDataHeader.get() + 4, Get32(m_pDataHeader.get() + 4) + m_DataBytes);
    m_File.write(reinterpret_cast<const char*>(m_pRiffHeader.get()), RiffHeaderSize);
    m_File.write(reinterpret_cast<const char*>(m_pFmtChunk.get()), FmtChunkSize);
    m_File.write(reinterpret_cast<const char*>(m_pDataHeader.get()), DataHeaderSize);
    m_File.seekp(std::streamoff(Get32(m_pRiffHeader.get() + 4)) + 8);
    WriteSectionList();
    m_File.close();
    if (m_File.fail()) {
        // The samples that reached the file stay playable, under a header that claims only them.
        Salvage();
        MakeRoomForSections();
        m_File.close();
    }
    return !m_Failed;
}

void CWaveWriter::WriteSectionList() {
    WriteSectHeader();
    for (const SectionEntry* entry = m_pFirstEntry; entry; entry = entry->pNext) {
        unsigned char seconds[4];
        Put32(seconds, entry->Seconds);
        m_File.write(reinterpret_cast<const char*>(seconds), 4);
    }
}

void CWaveWriter::MakeRoomForSections() {
    if (!m_File.is_open())
        return;
    // The list did not fit behind the samples (a full disk, a file-size limit): it takes the place
    // of the last samples instead, in bytes the file already holds, so that no mark is lost.
    const std::uint64_t list = SectHeaderSize + 4ull * Get32(m_pSectHeader.get() + 4);
    const std::uint64_t trim = (list + FrameBytes() - 1) / FrameBytes() * FrameBytes();
    if (m_DataBytes < trim)
        return;
    m_DataBytes -= static_cast<unsigned>(trim);
    m_File.clear();
    m_File.seekp(std::streamoff(m_HeaderSize) + m_DataBytes);
    WriteSectionList();
    WriteSizes();
    m_File.flush();
    if (!m_File)
        return;
    std::error_code ec;
    std::filesystem::resize_file(m_FileName, m_HeaderSize + m_DataBytes + list, ec);
}
