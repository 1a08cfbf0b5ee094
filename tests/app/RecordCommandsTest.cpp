// Recording from the window's buttons: Record, section marks, File end and save, and the guards
// around them (capture device, names, free space, a vanished folder).
#include "SmallDisk.h"
#include "WindowFixture.h"
#include "wavefile/WaveReader.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sys/resource.h>

namespace apptest {
namespace {

// The sections of a recording as the reader lists them (start seconds) and its length in tenths.
struct Recording {
    std::vector<std::uint32_t> Starts;
    std::uint64_t Tenths = 0;
};
Recording Read(const fs::path& file) {
    CWaveReader reader(file.string());
    Recording r;
    for (SectionNode* n = reader.m_pFirstSection; n; n = n->pNext)
        r.Starts.push_back(n->Seconds);
    r.Tenths = reader.GetLength() / (kSecondBytes / 10);
    return r;
}

using RecordCommands = WindowTest;

TEST_F(RecordCommands, record_mark_and_save_make_one_file_with_its_sections_and_tell_the_remote) {
    Open();
    Press(1000);
    EXPECT_EQ(Commands(), (std::vector<int>{0xC0, 0xC1})); // free-space check while idle, then recording
    EXPECT_TRUE(dlg->m_Recording);
    EXPECT_EQ(Images(1000), std::make_pair(168, 132));
    EXPECT_EQ(timers.Period(3), 1000u);
    // Close (Escape) is refused while the recording is open, which goes on.
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Text, "You are recording voice!\nPlease save the file before exit.");
    EXPECT_EQ(boxes.Boxes[0].Caption, "Tavlo");
    EXPECT_TRUE(dlg->isVisible() && dlg->m_Recording);
    // The marks' journal lies beside the open recording and goes when it is saved.
    EXPECT_EQ(Folder(), (std::vector<std::string>{"20261207-100000.wav", "20261207-100000.wav.journal"}));

    Speak(30);
    for (int s = 0; s < 3; ++s) {
        clock.Advance(1000);
        Tick(3);
    }
    EXPECT_EQ(dlg->m_strTime, "00 : 00 : 03");
    EXPECT_EQ(dlg->m_strSection, "Section 1");
    EXPECT_EQ(dlg->m_strStatus, "20261207-100000.wav");

    Press(1002); // a section mark: pause, store the length, resume at once
    EXPECT_EQ(Commands(), (std::vector<int>{0xC0, 0xC1}));
    EXPECT_TRUE(dlg->m_Recording && !dlg->m_RecordPaused);
    Speak(20);
    clock.Advance(2000);
    Tick(3);
    EXPECT_EQ(dlg->m_strSection, "Section 2");

    Press(1003);
    EXPECT_EQ(Commands(), std::vector<int>{0xC0});
    EXPECT_FALSE(dlg->m_Recording || timers.IsRunning(3));
    EXPECT_EQ(Images(1000), std::make_pair(165, 145));
    EXPECT_EQ(Folder(), std::vector<std::string>{"20261207-100000.wav"});
    const Recording made = Read(rec / "20261207-100000.wav");
    EXPECT_EQ(made.Starts, (std::vector<std::uint32_t>{0, 3}));
    EXPECT_EQ(made.Tenths, 50u);
    // What the status line shows after the save is what Play plays: the new recording.
    EXPECT_EQ(g_FileList, std::list<std::string>{"20261207-100000.wav"});
    Press(1001);
    EXPECT_EQ(dlg->m_strStatus, "20261207-100000.wav");
    EXPECT_EQ(dlg->m_pReader->GetLength(), 50u * kSecondBytes / 10);
}

TEST_F(RecordCommands, two_recordings_in_one_second_are_both_kept) {
    Open();
    for (int take = 0; take < 2; ++take) {
        Press(1000);
        Speak(5 + 5 * take);
        Press(1003);
    }
    EXPECT_EQ(Folder(), (std::vector<std::string>{"20261207-100000.wav", "20261207-100000_02.wav"}));
    EXPECT_EQ(Read(rec / "20261207-100000.wav").Tenths, 5u);
    EXPECT_EQ(Read(rec / "20261207-100000_02.wav").Tenths, 10u);
    EXPECT_EQ(g_FileList.back(), "20261207-100000_02.wav");
}

TEST_F(RecordCommands, a_section_length_is_measured_on_a_clock_the_wall_clock_cannot_bend) {
    Open();
    Press(1000);
    platform::LocalTime earlier = clock.GetLocalTime();
    earlier.Hour -= 1; // the wall clock is set back an hour mid-section
    clock.SetLocalTime(earlier);
    clock.Advance(90000);
    Press(1002);
    clock.Advance(900);
    Press(1002);
    // The 0.9 s that the second mark could not store are carried: 2 s recorded, 2 s stored.
    clock.Advance(1100);
    Press(1002);
    Press(1003);
    EXPECT_EQ(Read(rec / "20261207-100000.wav").Starts, (std::vector<std::uint32_t>{0, 90, 90, 92}));
}

TEST_F(RecordCommands, without_a_capture_device_nothing_records_and_no_empty_file_is_left) {
    Open();
    wave.SetFailOpen(true);
    Press(1000);
    EXPECT_FALSE(dlg->m_Recording);
    EXPECT_EQ(Commands(), std::vector<int>{0xC0}); // no "recording" for the remote
    EXPECT_EQ(dlg->m_strStatus, "No Recording Device!");
    EXPECT_TRUE(Folder().empty());
    EXPECT_FALSE(timers.IsRunning(3));
}

// What the disk said when the file could not be made is what the user reads; nothing records.
TEST_F(RecordCommands, a_record_the_disk_refuses_says_why) {
    const std::pair<const char*, const char*> cases[] = {
        {"ro,size=1m", "the disk is read-only"},
        {"size=4k", "no space left on the disk"}, // filled up below: the free-space check is the fake's
    };
    for (const auto& [options, why] : cases) {
        SCOPED_TRACE(options);
        if (options != cases[0].first)
            NextCase();
        SmallDisk disk(start / "disk", options);
        if (!disk.Mounted)
            GTEST_SKIP() << "no tmpfs can be mounted here (needs root)";
        std::ofstream(disk.At / "filler") << std::string(8192, 'x');
        WriteSettings(disk.At.string());
        fs::current_path(start);
        Open();
        boxes.Boxes.clear();
        const auto files = [&] { return std::distance(fs::directory_iterator(disk.At), {}); };
        const auto before = files();
        Press(1000);
        EXPECT_FALSE(dlg->m_Recording);
        ASSERT_EQ(boxes.Boxes.size(), 1u);
        EXPECT_EQ(boxes.Boxes[0].Text, std::string("File Create Error: ") + why);
        const std::vector<int> told = Commands();
        EXPECT_EQ(std::count(told.begin(), told.end(), 0xC1), 0);
        EXPECT_EQ(files(), before); // no empty recording left
        fs::current_path(start);
    }
}

TEST_F(RecordCommands, record_is_refused_without_the_receiver_or_its_radio_link) {
    Open();
    g_LinkUp = false;
    Press(1000);
    EXPECT_EQ(dlg->m_strStatus, "Detect No Device!");
    g_LinkUp = true;
    g_DeviceOpen = false;
    dlg->m_strStatus = "x";
    Press(1000);
    EXPECT_EQ(dlg->m_strStatus, "x");
    EXPECT_FALSE(dlg->m_Recording);
    EXPECT_TRUE(Folder().empty());
}

TEST_F(RecordCommands, exactly_fifty_mebibytes_free_is_too_little_one_kibibyte_more_is_enough) {
    Open();
    files.FreeBytes = 51200ull * 1024;
    Press(1000);
    EXPECT_FALSE(dlg->m_Recording);
    EXPECT_TRUE(g_DiskFull);
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Text, "Insufficient disk space!");
    EXPECT_EQ(Commands(), (std::vector<int>{0xC3, 0xC3}));
    EXPECT_EQ(Images(1000), std::make_pair(165, 145));

    files.FreeBytes += 1024;
    Press(1000);
    EXPECT_TRUE(dlg->m_Recording);
    EXPECT_FALSE(g_DiskFull);
}

TEST_F(RecordCommands, space_running_out_while_recording_saves_what_was_recorded) {
    Open();
    Press(1000);
    Speak(10);
    files.FreeBytes = 1024;
    EXPECT_FALSE(dlg->CheckDiskSpace());
    EXPECT_FALSE(dlg->m_Recording);
    EXPECT_EQ(Commands(), (std::vector<int>{0xC0, 0xC1, 0xC3, 0xC0, 0xC3, 0xC3}));
    EXPECT_EQ(clock.Sleeps(), std::vector<unsigned>{3000});
    EXPECT_EQ(Read(rec / "20261207-100000.wav").Tenths, 10u);
}

TEST_F(RecordCommands, a_recordings_folder_removed_while_recording_keeps_the_recording) {
    // The file lives on in the open folder until the recording is saved; the check then alerts.
    Open();
    Press(1000);
    Speak(10);
    const fs::path kept = start / "kept.wav";
    fs::create_hard_link(rec / "20261207-100000.wav", kept);
    fs::remove_all(rec);
    dlg->CheckDiskSpace();
    EXPECT_FALSE(dlg->m_Recording);
    const std::vector<int> sent = Commands();
    ASSERT_GE(sent.size(), 4u);
    EXPECT_EQ(sent[3], 0xC3);
    EXPECT_EQ(Read(kept).Tenths, 10u);
}

TEST_F(RecordCommands, a_recordings_folder_deeper_than_old_path_limits_records) {
    fs::path deep = rec;
    while (deep.string().size() < 300)
        deep /= "a-folder-with-a-long-name";
    fs::create_directories(deep);
    WriteSettings(deep.string());
    Open();
    ASSERT_EQ(fs::current_path(), deep);
    Press(1000);
    EXPECT_TRUE(dlg->m_Recording);
    Press(1003);
    EXPECT_TRUE(fs::exists(deep / "20261207-100000.wav"));
}

} // namespace
} // namespace apptest

namespace apptest {
namespace {

TEST_F(RecordCommands, a_disk_that_fills_up_under_a_recording_ends_it_and_keeps_what_was_written) {
    // The file may grow to 1 MB; the process must see the failed write rather than be killed.
    struct rlimit before;
    ::getrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 1000000;
    ::setrlimit(RLIMIT_FSIZE, &small);
    Open();
    Press(1000);
    Speak(130); // 13 s: more than fits
    clock.Advance(1000);
    Tick(3);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(dlg->m_Recording);
    EXPECT_TRUE(g_DiskFull);
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Text, "Insufficient disk space!");
    const std::vector<int> sent = Commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), 0xC3), 3);
    // Readable, and holding no byte that is not really there.
    const Recording kept = Read(rec / "20261207-100000.wav");
    EXPECT_GT(kept.Tenths, 0u);
    EXPECT_LE(44 + kept.Tenths * (kSecondBytes / 10), 1000000u);
}

} // namespace
} // namespace apptest

namespace apptest {
namespace {

// Another input than the receiver's is named for the first seconds; the meter shows what arrives
// from the first tick on and goes with the recording.
// Sound that arrives while a mark is made (the remote told, the mark made durable, the disk
// checked) is in the file: twenty marks, every byte captured, in order, and each section starts
// within a second of its mark.
TEST_F(RecordCommands, twenty_marks_lose_none_of_the_sound_that_arrives_while_they_are_made) {
    Open();
    Press(1000);
    platform::FakeWaveDevice* mic = wave.Last();
    unsigned captured = 0;
    const auto say = [&](unsigned bytes) {
        ASSERT_TRUE(WaitUntil([&] { return mic->Held().size() == 8; }));
        mic->Capture(bytes);
        captured += bytes;
    };
    files.DuringCheck = [&] { say(kSecondBytes / 20); };
    std::vector<std::uint32_t> starts{0};
    for (int mark = 1; mark <= 20; ++mark) {
        say(3 * kSecondBytes / 10);
        clock.Advance(300);
        Press(1002);
        starts.push_back(static_cast<std::uint32_t>(mark * 3 / 10));
    }
    files.DuringCheck = nullptr;
    say(kSecondBytes / 10);
    Press(1003);
    const fs::path file = rec / "20261207-100000.wav";
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string pattern(captured, '\0');
    for (unsigned i = 0; i < captured; ++i)
        pattern[i] = static_cast<char>(i % 251);
    ASSERT_GE(bytes.size(), 44u + captured);
    EXPECT_EQ(bytes.substr(44, captured), pattern);
    EXPECT_EQ(Read(file).Starts, starts);
}

TEST_F(RecordCommands,
       the_status_line_names_an_input_that_is_not_the_receiver_and_the_meter_shows_its_level) {
    struct Case {
        std::vector<std::string> Devices;
        const char* Choice; // the RecordInput setting
        std::string Named;  // the status line's first seconds; "" for the file's name
        std::int16_t Loudest;
        int Lit;
    };
    const Case cases[] = {
        {{"Webcam", "USB Headset"}, "", "", 16384, 11},
        {{"Webcam"}, "", "Recording from: Built-in Audio", 0, 0},
        {{"Webcam", "USB Headset"}, "Webcam", "Recording from: Webcam", 130, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Named);
        if (&c != cases)
            NextCase();
        devices.DefaultName = "Built-in Audio";
        WriteSettings(rec.string());
        std::ofstream(start / "Recorder.ini", std::ios::app) << "RecordInput=" << c.Choice << "\n";
        fs::current_path(start); // where the window finds its settings, as at a program start
        Open();
        devices.Names = c.Devices; // after the start: the input is chosen when recording starts
        Press(1000);
        EXPECT_TRUE(dlg->m_LevelMeter.isVisibleTo(dlg.get()));
        EXPECT_TRUE(c.Named.empty() || dlg->m_strStatus == c.Named) << dlg->m_strStatus;
        wave.Last()->SetSound({c.Loudest, -100, 7});
        for (int second = 1; second <= 3; ++second) {
            Speak(10);
            clock.Advance(1000);
            Tick(3);
            EXPECT_EQ(dlg->m_strStatus, second < 3 && !c.Named.empty()
                                            ? c.Named
                                            : fs::path(dlg->RecordingPath()).filename().string());
            EXPECT_EQ(dlg->m_LevelMeter.LitSegments(), c.Lit);
        }
        Press(1003);
        EXPECT_FALSE(dlg->m_LevelMeter.isVisibleTo(dlg.get()));
    }
}

} // namespace
} // namespace apptest
