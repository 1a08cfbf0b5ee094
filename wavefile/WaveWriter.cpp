#include "WaveWriter.h"

#include "FileLock.h"
#include "WaveBytes.h"
#include "WaveErrors.h"
#include "WaveHeader.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

using namespace wavebytes;

CWaveWriter::CWaveWriter(const char* fileName, unsigned sampleRate, unsigned short channels)
    : m_FileName(fileName) {
    m_HeaderSize = 44;
    m_DataBytes = 0;

    const std::array<unsigned char, waveheader::kSize> header = waveheader::Make(sampleRate, channels, 0);
    std::copy_n(header.begin(), RiffHeaderSize, m_pRiffHeader.get());
    std::copy_n(header.begin() + waveheader::kFmtAt, FmtChunkSize, m_pFmtChunk.get());
    std::copy_n(header.begin() + waveheader::kDataAt, DataHeaderSize, m_pDataHeader.get());
    PutTag(m_pSectHeader.get(), "sect");
    Put32(m_pSectHeader.get() + 4, 0);

    m_DataLimit = MaxDataBytes(BlockAlign());
    m_SizeUpdateBytes = std::max<std::uint32_t>(Get32(header.data() + waveheader::kByteRateAt), 1);

    TakeFile();
    if (!OpenAndWriteHeader()) {
        const int error = m_Errno.load();
        ReleaseFile();
        throw WaveErrors::FileOperation(error, m_FileName);
    }
}

void CWaveWriter::TakeFile() {
    // The file is opened (and created) on a descriptor of its own first: it gives the system's
    // reason when the file cannot be made, and it holds the lock that tells other processes (a
    // second instance, a repair at another program's start, another machine on the same network
    // share) that this recording is being written. The lock comes before the file is cut, so
    // that a recording another process is writing is never emptied.
    m_LockFd = ::open(m_FileName.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (m_LockFd < 0)
        throw WaveErrors::FileOperation(errno, m_FileName);
    if (filelock::TakeWriteLock(m_LockFd) == filelock::LockState::HeldElsewhere) {
        ReleaseFile();
        throw WaveErrors::FileOperation(EAGAIN, m_FileName);
    }
}

void CWaveWriter::ReleaseFile() {
    if (m_LockFd >= 0)
        ::close(m_LockFd);
    m_LockFd = -1;
}

void CWaveWriter::NoteFailure(int error) {
    int none = 0;
    // The first failure is the reason; what follows from it (a close after a full disk) is not.
    m_Errno.compare_exchange_strong(none, error != 0 ? error : EIO);
    m_Failed = true;
}

CWaveWriter::~CWaveWriter() {
    CWaveWriter::Close();
    ReleaseFile();
    while (m_pFirstEntry) {
        SectionEntry* next = m_pFirstEntry->pNext;
        delete m_pFirstEntry;
        m_pFirstEntry = next;
    }
}

bool CWaveWriter::OpenAndWriteHeader() {
    errno = 0;
    m_File.open(m_FileName, std::ios::binary | std::ios::out | std::ios::trunc);
    if (!m_File.is_open()) {
        NoteFailure(errno);
        return false;
    }
    m_File.write(reinterpret_cast<const char*>(m_pRiffHeader.get()), RiffHeaderSize);
    m_File.write(reinterpret_cast<const char*>(m_pFmtChunk.get()), FmtChunkSize);
    m_File.write(reinterpret_cast<const char*>(m_pDataHeader.get()), DataHeaderSize);
    // The header goes to the disk at once: a file cut off from here on is still a valid WAV file.
    m_File.flush();
    m_BytesAtSizeUpdate = 0;
    m_Full = false;
    // A header that cannot be written (a full disk, /dev/full) means the file cannot be made.
    if (!m_File) {
        NoteFailure(errno);
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
    return waveheader::MaxDataBytes(blockAlign);
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
    errno = 0;
    m_File.write(data, take);
    if (m_File && (m_DataBytes - m_BytesAtSizeUpdate >= m_SizeUpdateBytes || m_Full))
        KeepSizesCurrent();
    if (!m_File) {
        NoteFailure(errno);
        Salvage();
        // Only what is really in the file counts as taken (never less than nothing: bytes that
        // earlier calls left in the stream's buffer may be lost too).
        *length = m_DataBytes > before ? m_DataBytes - before : 0;
    }
}

void CWaveWriter::PutSizesInImages(unsigned dataBytes) {
    for (const waveheader::SizeField& field : waveheader::SizeFields(dataBytes)) {
        unsigned char* image = field.At < RiffHeaderSize
                                   ? m_pRiffHeader.get() + field.At
                                   : m_pDataHeader.get() + (field.At - waveheader::kDataAt);
        std::copy_n(field.Bytes, sizeof field.Bytes, image);
    }
}

void CWaveWriter::WriteSizes() {
    for (const waveheader::SizeField& field : waveheader::SizeFields(m_DataBytes)) {
        m_File.seekp(std::streamoff(field.At));
        m_File.write(reinterpret_cast<const char*>(field.Bytes), sizeof field.Bytes);
    }
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
    PutSizesInImages(0);
    // Every later Write would be lost without a file: say so (OpenAndWriteHeader notes why).
    OpenAndWriteHeader();
    return false;
}

bool CWaveWriter::Close() {
    if (!m_File.is_open()) {
        ReleaseFile();
        return !m_Failed;
    }
    m_File.seekp(0);
    // The images take the final sizes, and the whole header is written again.
    PutSizesInImages(m_DataBytes);
    m_File.write(reinterpret_cast<const char*>(m_pRiffHeader.get()), RiffHeaderSize);
    m_File.write(reinterpret_cast<const char*>(m_pFmtChunk.get()), FmtChunkSize);
    m_File.write(reinterpret_cast<const char*>(m_pDataHeader.get()), DataHeaderSize);
    m_File.seekp(std::streamoff(Get32(m_pRiffHeader.get() + 4)) + 8);
    WriteSectionList();
    errno = 0;
    m_File.close();
    if (m_File.fail()) {
        NoteFailure(errno);
        // The samples that reached the file stay playable, under a header that claims only them.
        Salvage();
        MakeRoomForSections();
        m_File.close();
    }
    // The recording is finished (or as finished as it can be): others may repair or replace it.
    ReleaseFile();
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

std::string CWaveWriter::FailureReason() const {
    return WaveErrors::ReasonText(m_Errno.load());
}
