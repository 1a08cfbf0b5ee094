#include "ui/FolderDlg.h"
#include "IniFile.h"
#include "QtTestApp.h"
#include "kelvane.h"
#include "platform/CaptureDevices.h"
#include "platform/fakes/FakeFolderChooser.h"
#include "platform/fakes/FakeMessageBoxes.h"
#include "platform/fakes/FakeProfile.h"
#include "ui/FolderSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Capture devices as the test lists them; an empty name is a device that cannot be queried.
class TestCaptureDevices : public platform::ICaptureDevices {
public:
    unsigned Count() override { return static_cast<unsigned>(Names.size()); }
    std::string ProductName(unsigned index) override { return index < Names.size() ? Names[index] : ""; }
    std::string DefaultInputName() override { return DefaultName; }
    std::vector<std::string> Names;
    std::string DefaultName;
};

class SettingsDialog : public ::testing::Test {
protected:
    SettingsDialog() {
        EnsureQtApp();
        ResetDialogSettingsMirror();
        m_Devices.Names = {"Built-in Microphone", "USB Headset"};
        platform::SetCaptureDevices(&m_Devices);
        platform::SetMessageBoxes(&m_Boxes);
        platform::SetFolderChooser(&m_Chooser);
        m_OldCurrent = QDir::currentPath();
        QDir::setCurrent(m_Dir.path());
        QDir(m_Dir.path()).mkdir("res");
        QFile::copy(TAVLO_RES_DIR "/FoladerBASE.bmp", m_Dir.filePath("res/FoladerBASE.bmp"));
    }
    ~SettingsDialog() override {
        QDir::setCurrent(m_OldCurrent);
        platform::SetFolderChooser(nullptr);
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
    std::string Key(const char* key) { return CIniFile(IniPath().toStdString()).GetString("Recorder", key); }
    QString IniPath() const { return m_Dir.filePath("Recorder.ini"); }
    QString Folder() const { return QDir(m_Dir.path()).absolutePath() + "/"; }

    // Opens the dialog as the Setup command does.
    std::unique_ptr<FolderDlg> Open() {
        auto dialog = std::make_unique<FolderDlg>();
        dialog->m_WorkDir = m_Dir.path().toStdString();
        dialog->show();
        return dialog;
    }

    QTemporaryDir m_Dir;
    QString m_OldCurrent;
    TestCaptureDevices m_Devices;
    platform::FakeMessageBoxes m_Boxes;
    platform::FakeFolderChooser m_Chooser;
};

const QByteArray kFullSection = "[Recorder]\nFF/RewindSpeed=8\nFormat=44100\nFloaderName=/srv/rec\n"
                                "PlayerDevice=USB Headset\nDefaultFloader=/srv\n";

TEST_F(SettingsDialog, without_a_recorder_section_nothing_is_ever_written) {
    const QByteArray other = "[Other]\nFormat=48000\n";
    WriteIni(other);
    auto dialog = Open();
    dialog->m_FormatList.setCurrentIndex(1);
    emit dialog->m_FormatList.activated(1);
    m_Chooser.Answer = {true, "/data/recordings"};
    dialog->OnBrowse();
    EXPECT_EQ(ReadIni(), other);
    // The dialog still shows what the user chose.
    EXPECT_EQ(dialog->m_PathText.text(), "/data/recordings");
}

TEST_F(SettingsDialog, without_a_settings_file_none_is_created) {
    auto dialog = Open();
    emit dialog->m_SpeedList.activated(0);
    EXPECT_FALSE(QFile::exists(IniPath()));
    // The mirror's start values were shown: ".\" became the absolute current folder.
    EXPECT_EQ(g_IniFolder, Folder().toStdString());
}

TEST_F(SettingsDialog, the_start_folder_marker_becomes_the_absolute_folder_in_both_keys) {
    WriteIni("[Recorder]\nFloaderName=.\\\n");
    auto dialog = Open();
    EXPECT_EQ(Key("FloaderName"), Folder().toStdString());
    EXPECT_EQ(Key("DefaultFloader"), Folder().toStdString());
    EXPECT_EQ(dialog->m_PathText.text(), Folder());
    // The other keys are written with the dialog's values.
    EXPECT_EQ(Key("FF/RewindSpeed"), "");
    EXPECT_EQ(Key("PlayerDevice"), "Built-in Microphone");
}

TEST_F(SettingsDialog, a_speed_outside_the_list_shows_2X_and_is_saved_unchanged) {
    WriteIni("[Recorder]\nFF/RewindSpeed=5\nFormat=44100\nFloaderName=/srv/rec\n");
    auto dialog = Open();
    EXPECT_EQ(dialog->m_SpeedList.currentText(), "2X");
    EXPECT_EQ(Key("FF/RewindSpeed"), "5");
}

TEST_F(SettingsDialog, the_saved_format_and_speed_select_their_entries) {
    WriteIni("[Recorder]\nFF/RewindSpeed=16\nFormat=48000\nFloaderName=/srv/rec\n");
    auto dialog = Open();
    EXPECT_EQ(dialog->m_FormatList.currentText(), "48 kHz, mono, 16-bit");
    EXPECT_EQ(dialog->m_SpeedList.currentText(), "16X");
    const QStringList speeds = {"OFF", "2X", "4X", "8X", "16X", "32X"};
    QStringList shown;
    for (int i = 0; i < dialog->m_SpeedList.count(); ++i) {
        shown << dialog->m_SpeedList.itemText(i);
    }
    EXPECT_EQ(shown, speeds);
}

TEST_F(SettingsDialog, any_format_but_48000_selects_44_1_kHz) {
    for (const char* format : {"44100", "22050", "fast", ""}) {
        ResetDialogSettingsMirror();
        WriteIni(QByteArray("[Recorder]\nFormat=") + format + "\nFloaderName=/srv/rec\n");
        auto dialog = Open();
        EXPECT_EQ(dialog->m_FormatList.currentText(), "44.1 kHz, mono, 16-bit") << format;
    }
}

TEST_F(SettingsDialog, choosing_entries_saves_their_values_at_once) {
    WriteIni(kFullSection);
    auto dialog = Open();
    dialog->m_SpeedList.setCurrentIndex(0);
    emit dialog->m_SpeedList.activated(0);
    EXPECT_EQ(Key("FF/RewindSpeed"), "0");
    dialog->m_SpeedList.setCurrentIndex(5);
    emit dialog->m_SpeedList.activated(5);
    EXPECT_EQ(Key("FF/RewindSpeed"), "32");
    dialog->m_FormatList.setCurrentIndex(1);
    emit dialog->m_FormatList.activated(1);
    EXPECT_EQ(Key("Format"), "48000");
    dialog->m_FormatList.setCurrentIndex(0);
    emit dialog->m_FormatList.activated(0);
    EXPECT_EQ(Key("Format"), "44100");
}

TEST_F(SettingsDialog, the_saved_device_is_selected_when_present_and_the_first_otherwise) {
    WriteIni(kFullSection);
    Open();
    EXPECT_EQ(Key("PlayerDevice"), "USB Headset");

    ResetDialogSettingsMirror();
    WriteIni("[Recorder]\nPlayerDevice=Gone Device\nFloaderName=/srv/rec\n");
    Open();
    EXPECT_EQ(Key("PlayerDevice"), "Built-in Microphone");
}

TEST_F(SettingsDialog, a_device_that_cannot_be_queried_gets_no_entry_and_does_not_shift_the_others) {
    m_Devices.Names = {"", "USB Headset", "Line In"};
    WriteIni("[Recorder]\nPlayerDevice=Line In\nFloaderName=/srv/rec\n");
    auto dialog = Open();
    EXPECT_EQ(dialog->m_DeviceList.count(), 2);
    EXPECT_EQ(dialog->m_DeviceList.currentText(), "Line In");
    EXPECT_EQ(Key("PlayerDevice"), "Line In");
}

TEST_F(SettingsDialog, devices_past_the_tenth_are_listed_but_never_saved_as_the_device) {
    m_Devices.Names.clear();
    for (int i = 0; i < 12; ++i) {
        m_Devices.Names.push_back("Mic " + std::to_string(i));
    }
    WriteIni("[Recorder]\nPlayerDevice=Mic 11\nFloaderName=/srv/rec\n");
    auto dialog = Open();
    EXPECT_EQ(dialog->m_DeviceList.count(), 12);
    EXPECT_EQ(Key("PlayerDevice"), "Mic 0");
}

TEST_F(SettingsDialog, without_capture_devices_the_dialog_says_so_and_ends_confirmed) {
    m_Devices.Names.clear();
    WriteIni(kFullSection);
    FolderDlg dialog;
    dialog.m_WorkDir = m_Dir.path().toStdString();
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    ASSERT_EQ(m_Boxes.Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes.Boxes[0].Text, "NO Input Devices Found..");
    EXPECT_EQ(m_Boxes.Boxes[0].Icon, platform::MessageIcon::Error);
    // The rest of the opening still ran.
    EXPECT_EQ(dialog.m_SpeedLabel.text(), "FF/Rewind speed");
    EXPECT_EQ(ReadIni(), kFullSection);
}

TEST_F(SettingsDialog, the_folder_chooser_sets_the_folder_and_a_cancel_still_saves) {
    WriteIni(kFullSection);
    auto dialog = Open();
    m_Chooser.Answer = {true, "/data/recordings"};
    emit dialog->m_BtnBrowse.clicked();
    ASSERT_EQ(m_Chooser.Titles.size(), 1u);
    EXPECT_EQ(m_Chooser.Titles[0], "Please Select a Folder to Save/Load *.wav Files");
    EXPECT_EQ(Key("FloaderName"), "/data/recordings");
    EXPECT_EQ(dialog->m_PathText.text(), "/data/recordings");

    // A chosen item without a path falls back on the default folder.
    m_Chooser.Answer = {true, ""};
    dialog->OnBrowse();
    EXPECT_EQ(Key("FloaderName"), "/srv");

    // Cancelled: the folder stays, the settings are written all the same.
    WriteIni("[Recorder]\nFormat=1\n");
    m_Chooser.Answer = {};
    dialog->OnBrowse();
    EXPECT_EQ(Key("FloaderName"), "/srv");
    EXPECT_EQ(Key("Format"), "44100");
}

TEST_F(SettingsDialog, the_labels_read_as_the_dialog_sets_them) {
    WriteIni(kFullSection);
    auto dialog = Open();
    EXPECT_EQ(dialog->m_FormatLabel.text(), "Format");
    EXPECT_EQ(dialog->m_SpeedLabel.text(), "FF/Rewind speed");
    EXPECT_EQ(dialog->m_PathLabel.text(), "File Path");
    EXPECT_EQ(dialog->m_PathText.text(), "/srv/rec");
    EXPECT_EQ(dialog->m_NoticeText.text(), "");
    EXPECT_FALSE(dialog->m_NoticeText.isVisible());
    EXPECT_FALSE(dialog->m_DeviceList.isVisible());
    EXPECT_EQ(dialog->m_NoticeText.TextColorNow(), QColor(255, 0, 0));
    EXPECT_EQ(dialog->m_PathText.BkColorNow(), QColor(219, 218, 215));
    EXPECT_EQ(dialog->m_BtnLink.toolTip(), "Link");
    EXPECT_EQ(dialog->m_BtnClose.toolTip(), "Close");
    EXPECT_EQ(dialog->m_BtnBrowse.toolTip(), "File Path");
    EXPECT_EQ(dialog->m_BtnLink.PictureIds(), (std::pair<int, int>(185, 184)));
}

TEST_F(SettingsDialog, it_reads_as_a_finished_dialog_to_the_eye_and_to_screen_readers) {
    WriteIni(kFullSection);
    auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), "Tavlo settings");
    EXPECT_EQ(dialog->m_Title.text(), "Tavlo settings");
    const QRect inside = dialog->rect();
    for (QWidget* shown : std::initializer_list<QWidget*>{&dialog->m_Title, &dialog->m_LinkCaption}) {
        EXPECT_TRUE(shown->isVisible()) << shown->objectName().toStdString();
        EXPECT_TRUE(inside.contains(shown->geometry())) << shown->objectName().toStdString();
    }
    EXPECT_FALSE(dialog->m_Title.geometry().intersects(dialog->m_BtnClose.geometry()));
    EXPECT_FALSE(dialog->m_LinkCaption.geometry().intersects(dialog->m_BtnLink.geometry()));
    EXPECT_EQ(dialog->m_LinkCaption.buddy(), &dialog->m_BtnLink);
    for (CSkinButton* button : {&dialog->m_BtnLink, &dialog->m_BtnClose, &dialog->m_BtnBrowse}) {
        EXPECT_FALSE(button->accessibleName().isEmpty()) << button->toolTip().toStdString();
        EXPECT_EQ(button->accessibleName(), button->toolTip());
    }
    // The texts keep off the panel's left edge.
    for (CColorStatic* label : {&dialog->m_FormatLabel, &dialog->m_SpeedLabel, &dialog->m_PathLabel})
        EXPECT_GT(label->contentsRect().left(), 0) << label->text().toStdString();
}

TEST_F(SettingsDialog, without_its_skin_the_dialog_reads_no_settings_and_fills_no_lists) {
    QFile::remove(m_Dir.filePath("res/FoladerBASE.bmp"));
    WriteIni(kFullSection);
    auto dialog = Open();
    EXPECT_EQ(dialog->m_FormatList.count(), 0);
    EXPECT_EQ(dialog->m_SpeedList.count(), 0);
    EXPECT_EQ(dialog->m_FormatLabel.text(), "");
    EXPECT_EQ(g_IniSpeed, "2");
    EXPECT_TRUE(dialog->mask().isEmpty());
}

TEST_F(SettingsDialog, closing_saves_nothing_more) {
    WriteIni(kFullSection);
    auto dialog = Open();
    const QByteArray afterOpening = ReadIni();
    emit dialog->m_BtnClose.clicked();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(ReadIni(), afterOpening);
}

TEST_F(SettingsDialog, link_without_a_receiver_sends_nothing_and_shows_nothing) {
    WriteIni(kFullSection);
    auto dialog = Open();
    CKelvane hid;
    dialog->m_pHid = &hid;
    emit dialog->m_BtnLink.clicked();
    EXPECT_TRUE(m_Boxes.Boxes.empty());
}

TEST_F(SettingsDialog, a_settings_file_that_keeps_the_start_folder_marker_does_not_hang_the_opening) {
    // The saves fail, so reading back would find ".\\" again and again.
    platform::FakeProfile profile;
    const std::string path = IniPath().toStdString();
    profile.Files[path] = "[Recorder]\nFloaderName=.\\\nFormat=48000\n";
    profile.ReadOnly.insert(path);
    platform::SetPrivateProfile(&profile);
    auto dialog = Open();
    platform::SetPrivateProfile(nullptr);
    EXPECT_EQ(g_IniFolder, Folder().toStdString());
    EXPECT_EQ(g_IniDefaultFolder, Folder().toStdString());
    EXPECT_EQ(dialog->m_PathText.text(), Folder());
    EXPECT_EQ(dialog->m_FormatList.currentText(), "48 kHz, mono, 16-bit");
}

TEST_F(SettingsDialog, long_values_are_shown_and_saved_whole) {
    // An existing folder of 320 characters and a "Format" line of a megabyte.
    QString folder = m_Dir.path();
    while (folder.size() < 300) {
        folder += "/" + QString(40, 'f');
    }
    folder += "/" + QString(318 - folder.size(), 'g') + "/";
    ASSERT_EQ(folder.size(), 320);
    ASSERT_TRUE(QDir().mkpath(folder));
    const QByteArray format = "44100" + QByteArray(1 << 20, ' ') + "Hz";
    const QByteArray file = "[Recorder]\nFF/RewindSpeed=8\nFormat=" + format +
                            "\nFloaderName=" + folder.toUtf8() +
                            "\nPlayerDevice=USB Headset\nDefaultFloader=/srv\n";
    WriteIni(file);
    auto dialog = Open();
    EXPECT_EQ(dialog->m_PathText.text(), folder);
    // The opening saved every key again, each one whole.
    EXPECT_EQ(ReadIni(), file);
}

// The recording input: which one records, and the choice of it under its own key.
TEST_F(SettingsDialog, the_input_in_use_is_shown_and_a_missing_receiver_is_said) {
    struct Case {
        std::vector<std::string> Devices;
        std::string DefaultName;
        QByteArray Choice;
        QString InUse;
        bool Missing;
    };
    const Case cases[] = {
        {{"Webcam", "USB Headset"}, "Webcam", "", "Recording from: USB Headset", false},
        {{"Webcam"}, "Built-in Audio", "", "Recording from: Built-in Audio", true},
        {{}, "", "", "Recording from: the default input", true},
        {{"Webcam", "USB Headset"}, "", "RecordInput=Webcam\n", "Recording from: Webcam", false},
        {{"Line"}, "Built-in", "RecordInput=Webcam\n", "Recording from: Built-in", true}, // choice gone
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.InUse.toStdString());
        m_Devices.Names = c.Devices;
        m_Devices.DefaultName = c.DefaultName;
        WriteIni(kFullSection + c.Choice);
        auto dialog = Open();
        EXPECT_EQ(dialog->m_Input.m_InUse.text(), c.InUse);
        // (Without any device the dialog has already ended: what it set is still there.)
        EXPECT_EQ(dialog->m_Input.m_Notice.isVisibleTo(dialog.get()), c.Missing);
        EXPECT_EQ(dialog->m_Input.m_Notice.text(),
                  c.Missing ? "The receiver's microphone (USB Headset) was not found." : "");
    }
}

TEST_F(SettingsDialog, an_input_chosen_is_kept_under_its_own_key_and_the_other_keys_stay) {
    m_Devices.Names = {"Webcam", "", "USB Headset", "Webcam"};
    WriteIni(kFullSection + "RecordInput=Line In\n");
    auto dialog = Open();
    QComboBox& list = dialog->m_Input.m_List;
    QStringList entries;
    for (int i = 0; i < list.count(); ++i)
        entries << list.itemText(i);
    // Each input once, and a chosen input that is gone kept under its name.
    EXPECT_EQ(entries, (QStringList{"Automatic", "Webcam", "USB Headset", "Line In"}));
    EXPECT_EQ(list.currentText(), "Line In");
    const QByteArray opened = ReadIni();
    for (const auto& [entry, stored, inUse] :
         {std::tuple{1, "Webcam", "Webcam"}, std::tuple{0, "", "USB Headset"}}) {
        list.setCurrentIndex(entry);
        emit list.activated(entry);
        QByteArray expected = opened;
        expected.replace("RecordInput=Line In", QByteArray("RecordInput=") + stored);
        EXPECT_EQ(ReadIni(), expected);
        EXPECT_EQ(dialog->m_Input.m_InUse.text(), QString("Recording from: ") + inUse);
    }
    WriteIni("[Recorder]\n"); // no key: a choice writes nothing
    emit list.activated(1);
    EXPECT_EQ(ReadIni(), "[Recorder]\n");
}

TEST(LeadingNumber, reads_as_percent_d_does) {
    EXPECT_EQ(ui::LeadingNumber("44.1 kHz, mono, 16-bit"), 44);
    EXPECT_EQ(ui::LeadingNumber("  16X"), 16);
    EXPECT_EQ(ui::LeadingNumber("-3"), -3);
    EXPECT_FALSE(ui::LeadingNumber("OFF").has_value());
    EXPECT_FALSE(ui::LeadingNumber("").has_value());
}

} // namespace
