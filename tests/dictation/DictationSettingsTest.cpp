// Section "Dictation" of Recorder.ini: what the dialog saves loads back, and values that are no
// setting give the defaults.
#include "DictationSettings.h"
#include "JobId.h"
#include "JobMarks.h"
#include "StateFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace dictation;

namespace {

TEST(DictationSettings, saved_settings_load_back_and_values_that_are_none_give_the_defaults) {
    const fs::path ini = fs::path(testing::TempDir()) / "dictation-Recorder.ini";
    std::ofstream(ini, std::ios::trunc) << "[Recorder]\nFormat=44100\n";
    const DictationSettings defaults = LoadDictationSettings(ini.string());
    EXPECT_EQ(defaults.Author, LoginName());
    EXPECT_FALSE(defaults.Author.empty());
    EXPECT_EQ(std::tie(defaults.WorkType, defaults.Priority, defaults.StepBack),
              std::make_tuple(std::string("Letter"), std::string("normal"), 2));

    DictationSettings s{"Maria Lopez", "Memo", "urgent", "/out", "", "/in", "/done", 7};
    ASSERT_TRUE(SaveDictationSettings(ini.string(), s));
    const DictationSettings back = LoadDictationSettings(ini.string());
    EXPECT_EQ(std::tie(back.Author, back.WorkType, back.Priority, back.Outbox, back.Inbox, back.Done,
                       back.StepBack),
              std::tie(s.Author, s.WorkType, s.Priority, s.Outbox, s.Inbox, s.Done, s.StepBack));
    EXPECT_EQ(back.ReturnsFolder(), "/out"); // no Returns: the Outbox

    std::ofstream(ini, std::ios::trunc) << "[Dictation]\nPriority=asap\n";
    EXPECT_EQ(LoadDictationSettings(ini.string()).Priority, "normal");
}

TEST(JobMarks, a_row_shows_sent_then_what_the_typists_state_says) {
    const fs::path outbox = fs::path(testing::TempDir()) / "marks-outbox";
    const fs::path returns = fs::path(testing::TempDir()) / "marks-returns";
    fs::remove_all(outbox), fs::remove_all(returns);
    fs::create_directories(outbox), fs::create_directories(returns);
    const std::string a = JobId("20261210-100000", "Maria"), b = JobId("20261210-110000", "Maria"),
                      c = JobId("20261210-120000", "Maria");
    for (const std::string& id : {a, b, c})
        std::ofstream(outbox / (id + ".job")) << "[Job]\n";
    std::ofstream(returns / (b + ".state")) << StateText({b, TypistState::Stage::Typing, "Jan", ""});
    std::ofstream(returns / (c + ".state")) << StateText({c, TypistState::Stage::Done, "Jan", ""});
    std::ofstream(returns / ("20261210-130000-Maria.state")) << "[State]\nVersion=1\nState=done\n"; // no Id
    std::ofstream(outbox / "~syncthing~20261210-130000-Maria.job.tmp") << "";
    const std::vector<std::string> recordings = {"20261210-100000.wav", "20261210-110000.wav",
                                                 "20261210-120000.wav", "20261210-130000.wav",
                                                 "20261210-140000.wav"};
    const std::map<std::string, JobMark> expected = {{"20261210-100000.wav", JobMark::Sent},
                                                     {"20261210-110000.wav", JobMark::Typing},
                                                     {"20261210-120000.wav", JobMark::Typed}};
    EXPECT_EQ(ReadJobMarks(recordings, outbox.string(), returns.string(), "Maria"), expected);
    // Another author's jobs are not this author's.
    EXPECT_TRUE(ReadJobMarks(recordings, outbox.string(), returns.string(), "Jan").empty());
}

} // namespace
