#include "SectionsReport.h"
#include "WaveTestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <sys/wait.h>

using namespace wavetest;

namespace {

class SectionsToolTest : public ::testing::Test {
protected:
    TempDir dir;
    std::ostringstream out, err;

    int Run(std::vector<std::string> args) { return RunSections(args, out, err); }

    std::string Make(const std::string& name, const Bytes& bytes) {
        WriteFile(dir.Path(name), bytes);
        return dir.Path(name);
    }
};

Bytes OrdinaryWav(std::uint32_t rate, std::uint16_t channels, std::uint32_t dataBytes) {
    Bytes b = PcmHeader(channels, rate, dataBytes);
    b.resize(b.size() + dataBytes);
    return b;
}

TEST_F(SectionsToolTest, ARecordingShowsItsFormatLengthAndSections) {
    // 20 s at 44100 Hz mono with marks after 12 s and 5 s more.
    const std::string file = Make("rec.wav", ProgramFile(88200 * 20, {12, 5}));
    EXPECT_EQ(Run({file}), 0);
    EXPECT_EQ(out.str(),
              file + ": PCM 16-bit mono 44100 Hz, length 0:00:20, 1764000 sample bytes from offset 44\n"
                     "  section    start   length\n"
                     "        1  0:00:00  0:00:12\n"
                     "        2  0:00:12  0:00:05\n"
                     "        3  0:00:17  0:00:03\n");
    EXPECT_EQ(err.str(), "");
}

TEST_F(SectionsToolTest, LabelsGoNextToTheFileAsAudacityLabelTrack) {
    const std::string file = Make("20261207-101500.wav", ProgramFile(88200 * 2 + 44100, {1}));
    EXPECT_EQ(Run({"--labels", file}), 0);
    EXPECT_EQ(LabelFileName(file), dir.Path("20261207-101500.txt"));
    const Bytes labels = ReadFile(dir.Path("20261207-101500.txt"));
    EXPECT_EQ(std::string(labels.begin(), labels.end()), "0.000000\t1.000000\tSection 1\n"
                                                         "1.000000\t2.500000\tSection 2\n");
    EXPECT_NE(out.str().find("labels written to " + dir.Path("20261207-101500.txt")), std::string::npos);
}

TEST_F(SectionsToolTest, LabelsToStandardOutputComeWithoutTheSummary) {
    const std::string file = Make("rec.wav", ProgramFile(88200 * 3, {0, 2}));
    EXPECT_EQ(Run({"--labels=-", file}), 0);
    EXPECT_EQ(out.str(), "0.000000\t0.000000\tSection 1\n"
                         "0.000000\t2.000000\tSection 2\n"
                         "2.000000\t3.000000\tSection 3\n");
}

TEST_F(SectionsToolTest, ALabelTrackNeverReplacesTheRecordingItself) {
    EXPECT_EQ(LabelFileName("/r/a.txt"), "/r/a.txt.txt");
    EXPECT_EQ(LabelFileName("/r/a"), "/r/a.txt");
    EXPECT_EQ(LabelFileName("/r.d/a.WAV"), "/r.d/a.txt");
}

TEST_F(SectionsToolTest, AnOrdinaryStereoWavFileIsOneSection) {
    const std::string file = Make("music.wav", OrdinaryWav(48000, 2, 192000 * 61));
    EXPECT_EQ(Run({file}), 0);
    EXPECT_NE(out.str().find("PCM 16-bit stereo 48000 Hz, length 0:01:01"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("no section list"), std::string::npos);
    EXPECT_NE(out.str().find("        1  0:00:00  0:01:01\n"), std::string::npos) << out.str();
}

TEST_F(SectionsToolTest, ASectionStartingAfterTheEndIsShownAsSuch) {
    const std::string file = Make("rec.wav", ProgramFile(88200, {5}));
    EXPECT_EQ(Run({file}), 0);
    EXPECT_NE(out.str().find("        2  0:00:05  0:00:00  (starts after the end)\n"), std::string::npos)
        << out.str();
    out.str("");
    EXPECT_EQ(Run({"--labels=-", file}), 0);
    EXPECT_EQ(out.str(), "0.000000\t5.000000\tSection 1\n5.000000\t5.000000\tSection 2\n");
}

TEST_F(SectionsToolTest, LongRecordingsShowHoursBeyondTwoDigits) {
    EXPECT_EQ(Clock(0), "0:00:00");
    EXPECT_EQ(Clock(3599), "0:59:59");
    EXPECT_EQ(Clock(360000 + 61), "100:01:01");
}

TEST_F(SectionsToolTest, EachRejectedFileNamesTheCheckThatFailedAndTheExitIsNonZero) {
    Bytes avi = OrdinaryWav(44100, 1, 10);
    std::copy_n("AVI ", 4, avi.begin() + 8);
    Bytes noFmt = OrdinaryWav(44100, 1, 10);
    std::copy_n("LIST", 4, noFmt.begin() + 12);
    Bytes noData = OrdinaryWav(44100, 1, 10);
    std::copy_n("DATA", 4, noData.begin() + 36);
    Bytes noRate = OrdinaryWav(0, 1, 10);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {Make("text.wav", Bytes(100, 'x')), "RIFF check failed"},
        {Make("empty.wav", {}), "RIFF check failed"},
        {Make("movie.wav", avi), "WAVE check failed"},
        {Make("nofmt.wav", noFmt), "fmt check failed"},
        {Make("nodata.wav", noData), "data check failed"},
        {Make("norate.wav", noRate), "format check failed"},
        {dir.Path("missing.wav"), "no such file"},
        {dir.Path(), "not a regular file"},
    };
    for (const auto& [file, check] : cases) {
        err.str("");
        EXPECT_EQ(Run({file}), 1) << file;
        EXPECT_EQ(err.str().rfind(file + ": rejected: " + check, 0), 0u) << err.str();
    }
    EXPECT_EQ(out.str(), "");
}

TEST_F(SectionsToolTest, AGoodFileIsStillReportedNextToARejectedOne) {
    const std::string good = Make("good.wav", ProgramFile(100, {}));
    const std::string bad = Make("bad.wav", Bytes(20, 0));
    EXPECT_EQ(Run({bad, good}), 1);
    EXPECT_NE(out.str().find(good + ": PCM"), std::string::npos);
    EXPECT_NE(err.str().find(bad + ": rejected"), std::string::npos);
}

TEST_F(SectionsToolTest, UsageErrorsExitWithTwo) {
    EXPECT_EQ(Run({}), 2);
    EXPECT_NE(err.str().find("usage: tavlo-sections"), std::string::npos);
    EXPECT_EQ(Run({"--frobnicate", "x.wav"}), 2);
    EXPECT_NE(err.str().find("unknown option --frobnicate"), std::string::npos);
}

TEST_F(SectionsToolTest, AFailedLabelWriteIsReported) {
    const std::string file = Make("rec.wav", ProgramFile(100, {}));
    std::filesystem::create_directory(dir.Path("rec.txt")); // a folder where the track would go
    EXPECT_EQ(Run({"--labels", file}), 1);
    EXPECT_NE(err.str().find("cannot write the label track"), std::string::npos);
}

TEST_F(SectionsToolTest, TheProgramExitsWithTheStatusOfItsChecks) {
    const std::string good = Make("good.wav", ProgramFile(100, {}));
    const std::string bad = Make("bad.wav", Bytes(20, 0));
    const std::string exe = TAVLO_SECTIONS_EXE;
    auto status = [&](const std::string& args) {
        const int raw = std::system((exe + " " + args + " >/dev/null 2>&1").c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    EXPECT_EQ(status("'" + good + "'"), 0);
    EXPECT_EQ(status("'" + good + "' '" + bad + "'"), 1);
    EXPECT_EQ(status(""), 2);
}

} // namespace
