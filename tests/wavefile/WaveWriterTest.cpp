#include "wavefile/WaveWriter.h"
#include "WaveTestFiles.h"
#include "wavefile/FileName.h"
#include "wavefile/WaveErrors.h"
#include "wavefile/WaveReader.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using namespace wavetest;

namespace {

class WaveWriterTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string name = dir.Path("rec.wav");

    // Hands the writer the samples in the capture engine's 8820-byte pieces.
    static void WriteInPieces(CWaveWriter& writer, const Bytes& samples, unsigned piece = 8820) {
        for (std::size_t at = 0; at < samples.size(); at += piece) {
            unsigned length = unsigned(std::min<std::size_t>(piece, samples.size() - at));
            writer.Write(reinterpret_cast<const char*>(samples.data() + at), &length);
        }
    }
};

TEST_F(WaveWriterTest, TwoSecondsWithOneMarkGiveTheDocumentedBytes) {
    const Bytes samples = Ramp(176400);
    {
        CWaveWriter writer(name.c_str(), 44100, 1);
        WriteInPieces(writer, samples);
        writer.AddSection(1);
        writer.Close();
    }
    const Bytes file = ReadFile(name);
    ASSERT_EQ(file.size(), 176456u);
    const Bytes header =
        FromHex("52 49 46 46 34 b1 02 00 57 41 56 45 66 6d 74 20 10 00 00 00 01 00 01 00 44 ac 00 00 "
                "88 58 01 00 02 00 10 00 64 61 74 61 10 b1 02 00");
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 44), header);
    EXPECT_EQ(Bytes(file.begin() + 44, file.begin() + 176444), samples);
    EXPECT_EQ(Bytes(file.begin() + 176444, file.end()), FromHex("73 65 63 74 01 00 00 00 01 00 00 00"));
}

TEST_F(WaveWriterTest, AWriterClosedWithoutSamplesOrMarksLeavesA52ByteFile) {
    CWaveWriter writer(name.c_str(), 48000, 1);
    writer.Close();
    const Bytes file = ReadFile(name);
    ASSERT_EQ(file.size(), 52u);
    EXPECT_EQ(Le32(file, 4), 36u);
    EXPECT_EQ(Le32(file, 24), 48000u);
    EXPECT_EQ(Le32(file, 28), 96000u);
    EXPECT_EQ(Le32(file, 40), 0u);
    EXPECT_EQ(Bytes(file.begin() + 44, file.end()), FromHex("73 65 63 74 00 00 00 00"));
}

TEST_F(WaveWriterTest, PiecesOf8820And8820And100GiveTheirSumAsDataSize) {
    CWaveWriter writer(name.c_str(), 44100, 1);
    WriteInPieces(writer, Ramp(8820 * 2 + 100));
    writer.Close();
    const Bytes file = ReadFile(name);
    EXPECT_EQ(Le32(file, 40), 17740u);
    EXPECT_EQ(Le32(file, 4), 17776u);
    ASSERT_EQ(file.size(), 17784u + 8);
    EXPECT_EQ(std::string(file.begin() + 17784, file.begin() + 17788), "sect");
}

TEST_F(WaveWriterTest, MarksAreStoredInMarkingOrderAfterTheSamples) {
    CWaveWriter writer(name.c_str(), 44100, 1);
    WriteInPieces(writer, Ramp(1000));
    SectionEntry* first = writer.AddSection(12);
    SectionEntry* second = writer.AddSection(5);
    EXPECT_EQ(first->Seconds, 12u);
    EXPECT_EQ(first->pNext, second);
    writer.Close();
    const Bytes file = ReadFile(name);
    ASSERT_EQ(file.size(), 44u + 1000 + 8 + 8);
    EXPECT_EQ(Le32(file, 1048), 2u);
    EXPECT_EQ(Le32(file, 1052), 12u);
    EXPECT_EQ(Le32(file, 1056), 5u);
}

TEST_F(WaveWriterTest, ASecondCloseDestructionAndLateCallsLeaveTheFileUnchanged) {
    auto writer = std::make_unique<CWaveWriter>(name.c_str(), 44100, 1);
    WriteInPieces(*writer, Ramp(500));
    writer->AddSection(3);
    EXPECT_TRUE(writer->Close());
    const Bytes closed = ReadFile(name);
    EXPECT_TRUE(writer->Close());
    EXPECT_FALSE(writer->Failed());
    unsigned length = 100;
    writer->Write(reinterpret_cast<const char*>(Ramp(100).data()), &length);
    writer->AddSection(4);
    EXPECT_FALSE(writer->Seek(0, true));
    writer.reset();
    EXPECT_EQ(ReadFile(name), closed);
}

TEST_F(WaveWriterTest, ReportsItsFormatAndNoPositionOrLength) {
    CWaveWriter writer(name.c_str(), 48000, 2);
    unsigned rate = 0;
    unsigned short bits = 0, channels = 0;
    writer.GetFormat(&rate, &bits, &channels);
    EXPECT_EQ(rate, 48000u);
    EXPECT_EQ(bits, 16);
    EXPECT_EQ(channels, 2);
    WriteInPieces(writer, Ramp(400));
    EXPECT_EQ(writer.Tell(), 0u);
    EXPECT_EQ(writer.GetLength(), 0u);
    writer.Close();
    const Bytes file = ReadFile(name);
    EXPECT_EQ(Le16(file, 32), 4); // block align
    EXPECT_EQ(Le32(file, 28), 192000u);
}

// The errno and the words that the message at Record will show.
int CreationErrno(const std::string& path, std::string& words) {
    try {
        CWaveWriter writer(path.c_str(), 44100, 1);
    } catch (const WaveErrors::FileOperation& e) {
        words = WaveErrors::CurrentReason();
        return e.Path == path ? e.Errno : -1;
    }
    return 0;
}

TEST_F(WaveWriterTest, CreationFailsWithFileOperationWhereNoFileCanBeMadeAndSaysWhy) {
    struct Case {
        std::string path;
        int error;
        const char* words;
    };
    std::filesystem::create_directory(dir.Path("locked"));
    using std::filesystem::perms;
    std::filesystem::permissions(dir.Path("locked"), perms::owner_read | perms::owner_exec |
                                                         perms::group_read | perms::group_exec |
                                                         perms::others_read | perms::others_exec);
    // /dev/full opens, but not even the header can be written: the full disk.
    for (const Case& c :
         {Case{dir.Path("missing/rec.wav"), ENOENT, "no such file or folder"},
          Case{dir.Path(), EISDIR, "it is a folder"}, Case{"/dev/full", ENOSPC, "no space left on the disk"},
          Case{dir.Path("locked/rec.wav"), EACCES, "permission denied"}}) {
        SCOPED_TRACE(c.path);
        std::string words;
        if (c.error != EACCES || geteuid() != 0) {
            EXPECT_EQ(CreationErrno(c.path, words), c.error);
            EXPECT_EQ(words, c.words);
            continue;
        }
        // Root writes into any folder: the read-only folder refuses an ordinary user, in a child.
        std::filesystem::permissions(dir.Path(), std::filesystem::perms::all);
        EXPECT_EXIT(
            {
                if (setgid(65534) != 0 || setuid(65534) != 0)
                    _exit(3);
                const int error = CreationErrno(c.path, words);
                std::fprintf(stderr, "%d %s\n", error, words.c_str());
                _exit(0);
            },
            ::testing::ExitedWithCode(0), std::to_string(c.error) + " " + c.words);
    }
}

TEST(WaveErrorsReason, GivesTheSystemsReasonInPlainWordsOrWhatIsWrongWithTheFile) {
    EXPECT_EQ(WaveErrors::ReasonText(EROFS), "the disk is read-only");
    EXPECT_EQ(WaveErrors::ReasonText(EDQUOT), "the disk quota is used up");
    EXPECT_EQ(WaveErrors::ReasonText(E2BIG), "argument list too long") << "the system's text, in lower case";
    EXPECT_EQ(WaveErrors::ReasonText(0), "");
    EXPECT_EQ(WaveErrors::RiffDoesntMatch().Reason(), "it is not a WAV file");
    EXPECT_EQ(WaveErrors::DataDoesntMatch(EIO, "x.wav").Reason(), "the disk reported an input/output error");
    EXPECT_EQ(WaveErrors::ReasonText(std::make_exception_ptr(std::runtime_error("no memory"))), "no memory");
    EXPECT_EQ(WaveErrors::ReasonText(std::make_exception_ptr(7)), "unknown error");
    EXPECT_EQ(WaveErrors::CurrentReason(), "") << "outside a catch block";
}

TEST_F(WaveWriterTest, CreatingOverAnExistingFileCutsItToTheNewHeader) {
    WriteFile(name, Ramp(5000));
    CWaveWriter writer(name.c_str(), 44100, 1);
    const Bytes file = ReadFile(name);
    ASSERT_EQ(file.size(), 44u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
    EXPECT_EQ(Le32(file, 40), 0u);
}

TEST_F(WaveWriterTest, SeekToZeroEmptiesTheRecordingButKeepsTheMarks) {
    CWaveWriter writer(name.c_str(), 44100, 1);
    WriteInPieces(writer, Ramp(100000));
    writer.AddSection(7);
    EXPECT_FALSE(writer.Seek(0, true));
    EXPECT_EQ(ReadFile(name).size(), 44u);
    const Bytes after = Ramp(300, 9);
    WriteInPieces(writer, after);
    writer.Close();
    const Bytes file = ReadFile(name);
    ASSERT_EQ(file.size(), 44u + 300 + 12);
    EXPECT_EQ(Le32(file, 4), 336u);
    EXPECT_EQ(Le32(file, 40), 300u);
    EXPECT_EQ(Bytes(file.begin() + 44, file.begin() + 344), after);
    EXPECT_EQ(Le32(file, 348), 1u);
    EXPECT_EQ(Le32(file, 352), 7u);
}

TEST_F(WaveWriterTest, OtherSeeksChangeNothing) {
    CWaveWriter writer(name.c_str(), 44100, 1);
    WriteInPieces(writer, Ramp(1000));
    EXPECT_FALSE(writer.Seek(0, false));
    EXPECT_FALSE(writer.Seek(10, true));
    EXPECT_FALSE(writer.Seek(-4, false));
    writer.Close();
    EXPECT_EQ(Le32(ReadFile(name), 40), 1000u);
}

// A recording cut off by a crash keeps sizes that cover every whole second written so far.
TEST_F(WaveWriterTest, SizesOnDiskFollowEveryWholeSecondWhileRecording) {
    CWaveWriter writer(name.c_str(), 44100, 1);
    WriteInPieces(writer, Ramp(8820 * 5));
    Bytes file = ReadFile(name);
    EXPECT_EQ(Le32(file, 40), 0u) << "half a second: not updated yet";
    WriteInPieces(writer, Ramp(8820 * 5));
    file = ReadFile(name);
    EXPECT_EQ(Le32(file, 40), 88200u);
    EXPECT_EQ(Le32(file, 4), 88236u);
    ASSERT_GE(file.size(), 44u + 88200);
    WriteInPieces(writer, Ramp(8820 * 15));
    file = ReadFile(name);
    EXPECT_EQ(Le32(file, 40), 176400u);
    writer.Close();
    file = ReadFile(name);
    EXPECT_EQ(Le32(file, 40), 8820u * 25);
    EXPECT_EQ(Le32(file, 4), 8820u * 25 + 36);
}

TEST_F(WaveWriterTest, AProcessThatDiesMidRecordingLeavesAFileWithTheWrittenSeconds) {
    const Bytes samples = Ramp(8820 * 25); // 2.5 s
    EXPECT_EXIT(
        {
            auto* writer = new CWaveWriter(name.c_str(), 44100, 1);
            WriteInPieces(*writer, samples);
            _exit(0); // no Close, no destructor, no stream flush: as in a crash
        },
        ::testing::ExitedWithCode(0), "");
    const Bytes file = ReadFile(name);
    ASSERT_GE(file.size(), 44u + 176400);
    EXPECT_EQ(Le32(file, 4), 36u + 176400);
    EXPECT_EQ(Le32(file, 40), 176400u);
    EXPECT_EQ(Bytes(file.begin() + 44, file.begin() + 44 + 176400),
              Bytes(samples.begin(), samples.begin() + 176400));
}

// The window marks sections while the capture worker writes.
TEST_F(WaveWriterTest, MarksMadeWhileTheCaptureWorkerWritesAreAllStored) {
    CWaveWriter writer(name.c_str(), 44100, 1);
    const Bytes samples = Ramp(8820 * 30);
    std::thread worker([&] { WriteInPieces(writer, samples); });
    for (unsigned i = 0; i < 20; ++i)
        writer.AddSection(i);
    worker.join();
    writer.Close();
    const Bytes file = ReadFile(name);
    ASSERT_EQ(file.size(), 44u + samples.size() + 8 + 4 * 20);
    EXPECT_EQ(Bytes(file.begin() + 44, file.begin() + 44 + std::ptrdiff_t(samples.size())), samples);
    EXPECT_EQ(Le32(file, 48 + samples.size()), 20u);
    for (unsigned i = 0; i < 20; ++i)
        EXPECT_EQ(Le32(file, 52 + samples.size() + 4 * i), i);
}

// ----- Write errors -----

const std::vector<std::uint32_t> kLimitMarks = {4, 7, 9};

// In a child process: records samples under a file-size limit, marks three sections and prints
// what the writer said.
[[noreturn]] void RecordUnderFileSizeLimit(const std::string& name, rlim_t bytes, const Bytes& samples) {
    signal(SIGXFSZ, SIG_IGN); // else the kernel ends the process at the limit
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
    CWaveWriter writer(name.c_str(), 44100, 1);
    unsigned taken = 0;
    for (std::size_t at = 0; at < samples.size(); at += 8820) {
        unsigned length = unsigned(std::min<std::size_t>(8820, samples.size() - at));
        writer.Write(reinterpret_cast<const char*>(samples.data() + at), &length);
        taken += length;
    }
    for (unsigned seconds : kLimitMarks)
        writer.AddSection(seconds);
    const bool failedWhileRecording = writer.Failed();
    const bool closed = writer.Close();
    std::fprintf(stderr, "taken %u failed %d closed %d failed %d: %s\n", taken, int(failedWhileRecording),
                 int(closed), int(writer.Failed()), writer.FailureReason().c_str());
    _exit(0);
}

// A file-size limit stops the file where a full disk would. Each case runs in a child process,
// which alone gets the limit; it reports what the writer said, the test then reads the file. The
// section list is kept even when it does not fit: it takes the place of the last samples.
TEST_F(WaveWriterTest, AFailedWriteIsReportedAndTheFileKeepsJustTheSamplesThatReachedIt) {
    struct Case {
        std::uint64_t limit; // bytes the file may reach
        std::size_t offered; // sample bytes handed to Write, in 8820-byte pieces
        const char* report;  // what the child prints
        std::uint32_t kept;  // sample bytes in the file and in its header afterwards
    };
    // The list of three marks takes 20 bytes.
    // The limit reached gives EFBIG, which the recording command can name.
    const std::string tooLarge = ": the file has grown too large\n";
    for (const Case& c : {Case{100000, 352800, "taken 99956 failed 1 closed 0 failed 1", 99936},
                          Case{100001, 352800, "taken 99956 failed 1 closed 0 failed 1", 99936},
                          Case{44 + 17640, 17640, "taken 17640 failed 0 closed 0 failed 1", 17620},
                          Case{44 + 17640 + 19, 17640, "taken 17640 failed 0 closed 0 failed 1", 17620},
                          Case{1000000, 17640, "taken 17640 failed 0 closed 1 failed 0: \n", 17640}}) {
        SCOPED_TRACE(c.limit);
        const Bytes samples = Ramp(c.offered);
        const std::string report = std::string(c.report) + (c.kept < c.offered ? tooLarge : "");
        EXPECT_EXIT(RecordUnderFileSizeLimit(name, c.limit, samples), ::testing::ExitedWithCode(0), report);

        const Bytes file = ReadFile(name);
        ASSERT_EQ(file.size(), 44u + c.kept + 20);
        EXPECT_EQ(Le32(file, 4), 36u + c.kept);
        EXPECT_EQ(Le32(file, 40), c.kept);
        EXPECT_EQ(Bytes(file.begin() + 44, file.begin() + 44 + c.kept),
                  Bytes(samples.begin(), samples.begin() + c.kept));
        g_FileName = name;
        CWaveReader reader;
        EXPECT_EQ(reader.GetLength(), c.kept);
        std::vector<std::uint32_t> starts;
        for (SectionNode* n = reader.m_pFirstSection; n; n = n->pNext)
            starts.push_back(n->Seconds);
        EXPECT_EQ(starts, (std::vector<std::uint32_t>{0, 4, 11, 20}));
    }
}

TEST_F(WaveWriterTest, AnEmptyingThatCannotOpenTheFileAgainFailsAndLaterSamplesAreRefused) {
    CWaveWriter writer(name.c_str(), 44100, 1);
    WriteInPieces(writer, Ramp(8820));
    EXPECT_FALSE(writer.Failed());
    std::filesystem::remove(name);
    std::filesystem::create_directory(name); // the name can no longer be opened as a file
    writer.Seek(0, true);
    EXPECT_TRUE(writer.Failed());
    EXPECT_EQ(writer.FailureErrno(), EISDIR);
    unsigned length = 8820;
    writer.Write(reinterpret_cast<const char*>(Ramp(8820).data()), &length);
    EXPECT_EQ(length, 0u);
    EXPECT_FALSE(writer.Close());
    EXPECT_FALSE(writer.Close());
    EXPECT_TRUE(writer.Failed());
}

TEST(WaveWriterLimit, TheLargestRecordingKeepsEveryOffsetWithin32Bits) {
    EXPECT_EQ(CWaveWriter::MaxDataBytes(2), 4294967250u);
    EXPECT_EQ(CWaveWriter::MaxDataBytes(4), 4294967248u);
    for (unsigned short align : {1, 2, 4, 6}) {
        const std::uint64_t max = CWaveWriter::MaxDataBytes(align);
        EXPECT_LE(44 + max, 0xFFFFFFFFull);
        EXPECT_GT(44 + max + std::max<unsigned>(align, 2), 0xFFFFFFFFull) << "no whole frame more would fit";
        EXPECT_EQ(max % std::max<unsigned>(align, 2), 0u);
    }
}

TEST_F(WaveWriterTest, SamplesPastTheLimitAreRefusedAndReported) {
    CWaveWriter writer(name.c_str(), 44100, 1);
    writer.SetDataLimit(10001); // rounded down to whole samples: 10000
    const Bytes samples = Ramp(8820 * 3);
    unsigned length = 8820;
    writer.Write(reinterpret_cast<const char*>(samples.data()), &length);
    EXPECT_EQ(length, 8820u);
    EXPECT_FALSE(writer.IsFull());
    length = 8820;
    writer.Write(reinterpret_cast<const char*>(samples.data() + 8820), &length);
    EXPECT_EQ(length, 1180u);
    EXPECT_TRUE(writer.IsFull());
    // Reaching the limit puts the final sizes on disk at once.
    EXPECT_EQ(Le32(ReadFile(name), 40), 10000u);
    length = 8820;
    writer.Write(reinterpret_cast<const char*>(samples.data() + 17640), &length);
    EXPECT_EQ(length, 0u);
    writer.AddSection(2);
    writer.Close();
    const Bytes file = ReadFile(name);
    ASSERT_EQ(file.size(), 44u + 10000 + 12);
    EXPECT_EQ(Le32(file, 4), 10036u);
    EXPECT_EQ(Le32(file, 40), 10000u);
    EXPECT_EQ(Bytes(file.begin() + 44, file.begin() + 10044),
              Bytes(samples.begin(), samples.begin() + 10000));
    EXPECT_EQ(std::string(file.begin() + 10044, file.begin() + 10048), "sect");
}

TEST_F(WaveWriterTest, AStereoLimitCutsOnlyWholeFrames) {
    CWaveWriter writer(name.c_str(), 48000, 2);
    writer.SetDataLimit(1006);
    unsigned length = 2000;
    writer.Write(reinterpret_cast<const char*>(Ramp(2000).data()), &length);
    EXPECT_EQ(length, 1004u);
    writer.Close();
    EXPECT_EQ(Le32(ReadFile(name), 40), 1004u);
}

TEST_F(WaveWriterTest, EmptyingAFullRecordingAcceptsSamplesAgain) {
    CWaveWriter writer(name.c_str(), 44100, 1);
    writer.SetDataLimit(100);
    unsigned length = 200;
    writer.Write(reinterpret_cast<const char*>(Ramp(200).data()), &length);
    EXPECT_TRUE(writer.IsFull());
    writer.Seek(0, true);
    EXPECT_FALSE(writer.IsFull());
    length = 50;
    writer.Write(reinterpret_cast<const char*>(Ramp(50).data()), &length);
    EXPECT_EQ(length, 50u);
    writer.Close();
    EXPECT_EQ(Le32(ReadFile(name), 40), 50u);
}

} // namespace
