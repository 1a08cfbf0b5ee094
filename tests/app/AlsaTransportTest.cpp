// The recorder end to end on real sound: the private sound server's "USB Headset" records what is
// played into its sink, playback goes to that sink, the receiver is emulated, and the waits are
// real. What was recorded must be one file with its two sections, as long as the time recorded.
#include "WindowFixture.h"

#include <cstdio>
#include <cstdlib>

namespace apptest {
namespace {

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, p))
            out += buffer;
        ::pclose(p);
    }
    return out;
}

class AlsaTransport : public WindowTest {
protected:
    void SetUp() override {
        if (!std::getenv("PULSE_SERVER"))
            GTEST_SKIP() << "no private sound server: run through scripts/test (scripts/services/pulseaudio)";
        WindowTest::SetUp();
        // Real sound devices and the real clock; the window's timers still tick when told.
        platform::SetWaveService(nullptr);
        platform::SetCaptureDevices(nullptr);
        platform::SetClock(nullptr);
    }
    static double Now() {
        using namespace std::chrono;
        return duration<double>(steady_clock::now().time_since_epoch()).count();
    }
    static void Wait(double seconds) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        QCoreApplication::processEvents();
    }
    std::uint64_t Second() { return dlg->m_Player.m_pStore->Tell() / (10ull * dlg->m_Player.m_BufferSize); }
};

TEST_F(AlsaTransport, record_two_sections_save_then_play_wind_and_jump) {
    Open();
    Press(1000);
    ASSERT_TRUE(dlg->m_Recording);
    const double started = Now();
    Wait(3.3);
    Press(1002);
    const double marked = Now();
    Wait(2.2);
    Press(1003);
    const double recorded = Now() - marked + (marked - started);
    EXPECT_EQ(Commands(), (std::vector<int>{0xC0, 0xC1, 0xC0, 0xC1, 0xC0}));

    ASSERT_EQ(g_FileList.size(), 1u);
    const std::string file = (rec / g_FileList.front()).string();
    const std::string sections = Output(std::string(TAVLO_BIN_DIR) + "/tavlo-sections " + file);
    EXPECT_NE(sections.find("1  0:00:00  0:00:03"), std::string::npos) << sections;
    EXPECT_NE(sections.find("2  0:00:03  0:00:02"), std::string::npos) << sections;
    // sox reads it, and it holds the time recorded to within a buffer or two of the server's.
    const double seconds = std::atof(Output("sox --i -D " + file).c_str());
    EXPECT_NEAR(seconds, recorded, 0.25) << sections;

    // Play, and fast forward at 8X for half a second (two steps of 1 s).
    Press(1001);
    g_Speed = 8;
    Press(1004);
    for (int i = 0; i < 2; ++i) {
        Tick(1);
        Wait(0.25);
    }
    Press(1004);
    EXPECT_GE(Second(), 2u);
    // Stop goes back to the start; from there the next section is the mark at 3 s, and the
    // previous section of section 2 is section 1.
    Press(1002);
    EXPECT_EQ(Second(), 0u);
    Press(1001);
    Press(1006);
    EXPECT_EQ(Second(), 3u);
    Tick(3);
    EXPECT_EQ(dlg->m_strSection, "Section 2");
    Press(1007);
    EXPECT_EQ(Second(), 0u);
    Press(1002);
    EXPECT_EQ(Commands(), (std::vector<int>{0xC2, 0xC0, 0xC2, 0xC0}));
    Press(1017); // File down with one file plays it again from its start
    EXPECT_TRUE(dlg->m_Playing);
    EXPECT_EQ(dlg->m_strStatus, g_FileList.front());
}

} // namespace
} // namespace apptest
