#pragma once
#include "IRecordingsHost.h"
#include "JobSending.h"

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

// The main window as the recordings window sees it: which files are current, recorded or played,
// and what it was told or asked to do, in order.
class FakeRecordingsHost : public IRecordingsHost {
public:
    std::string RecordingsFolder() override { return Folder; }
    std::string CurrentRecording() override { return Current; }
    std::string RecordingPath() override { return InProgress; }
    std::string PlayingPath() override { return Playing; }
    void PlayRecording(const std::string& name, unsigned section) override {
        Told.push_back("play " + name + " from section " + std::to_string(section));
    }
    void RecordingRenamed(const std::string& from, const std::string& to) override {
        Told.push_back("renamed " + from + " to " + to);
    }
    void RecordingRemoved(const std::string& name) override { Told.push_back("removed " + name); }
    std::string SettingsFile() override { return Settings; }
    void EditDictationSettings() override { Told.push_back("edit dictation settings"); }
    JobSending& Sending() override { return Sender; }
    void PlaybackCommand(TransportEvent event) override { Told.push_back(EventName(event)); }
    int PlaybackSpeed() override { return Speed; }

    std::string Folder, Current;
    std::string Settings; // Recorder.ini
    JobSending Sender;
    std::string InProgress, Playing; // full paths
    std::vector<std::string> Told;
    int Speed = 10;
};

// The widgets' application, made once for the whole test program.
inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "app_recordings_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

// The names in a folder.
inline std::set<std::string> Files(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// The desktop's trash of a scratch home, on the same file system as the recordings.
inline void UseScratchHome(const std::string& home) {
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
}
