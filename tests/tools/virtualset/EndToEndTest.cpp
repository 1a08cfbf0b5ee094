// The real Tavlo, driven as a user drives it: the virtual set's remote keys and receiver, and
// mouse clicks on Tavlo's window. Each scenario is a list of steps; every "expect" waits for the
// next output report the remote receives, so the reports are checked in order.
#include "SetDriver.h"

#include "SectionsReport.h"
#include "platform/Clock.h"
#include "ui/MainLayout.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QGuiApplication>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unordered_map>

namespace fs = std::filesystem;

namespace {

// A session bus of the scenario's own (dbus-daemon on a socket in its folder), so that media-key
// scenarios never reach a desktop's bus, and a record of the property changes announced on it.
class PrivateBus {
public:
    explicit PrivateBus(const std::string& folder) : m_Log(folder + "/announced.log") {
        // With --fork the daemon answers once it listens: its address, then its pid.
        std::string out;
        if (RunCommand("dbus-daemon --session --fork --print-address=1 --print-pid=1 --address=unix:path=" +
                           folder + "/bus 2>/dev/null",
                       &out))
            std::istringstream(out) >> m_Address >> m_Daemon;
        if (!m_Address.empty() &&
            RunCommand(
                "dbus-monitor --address '" + m_Address +
                    "' type=signal,interface=org.freedesktop.DBus.Properties,member=PropertiesChanged >'" +
                    m_Log + "' 2>/dev/null & echo $!",
                &out))
            std::istringstream(out) >> m_Monitor;
    }
    ~PrivateBus() {
        for (int pid : {m_Monitor, m_Daemon})
            if (pid > 0)
                ::kill(pid, SIGTERM);
    }
    // "" when the bus did not come up.
    const std::string& Address() const { return m_Address; }
    // Everything announced with PropertiesChanged so far, as dbus-monitor prints it.
    std::string Announced() const {
        std::stringstream text;
        text << std::ifstream(m_Log).rdbuf();
        return text.str();
    }

private:
    std::string m_Log, m_Address;
    int m_Daemon = -1, m_Monitor = -1;
};

struct Scenario {
    const char* Name;
    const char* Pending; // why it cannot pass yet, or nullptr
    std::vector<std::string> Steps;
};

// Steps:
//   remote CMD...        a command to the virtual set (press KEY, hold KEY MS, unplug, plug, send...)
//   expect out XX        the next output report the remote receives carries command XX
//   expect-log TEXT      the set's log shows TEXT next
//   click ID             a left click on the middle of Tavlo's control ID
//   pause MS             lets time pass (speech being recorded, a key held)
//   picture battery|volume N   the picture shows res/battery-N.bmp or res/vol-N.bmp
//   text ID blank|shown  the text control shows nothing / something
//   snap ID NAME, text ID same|differs NAME   the text control as it was at the snap
//   dictation            Recorder.ini gets an outbox (the folder's "outbox") and the author "E2E"
//   sent N               the outbox holds N jobs, each with its audio, and no spool (waits 15 s)
//   wav FILES SECTIONS   the folder holds FILES recordings; the newest has SECTIONS sections, sox
//                        reads it and its samples are the speech the microphone heard
//   running              Tavlo has not ended
//   mpris CMD            playerctl CMD on Tavlo's media player (the scenario gets a session bus)
//   mpris-status S       playerctl reads back the playback status S
//   mpris-track newest|oldest   the player's track is that recording: its name, its whole seconds
//   mpris-announced S... the playback statuses announced on the bus so far, in order
const std::vector<Scenario>& Scenarios() {
    static const std::vector<Scenario> scenarios = {
        // The free-space check's idle, then the greeting: volume 7 and idle.
        {"StartUpGreetsTheRemoteWithVolumeThenIdle",
         nullptr,
         {"expect out C0", "expect out E7", "expect out C0", "picture volume 7", "picture battery 0",
          "text 1032 shown", "text 1030 blank", "running"}},
        {"RemoteRecordsTwoSectionsOfSpeechAndSavesThem",
         nullptr,
         {"remote press record", "expect out C1", "pause 3000", "remote press stop", "expect out C0",
          "expect out C1", "pause 2000", "remote press file", "expect out C0", "wav 1 2", "running"}},
        {"RemotePlaysAndWindsWhileForwardIsHeldButNotOnAShortRewind",
         nullptr,
         {"remote press record", "expect out C1", "pause 2500", "remote press stop", "expect out C0",
          "expect out C1", "pause 2500", "remote press file", "expect out C0", "wav 1 2", "remote press play",
          "expect out C2", "text 1030 blank", "remote hold forward 1500", "pause 900", "text 1030 shown",
          "pause 1500", "text 1030 blank",
          // A short press is no hold: rewind does not engage.
          "remote press rewind", "pause 600", "text 1030 blank", "running"}},
        {"UnpluggingWhileRecordingKeepsTheFileAndPluggingBackReconnects",
         nullptr,
         {"remote press record", "expect out C1", "snap 1032 recording", "pause 2500", "remote unplug",
          "pause 2500", "text 1032 differs recording", "wav 1 1", "remote plug", "expect out C0", "running"}},
        {"WindowButtonsRecordSectionSavePlayAndSetTheVolume",
         nullptr,
         // Recording needs the remote in contact (its microphone is the one recorded): its first
         // report brings the link up and shows its battery.
         {"remote battery 4", "pause 400",     "picture battery 4", "click 1000",    "expect out C1",
          "pause 3000",       "click 1002",    "expect out C0",     "expect out C1", "pause 2000",
          "click 1003",       "expect out C0", "wav 1 2",           "click 1001",    "expect out C2",
          "click 1011",       "expect out E6", "picture volume 6",  "click 1012",    "expect out E0",
          "picture volume 0", "running"}},
        {"BadReportsAndAFloodLoseNoRecording",
         nullptr,
         // Lengths other than 8 (on the wire 4 and 10 bytes: together two reports' worth, so the
         // reports after them stay whole), unknown event codes and a flood, all while recording.
         {"remote press record", "expect out C1", "pause 1000", "remote send 00 00 5B 5C",
          "remote send 00 00 5D 00 00 00 00 00 00 00", "remote flood 25 5A", "remote flood 15 AE",
          "remote press stop", "expect out C0", "expect out C1", "pause 1000", "remote press file",
          "expect out C0", "wav 1 2", "running"}},
        // The desktop's media controls run the window's own commands: the remote hears what a
        // click would have told it, and the status reads back as the window shows it.
        // clang-format off
        {"MediaKeysDrivePlaybackAndTheRemoteIsTold",
         nullptr,
         {"remote press record", "expect out C1", "pause 2500", "remote press file", "expect out C0", "wav 1 1",
          "pause 1000",
          "remote press record", "expect out C1", "pause 2500", "remote press file", "expect out C0", "wav 2 1",
          "mpris-status Stopped",
          "mpris play", "expect out C2", "mpris-status Playing", "mpris-track newest",
          "mpris pause", "expect out C0", "mpris-status Paused",
          "mpris play", "expect out C2",
          "mpris next", "expect out C0", "expect out C2", "mpris-status Playing", "mpris-track oldest",
          "mpris stop", "expect out C0", "mpris-status Stopped",
          "mpris-announced Playing Paused Playing Stopped", "running"}},
        // clang-format on
        // The file key held two seconds while idle sends the current recording to the typist; a
        // short press afterwards is still File up, which plays.
        {"FileKeyHeldWhileIdleSendsTheRecordingAndAPressStillPlays",
         nullptr,
         {"dictation", "remote press record", "expect out C1", "pause 2500", "remote press file",
          "expect out C0", "wav 1 1", "remote hold file 2600", "pause 3000", "sent 1", "remote press file",
          "expect out C2", "running"}},
        {"ReceiverVanishingDuringAWriteLosesNoRecording",
         nullptr,
         {"remote press record", "expect out C1", "pause 1500", "remote vanish-on-output", "click 1002",
          "expect-log vanishing during a write", "pause 1500", "click 1003", "pause 1500", "wav 1 2",
          "remote plug", "expect out C0", "running"}},
    };
    return scenarios;
}

std::string Word(const std::vector<std::string>& words, std::size_t i) {
    return i < words.size() ? words[i] : std::string();
}

// The text controls paint their background in the display colour; anything else is text.
bool ShowsText(const QImage& shot, const QRect& rect) {
    const QRgb background = qRgb(ui::kStatusRed, ui::kStatusGreen, ui::kStatusBlue);
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (shot.valid(x, y) && shot.pixel(x, y) != background)
                return true;
    return false;
}

// Pixel for pixel (screenshots carry a colour space that a bitmap file has not).
bool SamePixels(const QImage& shot, int x, int y, const QImage& picture) {
    for (int py = 0; py < picture.height(); ++py)
        for (int px = 0; px < picture.width(); ++px)
            if (!shot.valid(x + px, y + py) ||
                (shot.pixel(x + px, y + py) & 0xFFFFFF) != (picture.pixel(px, py) & 0xFFFFFF))
                return false;
    return true;
}

// The picture lies somewhere in the label's rectangle (a label centres it vertically).
bool ShowsPicture(const QImage& shot, const QRect& rect, const QString& file) {
    const QImage picture = QImage(file).convertToFormat(QImage::Format_RGB32);
    if (picture.isNull())
        return false;
    for (int dy = 0; dy + picture.height() <= rect.height(); ++dy)
        for (int dx = 0; dx + picture.width() <= rect.width(); ++dx)
            if (SamePixels(shot, rect.x() + dx, rect.y() + dy, picture))
                return true;
    return false;
}

std::vector<std::int16_t> ReadSamples(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                               (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return samples;
}

// How much of the recording is the speech loop, sample for sample: every 10 ms block that is not
// silence must appear in the loop exactly (the microphone runs at the recording's rate, so nothing
// is resampled). Returns the share of such blocks found, and how many there were; the seconds at
// which blocks were not found go to missing.
std::pair<double, int> SpeechShare(std::string& missing, const std::vector<std::int16_t>& recorded,
                                   const std::vector<std::int16_t>& loop) {
    constexpr std::size_t kBlock = 480;
    std::unordered_multimap<std::uint64_t, std::size_t> starts;
    auto key = [](const std::int16_t* s) {
        return static_cast<std::uint64_t>(static_cast<std::uint16_t>(s[0])) << 48 |
               static_cast<std::uint64_t>(static_cast<std::uint16_t>(s[1])) << 32 |
               static_cast<std::uint64_t>(static_cast<std::uint16_t>(s[2])) << 16 |
               static_cast<std::uint16_t>(s[3]);
    };
    std::vector<std::int16_t> twice(loop);
    twice.insert(twice.end(), loop.begin(), loop.end()); // blocks that wrap around the loop's end
    for (std::size_t i = 0; i + kBlock <= twice.size() && i < loop.size(); ++i)
        starts.emplace(key(&twice[i]), i);
    int voiced = 0, found = 0;
    for (std::size_t at = 0; at + kBlock <= recorded.size(); at += kBlock) {
        const std::int16_t* block = &recorded[at];
        int peak = 0;
        for (std::size_t i = 0; i < kBlock; ++i)
            peak = std::max(peak, std::abs(static_cast<int>(block[i])));
        if (peak < 200)
            continue;
        ++voiced;
        auto [first, last] = starts.equal_range(key(block));
        const bool inLoop = std::any_of(first, last, [&](const auto& start) {
            return std::equal(block, block + kBlock, &twice[start.second]);
        });
        if (inLoop)
            ++found;
        else
            missing += " " + std::to_string(at / 48) + "ms";
    }
    return {voiced ? static_cast<double>(found) / voiced : 0.0, voiced};
}

void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.Name;
}

class EndToEnd : public ::testing::TestWithParam<Scenario> {
protected:
    void SetUp() override { m_Folder = MakeTestFolder("tavlo-e2e"); }
    void TearDown() override { CleanTestFolder(m_Folder.string(), HasFailure()); }

    void RunStep(SetDriver& set, const std::string& step);
    // Saves a screenshot beside the scenario's recordings, for a failure's message.
    std::string Keep(const QImage& shot) {
        const std::string path = (m_Folder / ("window-" + std::to_string(++m_Kept) + ".png")).string();
        shot.save(QString::fromStdString(path));
        return path;
    }
    void CheckRecording(SetDriver& set, std::size_t files, std::size_t sections);
    void CheckTrack(bool newest);

    fs::path m_Folder;
    // The scenario's session bus, if it has one; it outlives the set and Tavlo.
    std::unique_ptr<PrivateBus> m_Bus;
    std::map<std::string, QImage> m_Snaps;
    int m_Kept = 0;
};

void EndToEnd::CheckRecording(SetDriver& set, std::size_t files, std::size_t sections) {
    const std::vector<fs::path> wavs = Recordings(m_Folder);
    ASSERT_EQ(wavs.size(), files);
    const std::string wav = wavs.back().string();

    WaveSummary summary;
    std::string error;
    ASSERT_TRUE(DescribeWaveFile(wav, summary, error)) << error;
    EXPECT_EQ(summary.SectionStarts.size(), sections);
    EXPECT_EQ(summary.SampleRate, 48000u);

    const std::string raw = (m_Folder / "recorded.raw").string();
    ASSERT_TRUE(RunCommand("sox '" + wav + "' -t raw -e signed-integer -b 16 -L '" + raw + "' 2>&1"))
        << "sox cannot read " << wav;
    std::string speech = set.Log();
    speech = speech.substr(speech.find("speech ") + 7);
    speech = speech.substr(0, speech.find('\n'));
    std::string missing;
    const auto [share, voiced] = SpeechShare(missing, ReadSamples(raw), ReadSamples(speech));
    // At least a second of speech, and all of it (bar what a section's pause and resume may cut in
    // the middle of a block) is the loop's, sample for sample.
    EXPECT_GE(voiced, 100);
    EXPECT_GE(share, 0.95) << voiced << " voiced blocks; not in the speech at" << missing;
}

std::string Playerctl(const std::string& command) {
    std::string out;
    EXPECT_TRUE(RunCommand("playerctl -p tavlo " + command + " 2>&1", &out)) << command << ": " << out;
    return out.substr(0, out.find_last_not_of('\n') + 1);
}

void EndToEnd::CheckTrack(bool newest) {
    const std::vector<fs::path> wavs = Recordings(m_Folder);
    ASSERT_FALSE(wavs.empty());
    const fs::path& wav = newest ? wavs.back() : wavs.front();
    WaveSummary summary;
    std::string error;
    ASSERT_TRUE(DescribeWaveFile(wav.string(), summary, error)) << error;
    EXPECT_EQ(Playerctl("metadata xesam:title"), wav.filename().string());
    const auto seconds = static_cast<long long>(summary.LengthSeconds());
    EXPECT_EQ(Playerctl("metadata mpris:length"), std::to_string(seconds * 1000000));
}

// The playback statuses in the order the bus was told them.
std::string AnnouncedStatuses(const std::string& monitored) {
    std::string statuses;
    const std::string key = "string \"PlaybackStatus\"";
    for (std::size_t at = monitored.find(key); at != std::string::npos; at = monitored.find(key, at + 1)) {
        const std::size_t open = monitored.find("string \"", at + key.size()) + 8;
        statuses += (statuses.empty() ? "" : " ") + monitored.substr(open, monitored.find('"', open) - open);
    }
    return statuses;
}

void EndToEnd::RunStep(SetDriver& set, const std::string& step) {
    std::istringstream in(step);
    std::vector<std::string> w;
    for (std::string word; in >> word;)
        w.push_back(word);
    const std::string verb = Word(w, 0);
    SCOPED_TRACE(step);
    if (verb == "remote") {
        set.Send(step.substr(7));
    } else if (verb == "expect") {
        ASSERT_TRUE(set.Await("out 00 00 00 " + Word(w, 2))) << set.Log();
    } else if (verb == "expect-log") {
        ASSERT_TRUE(set.Await(step.substr(11))) << set.Log();
    } else if (verb == "click") {
        const QRect r = ControlRect(std::stoi(Word(w, 1)));
        ASSERT_TRUE(set.Click(r.center().x(), r.center().y()));
    } else if (verb == "pause") {
        platform::Clock().Sleep(static_cast<unsigned>(std::stoul(Word(w, 1))));
    } else if (verb == "picture") {
        const bool battery = Word(w, 1) == "battery";
        const QString file = QString(TAVLO_BIN_DIR) + (battery ? "/res/battery-" : "/res/vol-") +
                             QString::fromStdString(Word(w, 2)) + ".bmp";
        const QImage shot = set.Screenshot();
        EXPECT_TRUE(ShowsPicture(shot, ControlRect(battery ? 1014 : 1013), file))
            << file.toStdString() << " (window kept as " << Keep(shot) << ")";
    } else if (verb == "text") {
        const QRect r = ControlRect(std::stoi(Word(w, 1)));
        const QImage shot = set.Screenshot();
        const std::string how = Word(w, 2);
        if (how == "blank" || how == "shown") {
            EXPECT_EQ(ShowsText(shot, r), how == "shown");
        } else {
            const bool same = SamePixels(shot, r.x(), r.y(), m_Snaps[Word(w, 3)]);
            EXPECT_EQ(same, how == "same");
        }
    } else if (verb == "snap") {
        m_Snaps[Word(w, 2)] = set.Screenshot().copy(ControlRect(std::stoi(Word(w, 1))));
    } else if (verb == "dictation") {
        fs::create_directory(m_Folder / "outbox");
        std::ofstream(m_Folder / "Recorder.ini", std::ios::app)
            << "[Dictation]\nAuthor=E2E\nOutbox=" << (m_Folder / "outbox").string() << "\n";
    } else if (verb == "sent") {
        const auto jobs = [&] {
            std::size_t whole = 0;
            for (const auto& entry : fs::directory_iterator(m_Folder / "outbox"))
                if (entry.path().extension() == ".job" &&
                    fs::exists(fs::path(entry.path()).replace_extension(".opus")))
                    ++whole;
            return whole;
        };
        for (int i = 0; i < 150 && jobs() < std::stoul(Word(w, 1)); ++i)
            platform::Clock().Sleep(100);
        EXPECT_EQ(jobs(), std::stoul(Word(w, 1))) << set.Log();
        EXPECT_FALSE(fs::exists(m_Folder / "outbox" / ".tavlo-spool"));
    } else if (verb == "wav") {
        CheckRecording(set, std::stoul(Word(w, 1)), std::stoul(Word(w, 2)));
    } else if (verb == "mpris") {
        Playerctl(step.substr(6));
    } else if (verb == "mpris-status") {
        EXPECT_EQ(Playerctl("status"), Word(w, 1));
    } else if (verb == "mpris-track") {
        CheckTrack(Word(w, 1) == "newest");
    } else if (verb == "mpris-announced") {
        EXPECT_EQ(AnnouncedStatuses(m_Bus->Announced()), step.substr(16)) << m_Bus->Announced();
    } else if (verb == "running") {
        EXPECT_TRUE(set.Alive()) << set.Log();
    } else {
        FAIL() << "unknown step";
    }
}

TEST_P(EndToEnd, Scenario) {
    const Scenario& scenario = GetParam();
    if (scenario.Pending)
        GTEST_SKIP() << scenario.Pending;
    // Tavlo and playerctl find the scenario's own bus; the others run without one, as on a system
    // that has none.
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    if (std::any_of(scenario.Steps.begin(), scenario.Steps.end(),
                    [](const std::string& step) { return step.starts_with("mpris"); })) {
        m_Bus = std::make_unique<PrivateBus>(m_Folder.string());
        ASSERT_FALSE(m_Bus->Address().empty()) << "no session bus";
        ::setenv("DBUS_SESSION_BUS_ADDRESS", m_Bus->Address().c_str(), 1);
    }
    SetDriver set(m_Folder.string());
    ASSERT_TRUE(set.Await("ready")) << set.Log();
    for (const std::string& step : scenario.Steps) {
        RunStep(set, step);
        if (HasFatalFailure())
            return;
    }
}

INSTANTIATE_TEST_SUITE_P(RealProgram, EndToEnd, ::testing::ValuesIn(Scenarios()),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return info.param.Name; });

} // namespace

int main(int argc, char** argv) {
    // Screenshots are decoded with QtGui; no window of this process is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
