#include "SendDialog.h"

#include "JobFile.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

std::optional<SendChoice> AskSendInDialog(QWidget* parent, const QString& recording,
                                          const dictation::DictationSettings& settings) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QWidget::tr("Send to typist"));
    auto* form = new QFormLayout(&dialog);
    auto* what = new QLabel(QWidget::tr("%1 from %2 to %3")
                                .arg(recording, QString::fromStdString(settings.Author),
                                     QString::fromStdString(settings.Outbox)));
    what->setWordWrap(true);
    form->addRow(what);
    QLineEdit note;
    note.setPlaceholderText(QWidget::tr("For the typist (one line)"));
    form->addRow(QWidget::tr("&Note:"), &note);
    QLineEdit workType(QString::fromStdString(settings.WorkType));
    form->addRow(QWidget::tr("&Work type:"), &workType);
    QComboBox priority;
    for (const char* p : dictation::kPriorities)
        priority.addItem(QWidget::tr(p), QString(p));
    priority.setCurrentIndex(std::max(0, priority.findData(QString::fromStdString(settings.Priority))));
    form->addRow(QWidget::tr("&Priority:"), &priority);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QWidget::tr("Send"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return SendChoice{note.text().toStdString(), workType.text().trimmed().toStdString(),
                      priority.currentData().toString().toStdString()};
}
