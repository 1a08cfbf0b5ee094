#include "SectionsReport.h"
#include "WaveTestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

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
    EXPECT_NE(out.str().find("        1  0:00:00  0:00:01\n"
                             "        2  0:00:05  0:00:00  (starts after the end)\n"),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("the marks claim 0:00:05 but the samples last 1.000000 s"), std::string::npos)
        << out.str();
}

TEST_F(SectionsToolTest, LabelsStayWithinTheSamplesWhateverTheMarksClaim) {
    // 10 s of samples with marks adding up to 103 s; 2 s with marks of 0xFFFFFFFF seconds.
    const std::vector<std::pair<Bytes, std::string>> cases = {
        {ProgramFile(88200 * 10, {1, 2, 100}),
         "0.000000\t1.000000\tSection 1\n1.000000\t3.000000\tSection 2\n"
         "3.000000\t10.000000\tSection 3\n10.000000\t10.000000\tSection 4\n"},
        {ProgramFile(88200 * 2, {0xFFFFFFFFu, 0xFFFFFFFFu}),
         "0.000000\t2.000000\tSection 1\n2.000000\t2.000000\tSection 2\n2.000000\t2.000000\tSection 3\n"},
    };
    for (const auto& [bytes, labels] : cases) {
        const std::string file = Make("rec.wav", bytes);
        out.str("");
        err.str("");
        EXPECT_EQ(Run({"--labels=-", file}), 0);
        EXPECT_EQ(out.str(), labels);
        EXPECT_EQ(err.str().rfind(file + ": the marks claim ", 0), 0u) << err.str();
    }
}

TEST_F(SectionsToolTest, ALabelTrackReplacesNothingButAnEarlierLabelTrack) {
    namespace fs = std::filesystem;
    const std::string file = Make("take1.wav", ProgramFile(88200, {})), track = dir.Path("take1.txt");
    const std::string notes = Make("notes", {'m', 'y'}), labels = "0.000000\t1.000000\tSection 1\n";
    // What lies at the track's name: a file with these bytes, a link to the notes or a folder;
    // and what the tool says about it ("" when it writes the track).
    const std::vector<std::tuple<char, std::string, std::string>> cases = {
        {'-', "", ""},
        {'f', "0.000000\t7.000000\tSection 1\n", ""}, // an earlier track
        {'f', "RIFF....WAVEfmt ", "is not a label track"},
        {'f', "my own notes\n", "is not a label track"},
        {'f', "", "is not a label track"},
        {'l', "", "is a symbolic link"},
        {'d', "", "is not a regular file"},
    };
    for (const auto& [kind, bytes, message] : cases) {
        SCOPED_TRACE(bytes + kind);
        fs::remove_all(track);
        if (kind == 'f')
            WriteFile(track, Bytes(bytes.begin(), bytes.end()));
        else if (kind == 'l')
            fs::create_symlink(notes, track);
        else if (kind == 'd')
            fs::create_directory(track);
        err.str("");
        EXPECT_EQ(Run({"--labels", file}), message.empty() ? 0 : 1);
        EXPECT_EQ(err.str(), message.empty() ? ""
                                             : file + ": label track not written: " + track + " " + message +
                                                   "; it is left alone\n");
        const Bytes now = kind == 'd' ? Bytes() : ReadFile(track);
        EXPECT_EQ(std::string(now.begin(), now.end()), message.empty() ? labels : kind == 'l' ? "my" : bytes);
        EXPECT_EQ(fs::is_symlink(track), kind == 'l');
        EXPECT_EQ(ReadFile(notes), Bytes({'m', 'y'}));
    }
    // No temporary file is left beside them.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 3);
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
    Bytes fmt;
    AppendFmt(fmt, 2, 44100, 32, 16, 3);
    const Bytes floats = RiffWave({fmt, Chunk("data", std::string(64, '\0'))});
    const std::vector<std::pair<std::string, std::string>> cases = {
        {Make("text.wav", Bytes(100, 'x')), "RIFF check failed"},
        {Make("empty.wav", {}), "RIFF check failed"},
        {Make("movie.wav", avi), "WAVE check failed"},
        {Make("nofmt.wav", noFmt), "fmt check failed"},
        {Make("nodata.wav", noData), "data check failed"},
        {Make("norate.wav", noRate), "format check failed"},
        {Make("float.wav", floats),
         "format check failed: the fmt chunk gives IEEE float, 44100 Hz, 2 channels, 32 bits: not PCM"},
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

TEST_F(SectionsToolTest, FilesWithChunksAroundFmtAndDataShowTheSamplesWhereTheyAre) {
    int i = 0;
    for (const ChunkedCase& c : ChunkedFiles()) {
        SCOPED_TRACE(c.Name);
        const std::string file = Make("chunked" + std::to_string(i++) + ".wav", c.File);
        out.str("");
        EXPECT_EQ(Run({file}), 0) << err.str();
        EXPECT_NE(out.str().find(": PCM 16-bit mono 44100 Hz, length 0:00:00, " +
                                 std::to_string(c.Samples.size()) + " sample bytes from offset " +
                                 std::to_string(c.DataStart) + "\n"),
                  std::string::npos)
            << out.str();
    }
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

TEST_F(SectionsToolTest, TheProgramSaysTheSystemsReasonForWhatItCannotReadOrWrite) {
    const std::string good = Make("good.wav", ProgramFile(100, {}));
    const std::string locked = Make("locked.wav", ProgramFile(100, {}));
    // A name of 255 bytes is as long as names get; its track's name is longer still.
    const std::string longest = Make(std::string(251, 'r') + ".txt", ProgramFile(100, {}));
    ::chmod(dir.Path().c_str(), 0755);
    ::chmod(locked.c_str(), 0);
    // Root may read anything: the unreadable file is read as somebody else.
    const std::string asOther = ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    const std::vector<std::tuple<std::string, std::string>> cases = {
        {asOther + TAVLO_SECTIONS_EXE " '" + locked + "'",
         locked + ": rejected: cannot be opened: Permission denied\n"},
        {TAVLO_SECTIONS_EXE " --labels '" + longest + "' >/dev/null",
         longest + ": cannot write the label track " + longest + ".txt: File name too long\n"},
        {TAVLO_SECTIONS_EXE " --labels=- '" + good + "' >/dev/full",
         "tavlo-sections: cannot write to standard output: No space left on device\n"},
        {TAVLO_SECTIONS_EXE " '" + good + "' >/dev/full",
         "tavlo-sections: cannot write to standard output: No space left on device\n"},
    };
    for (const auto& [command, message] : cases) {
        SCOPED_TRACE(command);
        const int raw = std::system((command + " 2>'" + dir.Path("err") + "'").c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
        const Bytes text = ReadFile(dir.Path("err"));
        EXPECT_EQ(std::string(text.begin(), text.end()), message);
    }
}

} // namespace
