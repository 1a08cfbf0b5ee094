// The recordings window's model on a folder of generated files: what each row shows once the
// background reader is through, and how the rows follow files that come, change and go.
#include "RecordingsModel.h"
#include "RecordingsTesting.h"
#include "WaveTestFiles.h"

#include <QFont>
#include <QTest>

#include <filesystem>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace wavetest;
namespace fs = std::filesystem;

namespace {

class RecordingsModelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureApplication(); }
    // Waits (bounded) until the model lists `rows` recordings and has read all of them.
    bool Settled(int rows) {
        return QTest::qWaitFor([&] { return model.rowCount() == rows && model.ReadCount() == rows; }, 10000);
    }
    QString Cell(const std::string& name, int column, int section = 0, int role = Qt::DisplayRole) {
        QModelIndex at = model.IndexOf(name);
        if (section > 0)
            at = model.index(section - 1, column, at);
        else
            at = at.siblingAtColumn(column);
        return model.data(at, role).toString();
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (int r = 0; r < model.rowCount(); ++r)
            names.push_back(model.RecordingAt(model.index(r, 0))->Name);
        return names;
    }

    TempDir dir;
    RecordingsModel model;
};

TEST_F(RecordingsModelTest, rows_show_start_length_sections_size_and_rate_of_every_recording) {
    WriteFile(dir.Path("20261207-101500.wav"), ProgramFile(88200 * 20, {12, 5}));
    WriteFile(dir.Path("20261207-101600_02.wav"), ProgramFile(96000 * 3, {}, 48000));
    Bytes memo = PcmHeader(1, 44100, 88200 * 2 + 100); // written by another program
    memo.resize(memo.size() + 88200 * 2 + 100);
    WriteFile(dir.Path("memo.WAV"), memo);
    // Cut off before it was saved: sizes still 0, samples behind them.
    Bytes unsaved = ProgramFile(0, {});
    unsaved.resize(44 + 88200);
    WriteFile(dir.Path("20261207-101700.wav"), unsaved);
    // Its journal cannot be read: a FIFO, named in the recording's tooltip.
    ASSERT_EQ(::mkfifo(dir.Path("20261207-101700.wav.journal").c_str(), 0600), 0);
    WriteFile(dir.Path("broken.wav"), Bytes{'n', 'o', 't', ' ', 'w', 'a', 'v'});
    // Not recordings: another ending, a mixed-case ending, a folder.
    WriteFile(dir.Path("notes.txt"), Bytes{'x'});
    WriteFile(dir.Path("d.Wav"), ProgramFile(88200, {}));
    fs::create_directory(dir.Path("old.wav"));
    model.SetFolder(dir.Path());
    ASSERT_TRUE(Settled(5));

    EXPECT_EQ(Names(), (std::vector<std::string>{"20261207-101500.wav", "20261207-101600_02.wav",
                                                 "20261207-101700.wav", "broken.wav", "memo.WAV"}));
    struct Row {
        std::string name;
        QString when, length, sections, rate;
    };
    for (const Row& r : {Row{"20261207-101500.wav", "2026-12-07 10:15:00", "0:00:20", "3", "44100 Hz"},
                         Row{"20261207-101600_02.wav", "2026-12-07 10:16:00", "0:00:03", "1", "48000 Hz"},
                         Row{"20261207-101700.wav", "2026-12-07 10:17:00", "0:00:00", "1", "44100 Hz"},
                         Row{"broken.wav", "broken.wav", "unreadable", "", ""},
                         Row{"memo.WAV", "memo.WAV", "0:00:02", "1", "44100 Hz"}}) {
        EXPECT_EQ(Cell(r.name, RecordingsModel::kWhen), r.when) << r.name;
        EXPECT_EQ(Cell(r.name, RecordingsModel::kLength), r.length) << r.name;
        EXPECT_EQ(Cell(r.name, RecordingsModel::kSections), r.sections) << r.name;
        EXPECT_EQ(Cell(r.name, RecordingsModel::kRate), r.rate) << r.name;
        EXPECT_EQ(model.rowCount(model.IndexOf(r.name)), r.sections.toInt()) << r.name;
    }
    EXPECT_EQ(Cell("20261207-101500.wav", RecordingsModel::kSize),
              QLocale().formattedDataSize(44 + 88200 * 20 + 16));
    EXPECT_TRUE(Cell("broken.wav", RecordingsModel::kWhen, 0, Qt::ToolTipRole).contains("RIFF"));
    EXPECT_EQ(Cell("20261207-101700.wav", RecordingsModel::kWhen, 0, Qt::ToolTipRole),
              "journal not read: it is not a regular file");

    // The sections of the first: number, start and length.
    const QModelIndex first = model.IndexOf("20261207-101500.wav");
    const QString starts[] = {"0:00:00", "0:00:12", "0:00:17"}, lengths[] = {"0:00:12", "0:00:05", "0:00:03"};
    for (int s = 1; s <= 3; ++s) {
        EXPECT_EQ(Cell("20261207-101500.wav", RecordingsModel::kWhen, s), "Section " + QString::number(s));
        EXPECT_EQ(Cell("20261207-101500.wav", RecordingsModel::kStart, s), starts[s - 1]);
        EXPECT_EQ(Cell("20261207-101500.wav", RecordingsModel::kLength, s), lengths[s - 1]);
        const QModelIndex section = model.index(s - 1, 0, first);
        EXPECT_EQ(model.SectionAt(section), unsigned(s));
        EXPECT_EQ(model.parent(section), first);
        EXPECT_EQ(model.RecordingAt(section)->Name, "20261207-101500.wav");
    }
}

TEST_F(RecordingsModelTest, files_saved_copied_in_changed_or_removed_by_others_show_without_a_refresh) {
    WriteFile(dir.Path("20261207-090000.wav"), ProgramFile(88200 * 4, {1}));
    WriteFile(dir.Path("20261207-100000.wav"), ProgramFile(88200, {}));
    model.SetFolder(dir.Path());
    ASSERT_TRUE(Settled(2));

    // Saved by another program.
    WriteFile(dir.Path("20261207-093000.wav"), ProgramFile(88200 * 7, {2, 2}));
    ASSERT_TRUE(Settled(3));
    EXPECT_EQ(Names()[1], "20261207-093000.wav");
    EXPECT_EQ(Cell("20261207-093000.wav", RecordingsModel::kLength), "0:00:07");
    EXPECT_EQ(model.rowCount(model.IndexOf("20261207-093000.wav")), 3);

    // Removed, and renamed.
    fs::remove(dir.Path("20261207-090000.wav"));
    fs::rename(dir.Path("20261207-100000.wav"), dir.Path("20261207-100000 Call.wav"));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return Names() == std::vector<std::string>{"20261207-093000.wav", "20261207-100000 Call.wav"} &&
               model.ReadCount() == 2;
    }));
    EXPECT_EQ(Cell("20261207-100000 Call.wav", RecordingsModel::kLength), "0:00:01");
    EXPECT_EQ(Cell("20261207-100000 Call.wav", RecordingsModel::kWhen), "2026-12-07 10:00:00 · Call");

    // A whole folder's worth copied in at once, between the two kept.
    for (int i = 0; i < 80; ++i)
        WriteFile(dir.Path("20261207-0940" + std::to_string(10 + i) + ".wav"), ProgramFile(88200, {}));
    ASSERT_TRUE(Settled(82));
    EXPECT_EQ(Names().front(), "20261207-093000.wav");
    EXPECT_EQ(model.rowCount(model.IndexOf("20261207-093000.wav")), 3);
    for (int i = 0; i < 80; ++i)
        fs::remove(dir.Path("20261207-0940" + std::to_string(10 + i) + ".wav"));
    ASSERT_TRUE(Settled(2));

    // Copied in slowly: the first bytes are no recording yet; the rest makes it one. The folder
    // does not change while a file grows, the file's own watch sees it.
    const Bytes whole = ProgramFile(88200 * 5, {3});
    WriteFile(dir.Path("20261207-110000.wav"), Bytes(whole.begin(), whole.begin() + 6));
    ASSERT_TRUE(Settled(3));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Cell("20261207-110000.wav", RecordingsModel::kLength) == "unreadable"; }));
    WriteFile(dir.Path("20261207-110000.wav"), whole);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Cell("20261207-110000.wav", RecordingsModel::kLength) == "0:00:05"; }));
    EXPECT_EQ(model.rowCount(model.IndexOf("20261207-110000.wav")), 2);
}

TEST_F(RecordingsModelTest, the_current_recording_is_marked_and_the_one_in_progress_shows_no_sections) {
    WriteFile(dir.Path("a.wav"), ProgramFile(88200 * 4, {1, 1}));
    WriteFile(dir.Path("b.wav"), ProgramFile(88200 * 2, {1}));
    model.SetFolder(dir.Path());
    ASSERT_TRUE(Settled(2));
    struct Case {
        std::string current, inProgress;
        bool aBold, bBold;
        int aSections, bSections;
        QString bLength;
    };
    for (const Case& c : {Case{"a.wav", "", true, false, 3, 2, "0:00:02"},
                          Case{"a.wav", "b.wav", true, false, 3, 0, "recording"},
                          Case{"b.wav", "", false, true, 3, 2, "0:00:02"}}) {
        model.SetMarks(c.current, c.inProgress);
        const auto bold = [&](const char* name) {
            return model.data(model.IndexOf(name), Qt::FontRole).value<QFont>().bold();
        };
        EXPECT_EQ(bold("a.wav"), c.aBold) << c.current;
        EXPECT_EQ(bold("b.wav"), c.bBold) << c.current;
        EXPECT_EQ(model.rowCount(model.IndexOf("a.wav")), c.aSections) << c.inProgress;
        EXPECT_EQ(model.rowCount(model.IndexOf("b.wav")), c.bSections) << c.inProgress;
        EXPECT_EQ(Cell("b.wav", RecordingsModel::kLength), c.bLength);
        EXPECT_EQ(Cell(c.current, RecordingsModel::kWhen, 0, Qt::AccessibleDescriptionRole),
                  "current recording");
    }
}

} // namespace
