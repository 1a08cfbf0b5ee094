#include "JobAudio.h"

#include "wavefile/WaveErrors.h"
#include "wavefile/WaveWriter.h"

#include <opusfile.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr unsigned kRate = 48000; // what libopusfile always decodes to

bool Refuse(std::string& problem, std::string why) {
    problem = std::move(why);
    return false;
}

bool MakeFolder(const std::string& path) {
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/')
            continue;
        const std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

struct OpusCloser {
    void operator()(OggOpusFile* file) const { op_free(file); }
};

// Decodes everything the stream holds into `writer`, mixed down to one channel.
bool DecodeInto(OggOpusFile* opus, CWaveWriter& writer, std::string& problem) {
    std::vector<opus_int16> pcm(120 * 48 * 8); // 120 ms of up to eight channels
    std::vector<opus_int16> mono(pcm.size());
    for (;;) {
        int link = 0;
        const int frames = op_read(opus, pcm.data(), static_cast<int>(pcm.size()), &link);
        if (frames == 0)
            return true;
        if (frames < 0)
            return Refuse(problem, "its audio is damaged (Opus error " + std::to_string(frames) + ")");
        const int channels = op_channel_count(opus, link);
        for (int f = 0; f < frames; ++f) {
            int sum = 0;
            for (int c = 0; c < channels; ++c)
                sum += pcm[static_cast<std::size_t>(f * channels + c)];
            mono[static_cast<std::size_t>(f)] = static_cast<opus_int16>(sum / channels);
        }
        unsigned bytes = static_cast<unsigned>(frames) * 2;
        writer.Write(reinterpret_cast<const char*>(mono.data()), &bytes);
        if (writer.Failed())
            return Refuse(problem, "the cache refused the decoded audio: " + writer.FailureReason());
    }
}

} // namespace

std::string JobCacheFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    std::string base;
    if (cache && cache[0] == '/') {
        base = cache;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && home[0] ? home : "/tmp") + "/.cache";
    }
    const std::string folder = base + "/tavlo/jobs";
    MakeFolder(folder);
    return folder;
}

bool DecodeJobAudio(const std::string& inbox, const dictation::Job& job, const std::string& cache,
                    std::string& wav, std::string& problem) {
    const std::string audio = inbox + "/" + job.Audio;
    const int fd = ::open(audio.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return Refuse(problem, "its audio cannot be opened: " + WaveErrors::ReasonText(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Refuse(problem, "its audio is not a regular file");
    }
    wav = cache + "/" + job.Id + ".wav";
    struct stat made {};
    if (::stat(wav.c_str(), &made) == 0 && made.st_mtime > st.st_mtime && made.st_size > 44) {
        ::close(fd);
        return true;
    }
    OpusFileCallbacks callbacks{};
    void* stream = op_fdopen(&callbacks, fd, "rb");
    if (!stream) {
        ::close(fd);
        return Refuse(problem, "its audio cannot be read");
    }
    int error = 0;
    std::unique_ptr<OggOpusFile, OpusCloser> opus(op_open_callbacks(stream, &callbacks, nullptr, 0, &error));
    if (!opus) {
        callbacks.close(stream);
        return Refuse(problem, "its audio is not Ogg Opus (error " + std::to_string(error) + ")");
    }
    const std::string part = cache + "/." + job.Id + ".wav.part";
    bool ok = false;
    try {
        CWaveWriter writer(part.c_str(), kRate, 1);
        ok = DecodeInto(opus.get(), writer, problem);
        // The section list holds each section's length but the last's, as a recording's does.
        for (std::size_t i = 1; ok && i < job.Sections.size(); ++i)
            if (job.Sections[i] > job.Sections[i - 1])
                writer.AddSection(job.Sections[i] - job.Sections[i - 1]);
        if (!writer.Close() && ok)
            ok = Refuse(problem, "the cache refused the decoded audio: " + writer.FailureReason());
    } catch (...) {
        ok = Refuse(problem, "the decoded audio cannot be kept: " + WaveErrors::CurrentReason());
    }
    if (ok && std::rename(part.c_str(), wav.c_str()) != 0)
        ok = Refuse(problem, "the decoded audio cannot be kept: " + WaveErrors::ReasonText(errno));
    if (!ok)
        ::unlink(part.c_str());
    return ok;
}
