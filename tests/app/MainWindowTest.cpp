// The main window's start-up, closing and dragging, with fake timers, boxes and instance lock, the
// real settings file and skin in a folder of the test's own, and no receiver plugged in.
#include "InboxWindow.h"
#include "ProgramState.h"
#include "SorvinDlg.h"
#include "StartFolder.h"
#include "platform/fakes/FakeFileSystem.h"
#include "platform/fakes/FakeFolderOpener.h"
#include "platform/fakes/FakeInstanceLock.h"
#include "platform/fakes/FakeMessageBoxes.h"
#include "platform/fakes/FakeWindowTimers.h"
#include "platform/wave/WaveDevice.h"
#include "platform/wave/fake/FakeCaptureDevices.h"
#include "platform/wave/fake/FakeWaveService.h"
#include "ui/FolderDlg.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

int g_ExitCode = -1;
void RecordExit(int code) {
    g_ExitCode = code;
}

class MainWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "app_window_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
    void SetUp() override {
        start = MakeStartFolder("tavlo-window", "48000");
        platform::SetInstanceLock(&lock);
        platform::SetMessageBoxes(&boxes);
        platform::SetWaveService(&wave);
        g_ExitCode = -1;
        g_Format = "44100";
        g_FolderName = ".\\";
        g_Speed = 0;
    }
    void TearDown() override {
        platform::SetInstanceLock(nullptr);
        platform::SetMessageBoxes(nullptr);
        platform::SetWaveService(nullptr);
        platform::SetFileSystem(nullptr);
        fs::current_path(TAVLO_BIN_DIR);
        fs::remove_all(start);
    }
    std::unique_ptr<CSorvinDlg> Window() {
        auto dlg = std::make_unique<CSorvinDlg>();
        dlg->UseTimers(&timers);
        dlg->SetExitProcess(&RecordExit);
        return dlg;
    }

    fs::path start;
    platform::FakeInstanceLock lock;
    platform::FakeMessageBoxes boxes;
    platform::FakeWindowTimers timers;
    platform::FakeWaveService wave;
};

TEST_F(MainWindow, StartsIdleWithSettingsLoadedAndNoDevice) {
    auto dlg = Window();
    dlg->show();
    EXPECT_EQ(g_ExitCode, -1);
    EXPECT_EQ(lock.Taken.count("DonotRepeatPemuProgram"), 1u);
    EXPECT_TRUE(dlg->m_Stopped);
    EXPECT_FALSE(dlg->m_Recording || dlg->m_Playing || dlg->m_PlayPaused || dlg->m_RecordPaused);
    EXPECT_FALSE(dlg->m_FastForward || dlg->m_Rewind || dlg->m_Muted);
    EXPECT_EQ(dlg->m_SoundLevel, 7);
    EXPECT_EQ(dlg->m_BatteryLevel, 0);
    EXPECT_EQ(dlg->m_MinFreeSpaceMB, 50);
    EXPECT_EQ(dlg->m_Channels, 1);
    EXPECT_EQ(fs::path(dlg->m_WorkDir), fs::canonical(start));
    EXPECT_EQ(g_Format, "48000");
    EXPECT_EQ(g_Speed, 8u);
    EXPECT_EQ(fs::current_path(), fs::canonical(start / "rec"));
    // The empty recordings folder was scanned.
    EXPECT_FALSE(g_RescanFolder);
    EXPECT_EQ(g_FileList, std::list<std::string>{"No WAV files"});
    EXPECT_FALSE(g_DeviceOpen);
    EXPECT_EQ(dlg->m_strStatus, "Detect No Device!");
    EXPECT_EQ(timers.Period(5), 300000u);
    EXPECT_EQ(timers.Period(6), 1000u);
    EXPECT_EQ(timers.Period(7), 1000u) << "the pedal is looked for without the receiver";
    EXPECT_FALSE(timers.IsRunning(4));
    EXPECT_EQ(dlg->size(), QSize(dlg->m_SkinWidth, dlg->m_SkinHeight));
    EXPECT_FALSE(dlg->mask().isEmpty());
    EXPECT_FALSE(dlg->m_VolumePicture.pixmap().isNull());
    EXPECT_FALSE(dlg->m_BatteryPicture.pixmap().isNull());
    EXPECT_TRUE(boxes.Boxes.empty());
}

TEST_F(MainWindow, SecondInstanceExitsWithZeroBeforeAnythingElse) {
    lock.Others.insert("DonotRepeatPemuProgram");
    auto dlg = Window();
    dlg->show();
    EXPECT_EQ(g_ExitCode, 0);
    EXPECT_FALSE(timers.IsRunning(6));
    EXPECT_EQ(g_Format, "44100");
}

TEST_F(MainWindow, WithoutItsSkinNothingButTheButtonsStarts) {
    fs::remove_all(start / "res");
    auto dlg = Window();
    dlg->show();
    EXPECT_FALSE(timers.IsRunning(4) || timers.IsRunning(5) || timers.IsRunning(6));
    EXPECT_EQ(g_Format, "44100");
    EXPECT_EQ(dlg->m_strStatus, "");
    EXPECT_TRUE(dlg->mask().isEmpty());
}

TEST_F(MainWindow, UnreadableStartupDirectoryWarnsAndGoesOn) {
    platform::FakeFileSystem files;
    files.CurrentDirUnreadable = true;
    platform::SetFileSystem(&files);
    auto dlg = Window();
    dlg->show();
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Text, "No Found Recorder.ini");
    EXPECT_EQ(boxes.Boxes[0].Icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(dlg->m_WorkDir, "");
}

// Close while recording is refused in the recording's own scenario (RecordCommandsTest).
TEST_F(MainWindow, CloseEndsTheWindowWhenNothingRecords) {
    auto dlg = Window();
    dlg->show();
    EXPECT_TRUE(timers.IsRunning(6));
    dlg->close();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_FALSE(timers.IsRunning(6) || timers.IsRunning(7));
    EXPECT_TRUE(boxes.Boxes.empty());
}

TEST_F(MainWindow, EnterMinimisesInsteadOfClosing) {
    auto dlg = Window();
    dlg->show();
    QTest::keyClick(dlg.get(), Qt::Key_Return);
    EXPECT_TRUE(dlg->isMinimized());
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(MainWindow, DraggingTheBodyMovesTheWindowByTheMouseMovement) {
    auto dlg = Window();
    dlg->move(100, 100);
    dlg->show();
    const QPoint before = dlg->pos();
    // A point on the skin that no control covers: the top-left corner area of the body.
    const QPoint body(dlg->m_SkinWidth / 2, 12);
    ASSERT_EQ(dlg->childAt(body), nullptr);
    QTest::mousePress(dlg.get(), Qt::LeftButton, {}, body);
    QMouseEvent move(QEvent::MouseMove, QPointF(body + QPoint(25, -7)),
                     dlg->mapToGlobal(QPointF(body + QPoint(25, -7))), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(dlg.get(), &move);
    QTest::mouseRelease(dlg.get(), Qt::LeftButton, {}, body + QPoint(25, -7));
    EXPECT_EQ(dlg->pos(), before + QPoint(25, -7));
}

TEST_F(MainWindow, SetupRunsTheSettingsDialogAndReadsTheSettingsAgainAfterIt) {
    platform::FakeCaptureDevices devices({"USB Headset"});
    platform::SetCaptureDevices(&devices);
    auto dlg = Window();
    dlg->show();
    ASSERT_EQ(g_Format, "48000");
    // While the dialog is open another program changes the file; the window sees it afterwards.
    bool sawDialog = false;
    QTimer::singleShot(0, [&] {
        auto* settings = qobject_cast<FolderDlg*>(QApplication::activeModalWidget());
        sawDialog = settings != nullptr;
        std::ofstream(start / "Recorder.ini")
            << "[Recorder]\nFormat=44100\nFF/RewindSpeed=32\nFloaderName=.\\\n";
        if (settings)
            settings->reject();
    });
    QTest::mouseClick(dlg->ButtonById(1018), Qt::LeftButton);
    EXPECT_TRUE(sawDialog);
    EXPECT_EQ(g_Format, "44100");
    EXPECT_EQ(g_Speed, 32u);
    // The folder was scanned again at once.
    EXPECT_FALSE(g_RescanFolder);
    EXPECT_EQ(dlg->ButtonById(1018)->PictureIds(), std::make_pair(158, 153));
    platform::SetCaptureDevices(nullptr);
}

} // namespace

TEST_F(MainWindow, EveryButtonHasATipAndANameThatScreenReadersRead) {
    auto dlg = Window();
    dlg->show();
    for (CSkinButton* button : dlg->Buttons()) {
        EXPECT_FALSE(button->toolTip().isEmpty()) << button->ControlId();
        EXPECT_EQ(button->accessibleName(), button->toolTip()) << button->ControlId();
    }
}

TEST_F(MainWindow, TheWindowMenuOpensTheRecordingsFolderOrSaysWhyItCannot) {
    const struct {
        bool OpenerStarts;
        std::size_t Boxes;
    } cases[] = {{true, 0}, {false, 1}};
    for (const auto& c : cases) {
        fs::current_path(start); // the scan moved into the recordings folder
        platform::FakeFolderOpener opener;
        opener.Answer = c.OpenerStarts;
        platform::SetFolderOpener(&opener);
        boxes.Boxes.clear();
        auto dlg = Window();
        dlg->show();
        QMenu menu;
        dlg->FillWindowMenu(menu);
        QStringList texts;
        for (QAction* action : menu.actions())
            texts << action->text();
        EXPECT_EQ(texts, (QStringList{"Recordings", "Open recordings folder", "Dictation settings…", "Inbox…",
                                      "", "About Tavlo"}));

        menu.actions().at(1)->trigger();
        // The inbox opens beside the window, and says how to set it up when it has no folder yet.
        menu.actions().at(3)->trigger();
        auto* inbox = dlg->findChild<InboxWindow*>();
        ASSERT_TRUE(inbox && inbox->isVisible());
        EXPECT_TRUE(inbox->Status().contains("No inbox folder")) << inbox->Status().toStdString();

        const std::string folder = fs::canonical(start / "rec").string();
        EXPECT_EQ(opener.Opened, std::vector<std::string>{folder});
        ASSERT_EQ(boxes.Boxes.size(), c.Boxes);
        if (c.Boxes) {
            EXPECT_NE(boxes.Boxes[0].Text.find(folder), std::string::npos) << boxes.Boxes[0].Text;
        }
        platform::SetFolderOpener(nullptr);
        dlg->OnCancel();
    }
}

TEST_F(MainWindow, AGoneRecordingsFolderFallsBackToTheDefaultFolderWhenItIsThereElseToTheStartFolder) {
    fs::create_directories(start / "default");
    const struct {
        std::string DefaultFolder;
        fs::path Expected;
    } cases[] = {
        {(start / "default").string(), start / "default"},
        {(start / "gone-too").string(), start},
        {".\\", start},
    };
    for (const auto& c : cases) {
        g_FolderName = ".\\";
        std::ofstream(start / "Recorder.ini") << "[Recorder]\nFloaderName=" << (start / "gone").string()
                                              << "\nDefaultFloader=" << c.DefaultFolder << "\n";
        fs::current_path(start);
        auto dlg = Window();
        dlg->show();

        EXPECT_EQ(fs::current_path(), fs::canonical(c.Expected)) << c.DefaultFolder;
        EXPECT_EQ(fs::weakly_canonical(g_FolderName), fs::canonical(c.Expected)) << c.DefaultFolder;
        dlg->OnCancel();
    }
}
