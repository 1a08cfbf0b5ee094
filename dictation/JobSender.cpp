#include "JobSender.h"

#include "JobFile.h"
#include "JobId.h"
#include "OpusEncoder.h"
#include "RecordingName.h"
#include "SectionsReport.h"
#include "wavefile/WaveErrors.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace dictation {

namespace {

std::string Reason(int error) {
    return WaveErrors::ReasonText(error);
}

SendOutcome Refused(std::string message, std::string id = {}) {
    return SendOutcome{false, std::move(id), std::move(message)};
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

// Why the outbox cannot take a job; "" when it can.
std::string OutboxProblem(const std::string& outbox) {
    if (outbox.empty())
        return "No outbox is set up: choose one in Dictation settings.";
    struct stat st {};
    if (::stat(outbox.c_str(), &st) != 0)
        return "The outbox " + outbox + " cannot be used: " +
               (errno == ENOENT ? std::string("it does not exist (is its disk or share there?)")
                                : Reason(errno)) +
               ".";
    if (!S_ISDIR(st.st_mode))
        return "The outbox " + outbox + " cannot be used: it is not a folder.";
    if (::access(outbox.c_str(), W_OK | X_OK) != 0)
        return "The outbox " + outbox + " cannot be used: " + Reason(errno) + ".";
    return {};
}

// The spool folder, made when missing; "" on success, else why not.
std::string MakeSpool(const std::string& spool) {
    if (::mkdir(spool.c_str(), 0700) != 0 && errno != EEXIST)
        return Reason(errno);
    struct stat st {};
    if (::lstat(spool.c_str(), &st) != 0)
        return Reason(errno);
    if (!S_ISDIR(st.st_mode))
        return spool + " is not a folder";
    return {};
}

// Writes the whole text to a new file and puts it on the disk; "" on success.
std::string WriteNewFile(const std::string& path, const std::string& text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return Reason(errno);
    int error = 0;
    for (std::size_t done = 0; done < text.size() && !error;) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            error = n < 0 ? errno : ENOSPC;
        else
            done += static_cast<std::size_t>(n);
    }
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (error)
        ::unlink(path.c_str());
    return error ? Reason(error) : std::string();
}

// The Syncthing ignore file gets the spool's line when the outbox has none yet; one the user keeps
// is never changed.
void IgnoreSpool(const std::string& outbox) {
    const std::string stignore = outbox + "/.stignore";
    if (!Exists(stignore))
        WriteNewFile(stignore, std::string(kSpoolName) + "\n");
}

// Moves `from` to `to` without ever replacing a file at `to`; "" on success.
std::string MoveNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return {};
    if (errno != EINVAL && errno != ENOSYS)
        return Reason(errno);
    // File systems without that flag (network shares): a hard link cannot replace either.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return {};
    }
    if (errno == EEXIST)
        return Reason(errno);
    // Without hard links either, a look first; the name is the job's own and no one else makes it.
    if (Exists(to))
        return Reason(EEXIST);
    return std::rename(from.c_str(), to.c_str()) == 0 ? std::string() : Reason(errno);
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string RecordedText(const std::string& wav, const std::string& stem) {
    std::optional<platform::LocalTime> t = StartTimeFromName(stem);
    char text[32] = {};
    if (t) {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t->Year, t->Month, t->Day, t->Hour,
                      t->Minute, t->Second);
        return text;
    }
    struct stat st {};
    std::tm local{};
    if (::stat(wav.c_str(), &st) != 0 || !::localtime_r(&st.st_mtime, &local))
        return {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

} // namespace

std::string FileSha256(const std::string& path) {
    QFile file(QString::fromStdString(path));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return hash.result().toHex().toStdString();
}

SendOutcome SendJob(const SendRequest& request, const std::function<void(double)>& progress,
                    const std::atomic<bool>& cancel) {
    const std::filesystem::path wav(request.Wav);
    const std::string stem = wav.stem().string();
    const std::string name = wav.filename().string();
    if (request.Author.empty())
        return Refused("No author is set up: enter one in Dictation settings.");
    if (const std::string problem = OutboxProblem(request.Outbox); !problem.empty())
        return Refused(problem);
    const std::string id = JobId(stem, request.Author);
    const std::string outbox = request.Outbox;
    const std::string audioName = id + kAudioSuffix, jobName = id + kJobSuffix;
    if (Exists(outbox + "/" + jobName) || Exists(outbox + "/" + audioName))
        return Refused(
            name + " was sent already: " + outbox + "/" + jobName + " is there. Nothing was changed.", id);

    WaveSummary summary;
    std::string wavProblem;
    if (!DescribeWaveFile(request.Wav, summary, wavProblem))
        return Refused(name + " cannot be sent: " + wavProblem, id);
    const std::string spool = outbox + "/" + kSpoolName;
    if (const std::string problem = MakeSpool(spool); !problem.empty())
        return Refused("The outbox " + outbox + " cannot be used: " + problem + ".", id);
    IgnoreSpool(outbox);

    const std::string spoolAudio = spool + "/" + audioName, spoolJob = spool + "/" + jobName;
    // What a send cut short (a power cut) left in the spool is this job's own, and stale.
    ::unlink(spoolAudio.c_str());
    ::unlink(spoolJob.c_str());
    auto fail = [&](const std::string& why) {
        ::unlink(spoolAudio.c_str());
        ::unlink(spoolJob.c_str());
        ::rmdir(spool.c_str()); // only when empty: another send may be using it
        return Refused(name + " was not sent to " + outbox + ": " + why + ". The outbox is unchanged.", id);
    };

    Job job;
    job.Id = id;
    job.Author = request.Author;
    job.WorkType = request.WorkType;
    job.Priority = IsPriority(request.Priority) ? request.Priority : "normal";
    job.Note = request.Note;
    job.Recorded = RecordedText(request.Wav, stem);
    job.Length = static_cast<std::uint32_t>(summary.WholeSeconds());
    job.Sections = summary.SectionStarts;
    job.Wav = name;
    job.WavSha256 = FileSha256(request.Wav);
    job.Audio = audioName;
    if (job.WavSha256.empty())
        return fail("the recording could not be read");

    const OpusEncoder::Outcome encoded = OpusEncoder::Encode(request.Wav, spoolAudio, id, progress, cancel);
    if (!encoded.Done)
        return fail(encoded.Problem);
    job.AudioBytes = encoded.Bytes;
    if (const std::string problem = WriteNewFile(spoolJob, JobText(job)); !problem.empty())
        return fail(problem);
    SyncFolder(spool);

    // The audio first: a reader that sees the job finds its audio whole.
    if (const std::string problem = MoveNoReplace(spoolAudio, outbox + "/" + audioName); !problem.empty())
        return fail(problem);
    if (const std::string problem = MoveNoReplace(spoolJob, outbox + "/" + jobName); !problem.empty()) {
        // The audio just moved is this send's own: without its job it is taken back.
        MoveNoReplace(outbox + "/" + audioName, spoolAudio);
        return fail(problem);
    }
    SyncFolder(outbox);
    ::rmdir(spool.c_str());
    return SendOutcome{true, id, name + " was sent to the typist as " + id + "."};
}

} // namespace dictation
