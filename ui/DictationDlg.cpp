#include "DictationDlg.h"

#include "dictation/JobFile.h"
#include "platform/FolderChooser.h"
#include "platform/MessageBoxes.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>

namespace {

struct FolderField {
    const char* Label;
    const char* Hint;
};
constexpr FolderField kFolderTexts[] = {
    {"&Outbox:", "The folder recordings are sent to (with Syncthing: a send-only folder)"},
    {"&Returns:", "Where the typist's states arrive; empty: the Outbox"},
    {"&Inbox:", "As a typist: the folder jobs arrive in"},
    {"&Done:", "As a typist: where your states are written; empty: the Inbox"},
};

} // namespace

DictationDlg::DictationDlg(const std::string& iniPath, QWidget* parent)
    : QDialog(parent), m_IniPath(iniPath) {
    setWindowTitle(tr("Dictation settings"));
    const dictation::DictationSettings s = dictation::LoadDictationSettings(iniPath);
    auto* form = new QFormLayout;
    m_Author.setText(QString::fromStdString(s.Author));
    form->addRow(tr("&Author:"), &m_Author);
    m_WorkType.setText(QString::fromStdString(s.WorkType));
    form->addRow(tr("&Work type:"), &m_WorkType);
    for (const char* priority : dictation::kPriorities)
        m_Priority.addItem(tr(priority), QString(priority));
    m_Priority.setCurrentIndex(m_Priority.findData(QString::fromStdString(s.Priority)));
    form->addRow(tr("&Priority:"), &m_Priority);
    const std::string folders[kFolderFields] = {s.Outbox, s.Returns, s.Inbox, s.Done};
    for (int i = 0; i < kFolderFields; ++i) {
        m_Folders[i].setText(QString::fromStdString(folders[i]));
        m_Folders[i].setToolTip(tr(kFolderTexts[i].Hint));
        m_Folders[i].setAccessibleDescription(tr(kFolderTexts[i].Hint));
        auto* row = new QHBoxLayout;
        row->addWidget(&m_Folders[i], 1);
        auto* choose = new QPushButton(tr("Choose…"));
        choose->setAccessibleName(
            tr("Choose %1").arg(QString(kFolderTexts[i].Label).remove('&').remove(':')));
        connect(choose, &QPushButton::clicked, this, [this, i] { ChooseFolder(i); });
        row->addWidget(choose);
        form->addRow(tr(kFolderTexts[i].Label), row);
    }
    m_StepBack.setRange(0, dictation::DictationSettings::kMaxStepBack);
    m_StepBack.setSuffix(tr(" s"));
    m_StepBack.setValue(s.StepBack);
    m_StepBack.setToolTip(tr("As a typist: how far playback goes back when it resumes"));
    form->addRow(tr("&Step back on resume:"), &m_StepBack);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &DictationDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DictationDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(560, sizeHint().height());
}

void DictationDlg::ChooseFolder(int which) {
    const platform::FolderChoice choice =
        platform::FolderChooser().ChooseFolder(QString(kFolderTexts[which].Hint).toStdString());
    if (choice.Chosen && !choice.Path.empty())
        m_Folders[which].setText(QString::fromStdString(choice.Path));
}

void DictationDlg::accept() {
    dictation::DictationSettings s;
    s.Author = m_Author.text().trimmed().toStdString();
    s.WorkType = m_WorkType.text().trimmed().toStdString();
    s.Priority = m_Priority.currentData().toString().toStdString();
    s.Outbox = m_Folders[kOutbox].text().trimmed().toStdString();
    s.Returns = m_Folders[kReturns].text().trimmed().toStdString();
    s.Inbox = m_Folders[kInbox].text().trimmed().toStdString();
    s.Done = m_Folders[kDone].text().trimmed().toStdString();
    s.StepBack = m_StepBack.value();
    if (!dictation::SaveDictationSettings(m_IniPath, s)) {
        platform::MessageBoxes().Show("The dictation settings could not be written to " + m_IniPath + ".",
                                      "Tavlo", platform::MessageIcon::Error);
        return;
    }
    QDialog::accept();
}
