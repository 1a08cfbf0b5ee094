// The engine on ALSA, through the private sound server of scripts/services/pulseaudio: the
// receiver ("USB Headset") is the monitor of the null sink that playback goes to.
#include "EngineTestSupport.h"
#include "FileName.h"
#include "WaveReader.h"
#include "WaveWriter.h"
#include "platform/wave/AlsaCaptureDevices.h"

#include <alsa/asoundlib.h>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

using namespace audiotest;

namespace {

bool HaveServer() {
    return std::getenv("PULSE_SERVER") && std::getenv("TAVLO_PULSE_DIR");
}

// A 1 kHz tone at 48000 Hz, 16-bit mono, amplitude 12000.
std::string Tone(double seconds) {
    const std::size_t frames = static_cast<std::size_t>(seconds * 48000);
    std::string s(frames * 2, '\0');
    for (std::size_t i = 0; i < frames; ++i) {
        const auto v =
            static_cast<std::int16_t>(std::lround(12000 * std::sin(2 * M_PI * 1000.0 * i / 48000)));
        s[2 * i] = static_cast<char>(v & 0xFF);
        s[2 * i + 1] = static_cast<char>((v >> 8) & 0xFF);
    }
    return s;
}

struct Recording {
    unsigned DataBytes = 0;
    std::vector<std::int16_t> Samples;
};

Recording ReadRecording(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    Recording r;
    if (bytes.size() < 44 || bytes.compare(36, 4, "data") != 0)
        return r;
    std::memcpy(&r.DataBytes, bytes.data() + 40, 4);
    const std::size_t available = std::min<std::size_t>(r.DataBytes, bytes.size() - 44);
    r.Samples.resize(available / 2);
    std::memcpy(r.Samples.data(), bytes.data() + 44, r.Samples.size() * 2);
    return r;
}

std::string RunShell(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char chunk[256];
        while (std::fgets(chunk, sizeof chunk, p))
            out += chunk;
        pclose(p);
    }
    return out;
}

// The value of one `export NAME='value'` line of a service's output.
std::string Exported(const std::string& exports, const std::string& name) {
    const std::string key = "export " + name + "='";
    const auto at = exports.find(key);
    if (at == std::string::npos)
        return "";
    const auto begin = at + key.size();
    return exports.substr(begin, exports.find('\'', begin) - begin);
}

// Plays `samples` with the engine on ALSA into a null sink of exactly their format, made for the
// purpose, and records that sink's monitor: what the device really played, silence included.
std::string PlayAndRecordBack(unsigned rate, unsigned short bits, unsigned short channels,
                              const std::string& samples, const std::string& rawFile) {
    const std::string format = bits == 24 ? "s24le" : "s16le";
    const std::string sink = "tavlo_exact_" + std::to_string(getpid());
    const std::string streamOptions =
        " --format=" + format + " --rate=" + std::to_string(rate) + " --channels=" + std::to_string(channels);
    const std::string module =
        RunShell("pactl load-module module-null-sink sink_name=" + sink + " format=" + format +
                 " rate=" + std::to_string(rate) + " channels=" + std::to_string(channels));
    const std::string recorder = RunShell("parec -d " + sink + ".monitor --raw --latency-msec=20" +
                                          streamOptions + " > '" + rawFile + "' 2>/dev/null & echo $!");
    platform::Clock().Sleep(300);          // the recorder is connected
    setenv("PULSE_SINK", sink.c_str(), 1); // the player's ALSA stream goes to that sink
    {
        MemoryStore store(rate, bits, channels, samples);
        Probe<CWavePlayer> player;
        if (player.SetDataStore(&store) && player.Start())
            WaitUntil([&] { return store.Tell() == samples.size() && player.FreeCountNow() == 8; });
        player.Stop();
    }
    unsetenv("PULSE_SINK");
    platform::Clock().Sleep(500); // the monitor's last blocks reach the recording
    if (const int pid = std::atoi(recorder.c_str()); pid > 0)
        kill(pid, SIGTERM);
    platform::Clock().Sleep(200);
    RunShell("pactl unload-module " + module);
    std::ifstream f(rawFile, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// The frames of a raw recording that are not silent, each as its bytes.
std::vector<std::string> SoundingFrames(const std::string& raw, std::size_t frameBytes) {
    std::vector<std::string> frames;
    for (std::size_t at = 0; at + frameBytes <= raw.size(); at += frameBytes) {
        const std::string frame = raw.substr(at, frameBytes);
        if (frame.find_first_not_of('\0') != std::string::npos)
            frames.push_back(frame);
    }
    return frames;
}

class AlsaEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveServer())
            GTEST_SKIP() << "no private sound server: run through scripts/test (scripts/services/pulseaudio)";
        char pattern[] = "/tmp/tavlo-audio-test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_Dir = pattern;
    }
    void TearDown() override {
        if (!m_Dir.empty())
            std::filesystem::remove_all(m_Dir);
    }
    std::string File(const char* name) const { return m_Dir + "/" + name; }
    std::string m_Dir;
};

TEST_F(AlsaEngineTest, TheRecorderFindsTheReceiverByName) {
    platform::AlsaCaptureDevices devices;
    CWaveRecorder recorder;
    ASSERT_NE(recorder.DeviceId(), platform::WAVE_MAPPER);
    EXPECT_EQ(devices.ProductName(recorder.DeviceId()), "USB Headset");
    for (unsigned id = 0; id < recorder.DeviceId(); ++id)
        EXPECT_NE(devices.ProductName(id), "USB Headset");
}

TEST_F(AlsaEngineTest, WithoutTheReceiverTheRecorderRecordsFromTheDefaultInput) {
    const char* plain = std::getenv("TAVLO_ALSA_CONFIG_WITHOUT_RECEIVER");
    if (!plain)
        GTEST_SKIP() << "TAVLO_ALSA_CONFIG_WITHOUT_RECEIVER is not set";
    const std::string saved = std::getenv("ALSA_CONFIG_PATH") ? std::getenv("ALSA_CONFIG_PATH") : "";
    setenv("ALSA_CONFIG_PATH", plain, 1);
    snd_config_update_free_global(); // read the configuration afresh
    {
        CWaveRecorder recorder;
        EXPECT_EQ(recorder.DeviceId(), platform::WAVE_MAPPER);
        CWaveWriter writer(File("default.wav").c_str(), 44100, 1);
        EXPECT_TRUE(recorder.SetDataStore(&writer));
        EXPECT_TRUE(recorder.Start());
        platform::Clock().Sleep(500);
        recorder.Stop();
        writer.Close();
        EXPECT_GT(ReadRecording(File("default.wav")).DataBytes, 0u);
    }
    setenv("ALSA_CONFIG_PATH", saved.c_str(), 1);
    snd_config_update_free_global();
}

TEST_F(AlsaEngineTest, ThreeSecondsRecordedWhileAToneIsPlayedHoldThreeSecondsOfTheTone) {
    MemoryStore tone(48000, 16, 1, Tone(6));
    CWavePlayer player;
    ASSERT_TRUE(player.SetDataStore(&tone));
    ASSERT_TRUE(player.Start());
    platform::Clock().Sleep(300); // the tone is flowing before recording begins

    CWaveRecorder recorder;
    CWaveWriter writer(File("tone.wav").c_str(), 44100, 1);
    ASSERT_TRUE(recorder.SetDataStore(&writer));
    ASSERT_TRUE(recorder.Start());
    platform::Clock().Sleep(3000);
    recorder.Stop();
    writer.Close();
    player.Stop();

    const Recording r = ReadRecording(File("tone.wav"));
    RecordProperty("bytes", std::to_string(r.DataBytes));
    EXPECT_NEAR(static_cast<double>(r.DataBytes), 3 * 88200.0, 8820.0);
    ASSERT_EQ(r.Samples.size() * 2, r.DataBytes);
    // The tone is there: the second second is loud, and where it is loud it crosses zero 2000
    // times a second. (A busy machine may leave a short gap of silence in what the server mixed;
    // that is the sound server's, not a sample the engine lost, so gaps are not counted.)
    ASSERT_GE(r.Samples.size(), 88200u);
    double sum = 0;
    int crossings = 0, loud = 0;
    for (std::size_t i = 44100; i < 88200; ++i) {
        sum += static_cast<double>(r.Samples[i]) * r.Samples[i];
        if (std::abs(r.Samples[i]) > 100 || std::abs(r.Samples[i - 1]) > 100) {
            ++loud;
            crossings += (r.Samples[i - 1] < 0) != (r.Samples[i] < 0);
        }
    }
    RecordProperty("crossings", std::to_string(crossings));
    RecordProperty("loud", std::to_string(loud));
    EXPECT_GT(std::sqrt(sum / 44100), 6000.0);
    EXPECT_GT(loud, 44100 * 8 / 10);
    EXPECT_NEAR(crossings * 44100.0 / loud, 2000.0, 40.0);
}

TEST_F(AlsaEngineTest, PlayingATwoSecondFileTakesAboutTwoSeconds) {
    {
        CWaveWriter writer(File("two.wav").c_str(), 44100, 1);
        std::string silence(2 * 88200, '\0');
        unsigned length = static_cast<unsigned>(silence.size());
        writer.Write(silence.data(), &length);
        writer.Close();
    }
    g_FileName = File("two.wav");
    CWaveReader reader;
    ASSERT_EQ(reader.GetLength(), 2u * 88200u);
    Probe<CWavePlayer> player;
    ASSERT_TRUE(player.SetDataStore(&reader));
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_TRUE(player.Start());
    // Played out: the reader is exhausted, so all eight buffers stay idle once the device has given
    // them back (Start returns only after the first ones were filled).
    ASSERT_TRUE(WaitUntil([&] { return player.FreeCountNow() == 8; }));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    player.Stop();
    // A loose check that playback is paced by the device: far from "at once" and from "stalled".
    RecordProperty("seconds", std::to_string(seconds));
    EXPECT_GT(seconds, 1.5);
    EXPECT_LT(seconds, 3.5);
}

// Frames that none of them is silent and each tells its place (left positive, right its negative):
// a frame torn by a dropped byte, or with its channels swapped, is no frame of the file.
// (On a busy machine the monitor's recording may lose a few frames of its own; those show as a
// gap in the order, not as a torn frame, and are only counted.)
TEST_F(AlsaEngineTest, FilesWhoseTenthOfASecondIsNotWholeFramesPlayEveryFrameIntact) {
    struct Case {
        unsigned Rate;
        unsigned short Bits, Channels;
    };
    // A tenth of a second is 4410 bytes (1102.5 frames) and 6615 bytes (2205 24-bit samples, but
    // 6614 once made even).
    for (const Case c : {Case{11025, 16, 2}, Case{22050, 24, 1}}) {
        SCOPED_TRACE(c.Rate);
        const std::size_t frameBytes = c.Bits / 8 * c.Channels, frames = 2 * c.Rate, cycle = 4000;
        // Half a second of silence first: a monitor that starts late loses only that, and a byte
        // dropped there would still shift every frame after it.
        std::string samples(c.Rate / 2 * frameBytes, '\0');
        std::map<std::string, std::size_t> place; // frame bytes -> i % cycle
        for (std::size_t i = 0; i < frames; ++i) {
            std::string frame;
            const std::int32_t left = std::int32_t(i % cycle + 1) * (c.Bits == 24 ? 1000 : 5);
            for (unsigned ch = 0; ch < c.Channels; ++ch) {
                const std::int32_t v = ch == 0 ? left : -left;
                for (unsigned b = 0; b < c.Bits / 8u; ++b)
                    frame.push_back(static_cast<char>((v >> (8 * b)) & 0xFF));
            }
            place.emplace(frame, i % cycle);
            samples += frame;
        }
        const std::string raw = PlayAndRecordBack(c.Rate, c.Bits, c.Channels, samples, File("monitor.raw"));
        const std::vector<std::string> heard = SoundingFrames(raw, frameBytes);
        std::size_t torn = 0, gaps = 0, previous = cycle - 1;
        for (const std::string& frame : heard) {
            const auto found = place.find(frame);
            if (found == place.end()) {
                ++torn;
                continue;
            }
            gaps += found->second != (previous + 1) % cycle;
            previous = found->second;
        }
        RecordProperty("frames" + std::to_string(c.Rate), std::to_string(heard.size()));
        RecordProperty("gaps" + std::to_string(c.Rate), std::to_string(gaps));
        EXPECT_EQ(torn, 0u) << "every frame heard is a frame of the file";
        EXPECT_LE(heard.size(), frames);
        EXPECT_GE(heard.size(), frames * 9 / 10);
    }
}

TEST_F(AlsaEngineTest, ADamagedHeaderIsRefusedBeforeTheDeviceOrAnyBufferIsMade) {
    Probe<CWavePlayer> player;
    MemoryStore damaged(65540, 32, 16383);
    EXPECT_FALSE(player.SetDataStore(&damaged));
    EXPECT_FALSE(player.DeviceIsOpen());
    EXPECT_EQ(player.m_BufferSize, 0u);
    EXPECT_FALSE(player.Start());
    player.Stop();
    MemoryStore good(11025, 16, 2, std::string(4408 * 3, '\0'));
    EXPECT_TRUE(player.SetDataStore(&good));
    EXPECT_TRUE(player.DeviceIsOpen());
    player.Stop();
}

// A server that ends, and one that stops answering (stopped, hung): either is a device that failed,
// noticed by the stream itself, and what was captured before is kept.
TEST_F(AlsaEngineTest, WhenTheSoundServerVanishesOrHangsMidRecordingStopReturnsAndKeepsWhatWasCaptured) {
    for (const bool hangs : {false, true}) {
        SCOPED_TRACE(hangs ? "hangs" : "ends");
        // A second private server of our own, so that the shared one stays up for the other tests.
        const std::string service = std::string(TAVLO_SOURCE_DIR) + "/scripts/services/pulseaudio";
        const std::string exports = RunShell(service + " start");
        const std::string server = Exported(exports, "PULSE_SERVER");
        const std::string dir = Exported(exports, "TAVLO_PULSE_DIR");
        ASSERT_FALSE(server.empty()) << exports;
        const std::string stop = "TAVLO_PULSE_DIR='" + dir + "' " + service + " stop";
        const std::string pid = "$(cat '" + dir + "/runtime/pulse/pid')";
        const std::string saved = std::getenv("PULSE_SERVER");
        setenv("PULSE_SERVER", server.c_str(), 1);

        const std::string file = File(hangs ? "hang.wav" : "vanish.wav");
        CWaveRecorder recorder;
        CWaveWriter writer(file.c_str(), 44100, 1);
        ASSERT_TRUE(recorder.SetDataStore(&writer));
        ASSERT_TRUE(recorder.Start());
        platform::Clock().Sleep(700);
        RunShell(hangs ? "kill -STOP " + pid : stop);
        EXPECT_TRUE(WaitUntil([&] { return recorder.TakeDeviceFailure(); }))
            << "a server gone or hung is a device that failed";
        recorder.Stop(); // returns although the device is gone
        writer.Close();
        if (hangs)
            RunShell("kill -CONT " + pid + "; " + stop);
        setenv("PULSE_SERVER", saved.c_str(), 1);

        const Recording r = ReadRecording(file);
        RecordProperty(hangs ? "hangBytes" : "vanishBytes", std::to_string(r.DataBytes));
        EXPECT_GT(r.DataBytes, 0u);         // what was captured before is in the file
        EXPECT_LT(r.DataBytes, 2 * 88200u); // and nothing after
    }
}

// An output removed while it plays is not a dead device: the server moves the stream to its other
// output, as for any desktop player, and the file plays on there to its end with nothing failed.
TEST_F(AlsaEngineTest, APlaybackSinkRemovedMidPlayGoesOnOnTheServersOtherOutput) {
    const std::string sink = "tavlo_leaving_" + std::to_string(getpid());
    const std::string module =
        RunShell("pactl load-module module-null-sink sink_name=" + sink + " rate=48000 channels=1");
    const std::string raw = File("moved.raw");
    const std::string recorder =
        RunShell("parec -d tavlo_sink.monitor --raw --latency-msec=20 --format=s16le "
                 "--rate=48000 --channels=1 > '" +
                 raw + "' 2>/dev/null & echo $!");
    MemoryStore tone(48000, 16, 1, Tone(3));
    Probe<CWavePlayer> player;
    setenv("PULSE_SINK", sink.c_str(), 1);
    ASSERT_TRUE(player.SetDataStore(&tone));
    unsetenv("PULSE_SINK");
    ASSERT_TRUE(player.Start());
    platform::Clock().Sleep(700);
    RunShell("pactl unload-module " + module);
    EXPECT_TRUE(WaitUntil([&] { return tone.Tell() == tone.GetLength() && player.FreeCountNow() == 8; }));
    EXPECT_FALSE(player.TakeDeviceFailure());
    player.Stop();
    platform::Clock().Sleep(300); // the monitor's last blocks reach the recording
    if (const int pid = std::atoi(recorder.c_str()); pid > 0)
        kill(pid, SIGTERM);
    std::ifstream f(raw, std::ios::binary);
    const std::string heard((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    // At least the last second of the tone came out of the other output.
    EXPECT_GT(SoundingFrames(heard, 2).size(), 48000u);
}

} // namespace
