#pragma once
#include "IRecordingsHost.h"

class CSorvinDlg;

// The main window as the recordings window sees it: its list, its recording and playback state,
// and the commands that play, rename and remove recordings.
class MainWindowHost : public IRecordingsHost {
public:
    explicit MainWindowHost(CSorvinDlg& dlg) : m_Dlg(dlg) {}

    std::string RecordingsFolder() override;
    std::string CurrentRecording() override;
    std::string RecordingPath() override;
    std::string PlayingPath() override;
    void PlayRecording(const std::string& name, unsigned section) override;
    void RecordingRenamed(const std::string& from, const std::string& to) override;
    void RecordingRemoved(const std::string& name) override;
    void PlaybackCommand(TransportEvent event) override;
    int PlaybackSpeed() override;

private:
    CSorvinDlg& m_Dlg;
};
