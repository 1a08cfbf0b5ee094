#pragma once
#include "dictation/DictationSettings.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>

#include <string>

// "Dictation settings": who the author is, the work type and priority a job gets by default, the
// folders jobs and the typist's states go through, and the typist's step back on a resume. Plain
// widgets; the folders are chosen with the system's folder chooser (platform::FolderChooser) or
// typed. OK writes section "Dictation" of the settings file; a file that cannot be written says so
// and the dialog stays open.
class DictationDlg : public QDialog {
    Q_OBJECT
public:
    DictationDlg(const std::string& iniPath, QWidget* parent = nullptr);

    // The fields, for tests.
    QLineEdit& Author() { return m_Author; }
    QLineEdit& WorkType() { return m_WorkType; }
    QComboBox& Priority() { return m_Priority; }
    QLineEdit& Folder(int which) { return m_Folders[which]; }
    QSpinBox& StepBack() { return m_StepBack; }
    enum FolderField { kOutbox, kReturns, kInbox, kDone, kFolderFields };
    // Asks the folder chooser for one folder field.
    void ChooseFolder(int which);

    void accept() override;

private:
    std::string m_IniPath;
    QLineEdit m_Author, m_WorkType;
    QComboBox m_Priority;
    QLineEdit m_Folders[kFolderFields];
    QSpinBox m_StepBack;
};
