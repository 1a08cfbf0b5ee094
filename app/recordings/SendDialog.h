#pragma once
#include "DictationSettings.h"

#include <QString>
#include <QWidget>

#include <optional>
#include <string>

// What the author adds to one recording sent to the typist.
struct SendChoice {
    std::string Note;
    std::string WorkType;
    std::string Priority;
};

// "Send to typist": the note, the work type and the priority of one job, the latter two
// prefilled from the dictation settings, with the author and the outbox named. Empty when the user
// cancels.
std::optional<SendChoice> AskSendInDialog(QWidget* parent, const QString& recording,
                                          const dictation::DictationSettings& settings);
