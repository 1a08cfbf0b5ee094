// Drives tavlo-virtualset (and through it the real Tavlo) for the end-to-end tests: commands on its
// standard input, its report log read back line by line, and the Tavlo window under the test's
// own X server (xdotool for clicks, ImageMagick's import for screenshots).
#pragma once

#include <QImage>
#include <QRect>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Where a control of Tavlo's main window is, in its client area.
QRect ControlRect(int id);

class SetDriver {
public:
    // Starts the set without its window; Tavlo starts in folder, which holds Recorder.ini. Further
    // options of the set may follow.
    explicit SetDriver(const std::string& folder, const std::vector<std::string>& options = {});
    ~SetDriver();

    void Send(const std::string& command);
    // Waits for the first log line at or after the cursor that contains text, and moves the cursor
    // past it: awaiting lines one after another checks their order. False when none comes.
    bool Await(const std::string& text);
    // True when the log so far has a line containing text.
    bool Logged(const std::string& text);
    std::string Log();
    // Awaits the remote's next output report with this command byte ("C1").
    bool Expect(const std::string& command) { return Await("out 00 00 00 " + command); }
    // True when Tavlo has not ended by the time the set answers.
    bool Alive();

    // Tavlo's window: a left click at a point of its client area, and a screenshot of it.
    bool Click(int x, int y);
    bool ClickControl(int id) { return Click(ControlRect(id).center().x(), ControlRect(id).center().y()); }
    QImage Screenshot();
    // Types keys (xdotool's names, "ctrl+l", "Down Return") into the window titled `title` (Tavlo's
    // main window when empty), after giving it the focus. False when there is no such window.
    bool Keys(const std::string& keys, const std::string& title = "");

private:
    unsigned long Window();

    pid_t m_Pid = -1;
    int m_In = -1;
    std::thread m_Reader;
    std::mutex m_Mutex;
    std::condition_variable m_Arrived;
    std::vector<std::string> m_Lines;
    std::size_t m_Cursor = 0;
    bool m_Closed = false;
    unsigned long m_Window = 0;
    bool m_Focused = false;
};

// A new folder for one test, where Tavlo starts: Recorder.ini records at the microphone's 48000 Hz
// (so a recording holds its samples unchanged) into the folder itself, and res/ is the program's.
std::string MakeTestFolder(const std::string& name);
// Writes that Recorder.ini into folder, recording into `recordings`.
void WriteSettings(const std::filesystem::path& folder, const std::string& recordings = ".\\");
// The recordings in folder, oldest first (they are named after their start time).
std::vector<std::filesystem::path> Recordings(const std::filesystem::path& folder);
// Removes the folder after a test that passed, keeps it (and says where) after one that failed.
void CleanTestFolder(const std::string& folder, bool failed);

// Output of a command run by the shell, or nothing when it fails.
bool RunCommand(const std::string& command, std::string* output = nullptr);
