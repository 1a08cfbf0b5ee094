#include "RecordingRepair.h"

#include "DurableFile.h"
#include "SectionJournal.h"
#include "WaveBytes.h"
#include "WaveWriter.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace wavebytes;

namespace {

constexpr std::uint64_t kHeader = 44;
const std::string kJournalEnd = ".journal";

// The sample frame size of a header as the program writes it (16-bit PCM, plain 16-byte fmt
// chunk, "data" at offset 36); nothing for any other file.
std::optional<unsigned> FrameOfOwnHeader(const unsigned char* h) {
    if (!TagIs(h, "RIFF") || !TagIs(h + 8, "WAVE") || !TagIs(h + 12, "fmt ") || Get32(h + 16) != 16 ||
        Get16(h + 20) != 1 || Get16(h + 34) != 16 || !TagIs(h + 36, "data"))
        return std::nullopt;
    const unsigned channels = Get16(h + 22);
    if (channels == 0 || Get16(h + 32) != channels * 2)
        return std::nullopt;
    return channels * 2;
}

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
    const std::uint64_t sect = kHeader + Get32(header + 40);
    unsigned char chunk[8];
    if (sect + 8 > size || !ReadAt(fd, chunk, 8, sect) || !TagIs(chunk, "sect"))
        return false;
    return sect + 8 + 4ull * Get32(chunk + 4) == size;
}

bool WriteSizes(int fd, std::uint64_t dataBytes) {
    unsigned char size[4];
    Put32(size, static_cast<std::uint32_t>(kHeader - 8 + dataBytes));
    if (!durable::WriteAt(fd, size, 4, 4))
        return false;
    Put32(size, static_cast<std::uint32_t>(dataBytes));
    return durable::WriteAt(fd, size, 4, 40);
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
    const std::optional<unsigned> frame = FrameOfOwnHeader(header);
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
            if (data <= CWaveWriter::MaxDataBytes(static_cast<unsigned short>(*frame)) &&
                WriteSizes(fd, data))
                return Finish(fd, journal, Result::Repaired);
            return Result::Failed;
        }
    }

    const std::uint64_t data = (size - kHeader) / *frame * *frame;
    // More than a file can claim was never written by the program: leave it for a person to look at.
    if (data > CWaveWriter::MaxDataBytes(static_cast<unsigned short>(*frame)))
        return Result::LeftAlone;
    // The list first, then the sizes: a repair cut off in between is recognised by its list.
    if (::ftruncate(fd, static_cast<off_t>(kHeader + data)) != 0 ||
        !durable::WriteAt(fd, chunk.data(), chunk.size(), kHeader + data) || ::fsync(fd) != 0 ||
        !WriteSizes(fd, data))
        return Result::Failed;
    return Finish(fd, journal, Result::Repaired);
}

} // namespace

CRecordingRepair::Result CRecordingRepair::Repair(const std::string& recording) {
    const std::string journal = CSectionJournal::PathFor(recording);
    const std::optional<std::vector<std::uint32_t>> marks = CSectionJournal::Read(journal);
    if (!marks)
        return Result::LeftAlone;
    const int fd = ::open(recording.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return Result::LeftAlone;
    const Result result = RepairOpen(fd, journal, *marks);
    ::close(fd);
    return result;
}

std::vector<std::string> CRecordingRepair::RepairFolder(const std::string& folder) {
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
    std::vector<std::string> repaired;
    for (const std::string& name : recordings)
        if (Repair((folder.empty() ? "." : folder) + "/" + name) == Result::Repaired)
            repaired.push_back(name);
    return repaired;
}
