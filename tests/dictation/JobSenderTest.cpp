// Sending a recording to the typist on real folders: the outbox gets the Opus audio and the job
// whole or not at all, the recording is never touched, and every refusal says which folder and why.
#include "JobSender.h"
#include "JobFile.h"
#include "SmallDisk.h"

#include <gtest/gtest.h>
#include <opusfile.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace dictation;

namespace {

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// An ordinary 16-bit mono WAV of a 440 Hz tone.
void WriteTone(const fs::path& file, unsigned rate, unsigned seconds) {
    const std::uint32_t data = rate * seconds * 2;
    std::ofstream out(file, std::ios::binary);
    auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.put(static_cast<char>(value >> (8 * i)));
    };
    out << "RIFF";
    put(36 + data, 4);
    out << "WAVEfmt ";
    put(16, 4), put(1, 2), put(1, 2), put(rate, 4), put(rate * 2, 4), put(2, 2), put(16, 2);
    out << "data";
    put(data, 4);
    for (std::uint32_t i = 0; i < rate * seconds; ++i)
        put(static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * std::sin(i * 2 * M_PI * 440 / rate))),
            2);
}

class JobSender : public testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(dir);
        fs::create_directories(dir);
        wav = dir / "20261210-194651.wav";
        WriteTone(wav, 44100, 3);
        request = {wav.string(), "Maria Lopez", "Letter", "high", "By Friday", (dir / "outbox").string()};
    }
    SendOutcome Send() { return SendJob(request, nullptr, cancel); }
    std::vector<std::string> Listed(const fs::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            names.push_back(fs::relative(entry.path(), folder).string());
        std::sort(names.begin(), names.end());
        return names;
    }
    const fs::path dir = fs::path(testing::TempDir()) / "jobsender";
    fs::path wav;
    SendRequest request;
    std::atomic<bool> cancel{false};
};

const char* kId = "20261210-194651-Maria_Lopez";

TEST_F(JobSender, a_recording_arrives_as_opus_and_job_and_a_second_send_is_refused) {
    fs::create_directories(request.Outbox);
    const std::string before = Bytes(wav);
    const SendOutcome sent = Send();
    ASSERT_TRUE(sent.Sent) << sent.Message;
    EXPECT_EQ(sent.Id, kId);
    const fs::path outbox = request.Outbox;
    EXPECT_EQ(Listed(outbox),
              (std::vector<std::string>{".stignore", std::string(kId) + ".job", std::string(kId) + ".opus"}));
    EXPECT_EQ(Bytes(outbox / ".stignore"), ".tavlo-spool\n");
    EXPECT_EQ(Bytes(wav), before);

    const JobReading job = ReadJobFile((outbox / (std::string(kId) + ".job")).string());
    ASSERT_TRUE(job.Read) << job.Problem;
    EXPECT_EQ(job.Contents.AudioBytes, fs::file_size(outbox / job.Contents.Audio));
    EXPECT_EQ(std::tie(job.Contents.Length, job.Contents.Recorded, job.Contents.Wav, job.Contents.Priority),
              std::make_tuple(3u, std::string("2026-12-10 19:46:51"), wav.filename().string(),
                              std::string("high")));
    FILE* sum = ::popen(("sha256sum '" + wav.string() + "'").c_str(), "r");
    char digits[65] = {};
    ASSERT_EQ(std::fread(digits, 1, 64, sum), 64u);
    ::pclose(sum);
    EXPECT_EQ(job.Contents.WavSha256, digits);

    // The Opus decodes to the recording's length at Opus's 48000 Hz.
    int error = 0;
    OggOpusFile* opus = op_open_file((outbox / job.Contents.Audio).c_str(), &error);
    ASSERT_NE(opus, nullptr) << error;
    EXPECT_EQ(op_channel_count(opus, -1), 1);
    EXPECT_NEAR(static_cast<double>(op_pcm_total(opus, -1)), 3 * 48000.0, 48.0);
    op_free(opus);

    // Sent again (as another recording of that name would be): refused, nothing changed.
    const auto job_before = Bytes(outbox / (std::string(kId) + ".job"));
    const SendOutcome again = Send();
    EXPECT_FALSE(again.Sent);
    EXPECT_NE(again.Message.find("was sent already"), std::string::npos) << again.Message;
    EXPECT_EQ(Bytes(outbox / (std::string(kId) + ".job")), job_before);

    // A .stignore of the user's own is never changed.
    request.Author = "Jan";
    std::ofstream(outbox / ".stignore", std::ios::trunc) << "*.tmp\n";
    ASSERT_TRUE(Send().Sent);
    EXPECT_EQ(Bytes(outbox / ".stignore"), "*.tmp\n");
}

TEST_F(JobSender, an_outbox_that_cannot_take_the_job_leaves_nothing_and_says_why) {
    const struct {
        const char* name;
        const char* mount; // tmpfs options, or nullptr for a plain folder
        std::function<void(const fs::path&)> prepare;
        const char* message;
    } cases[] = {
        {"not set up", nullptr, [&](const fs::path&) { request.Outbox.clear(); }, "No outbox is set up"},
        {"missing", nullptr, [](const fs::path&) {}, "does not exist"},
        {"a file", nullptr, [](const fs::path& at) { std::ofstream(at) << "x"; }, "it is not a folder"},
        {"no author", nullptr, [&](const fs::path& at) { fs::create_directory(at), request.Author.clear(); },
         "No author"},
        {"read-only", "ro,size=1m", [](const fs::path&) {}, "read-only"},
        // 60 s of tone take about 180 KB of Opus: the disk fills while encoding.
        {"full", "size=64k", [&](const fs::path&) { WriteTone(wav, 44100, 60); }, "no space left"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        const fs::path outbox = request.Outbox;
        std::optional<SmallDisk> disk;
        if (c.mount) {
            disk.emplace(outbox, c.mount);
            if (!disk->Mounted) {
                std::printf("skipped %s: no tmpfs can be mounted here (needs root)\n", c.name);
                continue;
            }
        }
        c.prepare(outbox);
        const std::string before = Bytes(wav);
        const SendOutcome outcome = Send();
        EXPECT_FALSE(outcome.Sent);
        EXPECT_NE(outcome.Message.find(c.message), std::string::npos) << outcome.Message;
        if (!request.Outbox.empty() && !request.Author.empty()) {
            EXPECT_NE(outcome.Message.find(outbox.string()), std::string::npos) << outcome.Message;
        }
        EXPECT_EQ(Bytes(wav), before);
        if (fs::is_directory(outbox)) {
            std::vector<std::string> left = Listed(outbox);
            std::erase(left, ".stignore");
            EXPECT_TRUE(left.empty()) << left.front();
        }
    }
}

} // namespace
