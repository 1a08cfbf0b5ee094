// The recordings window from the keyboard alone: every action has its key, and each one reaches
// the main window (here a fake that notes what it is asked) or the folder.
#include "RecordingsWindow.h"
#include "RecordingsTesting.h"
#include "WaveTestFiles.h"

#include <QClipboard>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace wavetest;
namespace fs = std::filesystem;

namespace {

std::set<std::string> Rows(const RecordingsModel& model) {
    std::set<std::string> names;
    for (int r = 0; r < model.rowCount(); ++r)
        names.insert(model.RecordingAt(model.index(r, 0))->Name);
    return names;
}

TEST(RecordingsWindowKeys, every_action_is_reached_from_the_keyboard) {
    EnsureApplication();
    TempDir dir;
    UseScratchHome(dir.Path());
    fs::create_directory(dir.Path("rec"));
    WriteFile(dir.Path("rec/a.wav"), ProgramFile(88200 * 4, {1, 1}));
    WriteFile(dir.Path("rec/b.wav"), ProgramFile(88200 * 2, {}));
    FakeRecordingsHost host;
    host.Folder = dir.Path("rec");
    host.Current = "b.wav";
    RecordingsWindow window(host, nullptr);
    window.AskTitle = [](const QString&, const QString&) { return std::optional<QString>("Call"); };
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Model().ReadCount() == 2; }));

    struct Step {
        std::vector<QKeyCombination> keys;
        std::string told;  // what the main window is asked, or "" for nothing
        QString statusHas; // what the window's status line says afterwards
    };
    const QKeyCombination copy(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_C);
    const QKeyCombination back(Qt::ControlModifier, Qt::Key_Left), on(Qt::ControlModifier, Qt::Key_Right);
    for (const Step& s :
         {// The keyboard starts on the current recording.
          Step{{Qt::Key_Return}, "play b.wav from section 1", "2 recordings"},
          Step{{Qt::Key_Up, Qt::Key_Right, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return},
               "play a.wav from section 2",
               ""},
          // The typist's keys, as in the main window.
          Step{{Qt::Key_F4}, "SpeedUp", ""}, Step{{Qt::Key_F3}, "SpeedDown", ""},
          Step{{back}, "JumpBack", ""}, Step{{on}, "JumpForward", ""},
          Step{{QKeyCombination(Qt::ControlModifier, Qt::Key_T)}, "CopyPosition", ""},
          Step{{copy}, "", "on the clipboard"},
          Step{{Qt::Key_Up, Qt::Key_Up, Qt::Key_F2}, "renamed a.wav to Call.wav", "is now Call.wav"},
          Step{{Qt::Key_Down, Qt::Key_Delete}, "", "open for playback"},
          Step{{Qt::Key_Up, Qt::Key_Delete}, "removed Call.wav", "moved to the trash"}}) {
        host.Playing = host.Folder + "/b.wav";
        host.Told.clear();
        for (QKeyCombination key : s.keys)
            QTest::keyClick(&window.View(), key.key(), key.keyboardModifiers());
        EXPECT_EQ(host.Told, s.told.empty() ? std::vector<std::string>{} : std::vector<std::string>{s.told});
        EXPECT_TRUE(window.Status().contains(s.statusHas)) << window.Status().toStdString();
        // Renames and removals reach the rows through the folder's watch.
        ASSERT_TRUE(QTest::qWaitFor([&] { return Rows(window.Model()) == Files(host.Folder); }));
    }
    EXPECT_EQ(
        QApplication::clipboard()->text(),
        "0.000000\t1.000000\tSection 1\n1.000000\t2.000000\tSection 2\n2.000000\t4.000000\tSection 3\n");
    EXPECT_TRUE(fs::exists(dir.Path(".local/share/Trash/files/Call.wav")));
    EXPECT_TRUE(fs::exists(dir.Path("rec/b.wav")));
    // The speed shows as the main window has it after each of its keys.
    host.Speed = 7;
    QTest::keyClick(&window.View(), Qt::Key_F3);
    EXPECT_EQ(window.SpeedShown(), "Speed 0.7x");
}

} // namespace

namespace {

// A recording sent from the window: refused while it is recorded or without an outbox, sent
// while it plays, its row showing "sending…", then "sent", then what the typist's state says.
TEST(RecordingsWindowSend, a_sent_recording_shows_sent_then_the_typists_state) {
    EnsureApplication();
    TempDir dir;
    fs::create_directory(dir.Path("rec"));
    fs::create_directory(dir.Path("outbox"));
    WriteFile(dir.Path("rec/20261210-100000.wav"), ProgramFile(88200 * 30, {10, 10}));
    WriteFile(dir.Path("rec/20261210-110000.wav"), ProgramFile(88200 * 2, {}));
    FakeRecordingsHost host;
    host.Folder = dir.Path("rec");
    host.Current = "20261210-100000.wav";
    host.Settings = dir.Path("Recorder.ini");
    host.InProgress = host.Folder + "/20261210-110000.wav";
    host.Playing = host.Folder + "/20261210-100000.wav";
    WriteFile(host.Settings, Bytes{});
    RecordingsWindow window(host, nullptr);
    std::vector<std::string> asked;
    window.AskSend = [&](const QString& name, const dictation::DictationSettings& s) {
        asked.push_back(name.toStdString() + " " + s.WorkType + " " + s.Priority);
        return std::optional<SendChoice>({"Call back", "Memo", "urgent"});
    };
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Model().ReadCount() == 2; }));
    const auto send = [&](const char* name) {
        window.View().setCurrentIndex(window.Model().IndexOf(name));
        QTest::keyClick(&window.View(), Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    };
    const auto typist = [&](const char* name) { return window.Model().TypistText(name).toStdString(); };
    send("20261210-100000.wav");
    EXPECT_TRUE(window.Status().contains("No outbox is set up")) << window.Status().toStdString();
    std::ofstream(host.Settings) << "[Dictation]\nAuthor=Maria Lopez\nOutbox=" << dir.Path("outbox") << "\n";
    send("20261210-110000.wav");
    EXPECT_TRUE(window.Status().contains("is being recorded")) << window.Status().toStdString();
    EXPECT_TRUE(asked.empty());

    send("20261210-100000.wav");
    EXPECT_EQ(asked, std::vector<std::string>{"20261210-100000.wav Letter normal"});
    EXPECT_TRUE(typist("20261210-100000.wav").starts_with("sending…"));
    send("20261210-100000.wav"); // a second send while one runs is refused
    EXPECT_TRUE(window.Status().contains("is being sent")) << window.Status().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return typist("20261210-100000.wav") == "sent"; }, 20000));
    EXPECT_TRUE(window.Status().contains("was sent to the typist")) << window.Status().toStdString();
    EXPECT_TRUE(fs::exists(dir.Path("outbox/20261210-100000-Maria_Lopez.opus")));
    EXPECT_EQ(typist("20261210-110000.wav"), "");

    // The typist's state arrives in the outbox (no Returns set): the row follows on its own.
    std::ofstream(dir.Path("outbox/20261210-100000-Maria_Lopez.state"))
        << "[State]\nVersion=1\nId=20261210-100000-Maria_Lopez\nState=done\n";
    EXPECT_TRUE(QTest::qWaitFor([&] { return typist("20261210-100000.wav") == "typed"; }, 10000));
    EXPECT_EQ(window.Model().data(window.Model().index(0, RecordingsModel::kTypist)).toString(), "typed");
}

} // namespace
