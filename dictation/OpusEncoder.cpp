#include "OpusEncoder.h"

#include "wavefile/WaveErrors.h"
#include "wavefile/WaveReader.h"

#include <opusenc.h>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace dictation {

namespace {

constexpr std::size_t kBlockFrames = 48000;

// The Opus file as libopusenc's output: every write is checked, so a full disk is seen at the
// block that met it, with its errno.
struct Output {
    int Fd = -1;
    int Error = 0;

    static int Write(void* self, const unsigned char* bytes, opus_int32 length) {
        auto* out = static_cast<Output*>(self);
        for (opus_int32 done = 0; done < length;) {
            const ssize_t n = ::write(out->Fd, bytes + done, static_cast<std::size_t>(length - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                out->Error = n < 0 ? errno : ENOSPC;
                return 1;
            }
            done += static_cast<opus_int32>(n);
        }
        return 0;
    }
    static int Close(void* self) {
        auto* out = static_cast<Output*>(self);
        if (out->Fd < 0) // libopusenc closes at the drain, and again when destroyed
            return out->Error ? 1 : 0;
        if (::fsync(out->Fd) != 0 && !out->Error)
            out->Error = errno;
        if (::close(out->Fd) != 0 && !out->Error)
            out->Error = errno;
        out->Fd = -1;
        return out->Error ? 1 : 0;
    }
};

// One sample of `bits` at `at`, as a float in [-1, 1).
float Sample(const unsigned char* at, unsigned short bits) {
    switch (bits) {
    case 8:
        return (static_cast<int>(at[0]) - 128) / 128.0f;
    case 16:
        return static_cast<std::int16_t>(at[0] | at[1] << 8) / 32768.0f;
    case 24:
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(at[0] << 8 | at[1] << 16 | at[2] << 24)) /
               2147483648.0f;
    default:
        return static_cast<std::int32_t>(
                   static_cast<std::uint32_t>(at[0] | at[1] << 8 | at[2] << 16 | at[3] << 24)) /
               2147483648.0f;
    }
}

OpusEncoder::Outcome Failed(std::string problem) {
    OpusEncoder::Outcome outcome;
    outcome.Problem = std::move(problem);
    return outcome;
}

} // namespace

OpusEncoder::Outcome OpusEncoder::Encode(const std::string& wav, const std::string& opus,
                                         const std::string& title,
                                         const std::function<void(double)>& progress,
                                         const std::atomic<bool>& cancel) {
    std::unique_ptr<CWaveReader> reader;
    try {
        reader = std::make_unique<CWaveReader>(wav);
    } catch (...) {
        return Failed(WaveErrors::CurrentReason());
    }
    unsigned rate = 0;
    unsigned short bits = 0, channels = 0;
    reader->GetFormat(&rate, &bits, &channels);
    const std::uint64_t total = reader->GetLength();

    Output out;
    out.Fd = ::open(opus.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (out.Fd < 0)
        return Failed(WaveErrors::ReasonText(errno));
    const OpusEncCallbacks callbacks{&Output::Write, &Output::Close};
    std::unique_ptr<OggOpusComments, void (*)(OggOpusComments*)> comments(ope_comments_create(),
                                                                          ope_comments_destroy);
    if (comments && !title.empty())
        ope_comments_add(comments.get(), "TITLE", title.c_str());
    int error = OPE_OK;
    std::unique_ptr<OggOpusEnc, void (*)(OggOpusEnc*)> encoder(
        comments ? ope_encoder_create_callbacks(&callbacks, &out, comments.get(),
                                                static_cast<opus_int32>(rate), 1, 0, &error)
                 : nullptr,
        ope_encoder_destroy);
    std::string problem;
    if (!encoder) {
        problem = std::string("the encoder refused the recording: ") + ope_strerror(error);
        Output::Close(&out);
    } else {
        ope_encoder_ctl(encoder.get(), OPUS_SET_BITRATE(kBitsPerSecond));
        ope_encoder_ctl(encoder.get(), OPUS_SET_SIGNAL(OPUS_SIGNAL_VOICE));
        const std::size_t frameBytes = static_cast<std::size_t>(bits / 8) * channels;
        std::vector<char> bytes(kBlockFrames * frameBytes);
        std::vector<float> mono(kBlockFrames);
        std::uint64_t done = 0;
        for (;;) {
            if (cancel) {
                problem = "the send was cancelled";
                break;
            }
            unsigned length = static_cast<unsigned>(bytes.size());
            reader->Read(bytes.data(), &length);
            const std::size_t frames = length / frameBytes;
            if (frames == 0)
                break;
            for (std::size_t f = 0; f < frames; ++f) {
                float sum = 0;
                for (unsigned short c = 0; c < channels; ++c)
                    sum += Sample(reinterpret_cast<const unsigned char*>(bytes.data()) + f * frameBytes +
                                      c * (bits / 8),
                                  bits);
                mono[f] = sum / channels;
            }
            error = ope_encoder_write_float(encoder.get(), mono.data(), static_cast<int>(frames));
            if (error != OPE_OK || out.Error)
                break;
            done += length;
            if (progress && total)
                progress(static_cast<double>(done) / static_cast<double>(total));
        }
        if (problem.empty() && error == OPE_OK && !out.Error)
            error = ope_encoder_drain(encoder.get()); // closes the output through Output::Close
        else
            encoder.reset(); // destroys without draining; the output is closed below
        if (out.Fd >= 0)
            Output::Close(&out);
        if (problem.empty() && (out.Error || error != OPE_OK))
            problem = out.Error ? WaveErrors::ReasonText(out.Error)
                                : std::string("the encoder failed: ") + ope_strerror(error);
    }
    if (!problem.empty()) {
        ::unlink(opus.c_str());
        return Failed(problem);
    }
    Outcome outcome;
    outcome.Done = true;
    struct stat st {};
    if (::stat(opus.c_str(), &st) == 0)
        outcome.Bytes = static_cast<std::uint64_t>(st.st_size);
    return outcome;
}

} // namespace dictation
