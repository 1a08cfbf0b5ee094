// The recording input in the settings dialog, and the level meter's scale.
#include "IniFile.h"
#include "QtTestApp.h"
#include "platform/fakes/FakeMessageBoxes.h"
#include "platform/wave/fake/FakeCaptureDevices.h"
#include "ui/CLevelMeter.h"
#include "ui/FolderDlg.h"
#include "ui/FolderSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class InputInTheDialog : public ::testing::Test {
protected:
    InputInTheDialog() {
        EnsureQtApp();
        ResetDialogSettingsMirror();
        m_Devices.DefaultName = "Built-in Audio Analog";
        platform::SetCaptureDevices(&m_Devices);
        platform::SetMessageBoxes(&m_Boxes);
        QDir(m_Dir.path()).mkdir("res");
        QFile::copy(TAVLO_RES_DIR "/FoladerBASE.bmp", m_Dir.filePath("res/FoladerBASE.bmp"));
    }
    ~InputInTheDialog() override {
        platform::SetMessageBoxes(nullptr);
        platform::SetCaptureDevices(nullptr);
    }
    void WriteIni(const QByteArray& text) {
        QFile file(IniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    QByteArray ReadIni() {
        QFile file(IniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString IniPath() const { return m_Dir.filePath("Recorder.ini"); }
    std::unique_ptr<FolderDlg> Open() {
        auto dialog = std::make_unique<FolderDlg>();
        dialog->m_WorkDir = m_Dir.path().toStdString();
        dialog->show();
        return dialog;
    }
    // Picks list entry `text` as the user does.
    static void Pick(FolderDlg& dialog, const QString& text) {
        const int index = dialog.m_Input.m_List.findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        dialog.m_Input.m_List.setCurrentIndex(index);
        emit dialog.m_Input.m_List.activated(index);
    }

    QTemporaryDir m_Dir;
    platform::FakeCaptureDevices m_Devices;
    platform::FakeMessageBoxes m_Boxes;
};

const QByteArray kSection = "[Recorder]\nFF/RewindSpeed=8\nFormat=44100\nFloaderName=/srv/rec\n"
                            "PlayerDevice=USB Headset\nDefaultFloader=/srv\n";

TEST_F(InputInTheDialog, the_dialog_shows_the_input_in_use_and_whether_the_receiver_is_missing) {
    struct Case {
        const char* What;
        std::vector<std::string> Devices;
        std::string DefaultName;
        QByteArray Choice;
        QString InUse;
        bool Missing;
    };
    const Case cases[] = {
        {"the receiver there", {"Webcam", "USB Headset"}, "Webcam", "", "Recording from: USB Headset", false},
        {"no receiver",
         {"Webcam"},
         "Built-in Audio Analog",
         "",
         "Recording from: Built-in Audio Analog",
         true},
        {"no receiver, the default unnamed", {}, "", "", "Recording from: the default input", true},
        {"another input chosen, the receiver there",
         {"Webcam", "USB Headset"},
         "",
         "RecordInput=Webcam\n",
         "Recording from: Webcam",
         false},
        {"the chosen input gone, no receiver",
         {"USB Headset 2"},
         "Built-in",
         "RecordInput=Webcam\n",
         "Recording from: Built-in",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        m_Devices.Names = c.Devices;
        m_Devices.DefaultName = c.DefaultName;
        WriteIni(kSection + c.Choice);
        auto dialog = Open();
        EXPECT_EQ(dialog->m_Input.m_InUse.text(), c.InUse);
        // (Without any device the dialog has already ended: what it set is still there.)
        EXPECT_EQ(dialog->m_Input.m_Notice.isVisibleTo(dialog.get()), c.Missing);
        if (c.Missing) {
            EXPECT_EQ(dialog->m_Input.m_Notice.text(),
                      "The receiver's microphone (USB Headset) was not found.");
        }
    }
}

TEST_F(InputInTheDialog,
       the_list_offers_automatic_then_each_input_once_and_keeps_a_chosen_input_that_is_gone) {
    m_Devices.Names = {"Webcam", "", "USB Headset", "Webcam"};
    WriteIni(kSection + "RecordInput=Line In\n");
    auto dialog = Open();
    QStringList entries;
    for (int i = 0; i < dialog->m_Input.m_List.count(); ++i)
        entries << dialog->m_Input.m_List.itemText(i);
    EXPECT_EQ(entries, (QStringList{"Automatic", "Webcam", "USB Headset", "Line In"}));
    EXPECT_EQ(dialog->m_Input.m_List.currentText(), "Line In");
}

TEST_F(InputInTheDialog, a_choice_is_kept_under_its_own_key_and_leaves_the_other_keys_as_they_were) {
    m_Devices.Names = {"Webcam", "USB Headset"};
    WriteIni(kSection);
    auto dialog = Open();
    const QByteArray opened = ReadIni(); // as the dialog's opening saved it
    Pick(*dialog, "Webcam");
    EXPECT_EQ(ReadIni(), opened + "RecordInput=Webcam\n");
    EXPECT_EQ(dialog->m_Input.m_InUse.text(), "Recording from: Webcam");
    Pick(*dialog, "Automatic");
    EXPECT_EQ(ReadIni(), opened + "RecordInput=\n");
    EXPECT_EQ(dialog->m_Input.m_InUse.text(), "Recording from: USB Headset");
}

TEST_F(InputInTheDialog, without_a_recorder_section_a_choice_writes_nothing) {
    m_Devices.Names = {"Webcam", "USB Headset"};
    WriteIni("[Recorder]\n");
    auto dialog = Open();
    Pick(*dialog, "Webcam");
    EXPECT_EQ(ReadIni(), "[Recorder]\n");
    EXPECT_EQ(dialog->m_Input.m_InUse.text(), "Recording from: Webcam") << "shown all the same";
}

// The meter's decibel scale: 12 segments over the 48 dB below full scale.
TEST(LevelMeter, segments_lit_for_a_peak) {
    struct Case {
        int Peak;
        int Lit;
    };
    const Case cases[] = {
        {0, 0},        {-5, 0},                  // silence, and a value that cannot be a magnitude
        {129, 0},      {131, 1},                 // just below and above -48 dB
        {16384, 11},   {32767, 12}, {32768, 12}, // -6 dB, full scale
        {1 << 20, 12},                           // beyond full scale is full scale
        {1036, 5},                               // -30 dB: four and a half segments' worth lights five
    };
    for (const Case& c : cases)
        EXPECT_EQ(CLevelMeter::SegmentsFor(c.Peak), c.Lit) << c.Peak;
}

TEST(LevelMeter, paints_lit_segments_black_and_the_rest_faint_on_the_display_colour) {
    EnsureQtApp();
    CLevelMeter meter;
    meter.resize(102, 18);
    meter.SetPeak(16384);
    const QImage face = meter.grab().toImage();
    EXPECT_EQ(meter.LitSegments(), 11);
    EXPECT_EQ(QColor(face.pixel(meter.SegmentRect(0).center())), CLevelMeter::Lit());
    EXPECT_EQ(QColor(face.pixel(meter.SegmentRect(10).center())), CLevelMeter::Lit());
    EXPECT_EQ(QColor(face.pixel(meter.SegmentRect(11).center())), CLevelMeter::Unlit());
    EXPECT_EQ(QColor(face.pixel(0, 0)), CLevelMeter::Background());
}

} // namespace
