#include "SectionsReport.h"
#include "WaveTestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
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
    struct Case {
        std::uint32_t dataBytes;
        std::vector<std::uint32_t> entries;
        std::string labels;
        bool claimsMore;
    };
    const std::vector<Case> cases = {
        {88200 * 10,
         {1, 2, 100}, // 10 s of samples, marks adding up to 103 s
         "0.000000\t1.000000\tSection 1\n1.000000\t3.000000\tSection 2\n"
         "3.000000\t10.000000\tSection 3\n10.000000\t10.000000\tSection 4\n",
         true},
        {88200 * 2,
         {0xFFFFFFFFu, 0xFFFFFFFFu},
         "0.000000\t2.000000\tSection 1\n2.000000\t2.000000\tSection 2\n2.000000\t2.000000\tSection 3\n",
         true},
        {88200 * 2 + 44100, {2}, "0.000000\t2.000000\tSection 1\n2.000000\t2.500000\tSection 2\n", false},
    };
    for (const Case& c : cases) {
        const std::string file = Make("rec.wav", ProgramFile(c.dataBytes, c.entries));
        out.str("");
        err.str("");
        EXPECT_EQ(Run({"--labels=-", file}), 0);
        EXPECT_EQ(out.str(), c.labels);
        EXPECT_EQ(err.str().find(file + ": the marks claim ") == 0, c.claimsMore) << err.str();
    }
}

TEST_F(SectionsToolTest, ALabelTrackReplacesNothingButAnEarlierLabelTrack) {
    const Bytes take = ProgramFile(88200 * 2, {1});
    const std::string earlier = "0.000000\t7.000000\tSection 1\n";
    const std::string labels = "0.000000\t1.000000\tSection 1\n1.000000\t2.000000\tSection 2\n";
    struct Case {
        std::string what;                              // what lies where the track goes
        std::function<void(const std::string&)> place; // puts it at the track's name
        std::string message;                           // on standard error, "" when written
    };
    const std::string notes = dir.Path("notes");
    WriteFile(notes, {'m', 'y', '\n'});
    const std::vector<Case> cases = {
        {"nothing", [](const std::string&) {}, ""},
        {"an earlier track",
         [&](const std::string& at) { WriteFile(at, Bytes(earlier.begin(), earlier.end())); }, ""},
        {"a recording", [&](const std::string& at) { WriteFile(at, take); }, "is not a label track"},
        {"the user's notes",
         [](const std::string& at) {
             WriteFile(at, {'h', 'i', '\n'});
         },
         "is not a label track"},
        {"an empty file", [](const std::string& at) { WriteFile(at, {}); }, "is not a label track"},
        {"a link to notes", [&](const std::string& at) { std::filesystem::create_symlink(notes, at); },
         "is a symbolic link"},
        {"a folder", [](const std::string& at) { std::filesystem::create_directory(at); },
         "is not a regular file"},
    };
    // What a name shows: a folder, where a link points, or the bytes of a file.
    auto look = [](const std::string& path) {
        namespace fs = std::filesystem;
        if (fs::is_symlink(path))
            return "link to " + fs::read_symlink(path).string();
        if (fs::is_directory(path))
            return std::string("folder");
        const Bytes bytes = ReadFile(path);
        return std::string(bytes.begin(), bytes.end());
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = Make("take1.wav", take);
        const std::string track = dir.Path("take1.txt");
        std::filesystem::remove_all(track);
        c.place(track);
        const std::string before = look(track);
        err.str("");
        EXPECT_EQ(Run({"--labels", file}), c.message.empty() ? 0 : 1);
        if (c.message.empty()) {
            EXPECT_EQ(look(track), labels);
            EXPECT_EQ(err.str(), "");
        } else {
            EXPECT_EQ(look(track), before);
            EXPECT_EQ(err.str(), file + ": label track not written: " + track + " " + c.message +
                                     "; it is left alone\n");
        }
        EXPECT_EQ(ReadFile(notes), Bytes({'m', 'y', '\n'}));
    }
    // Only the recordings, the notes and the track are left: no temporary file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3);
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

TEST_F(SectionsToolTest, AFailedLabelWriteSaysWhy) {
    // A name of 255 bytes is as long as names get; its track's name is longer still.
    const std::string file = Make(std::string(251, 'r') + ".txt", ProgramFile(100, {}));
    EXPECT_EQ(Run({"--labels", file}), 1);
    EXPECT_EQ(err.str(), file + ": cannot write the label track " + file + ".txt: File name too long\n");
}

TEST_F(SectionsToolTest, AFileThatCannotBeOpenedSaysWhy) {
    const std::string file = Make("private.wav", ProgramFile(100, {}));
    ::chmod(dir.Path().c_str(), 0755);
    ::chmod(file.c_str(), 0);
    // The permission holds for anybody but root: check as somebody else.
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(99);
        std::ostringstream childOut, childErr;
        const int status = RunSections({file}, childOut, childErr);
        const std::string text = childErr.str();
        if (::write(pipeEnds[1], text.data(), text.size()) < 0)
            ::_exit(98);
        ::_exit(status);
    }
    ::close(pipeEnds[1]);
    std::string text;
    char chunk[256];
    for (ssize_t n; (n = ::read(pipeEnds[0], chunk, sizeof chunk)) > 0;)
        text.append(chunk, std::size_t(n));
    ::close(pipeEnds[0]);
    int raw = 0;
    ::waitpid(child, &raw, 0);
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
    EXPECT_EQ(text, file + ": rejected: cannot be opened: Permission denied\n");
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

TEST_F(SectionsToolTest, OutputThatCannotBeWrittenFailsWithTheReason) {
    const std::string good = Make("good.wav", ProgramFile(100, {}));
    const std::string exe = TAVLO_SECTIONS_EXE;
    for (const std::string& args :
         std::vector<std::string>{"--labels=- '" + good + "'", "'" + good + "'", "--help"}) {
        SCOPED_TRACE(args);
        const int raw = std::system((exe + " " + args + " >/dev/full 2>'" + dir.Path("err") + "'").c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
        const Bytes text = ReadFile(dir.Path("err"));
        EXPECT_EQ(std::string(text.begin(), text.end()),
                  "tavlo-sections: cannot write to standard output: No space left on device\n");
    }
}

} // namespace
