// Recordings that were never closed, finished at the next start from the journal beside them; the
// journal itself; and the copy made when a recording's folder goes away.
#include "wavefile/RecordingRepair.h"
#include "WaveTestFiles.h"
#include "wavefile/FileName.h"
#include "wavefile/RecordingRescue.h"
#include "wavefile/SectionJournal.h"
#include "wavefile/WaveErrors.h"
#include "wavefile/WaveReader.h"
#include "wavefile/WaveWriter.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

using namespace wavetest;
using Result = CRecordingRepair::Result;

namespace {

const std::string kJournalHead = "tavlo section journal 1\n";

// A recording cut off while it recorded: the creation header with the sizes it had last, then
// the sample bytes that reached the disk.
Bytes Unclosed(std::uint32_t headerData, const Bytes& samples, std::uint16_t channels = 1) {
    Bytes file = PcmHeader(channels, 48000, headerData);
    file.insert(file.end(), samples.begin(), samples.end());
    return file;
}

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes Journal(const std::string& lines) {
    return Text(kJournalHead + lines);
}

Bytes SectChunk(const std::vector<std::uint32_t>& marks) {
    Bytes chunk;
    AppendTag(chunk, "sect");
    Append32(chunk, static_cast<std::uint32_t>(marks.size()));
    for (std::uint32_t m : marks)
        Append32(chunk, m);
    return chunk;
}

struct RepairCase {
    const char* Name;
    Bytes File;
    Bytes Journal;
    Result Expected;
    std::uint32_t Data;                  // sample bytes claimed afterwards (repaired files)
    std::vector<std::uint32_t> Sections; // section lengths afterwards (repaired files)
};

std::vector<RepairCase> RepairCases() {
    const Bytes short1000 = Unclosed(0, Ramp(1000));
    std::vector<std::uint32_t> many;
    std::string manyLines;
    for (std::uint32_t i = 0; i < 500; ++i) {
        many.push_back(i % 7);
        manyLines += std::to_string(i % 7) + "\n";
    }
    Bytes interrupted = Unclosed(0, Ramp(4000));
    const Bytes tail = SectChunk({3, 5});
    interrupted.insert(interrupted.end(), tail.begin(), tail.end());
    const Result fixed = Result::Repaired, kept = Result::LeftAlone;
    return {
        {"cut_mid_frame_with_two_marks", Unclosed(0, Ramp(48001)), Journal("3\n5\n"), fixed, 48000, {3, 5}},
        {"stale_sizes_and_more_samples", Unclosed(24000, Ramp(48001)), Journal("1\n"), fixed, 48000, {1}},
        {"no_marks", short1000, Journal(""), fixed, 1000, {}},
        {"many_marks", short1000, Journal(manyLines), fixed, 1000, many},
        {"torn_last_line", short1000, Journal("3\n5\n12"), fixed, 1000, {3, 5}},
        {"a_line_that_is_no_length_ends_the_marks", short1000, Journal("3\nx7\n5\n"), fixed, 1000, {3}},
        {"stereo_cut_mid_frame", Unclosed(0, Ramp(1003), 2), Journal("2\n"), fixed, 1000, {2}},
        {"header_only", Unclosed(0, {}), Journal("4\n"), fixed, 0, {4}},
        {"a_repair_cut_off_after_its_list", interrupted, Journal("3\n5\n"), fixed, 4000, {3, 5}},
        {"closed_properly", ProgramFile(1000, {3}), Journal("3\n"), Result::AlreadyClosed, 0, {}},
        {"garbage_journal", short1000, Ramp(300), kept, 0, {}},
        {"journal_of_another_version", short1000, Text("tavlo section journal 2\n3\n"), kept, 0, {}},
        {"not_ours", Text("RIFX, then bytes that are no header at all, not 44"), Journal("3\n"), kept, 0, {}},
        {"shorter_than_a_header", Ramp(20), Journal("3\n"), kept, 0, {}},
    };
}

void PrintTo(const RepairCase& c, std::ostream* out) {
    *out << c.Name;
}

class RecordingRepairTest : public ::testing::TestWithParam<RepairCase> {};

TEST_P(RecordingRepairTest, FinishesWhatWasRecordedAndNeverMakesAFileWorse) {
    const RepairCase& c = GetParam();
    TempDir dir;
    const std::string wav = dir.Path("20261208-101500.wav");
    const std::string journal = dir.Path("20261208-101500.wav.journal");
    WriteFile(wav, c.File);
    WriteFile(journal, c.Journal);

    EXPECT_EQ(CRecordingRepair::Repair(wav), c.Expected);

    const Bytes after = ReadFile(wav);
    if (c.Expected != Result::Repaired) {
        EXPECT_EQ(after, c.File) << "a file that needs no repair, or cannot have one, keeps every byte";
        EXPECT_EQ(std::filesystem::exists(journal), c.Expected == Result::LeftAlone);
        return;
    }
    EXPECT_FALSE(std::filesystem::exists(journal));
    ASSERT_EQ(after.size(), 44 + c.Data + 8 + 4 * c.Sections.size());
    EXPECT_EQ(Le32(after, 4), 36 + c.Data);
    EXPECT_EQ(Le32(after, 40), c.Data);
    EXPECT_EQ(Bytes(after.begin() + 44, after.begin() + 44 + c.Data),
              Bytes(c.File.begin() + 44, c.File.begin() + 44 + c.Data))
        << "every whole sample frame stays";
    EXPECT_EQ(Bytes(after.begin() + 44 + c.Data, after.end()), SectChunk(c.Sections));

    // The program's reader plays it, with its sections.
    g_FileName = wav;
    CWaveReader reader;
    EXPECT_EQ(reader.GetLength(), c.Data);
    EXPECT_EQ(reader.m_SectionCount, c.Sections.size());
    // A second start finds nothing left to do.
    EXPECT_EQ(CRecordingRepair::Repair(wav), Result::LeftAlone);
    EXPECT_EQ(ReadFile(wav), after);
}

INSTANTIATE_TEST_SUITE_P(Cases, RecordingRepairTest, ::testing::ValuesIn(RepairCases()),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(RecordingRepairFolder, RepairsEachRecordingWithAJournalAndNothingElse) {
    TempDir dir;
    WriteFile(dir.Path("a.wav"), Unclosed(0, Ramp(400)));
    WriteFile(dir.Path("a.wav.journal"), Journal("1\n"));
    WriteFile(dir.Path("b.wav"), Unclosed(0, Ramp(600)));
    WriteFile(dir.Path("c.wav.journal"), Journal("")); // its recording is gone
    WriteFile(dir.Path("d.wav"), Unclosed(0, Ramp(800)));
    WriteFile(dir.Path("d.wav.journal"), Journal("2\n"));

    EXPECT_EQ(CRecordingRepair::RepairFolder(dir.Path()), (std::vector<std::string>{"a.wav", "d.wav"}));
    EXPECT_EQ(ReadFile(dir.Path("b.wav")), Unclosed(0, Ramp(600))) << "no journal, no change";
    EXPECT_TRUE(std::filesystem::exists(dir.Path("c.wav.journal")));
    EXPECT_EQ(Le32(ReadFile(dir.Path("d.wav")), 40), 800u);
}

// A FIFO would hang the start, a link may lead anywhere, 100 MB would be read on the window's
// thread: none of them is read, each is named with its reason, and nothing is changed.
TEST(RecordingRepairFolder, JournalsThatAreNoRegularFileOrTooLargeAreListedUnreadableAndLeftAlone) {
    TempDir dir;
    for (const char* name : {"fifo.wav", "large.wav", "link.wav"})
        WriteFile(dir.Path(name), Unclosed(0, Ramp(400)));
    ASSERT_EQ(::mkfifo(dir.Path("fifo.wav.journal").c_str(), 0600), 0);
    WriteFile(dir.Path("large.wav.journal"), Journal("1\n"));
    std::filesystem::resize_file(dir.Path("large.wav.journal"), 100 << 20);
    WriteFile(dir.Path("elsewhere"), Journal("1\n"));
    std::filesystem::create_symlink("elsewhere", dir.Path("link.wav.journal"));

    const CRecordingRepair::Report report = CRecordingRepair::RepairFolderReport(dir.Path());
    EXPECT_TRUE(report.Repaired.empty());
    EXPECT_EQ(report.Note(), "fifo.wav.journal was not read: it is not a regular file\n"
                             "large.wav.journal was not read: it is larger than a journal can be\n"
                             "link.wav.journal was not read: it is a symbolic link\n");
    for (const char* name : {"fifo.wav", "large.wav", "link.wav"})
        EXPECT_EQ(ReadFile(dir.Path(name)), Unclosed(0, Ramp(400))) << name;
    EXPECT_EQ(ReadFile(dir.Path("elsewhere")), Journal("1\n"));
}

// A second process records (the same folder shared, another instance) while this one starts.
TEST(RecordingRepairFolder, ARecordingAnotherProcessIsMakingIsSkippedUntilItsWriterIsGone) {
    TempDir dir;
    const std::string wav = dir.Path("20261208-101500.wav");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t writer = ::fork();
    if (writer == 0) {
        CWaveWriter recording(wav.c_str(), 48000, 1);
        CSectionJournal journal(wav);
        unsigned length = 96000; // one second: the sizes go to the file
        recording.Write(reinterpret_cast<const char*>(Ramp(length).data()), &length);
        journal.Append(3);
        [[maybe_unused]] const ssize_t said = ::write(ready[1], "r", 1);
        ::pause();
        _exit(0);
    }
    char said = 0;
    ASSERT_EQ(::read(ready[0], &said, 1), 1);
    const Bytes recorded = ReadFile(wav);

    const CRecordingRepair::Report report = CRecordingRepair::RepairFolderReport(dir.Path());
    EXPECT_EQ(report.Note(), "20261208-101500.wav was not repaired: it is being recorded by process " +
                                 std::to_string(writer) + " on " + CSectionJournal::ThisHost() + "\n");
    EXPECT_EQ(ReadFile(wav), recorded);
    EXPECT_TRUE(std::filesystem::exists(CSectionJournal::PathFor(wav)));
    try {
        CWaveWriter over(wav.c_str(), 44100, 1);
        ADD_FAILURE() << "a recording being made was emptied";
    } catch (const WaveErrors::FileOperation& e) {
        EXPECT_EQ(e.Reason(), "another program is writing it");
    }
    EXPECT_EQ(ReadFile(wav), recorded);

    ::kill(writer, SIGKILL);
    ::waitpid(writer, nullptr, 0);
    EXPECT_EQ(CRecordingRepair::RepairFolder(dir.Path()), std::vector<std::string>{"20261208-101500.wav"});
    CWaveReader reader(wav);
    EXPECT_EQ(reader.GetLength(), 96000u);
    EXPECT_EQ(reader.m_SectionCount, 1u);
}

// Where a file system has no locks, the writer the journal names tells a stale journal.
TEST(RecordingRepairWithoutLocks, OnlyAJournalOfThisMachineWhoseProcessEndedIsStale) {
    const pid_t ended = ::fork();
    if (ended == 0)
        _exit(0);
    ::waitpid(ended, nullptr, 0);
    const std::string here = CSectionJournal::ThisHost();
    for (const auto& [host, pid, gone] : {std::tuple{std::string(), 0L, true},
                                          {here, long(ended), true},
                                          {here, long(::getpid()), false},
                                          {"elsewhere", long(ended), false}}) {
        CSectionJournal::Contents journal;
        journal.Host = host;
        journal.Pid = pid;
        EXPECT_EQ(CRecordingRepair::WriterIsGone(journal), gone) << host << " " << pid;
    }
}

TEST(SectionJournal, EachMarkIsInTheFileWhenAppendReturnsAndRemoveTakesTheJournalAway) {
    TempDir dir;
    const std::string wav = dir.Path("20261208-101500.wav");
    EXPECT_FALSE(CSectionJournal::PathFor(wav).ends_with(".wav"))
        << "a journal is never listed as a recording";
    // Made by its relative name; the current directory changes before the journal goes.
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    CSectionJournal journal("20261208-101500.wav");
    std::filesystem::current_path(before);
    ASSERT_TRUE(journal.IsOpen());
    EXPECT_EQ(CSectionJournal::Read(CSectionJournal::PathFor(wav)), std::vector<std::uint32_t>{});
    // It names its writer and is locked while it is open; a second one on the name is refused.
    const CSectionJournal::Contents named = CSectionJournal::Load(CSectionJournal::PathFor(wav));
    EXPECT_EQ(named.Host, CSectionJournal::ThisHost());
    EXPECT_EQ(named.Pid, ::getpid());
    EXPECT_EQ(named.Lock, filelock::LockState::HeldElsewhere);
    EXPECT_FALSE(CSectionJournal(wav).IsOpen());
    for (std::uint32_t seconds : {12u, 0u, 4294967295u})
        EXPECT_TRUE(journal.Append(seconds));
    EXPECT_EQ(CSectionJournal::Read(CSectionJournal::PathFor(wav)),
              (std::vector<std::uint32_t>{12, 0, 4294967295u}));
    // It never grows past what a start reads.
    std::filesystem::resize_file(CSectionJournal::PathFor(wav), CSectionJournal::MaxBytes - 2);
    EXPECT_FALSE(journal.Append(12));
    EXPECT_EQ(std::filesystem::file_size(CSectionJournal::PathFor(wav)), CSectionJournal::MaxBytes - 2);
    journal.Remove();
    EXPECT_FALSE(std::filesystem::exists(CSectionJournal::PathFor(wav)));
    EXPECT_FALSE(journal.Append(1));
    // One that cannot be made takes no marks and leaves nothing.
    CSectionJournal nowhere(dir.Path("no-such-folder/x.wav"));
    EXPECT_FALSE(nowhere.IsOpen());
    EXPECT_FALSE(nowhere.Append(3));
    EXPECT_EQ(CSectionJournal::Read(dir.Path("no-such-folder/x.wav.journal")), std::nullopt);
}

TEST(RecordingRescue, CopiesARecordingWhoseFolderWasRemovedAndNeverOverwrites) {
    TempDir dir;
    const std::string folder = dir.Path("recordings");
    std::filesystem::create_directory(folder);
    const Bytes recording = ProgramFile(5000, {2, 3});
    WriteFile(folder + "/r.wav", recording);
    CRecordingRescue rescue(folder + "/r.wav");
    std::filesystem::remove_all(folder);

    EXPECT_TRUE(rescue.SaveTo(dir.Path("r.wav")));
    EXPECT_EQ(ReadFile(dir.Path("r.wav")), recording);
    WriteFile(dir.Path("taken.wav"), Text("mine"));
    EXPECT_FALSE(rescue.SaveTo(dir.Path("taken.wav")));
    EXPECT_EQ(ReadFile(dir.Path("taken.wav")), Text("mine"));
    EXPECT_FALSE(CRecordingRescue(dir.Path("missing.wav")).SaveTo(dir.Path("other.wav")));
    EXPECT_FALSE(std::filesystem::exists(dir.Path("other.wav")));
}

} // namespace
