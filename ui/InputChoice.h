#pragma once
#include "platform/wave/CaptureChoice.h"
#include "ui/CColorStatic.h"

#include <QComboBox>
#include <string>

// The settings dialog's part for the recording input, so that which input records is never a
// surprise: a list to choose the input (first "Automatic": the receiver's microphone, else the
// default input; then every capture device by name), the line "Recording from: ..." naming the
// input that records now, and, when the receiver's microphone is not there, a line saying so. The
// choice is kept under "RecordInput" in Recorder.ini (the other keys are the dialog's). Its
// widgets are children of the dialog. User-interface thread only.
class InputChoice {
public:
    explicit InputChoice(QWidget* dialog);

    // Lists the inputs and selects the choice saved in the settings file `iniPath`; a chosen input
    // that is not there stays listed under its name. Then shows the input in use.
    void Load(const std::string& iniPath);
    // The user chose list entry `index`: kept in the settings file, when it has a "Recorder"
    // section with a key (the dialog never creates one), and the input in use shown again.
    void Choose(int index);

    CColorStatic m_Label, m_InUse, m_Notice;
    QComboBox m_List;

    // "Recording from: NAME", or "Recording from: the default input" when the system names none.
    static std::string InUseText(const platform::CaptureInput& input);

private:
    // The stored value of list entry `index`: "" for "Automatic", else the input's name.
    std::string ValueOf(int index) const;
    void ShowInUse();

    std::string m_IniPath;
};
