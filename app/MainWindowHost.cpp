#include "MainWindowHost.h"

#include "ProgramState.h"
#include "RecordingsList.h"
#include "Settings.h"
#include "SorvinDlg.h"
#include "platform/FileSystem.h"

// The settings make the recordings folder the current directory, and the list's names are
// relative to it.
std::string MainWindowHost::RecordingsFolder() {
    std::string folder;
    return platform::FileSystem().GetCurrentDirectory(folder) ? folder : std::string();
}

std::string MainWindowHost::CurrentRecording() {
    if (g_CurFile == g_FileList.end() || *g_CurFile == kNoWavFiles)
        return "";
    return *g_CurFile;
}

std::string MainWindowHost::RecordingPath() {
    return IsRecording(m_Dlg.State()) ? m_Dlg.RecordingPath() : std::string();
}

std::string MainWindowHost::PlayingPath() {
    return IsPlaying(m_Dlg.State()) && m_Dlg.m_pReader ? m_Dlg.m_pReader->FileName() : std::string();
}

void MainWindowHost::PlayRecording(const std::string& name, unsigned section) {
    m_Dlg.PlayRecording(name, section);
}

void MainWindowHost::RecordingRenamed(const std::string& from, const std::string& to) {
    m_Dlg.RecordingRenamed(from, to);
}

void MainWindowHost::RecordingRemoved(const std::string& name) {
    m_Dlg.RecordingRemoved(name);
}

std::string MainWindowHost::SettingsFile() {
    return SettingsPath(m_Dlg.m_WorkDir);
}

bool MainWindowHost::PlayJob(const std::string& path, const std::string& title) {
    m_Dlg.Apply(TransportEvent::PlayJob, {path, title, 1});
    return IsPlaying(m_Dlg.State()) && m_Dlg.PlayingJob() == path;
}

void MainWindowHost::EditDictationSettings() {
    m_Dlg.OnDictationSettings();
}

JobSending& MainWindowHost::Sending() {
    return m_Dlg.m_Sending;
}

void MainWindowHost::PlaybackCommand(TransportEvent event) {
    m_Dlg.Apply(event);
}

int MainWindowHost::PlaybackSpeed() {
    return m_Dlg.m_Player.Speed();
}
