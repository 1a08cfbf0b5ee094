// The recordings window on a folder of many recordings: how long the listing and the reading of
// lengths and sections take, and how long the window's thread (which the main window shares)
// is ever kept from its events meanwhile. Run on a display (Xvfb) or offscreen:
//   QT_QPA_PLATFORM=offscreen build/bin/tavlo_recordings_bench [COUNT]
// The recordings are sixty seconds each with three sections, their samples a hole of zeros, so
// that ten thousand of them take little room.
#include "JobSending.h"
#include "RecordingsWindow.h"

#include <QApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

namespace {

void Put32(std::ofstream& out, std::uint32_t v) {
    const char bytes[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    out.write(bytes, 4);
}
void Put16(std::ofstream& out, std::uint16_t v) {
    const char bytes[2] = {char(v), char(v >> 8)};
    out.write(bytes, 2);
}

// A recording as the program writes it: the header, the samples (a hole), "sect" with entries.
void WriteRecording(const fs::path& path, std::uint32_t seconds, const std::vector<std::uint32_t>& marks) {
    const std::uint32_t data = seconds * 88200;
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    Put32(out, 36 + data);
    out.write("WAVEfmt ", 8);
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, 1);
    Put32(out, 44100);
    Put32(out, 88200);
    Put16(out, 2);
    Put16(out, 16);
    out.write("data", 4);
    Put32(out, data);
    out.seekp(44 + data);
    out.write("sect", 4);
    Put32(out, static_cast<std::uint32_t>(marks.size()));
    for (std::uint32_t m : marks)
        Put32(out, m);
}

class BenchHost : public IRecordingsHost {
public:
    std::string RecordingsFolder() override { return Folder; }
    std::string CurrentRecording() override { return ""; }
    std::string RecordingPath() override { return ""; }
    std::string PlayingPath() override { return ""; }
    void PlayRecording(const std::string&, unsigned) override {}
    void RecordingRenamed(const std::string&, const std::string&) override {}
    void RecordingRemoved(const std::string&) override {}
    std::string SettingsFile() override { return Folder + "/Recorder.ini"; }
    void EditDictationSettings() override {}
    JobSending& Sending() override { return Sender; }
    void PlaybackCommand(TransportEvent) override {}
    int PlaybackSpeed() override { return 10; }
    std::string Folder;
    JobSending Sender;
};

double Ms(Steady::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Runs the event loop until `done`, and returns the longest time between two turns of it.
double LongestStall(QApplication& app, const std::function<bool()>& done) {
    Steady::time_point last = Steady::now();
    Steady::duration longest{};
    while (!done()) {
        app.processEvents(QEventLoop::AllEvents, 5);
        const Steady::time_point now = Steady::now();
        longest = std::max(longest, now - last);
        last = now;
    }
    return Ms(longest);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const fs::path folder =
        fs::temp_directory_path() / ("tavlo-recordings-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "2026%04d-%06d.wav", 101 + i / 1000, i % 1000 * 100);
        WriteRecording(folder / name, 60, {12, 20, 7});
    }
    std::printf("%d recordings of 60 s with 3 marks in %s\n", count, folder.c_str());

    BenchHost host;
    host.Folder = folder.string();
    RecordingsWindow window(host, nullptr);
    RecordingsModel& model = window.Model();
    const Steady::time_point start = Steady::now();
    window.show();
    const double listingStall = LongestStall(app, [&] { return model.rowCount() == count; });
    const Steady::time_point listed = Steady::now();
    const double readingStall = LongestStall(app, [&] { return model.ReadCount() == count; });
    const Steady::time_point read = Steady::now();
    std::printf(
        "listed after %.0f ms, all read after %.0f ms; the window's thread was never held longer than "
        "%.1f ms while listing, %.1f ms while reading\n",
        Ms(listed - start), Ms(read - start), listingStall, readingStall);

    // One more recording saved into the full folder: until it shows with its length.
    const Steady::time_point saved = Steady::now();
    WriteRecording(folder / "20270101-000000.wav", 30, {5});
    const double savedStall = LongestStall(app, [&] { return model.ReadCount() == count + 1; });
    std::printf("a recording saved into the folder shows, read, after %.0f ms (longest hold %.1f ms)\n",
                Ms(Steady::now() - saved), savedStall);
    fs::remove_all(folder);
    return 0;
}
