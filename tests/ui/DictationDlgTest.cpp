// "Dictation settings": what it shows comes from Recorder.ini, a folder comes from the chooser, OK
// writes every key, and a file that cannot be written keeps the dialog open with a message.
#include "ui/DictationDlg.h"
#include "QtTestApp.h"
#include "platform/fakes/FakeFolderChooser.h"
#include "platform/fakes/FakeMessageBoxes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

TEST(DictationDialog, shows_the_settings_takes_a_chosen_folder_and_writes_them_on_ok) {
    EnsureQtApp();
    platform::FakeFolderChooser chooser;
    platform::FakeMessageBoxes boxes;
    platform::SetFolderChooser(&chooser);
    platform::SetMessageBoxes(&boxes);
    QTemporaryDir dir;
    const std::string ini = dir.filePath("Recorder.ini").toStdString();
    std::ofstream(ini)
        << "[Recorder]\nFormat=44100\n[Dictation]\nAuthor=Maria Lopez\nPriority=high\nStepBack=4\n";
    {
        DictationDlg dialog(ini);
        EXPECT_EQ(dialog.Author().text(), "Maria Lopez");
        EXPECT_EQ(dialog.WorkType().text(), "Letter");
        EXPECT_EQ(dialog.Priority().currentData().toString(), "high");
        EXPECT_EQ(dialog.StepBack().value(), 4);
        chooser.Answer = {true, "/srv/share/out"};
        dialog.ChooseFolder(DictationDlg::kOutbox);
        chooser.Answer = {false, ""}; // cancelled: the field keeps what it had
        dialog.ChooseFolder(DictationDlg::kOutbox);
        EXPECT_EQ(dialog.Folder(DictationDlg::kOutbox).text(), "/srv/share/out");
        dialog.WorkType().setText(" Memo ");
        dialog.StepBack().setValue(99); // the box holds at most 10
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    std::stringstream text;
    text << std::ifstream(ini).rdbuf();
    EXPECT_EQ(text.str(),
              "[Recorder]\nFormat=44100\n[Dictation]\nAuthor=Maria Lopez\nPriority=high\nStepBack=10\n"
              "WorkType=Memo\nOutbox=/srv/share/out\nReturns=\nInbox=\nDone=\n");

    // A settings file in a folder that has gone cannot be written.
    DictationDlg refused(dir.filePath("gone/Recorder.ini").toStdString());
    refused.accept();
    EXPECT_NE(refused.result(), QDialog::Accepted);
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_NE(boxes.Boxes[0].Text.find("could not be written"), std::string::npos);
    platform::SetFolderChooser(nullptr);
    platform::SetMessageBoxes(nullptr);
}

} // namespace
