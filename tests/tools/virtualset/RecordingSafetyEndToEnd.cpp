// The real Tavlo keeps a recording with its marks whatever ends it: a signal, the X server going
// away, kill -9 and a new start, a disk that fills, a folder that is removed.
#include "SetDriver.h"

#include "SectionsReport.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <optional>
#include <ostream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A display server of Tavlo's own, so that killing it leaves the set's display alone. Up once its
// socket exists.
struct OwnServer {
    OwnServer(const std::string& command, const fs::path& socket) {
        std::string pid;
        if (RunCommand(command + " >/dev/null 2>&1 & echo $!", &pid))
            Pid = std::stoi(pid);
        for (int tries = 0; tries < 100 && !fs::exists(socket); ++tries) // a bound on a hang, not a timing
            platform::Clock().Sleep(100);
        Up = fs::exists(socket);
    }
    ~OwnServer() { Kill(); }
    void Kill() {
        if (Pid > 0)
            ::kill(Pid, SIGKILL);
        Pid = -1;
    }
    int Pid = -1;
    bool Up = false;
};

struct Kept {
    std::size_t Wavs = 0;
    std::size_t Journals = 0;
    std::size_t Sections = 0; // of the newest recording
    bool operator==(const Kept&) const = default;
};
void PrintTo(const Kept& k, std::ostream* out) {
    *out << k.Wavs << " recordings, " << k.Journals << " journals, " << k.Sections << " sections";
}

Kept LookIn(const fs::path& folder) {
    const std::vector<fs::path> wavs = Recordings(folder);
    Kept kept{wavs.size()};
    if (fs::exists(folder))
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            kept.Journals += entry.path().extension() == ".journal";
    WaveSummary summary;
    std::string error;
    if (!wavs.empty() && DescribeWaveFile(wavs.back().string(), summary, error) && summary.HasSectionList)
        kept.Sections = summary.SectionStarts.size();
    return kept;
}

// The command byte of the last output report the remote received.
std::string LastOutput(const std::string& log) {
    const std::size_t at = log.rfind(" out ");
    return at == std::string::npos ? "" : log.substr(at + 14, 2);
}

class RecordingSafetyE2E : public ::testing::Test {
protected:
    void SetUp() override { m_Folder = MakeTestFolder("tavlo-e2e-safety"); }
    void TearDown() override {
        if (!m_Mount.empty())
            RunCommand("umount -l '" + m_Mount.string() + "'");
        CleanTestFolder(m_Folder.string(), HasFailure());
    }
    // Starts Tavlo, records, marks a section after two seconds and records on: an open recording
    // with one mark.
    static void RecordWithAMark(SetDriver& set) {
        ASSERT_TRUE(set.Await("ready")) << set.Log();
        set.Send("press record");
        ASSERT_TRUE(set.Expect("C1")) << set.Log();
        platform::Clock().Sleep(2500);
        set.Send("press stop");
        ASSERT_TRUE(set.Expect("C0") && set.Expect("C1")) << set.Log();
        platform::Clock().Sleep(1500);
    }

    fs::path m_Folder;
    fs::path m_Mount;
};

// Ended from outside after a mark: the file is final with both sections and the remote idle last;
// after kill -9 the marks wait in a journal, and a new start repairs the recording and plays it.
TEST_F(RecordingSafetyE2E,
       a_signal_a_display_gone_or_kill_9_and_a_new_start_keep_the_recording_with_its_marks) {
    const std::string x = ":" + std::to_string(400 + ::getpid() % 400);
    const fs::path wayland = m_Folder / "wayland";
    fs::create_directory(wayland);
    fs::permissions(wayland, fs::perms::owner_all);
    struct Case {
        const char* Name;
        std::string Server; // started for Tavlo alone, then killed; empty: a signal
        fs::path Socket;
        std::vector<std::string> Options;
    };
    const std::vector<Case> cases = {
        {"TERM", {}, {}, {}},
        {"HUP", {}, {}, {}},
        {"KILL", {}, {}, {}},
        // The settings dialog's own loop runs inside the window's: it closes, the program ends.
        {"TERM while Setup is open", {}, {}, {}},
        {"X server killed",
         "Xvfb " + x + " -nolisten tcp",
         "/tmp/.X11-unix/X" + x.substr(1),
         {"--tavlo-env", "DISPLAY=" + x}},
        {"Wayland compositor killed",
         "XDG_RUNTIME_DIR=" + wayland.string() +
             " weston --backend=headless-backend.so --use-pixman --socket=tavlo --idle-time=0",
         wayland / "tavlo",
         {"--tavlo-env", "QT_QPA_PLATFORM=wayland", "--tavlo-env",
          "WAYLAND_DISPLAY=" + (wayland / "tavlo").string()}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::optional<OwnServer> server;
        if (!c.Server.empty()) {
            server.emplace(c.Server, c.Socket);
            ASSERT_TRUE(server->Up) << c.Server << " did not start";
        }
        {
            SetDriver set(m_Folder.string(), c.Options);
            RecordWithAMark(set);
            const std::string name = c.Name;
            if (name.find("Setup") != std::string::npos) {
                ASSERT_TRUE(set.ClickControl(1018));
                platform::Clock().Sleep(1000);
            }
            if (server)
                server->Kill();
            else
                set.Send("signal " + name.substr(0, name.find(' ')));
            if (name != "KILL") {
                ASSERT_TRUE(set.Await("tavlo exited")) << set.Log();
                EXPECT_EQ(LastOutput(set.Log()), "C0") << set.Log();
            } else {
                ASSERT_TRUE(set.Await("tavlo crashed")) << set.Log();
                EXPECT_EQ(LookIn(m_Folder).Journals, 1u) << "the marks wait in the journal";
                set.Send("start");
                ASSERT_TRUE(set.Await("tavlo started") && set.Expect("E7")) << set.Log(); // up and running
                EXPECT_EQ(LookIn(m_Folder), (Kept{1, 0, 2}));
                set.Send("press play");
                EXPECT_TRUE(set.Expect("C2")) << "the repaired recording plays\n" << set.Log();
            }
        }
        EXPECT_EQ(LookIn(m_Folder), (Kept{1, 0, 2}));
        for (const fs::path& wav : Recordings(m_Folder))
            fs::remove(wav);
    }
}

TEST_F(RecordingSafetyE2E, a_small_disk_filling_up_ends_the_recording_and_keeps_it_with_its_marks) {
    m_Mount = m_Folder / "disk";
    fs::create_directory(m_Mount);
    if (!RunCommand("mount -t tmpfs -o size=64m tmpfs '" + m_Mount.string() + "' 2>&1")) {
        m_Mount.clear();
        GTEST_SKIP() << "no tmpfs can be mounted here (needs root)";
    }
    WriteSettings(m_Folder, m_Mount.string());
    SetDriver set(m_Folder.string());
    RecordWithAMark(set);
    // Something else fills the disk: 20 MB are left, less than a recording may run into.
    ASSERT_TRUE(RunCommand("fallocate -l 44M '" + (m_Mount / "filler").string() + "' 2>&1"));
    ASSERT_TRUE(set.Expect("C3") && set.Expect("C0") && set.Expect("C3")) << set.Log();
    EXPECT_EQ(LookIn(m_Mount), (Kept{1, 0, 2}));
}

TEST_F(RecordingSafetyE2E, a_removed_recordings_folder_then_section_stop_starts_no_new_recording_anywhere) {
    const fs::path recordings = m_Folder / "recordings";
    fs::create_directory(recordings);
    WriteSettings(m_Folder, recordings.string());
    SetDriver set(m_Folder.string());
    RecordWithAMark(set);
    fs::remove_all(recordings);
    set.Send("press stop");
    ASSERT_TRUE(set.Expect("C3")) << set.Log();
    platform::Clock().Sleep(4000); // the alert's wait, then time for anything that should not happen
    set.Send("echo done");
    ASSERT_TRUE(set.Await("echo done"));
    const std::string log = set.Log();
    EXPECT_EQ(log.find("out 00 00 00 C1", log.rfind("out 00 00 00 C3")), std::string::npos)
        << "no recording starts by itself\n"
        << log;
    EXPECT_FALSE(fs::exists(recordings));
    // The recording itself is saved in the start-up folder under its own name, and nothing else.
    const Kept kept = LookIn(m_Folder);
    EXPECT_EQ(kept.Wavs, 1u);
    EXPECT_EQ(kept.Sections, 3u);
}

} // namespace
