#include "RecordingRepair.h"

#include "DurableFile.h"
#include "FileLock.h"
#include "SectionJournal.h"
#include "WaveBytes.h"
#include "WaveHeader.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace wavebytes;

namespace {

constexpr std::uint64_t kHeader = waveheader::kSize;
const std::string kJournalEnd = ".journal";

std::vector<unsigned char> SectChunk(const std::vector<std::uint32_t>& marks) {
    std::vector<unsigned char> chunk(8 + 4 * marks.size());
    PutTag(chunk.data(), "sect");
    Put32(chunk.data() + 4, static_cast<std::uint32_t>(marks.size()));
    for (std::size_t i = 0; i < marks.size(); ++i)
        Put32(chunk.data() + 8 + 4 * i, marks[i]);
    return chunk;
}

bool ReadAt(int fd, unsigned char* data, std::size_t size, std::uint64_t offset) {
    return ::pread(fd, data, size, static_cast<off_t>(offset)) == static_cast<ssize_t>(size);
}

// A file closed by the writer: its "sect" chunk lies right behind the samples its header claims
// and ends the file.
bool ClosedProperly(int fd, const unsigned char* header, std::uint64_t size) {
    const std::uint64_t sect = kHeader + Get32(header + waveheader::kDataSizeAt);
    unsigned char chunk[8];
    if (sect + 8 > size || !ReadAt(fd, chunk, 8, sect) || !TagIs(chunk, "sect"))
        return false;
    return sect + 8 + 4ull * Get32(chunk + 4) == size;
}

bool WriteSizes(int fd, std::uint64_t dataBytes) {
    for (const waveheader::SizeField& field : waveheader::SizeFields(static_cast<std::uint32_t>(dataBytes)))
        if (!durable::WriteAt(fd, field.Bytes, sizeof field.Bytes, field.At))
            return false;
    return true;
}

CRecordingRepair::Result Finish(int fd, const std::string& journal, CRecordingRepair::Result result) {
    if (::fsync(fd) != 0)
        return CRecordingRepair::Result::Failed;
    if (::unlink(journal.c_str()) == 0)
        durable::SyncFolderOf(journal);
    return result;
}

CRecordingRepair::Result RepairOpen(int fd, const std::string& journal,
                                    const std::vector<std::uint32_t>& marks) {
    using Result = CRecordingRepair::Result;
    struct stat st {};
    unsigned char header[kHeader];
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !ReadAt(fd, header, kHeader, 0))
        return Result::LeftAlone;
    const std::optional<unsigned> frame = waveheader::FrameOfOwnHeader(header);
    if (!frame)
        return Result::LeftAlone;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (ClosedProperly(fd, header, size))
        return Finish(fd, journal, Result::AlreadyClosed);

    const std::vector<unsigned char> chunk = SectChunk(marks);
    // An earlier repair that was cut off after it added the list: the samples end where it begins.
    if (size >= kHeader + chunk.size() && (size - kHeader - chunk.size()) % *frame == 0) {
        std::vector<unsigned char> tail(chunk.size());
        if (ReadAt(fd, tail.data(), tail.size(), size - tail.size()) && tail == chunk) {
            const std::uint64_t data = size - kHeader - chunk.size();
            if (data <= waveheader::MaxDataBytes(*frame) && WriteSizes(fd, data))
                return Finish(fd, journal, Result::Repaired);
            return Result::Failed;
        }
    }

    const std::uint64_t data = (size - kHeader) / *frame * *frame;
    // More than a file can claim was never written by the program: leave it for a person to look at.
    if (data > waveheader::MaxDataBytes(*frame))
        return Result::LeftAlone;
    // The list first, then the sizes: a repair cut off in between is recognised by its list.
    if (::ftruncate(fd, static_cast<off_t>(kHeader + data)) != 0 ||
        !durable::WriteAt(fd, chunk.data(), chunk.size(), kHeader + data) || ::fsync(fd) != 0 ||
        !WriteSizes(fd, data))
        return Result::Failed;
    return Finish(fd, journal, Result::Repaired);
}

// "is being recorded by process 4242 on nas", or without the writer for an older journal.
std::string Writer(const CSectionJournal::Contents& journal) {
    std::string words = "it is being recorded by another program";
    if (!journal.Host.empty())
        words = "it is being recorded by process " + std::to_string(journal.Pid) + " on " + journal.Host;
    return words;
}

} // namespace

bool CRecordingRepair::WriterIsGone(const CSectionJournal::Contents& journal) {
    if (journal.Host.empty())
        return true;
    if (journal.Host != CSectionJournal::ThisHost())
        return false;
    return ::kill(static_cast<pid_t>(journal.Pid), 0) != 0 && errno == ESRCH;
}

CRecordingRepair::Result CRecordingRepair::Repair(const std::string& recording, std::string* why) {
    const std::string journal = CSectionJournal::PathFor(recording);
    const CSectionJournal::Contents contents = CSectionJournal::Load(journal);
    if (contents.Status == CSectionJournal::State::Unreadable) {
        if (why)
            *why = contents.Problem;
        return Result::Unreadable;
    }
    if (contents.Status != CSectionJournal::State::Read)
        return Result::LeftAlone;
    const int fd = ::open(recording.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return Result::LeftAlone;
    // Held until the repair is done: a writer that starts meanwhile cannot take the file.
    using filelock::LockState;
    const LockState file = filelock::TakeWriteLock(fd);
    const bool held = file == LockState::HeldElsewhere || contents.Lock == LockState::HeldElsewhere;
    const bool unknown = file == LockState::Unsupported || contents.Lock == LockState::Unsupported;
    if (held || (unknown && !WriterIsGone(contents))) {
        ::close(fd);
        if (why)
            *why = Writer(contents);
        return Result::InUse;
    }
    const Result result = RepairOpen(fd, journal, contents.Marks);
    ::close(fd);
    return result;
}

std::vector<std::string> CRecordingRepair::RepairFolder(const std::string& folder) {
    return RepairFolderReport(folder).Repaired;
}

CRecordingRepair::Report CRecordingRepair::RepairFolderReport(const std::string& folder) {
    std::vector<std::string> recordings;
    if (DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.size() > kJournalEnd.size() && name.ends_with(kJournalEnd))
                recordings.push_back(name.substr(0, name.size() - kJournalEnd.size()));
        }
        ::closedir(dir);
    }
    std::sort(recordings.begin(), recordings.end());
    Report report;
    for (const std::string& name : recordings) {
        std::string why;
        switch (Repair((folder.empty() ? "." : folder) + "/" + name, &why)) {
        case Result::Repaired:
            report.Repaired.push_back(name);
            break;
        case Result::InUse:
            report.InUse.push_back({name, why});
            break;
        case Result::Unreadable:
            report.Unreadable.push_back({name + kJournalEnd, why});
            break;
        default:
            break;
        }
    }
    return report;
}

std::string CRecordingRepair::Report::Note() const {
    std::string note;
    for (const Skipped& s : InUse)
        note += s.Name + " was not repaired: " + s.Why + "\n";
    for (const Skipped& s : Unreadable)
        note += s.Name + " was not read: " + s.Why + "\n";
    return note;
}
