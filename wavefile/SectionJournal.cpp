#include "SectionJournal.h"

#include "DurableFile.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The first line: which program wrote the journal, and the version of its layout.
const std::string kFirstLine = "tavlo section journal 1";

std::optional<std::uint32_t> Seconds(const std::string& line) {
    if (line.empty() || line.size() > 10)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : line) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

} // namespace

std::string CSectionJournal::PathFor(const std::string& recording) {
    return recording + ".journal";
}

std::optional<std::vector<std::uint32_t>> CSectionJournal::Read(const std::string& journal) {
    std::ifstream in(journal, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::stringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    std::size_t end = all.find('\n');
    if (end == std::string::npos || all.compare(0, end, kFirstLine) != 0 || end != kFirstLine.size())
        return std::nullopt;
    std::vector<std::uint32_t> marks;
    // Only lines that end in a line break were written whole.
    for (std::size_t at = end + 1; (end = all.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::optional<std::uint32_t> seconds = Seconds(all.substr(at, end - at));
        if (!seconds)
            break;
        marks.push_back(*seconds);
    }
    return marks;
}

CSectionJournal::CSectionJournal(const std::string& recording) {
    // Kept as a full path: the current directory may change while the recording runs (Setup).
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(PathFor(recording), error);
    m_Path = error ? PathFor(recording) : full.string();
    m_Fd = ::open(m_Path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (m_Fd < 0)
        return;
    const std::string first = kFirstLine + "\n";
    if (!durable::WriteAt(m_Fd, first.data(), first.size(), 0) || ::fsync(m_Fd) != 0) {
        // Half a journal is worse than none: a later start could not tell it from a foreign file.
        ::close(m_Fd);
        m_Fd = -1;
        ::unlink(m_Path.c_str());
        return;
    }
    durable::SyncFolderOf(m_Path);
}

CSectionJournal::~CSectionJournal() {
    if (m_Fd >= 0)
        ::close(m_Fd);
}

bool CSectionJournal::Append(std::uint32_t seconds) {
    if (m_Fd < 0)
        return false;
    const std::string line = std::to_string(seconds) + "\n";
    struct stat st {};
    if (::fstat(m_Fd, &st) != 0)
        return false;
    if (durable::WriteAt(m_Fd, line.data(), line.size(), static_cast<std::uint64_t>(st.st_size)) &&
        ::fsync(m_Fd) == 0)
        return true;
    // A line cut short (a full disk) would run into the next one and make another length: it goes.
    [[maybe_unused]] const int cut = ::ftruncate(m_Fd, st.st_size);
    return false;
}

void CSectionJournal::Remove() {
    if (m_Fd >= 0) {
        ::close(m_Fd);
        m_Fd = -1;
    }
    if (::unlink(m_Path.c_str()) == 0)
        durable::SyncFolderOf(m_Path);
}
