#include "WaveReader.h"

#include "FileName.h"
#include "WaveBytes.h"
#include "WaveErrors.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <vector>

using namespace wavebytes;

namespace {
constexpr std::uint64_t kMaxOffset = std::numeric_limits<std::uint32_t>::max();
}

CWaveReader::CWaveReader() : m_FileName(g_FileName) {
    // Only regular files are opened: a FIFO would block the window on open, a device could
    // deliver bytes for ever to the search for "data". Anything else reads as empty.
    std::error_code ec;
    if (std::filesystem::is_regular_file(m_FileName, ec)) {
        m_File.open(m_FileName, std::ios::binary | std::ios::in);
        m_FileSize = std::filesystem::file_size(m_FileName, ec);
        if (ec)
            m_FileSize = 0;
    }
    // The streams' locale is left alone: binary reads do not depend on it, and switching the
    // program-wide locale here would race with the engines' threads.

    auto* riff = m_pRiffHeader.get();
    m_File.read(reinterpret_cast<char*>(riff), RiffHeaderSize);
    // Fewer than 12 bytes count as none: the file is not a RIFF file, whatever its first bytes.
    if (m_File.gcount() < std::streamsize(RiffHeaderSize))
        std::fill_n(riff, RiffHeaderSize, 0);
    if (!TagIs(riff, "RIFF"))
        throw WaveErrors::RiffDoesntMatch();
    if (!TagIs(riff + 8, "WAVE"))
        throw WaveErrors::WaveDoesntMatch();

    m_File.read(reinterpret_cast<char*>(m_pFmtChunk.get()), FmtChunkSize);
    if (!TagIs(m_pFmtChunk.get(), "fmt "))
        throw WaveErrors::FmtDoesntMatch();

    auto* data = m_pDataHeader.get();
    m_File.read(reinterpret_cast<char*>(data), DataHeaderSize);
    if (!m_File || !TagIs(data, "data")) {
        // Another chunk (a LIST, a fact, a longer fmt) lies before "data": look at every "d"
        // from offset 36 on; a "d" that does not start "data" is skipped with the seven bytes
        // after it.
        // The position is counted here rather than asked of the stream, which would cost a system
        // call per byte; samples past 32-bit positions could not be played anyway.
        m_File.clear();
        m_File.seekg(36);
        for (std::uint64_t at = 36;; ++at) {
            const int c = m_File.get();
            if (!m_File || at > kMaxOffset)
                throw WaveErrors::DataDoesntMatch();
            if (c != 'd')
                continue;
            m_File.unget();
            m_File.read(reinterpret_cast<char*>(data), DataHeaderSize);
            if (!m_File)
                throw WaveErrors::DataDoesntMatch();
            if (TagIs(data, "data"))
                break;
            at += DataHeaderSize - 1;
        }
    }

    const std::streamoff samplesAt = m_File.tellg();
    if (samplesAt < 0)
        throw WaveErrors::DataDoesntMatch();
    try {
        if (!ReadSections(samplesAt)) {
            m_SectionCount = 0;
            m_File.clear();
            m_File.seekg(samplesAt);
        }
    } catch (...) {
        FreeSections();
        throw;
    }

    m_DataStart = std::uint64_t(samplesAt);
    // A data size larger than the file (a copy cut short, a damaged header) is held to the bytes
    // that are there, so that the length, the end of playback and Tell agree with the file.
    std::uint64_t size = Get32(data + 4);
    const std::uint64_t present = m_FileSize > m_DataStart ? m_FileSize - m_DataStart : 0;
    size = std::min(size, present);
    Put32(data + 4, std::uint32_t(size));
    m_DataLeft = size;
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
