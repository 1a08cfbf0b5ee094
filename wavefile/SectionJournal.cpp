#include "SectionJournal.h"

#include "DurableFile.h"
#include "WaveErrors.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The first line: which program wrote the journal and the version of its layout; since the
// writer is named, " writer HOST PID" follows (older journals end the line there).
const std::string kFirstLine = "tavlo section journal 1";
const std::string kWriter = " writer ";

std::optional<std::uint64_t> Number(const std::string& text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value;
}

std::optional<std::uint32_t> Seconds(const std::string& line) {
    const std::optional<std::uint64_t> value = Number(line, 10);
    if (!value || *value > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

bool IsHostName(const std::string& host) {
    if (host.empty() || host.size() > 255)
        return false;
    for (char c : host)
        if (c <= ' ' || c > '~')
            return false;
    return true;
}

// The first line, with or without its writer; false for any other line.
bool ReadFirstLine(const std::string& line, CSectionJournal::Contents& out) {
    if (line == kFirstLine)
        return true;
    if (line.compare(0, kFirstLine.size() + kWriter.size(), kFirstLine + kWriter) != 0)
        return false;
    const std::string writer = line.substr(kFirstLine.size() + kWriter.size());
    const std::size_t blank = writer.rfind(' ');
    if (blank == std::string::npos)
        return false;
    const std::string host = writer.substr(0, blank);
    const std::optional<std::uint64_t> pid = Number(writer.substr(blank + 1), 10);
    if (!IsHostName(host) || !pid || *pid == 0 || *pid > std::uint64_t(std::numeric_limits<pid_t>::max()))
        return false;
    out.Host = host;
    out.Pid = static_cast<long>(*pid);
    return true;
}

// Up to `limit` bytes from the start of fd.
bool ReadAll(int fd, std::string& all, std::size_t limit) {
    all.resize(limit);
    std::size_t got = 0;
    while (got < limit) {
        const ssize_t n = ::pread(fd, all.data() + got, limit - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    all.resize(got);
    return true;
}

CSectionJournal::Contents Unreadable(std::string problem) {
    CSectionJournal::Contents c;
    c.Status = CSectionJournal::State::Unreadable;
    c.Problem = std::move(problem);
    return c;
}

CSectionJournal::Contents LoadOpen(int fd) {
    using State = CSectionJournal::State;
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return Unreadable(WaveErrors::ReasonText(errno));
    if (!S_ISREG(st.st_mode))
        return Unreadable("it is not a regular file");
    if (static_cast<std::uint64_t>(st.st_size) > CSectionJournal::MaxBytes)
        return Unreadable("it is larger than a journal can be");
    std::string all;
    // One byte more than a journal may hold tells a file that grew since fstat.
    if (!ReadAll(fd, all, CSectionJournal::MaxBytes + 1))
        return Unreadable(WaveErrors::ReasonText(errno));
    if (all.size() > CSectionJournal::MaxBytes)
        return Unreadable("it is larger than a journal can be");
    CSectionJournal::Contents c;
    c.Status = State::NotAJournal;
    std::size_t end = all.find('\n');
    if (end == std::string::npos || !ReadFirstLine(all.substr(0, end), c))
        return c;
    c.Status = State::Read;
    c.Lock = filelock::ProbeWriteLock(fd);
    // Only lines that end in a line break were written whole.
    for (std::size_t at = end + 1; (end = all.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::optional<std::uint32_t> seconds = Seconds(all.substr(at, end - at));
        if (!seconds)
            break;
        c.Marks.push_back(*seconds);
    }
    return c;
}

} // namespace

std::string CSectionJournal::PathFor(const std::string& recording) {
    return recording + ".journal";
}

CSectionJournal::Contents CSectionJournal::Load(const std::string& journal) {
    // A FIFO must not block the caller (the window at start-up), a link may lead anywhere, a
    // terminal must not become the controlling one: none of them is opened as a journal.
    const int fd = ::open(journal.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return Contents{};
        return Unreadable(WaveErrors::ReasonText(errno));
    }
    Contents c = LoadOpen(fd);
    ::close(fd);
    return c;
}

std::optional<std::vector<std::uint32_t>> CSectionJournal::Read(const std::string& journal) {
    Contents c = Load(journal);
    if (c.Status != State::Read)
        return std::nullopt;
    return std::move(c.Marks);
}

std::string CSectionJournal::ThisHost() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        name[0] = '\0';
    std::string host = name;
    for (char& c : host)
        if (c <= ' ' || c > '~')
            c = '_';
    return host.empty() ? "localhost" : host;
}

CSectionJournal::CSectionJournal(const std::string& recording) {
    // Kept as a full path: the current directory may change while the recording runs (Setup).
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(PathFor(recording), error);
    m_Path = error ? PathFor(recording) : full.string();
    // Opened without cutting it: a journal that another process holds is that process's.
    m_Fd = ::open(m_Path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (m_Fd < 0)
        return;
    struct stat st {};
    if (::fstat(m_Fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        filelock::TakeWriteLock(m_Fd) == filelock::LockState::HeldElsewhere) {
        ::close(m_Fd);
        m_Fd = -1;
        return;
    }
    const std::string first = kFirstLine + kWriter + ThisHost() + " " + std::to_string(::getpid()) + "\n";
    if (::ftruncate(m_Fd, 0) != 0 || !durable::WriteAt(m_Fd, first.data(), first.size(), 0) ||
        ::fsync(m_Fd) != 0) {
        // Half a journal is worse than none: a later start could not tell it from a foreign file.
        ::unlink(m_Path.c_str());
        ::close(m_Fd);
        m_Fd = -1;
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
    // Past the size a journal is read at, the next start would leave it alone: the marks it has
    // are worth more than one more.
    if (static_cast<std::uint64_t>(st.st_size) + line.size() > MaxBytes)
        return false;
    if (durable::WriteAt(m_Fd, line.data(), line.size(), static_cast<std::uint64_t>(st.st_size)) &&
        ::fsync(m_Fd) == 0)
        return true;
    // A line cut short (a full disk) would run into the next one and make another length: it goes.
    [[maybe_unused]] const int cut = ::ftruncate(m_Fd, st.st_size);
    return false;
}

void CSectionJournal::Remove() {
    if (m_Fd < 0)
        return;
    // The name goes while the lock is still held: nobody finds this journal unlocked.
    const bool removed = ::unlink(m_Path.c_str()) == 0;
    ::close(m_Fd);
    m_Fd = -1;
    if (removed)
        durable::SyncFolderOf(m_Path);
}
