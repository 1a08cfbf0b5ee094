#include "WaveReader.h"

#include "FileName.h"
#include "PcmFormat.h"
#include "WaveBytes.h"
#include "WaveErrors.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace wavebytes;

namespace {
constexpr std::uint64_t kMaxOffset = std::numeric_limits<std::uint32_t>::max();

// The one format tag the program plays.
constexpr std::uint16_t kPcm = 1;
// WAVE_FORMAT_EXTENSIBLE, and the bytes that follow the tag in the GUID of every sub-format
// that stands for a plain format tag.
constexpr std::uint16_t kExtensible = 0xFFFE;
constexpr unsigned char kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                         0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Four printable ASCII characters, as every chunk id is ("fmt ", "LIST", "data").
bool IsChunkId(const unsigned char* id) {
    return std::all_of(id, id + 4, [](unsigned char c) { return c >= 0x20 && c <= 0x7E; });
}
} // namespace

CWaveReader::CWaveReader() : CWaveReader(g_FileName) {}

CWaveReader::CWaveReader(const std::string& fileName) : m_FileName(fileName) {
    // Only regular files are opened: a FIFO would block the window on open, a device could
    // deliver chunks for ever to the walk that looks for "data". Anything else reads as empty.
    // The first look, without waiting and on a descriptor, keeps the system's reason.
    int refused = 0;
    const int fd = ::open(m_FileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    if (fd < 0)
        refused = errno;
    else if (::fstat(fd, &st) != 0)
        refused = errno;
    else if (S_ISDIR(st.st_mode))
        refused = EISDIR;
    if (fd >= 0)
        ::close(fd);
    if (refused == 0 && S_ISREG(st.st_mode)) {
        m_File.open(m_FileName, std::ios::binary | std::ios::in);
        m_FileSize = static_cast<std::uint64_t>(st.st_size);
    }
    // The streams' locale is left alone: binary reads do not depend on it, and switching the
    // program-wide locale here would race with the engines' threads.

    auto* riff = m_pRiffHeader.get();
    m_File.read(reinterpret_cast<char*>(riff), RiffHeaderSize);
    // Fewer than 12 bytes count as none: the file is not a RIFF file, whatever its first bytes.
    if (m_File.gcount() < std::streamsize(RiffHeaderSize))
        std::fill_n(riff, RiffHeaderSize, 0);
    if (!TagIs(riff, "RIFF"))
        throw WaveErrors::RiffDoesntMatch(refused, m_FileName);
    if (!TagIs(riff + 8, "WAVE"))
        throw WaveErrors::WaveDoesntMatch(0, m_FileName);

    const std::uint64_t samplesAt = FindChunks();

    // Checked after the chunks are found, so that a file that is no WAV file is still told as such.
    // Only integer PCM plays: float samples would be taken as integers, µ-law as 8-bit PCM, ADPCM
    // as 4-bit PCM, all heard as noise.
    WaveErrors::FormatDoesntMatch format(0, m_FileName);
    format.FormatTag = m_FormatTag;
    FormatFromImage(&format.SampleRate, &format.BitsPerSample, &format.Channels);
    if (m_FormatTag != kPcm || !IsPlayablePcm(format.SampleRate, format.BitsPerSample, format.Channels))
        throw format;

    try {
        if (!ReadSections(std::streamoff(samplesAt))) {
            m_SectionCount = 0;
            m_File.clear();
            m_File.seekg(std::streamoff(samplesAt));
        }
    } catch (...) {
        FreeSections();
        throw;
    }

    m_DataStart = samplesAt;
    // A data size larger than the file (a copy cut short, a damaged header) is held to the bytes
    // that are there, so that the length, the end of playback and Tell agree with the file.
    auto* data = m_pDataHeader.get();
    std::uint64_t size = Get32(data + 4);
    const std::uint64_t present = m_FileSize > m_DataStart ? m_FileSize - m_DataStart : 0;
    size = std::min(size, present);
    Put32(data + 4, std::uint32_t(size));
    m_DataLeft = size;
}

bool CWaveReader::ReadAt(std::uint64_t at, unsigned char* bytes, std::size_t count) {
    m_File.clear();
    m_File.seekg(std::streamoff(at));
    m_File.read(reinterpret_cast<char*>(bytes), std::streamsize(count));
    return std::size_t(m_File.gcount()) == count;
}

std::uint64_t CWaveReader::FindChunks() {
    // Chunk by chunk, each skipped by its size and pad byte, from offset 12 to the end of the file
    // (the RIFF size is not trusted): "fmt " and "data" are taken wherever they stand, and
    // nothing inside another chunk (a LIST text ending in "d", a comment saying "metadata") is
    // ever taken for a chunk header.
    auto* fmt = m_pFmtChunk.get();
    auto* data = m_pDataHeader.get();
    bool haveFmt = false, haveData = false;
    std::uint64_t samplesAt = 0;
    unsigned char header[8];
    std::uint64_t at = 12;
    while (!(haveFmt && haveData) && ReadAt(at, header, sizeof header)) {
        if (!IsChunkId(header)) {
            // Not a chunk header: a size that was off by a few bytes (a fmt chunk that says 16
            // but holds 18). A "data" header close by is still taken; anything else ends the walk.
            unsigned char near[kResyncWindow + 8];
            const std::size_t got =
                ReadAt(at, near, sizeof near) ? sizeof near : std::size_t(m_File.gcount());
            const unsigned char* found = nullptr;
            for (std::size_t i = 1; !found && i + 8 <= got; ++i)
                if (TagIs(near + i, "data"))
                    found = near + i;
            if (!found)
                break;
            at += std::uint64_t(found - near);
            continue;
        }
        const std::uint64_t size = Get32(header + 4);
        if (TagIs(header, "fmt ") && !haveFmt) {
            // The 16 bytes of the PCM format are what the program uses; a shorter chunk leaves zeros.
            std::copy_n(header, 8, fmt);
            std::fill_n(fmt + 8, FmtChunkSize - 8, 0);
            ReadAt(at + 8, fmt + 8, std::size_t(std::min<std::uint64_t>(size, FmtChunkSize - 8)));
            m_FormatTag = Get16(fmt + 8);
            if (m_FormatTag == kExtensible && size >= 40) {
                // The real format is the sub-format, a GUID whose first two bytes are the tag.
                unsigned char sub[16];
                if (ReadAt(at + 8 + 24, sub, sizeof sub) && std::equal(sub + 2, sub + 16, kGuidTail))
                    m_FormatTag = Get16(sub);
            }
            haveFmt = true;
        } else if (TagIs(header, "data") && !haveData) {
            std::copy_n(header, 8, data);
            samplesAt = at + 8;
            haveData = true;
        }
        std::uint64_t next = at + 8 + size;
        if (size % 2 != 0) {
            // The pad byte after an odd-sized chunk is 0; some programs leave it out, and then the
            // next chunk's id starts there.
            unsigned char pad = 0;
            if (!ReadAt(next, &pad, 1) || pad == 0)
                next += 1;
        }
        at = next;
    }
    m_File.clear();
    if (!haveFmt)
        throw WaveErrors::FmtDoesntMatch(0, m_FileName);
    if (!haveData)
        throw WaveErrors::DataDoesntMatch(0, m_FileName);
    return samplesAt;
}

CWaveReader::~CWaveReader() {
    CWaveReader::Close();
    FreeSections();
}

bool CWaveReader::ReadSections(std::streamoff samplesAt) {
    // Offsets are 64-bit here: a RIFF size near 4 GiB must not wrap to the start of the file.
    const std::uint64_t sectAt = std::uint64_t(Get32(m_pRiffHeader.get() + 4)) + 8;
    m_File.seekg(0);
    m_File.seekg(std::streamoff(sectAt));
    auto* sect = m_pSectHeader.get();
    m_File.read(reinterpret_cast<char*>(sect), SectHeaderSize);
    if (!m_File)
        return false;
    const std::uint32_t count = TagIs(sect, "sect") ? Get32(sect + 4) : 0;

    // A damaged or hostile count is held to the entries the file really holds (and to what
    // 16-bit section numbers can tell apart), so it can never allocate or loop beyond the file.
    const std::uint64_t entriesAt = sectAt + 8;
    const std::uint64_t held = m_FileSize > entriesAt ? (m_FileSize - entriesAt) / 4 : 0;
    m_SectionCount = std::uint32_t(std::min<std::uint64_t>({count, held, MaxSectionEntries}));

    std::vector<unsigned char> entries(std::size_t(m_SectionCount) * 4);
    m_File.seekg(std::streamoff(entriesAt));
    m_File.read(reinterpret_cast<char*>(entries.data()), std::streamsize(entries.size()));
    const std::uint32_t got = std::uint32_t(m_File.gcount() / 4);
    m_SectionCount = std::min(m_SectionCount, got);

    m_pFirstSection = new SectionNode{0, nullptr, nullptr, 1};
    m_pCurSection = m_pFirstSection;
    for (std::uint32_t i = 0; i < m_SectionCount; ++i) {
        // Starts are sums of lengths; a sum past 32 bits stays at the largest second instead of
        // wrapping to an early position (every seek holds it to the end of the samples).
        const std::uint64_t start = std::uint64_t(m_pCurSection->Seconds) + Get32(entries.data() + 4 * i);
        auto* node = new SectionNode{std::uint32_t(std::min(start, kMaxOffset)), nullptr, m_pCurSection,
                                     std::uint16_t(i + 2)};
        m_pCurSection->pNext = node;
        m_pCurSection = node;
    }
    m_pCurSection = m_pFirstSection;

    m_File.clear();
    m_File.seekg(samplesAt);
    return true;
}

void CWaveReader::FreeSections() {
    while (m_pFirstSection) {
        SectionNode* next = m_pFirstSection->pNext;
        delete m_pFirstSection;
        m_pFirstSection = next;
    }
    m_pCurSection = nullptr;
}

std::uint32_t CWaveReader::DataSize() const {
    return Get32(m_pDataHeader.get() + 4);
}

void CWaveReader::Close() {
    std::lock_guard lock(m_Lock);
    if (m_File.is_open())
        m_File.close();
}

void CWaveReader::Read(char* buffer, unsigned* length) {
    std::lock_guard lock(m_Lock);
    if (!m_File.is_open() || m_DataLeft == 0) {
        *length = 0;
        return;
    }
    const auto wanted = unsigned(std::min<std::uint64_t>(*length, m_DataLeft));
    m_File.read(buffer, wanted);
    const auto got = unsigned(m_File.gcount());
    if (got < wanted) {
        // The file ended early (it shrank, or the disk failed): this is the end of the samples,
        // and the stream stays usable so that Tell keeps telling the truth.
        m_File.clear();
        m_DataLeft = 0;
    } else {
        m_DataLeft -= got;
    }
    *length = got;
}

void CWaveReader::GetFormat(unsigned* sampleRate, unsigned short* bitsPerSample, unsigned short* channels) {
    FormatFromImage(sampleRate, bitsPerSample, channels);
}

bool CWaveReader::Seek(std::int64_t offset, bool absolute) {
    std::lock_guard lock(m_Lock);
    if (!m_File.is_open())
        return false;
    m_File.clear();
    const std::int64_t size = DataSize();
    const auto left = std::int64_t(m_DataLeft);
    if (absolute) {
        const std::int64_t target = offset >= 0 && offset < size ? offset : size;
        m_File.seekg(std::streamoff(m_DataStart) + target);
        m_DataLeft = std::uint64_t(size - target);
        return true;
    }
    if (left > size)
        return true;
    // Held to the samples: back at most to the first one, forward at most to the end.
    const std::int64_t move = std::clamp(offset, -(size - left), left);
    m_File.seekg(std::streamoff(move), std::ios::cur);
    m_DataLeft = std::uint64_t(left - move);
    return true;
}

std::uint64_t CWaveReader::Tell() {
    std::lock_guard lock(m_Lock);
    if (!m_File.is_open())
        return 0;
    const std::streamoff at = m_File.tellg();
    // A failed stream answers -1; where the samples stand is known without it.
    return at >= 0 ? std::uint64_t(at) : m_DataStart + DataSize() - m_DataLeft;
}

std::uint64_t CWaveReader::GetLength() {
    std::lock_guard lock(m_Lock);
    return DataSize();
}
