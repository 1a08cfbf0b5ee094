#pragma once
#include "IInboxHost.h"
#include "IRecordingsHost.h"

class CSorvinDlg;

// The main window as the recordings window sees it: its list, its recording and playback state,
// and the commands that play, rename and remove recordings; and as the inbox window sees it: the
// settings file and the player that plays a job.
class MainWindowHost : public IRecordingsHost, public IInboxHost {
public:
    explicit MainWindowHost(CSorvinDlg& dlg) : m_Dlg(dlg) {}

    std::string RecordingsFolder() override;
    std::string CurrentRecording() override;
    std::string RecordingPath() override;
    std::string PlayingPath() override;
    void PlayRecording(const std::string& name, unsigned section) override;
    void RecordingRenamed(const std::string& from, const std::string& to) override;
    void RecordingRemoved(const std::string& name) override;
    std::string SettingsFile() override;
    void EditDictationSettings() override;
    JobSending& Sending() override;
    bool PlayJob(const std::string& path, const std::string& title) override;
    void PlaybackCommand(TransportEvent event) override;
    int PlaybackSpeed() override;

private:
    CSorvinDlg& m_Dlg;
};
