// The two small files the author's and the typist's sides pass each other: what is written reads
// back as it was, and a text from another machine that is no job is refused with its reason.
#include "JobFile.h"
#include "StateFile.h"

#include <gtest/gtest.h>

using namespace dictation;

namespace {

Job Sample() {
    Job job;
    job.Id = "20261210-194651-Maria_Lopez";
    job.Author = "María López";
    job.WorkType = "Letter";
    job.Priority = "urgent";
    job.Note = "Please send\r\nby \"Friday\"";
    job.Recorded = "2026-12-10 19:46:51";
    job.Length = 754;
    job.Sections = {0, 12, 95};
    job.Wav = "20261210-194651.wav";
    job.WavSha256 = std::string(64, 'a');
    job.Audio = job.Id + ".opus";
    job.AudioBytes = 123456;
    return job;
}

TEST(JobFile, a_written_job_reads_back_with_its_note_on_one_line) {
    Job job = Sample();
    const std::string text = JobText(job);
    EXPECT_TRUE(text.starts_with("[Job]\nVersion=1\nId=20261210-194651-Maria_Lopez\n")) << text;
    const JobReading back = ParseJob(text, job.Id);
    ASSERT_TRUE(back.Read) << back.Problem;
    const Job& read = back.Contents;
    EXPECT_EQ(read.Note, "Please send  by \"Friday\"");
    EXPECT_EQ(read.Author, job.Author);
    EXPECT_EQ(read.Priority, "urgent");
    EXPECT_EQ(read.Sections, job.Sections);
    EXPECT_EQ(std::tie(read.Length, read.AudioBytes, read.Recorded, read.Wav, read.WavSha256, read.Audio),
              std::tie(job.Length, job.AudioBytes, job.Recorded, job.Wav, job.WavSha256, job.Audio));
    // A note that a reader would take for a quoted value keeps its quotes.
    job.Note = "\"quoted\"";
    job.Sections.clear();
    const JobReading quoted = ParseJob(JobText(job), job.Id);
    EXPECT_EQ(quoted.Contents.Note, "\"quoted\"");
    EXPECT_TRUE(quoted.Contents.Sections.empty());
}

TEST(JobFile, texts_that_are_no_job_are_refused_with_their_reason) {
    const std::string good = JobText(Sample());
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const struct {
        const char* name;
        std::string text;
        const char* problem;
    } cases[] = {
        {"no section", "Version=1\nId=x\n", "no [Job] section"},
        {"another version", replaced("Version=1", "Version=2"), "version 1"},
        {"no version", replaced("Version=1\n", ""), "version 1"},
        {"no audio", replaced("Audio=", "Sound="), "no Audio"},
        {"another id", replaced("Id=20261210", "Id=20261211"), "is not its file's name"},
        {"audio elsewhere", replaced("Audio=", "Audio=../"), "no file name"},
        {"a hidden audio", replaced("Audio=", "Audio=."), "no file name"},
        {"length not a number", replaced("Length=754", "Length=7x"), "whole numbers"},
        {"a negative section", replaced("Sections=0,12", "Sections=0,-12"), "whole numbers"},
        {"an empty section", replaced("Sections=0,12", "Sections=0,,12"), "whole numbers"},
        {"not UTF-8", replaced("Mar", "Mar\xC3\x28"), "not UTF-8"},
        {"an overlong UTF-8 form", replaced("Mar", "Mar\xC0\xAF"), "not UTF-8"},
        {"a NUL byte", replaced("Letter", std::string("Let\0ter", 7)), "not UTF-8"},
        {"too large", good + std::string(kMaxJobBytes, ';'), "larger"},
    };
    for (const auto& c : cases) {
        const JobReading reading = ParseJob(c.text, "20261210-194651-Maria_Lopez");
        EXPECT_FALSE(reading.Read) << c.name;
        EXPECT_NE(reading.Problem.find(c.problem), std::string::npos) << c.name << ": " << reading.Problem;
    }
    // An unknown priority is no reason to refuse the work: it is taken as normal.
    EXPECT_EQ(ParseJob(replaced("urgent", "asap"), "20261210-194651-Maria_Lopez").Contents.Priority,
              "normal");
}

TEST(StateFile, the_typists_state_reads_back_and_a_wrong_one_is_refused) {
    const TypistState done{"J-1", TypistState::Stage::Done, "Jan Kowalski", "2026-12-10 20:01:02"};
    const StateReading back = ParseState(StateText(done), "J-1");
    ASSERT_TRUE(back.Read) << back.Problem;
    EXPECT_EQ(back.Contents.Is, TypistState::Stage::Done);
    EXPECT_EQ(back.Contents.Typist, "Jan Kowalski");
    EXPECT_FALSE(ParseState(StateText(done), "J-2").Read);
    EXPECT_FALSE(ParseState("[State]\nVersion=1\nId=J-1\nState=lost\n", "J-1").Read);
    EXPECT_TRUE(ParseState("[State]\nVersion=1\nId=J-1\nState=typing\n", "J-1").Read);
}

} // namespace
