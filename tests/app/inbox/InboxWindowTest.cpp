// The typist's inbox window with jobs sent as the author's side sends them: each opened job is
// decoded, played through the main window (here a fake that notes what it is asked) and marked;
// what cannot be opened says why and is never played; the inbox is listed again on its timer.
#include "InboxWindow.h"
#include "DictationSettings.h"
#include "StateFile.h"
#include "TestJobs.h"
#include "WaveTestFiles.h"
#include "platform/fakes/FakeWindowTimers.h"
#include "wavefile/WaveReader.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class FakeInboxHost : public IInboxHost {
public:
    std::string SettingsFile() override { return Settings; }
    bool PlayJob(const std::string& path, const std::string& title) override {
        Told.push_back("play " + path + " as " + title);
        return Plays;
    }
    std::string Settings;
    bool Plays = true;
    std::vector<std::string> Told;
};

std::string StateOf(const std::string& done, const std::string& id) {
    const dictation::StateReading state = dictation::ReadStateFile(done, id);
    if (!state.Read)
        return "none";
    return (state.Contents.Is == dictation::TypistState::Stage::Done ? "done by " : "typing by ") +
           state.Contents.Typist;
}

std::vector<std::uint32_t> SectionStarts(const std::string& wav) {
    CWaveReader reader(wav);
    std::vector<std::uint32_t> starts;
    for (SectionNode* n = reader.m_pFirstSection; n; n = n->pNext)
        starts.push_back(n->Seconds);
    return starts;
}

TEST(InboxWindow, a_job_opened_plays_with_its_sections_and_is_marked_typing_then_done) {
    static int argc = 1;
    static char name[] = "app_inbox_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
    wavetest::TempDir dir;
    const std::string inbox = dir.Path("Inbox"), done = dir.Path("Done");
    fs::create_directories(inbox);
    fs::create_directories(done);
    ::setenv("XDG_CACHE_HOME", dir.Path("cache").c_str(), 1);
    std::ofstream(dir.Path("Recorder.ini"))
        << "[Dictation]\nAuthor=Jan Kowalski\nInbox=" << inbox << "\nDone=" << done << "\n";
    const std::string j1 = handofftest::WriteTestJob(
        inbox, {"20261210-090000", 12, "normal", "Maria Lopez", "Letter", {0, 4, 9}});
    handofftest::WriteTestJob(inbox, {"20261210-091500", 2, "urgent", "Ana Ruiz", "Memo", {0}});
    std::ofstream(inbox + "/bad.job") << "not a job\n";

    FakeInboxHost host;
    host.Settings = dir.Path("Recorder.ini");
    platform::FakeWindowTimers timers;
    InboxWindow window(host, nullptr, &timers);
    window.show();
    InboxModel& model = window.Model();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.rowCount() == 3; }));
    // Urgent first; the file that is no job shows by its name.
    const auto cell = [&](int row, int column) {
        return model.index(row, column).data().toString().toStdString();
    };
    EXPECT_EQ(cell(0, InboxModel::kAuthor), "Ana Ruiz");
    EXPECT_EQ(cell(1, InboxModel::kLength), "0:12");
    EXPECT_EQ(cell(2, InboxModel::kAuthor), "bad.job");
    EXPECT_EQ(cell(2, InboxModel::kState), "unreadable");
    EXPECT_TRUE(window.Status().contains("3 jobs, 2 new")) << window.Status().toStdString();

    struct Step {
        std::string job;
        bool plays;
        std::string told;   // what the main window is asked, "" for nothing
        const char* status; // part of the status line afterwards
        std::string state;  // J1's state file afterwards
    };
    const std::string wav = dir.Path("cache") + "/tavlo/jobs/" + j1 + ".wav";
    for (const Step& s : {
             Step{"bad.job", true, "", "cannot be opened", "none"},
             // A recording is open: the job is not played and not marked.
             Step{j1 + ".job", false, "play " + wav + " as Maria Lopez Letter", "not played", "none"},
             Step{j1 + ".job", true, "play " + wav + " as Maria Lopez Letter", "Playing Maria Lopez",
                  "typing by Jan Kowalski"},
         }) {
        SCOPED_TRACE(s.job);
        host.Plays = s.plays;
        host.Told.clear();
        window.View().setCurrentIndex(model.IndexOf(s.job));
        QSignalSpy opened(&window, &InboxWindow::Opened);
        QTest::keyClick(&window.View(), Qt::Key_Return);
        if (s.told.empty()) {
            EXPECT_EQ(opened.count(), 0); // refused at once, nothing decoded
        } else {
            ASSERT_TRUE(opened.count() || opened.wait(10000));
        }
        EXPECT_EQ(host.Told, s.told.empty() ? std::vector<std::string>{} : std::vector<std::string>{s.told});
        EXPECT_TRUE(window.Status().contains(s.status)) << window.Status().toStdString();
        EXPECT_EQ(StateOf(done, j1), s.state);
    }
    // The decoded file holds the job's sections and its length (48 kHz mono).
    EXPECT_EQ(SectionStarts(wav), (std::vector<std::uint32_t>{0, 4, 9}));
    EXPECT_NEAR(static_cast<double>(CWaveReader(wav).GetLength()) / 96000, 12, 0.1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return cell(1, InboxModel::kState) == "typing"; }));
    window.View().setCurrentIndex(model.IndexOf(j1 + ".job"));
    QTest::keyClick(&window.View(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(StateOf(done, j1), "done by Jan Kowalski");
    ASSERT_TRUE(QTest::qWaitFor([&] { return cell(1, InboxModel::kState) == "done"; }));

    // Audio that grows to its full size changes no folder, so no watch sees it: the timer's
    // rescan does.
    const std::string j3 =
        handofftest::WriteTestJob(inbox, {"20261210-093000", 2, "high", "Ana Ruiz", "Memo", {0}});
    const std::string audio = inbox + "/" + j3 + ".opus";
    const std::uintmax_t full = fs::file_size(audio);
    fs::resize_file(audio, full / 2);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return model.rowCount() == 4 && cell(1, InboxModel::kState) == "arriving"; }));
    const int listings = model.Listings();
    std::ofstream(audio, std::ios::app) << std::string(full - full / 2, '\0');
    ASSERT_TRUE(timers.Tick(InboxModel::kRescanTimer));
    EXPECT_EQ(timers.Period(InboxModel::kRescanTimer), InboxModel::kRescanMs);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.Listings() > listings; }));
    EXPECT_EQ(cell(1, InboxModel::kState), "new");
    // A Done folder chosen in the window is kept in the settings and read from at once: it holds no
    // state of J1 yet.
    fs::create_directories(dir.Path("Done2"));
    window.AskFolder = [&](const QString&, const std::string&) { return std::optional(dir.Path("Done2")); };
    QTest::keyClick(&window.View(), Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dictation::LoadDictationSettings(host.Settings).Done, dir.Path("Done2"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return cell(2, InboxModel::kState) == "new"; }));
    // Nothing of the author's was changed or removed.
    EXPECT_EQ(wavetest::ReadFile(inbox + "/bad.job").size(), 10u);
    EXPECT_EQ(std::distance(fs::directory_iterator(inbox), fs::directory_iterator()), 8);
}

} // namespace
