// The two sides of the handoff from a script, for the end-to-end test over a real sync engine:
//   handoff-probe record WAV SECONDS                 a recording of a tone, with two sections
//   handoff-probe send WAV OUTBOX [PRIORITY]         the author's Send; prints the job's Id
//   handoff-probe list INBOX DONE                    the typist's inbox: FILE STATE [PROBLEM]
//   handoff-probe done DONE ID TYPIST                the typist's Done
//   handoff-probe mark WAV OUTBOX RETURNS            the mark the author's row shows (sent, typed)
#include "DictationSettings.h"
#include "InboxListing.h"
#include "JobMarks.h"
#include "JobSender.h"
#include "StateWriter.h"
#include "TestJobs.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace dictation;

namespace {

constexpr const char* kAuthor = "Maria Lopez";

int Run(const std::string& command, int argc, char** argv) {
    if (command == "record" && argc == 4) {
        const unsigned seconds = static_cast<unsigned>(std::atoi(argv[3]));
        handofftest::WriteToneRecording(argv[2], seconds, {0, seconds / 2});
        return 0;
    }
    if (command == "send" && (argc == 4 || argc == 5)) {
        const std::atomic<bool> cancel{false};
        const SendOutcome sent = SendJob(
            {argv[2], kAuthor, "Letter", argc == 5 ? argv[4] : "normal", "", argv[3]}, nullptr, cancel);
        std::printf("%s\n", sent.Sent ? sent.Id.c_str() : sent.Message.c_str());
        return sent.Sent ? 0 : 1;
    }
    if (command == "list" && argc == 4) {
        for (const InboxEntry& e : ListInbox(argv[2], argv[3]))
            std::printf("%s %s %s\n", e.FileName.c_str(), StatusText(e.State), e.Problem.c_str());
        return 0;
    }
    if (command == "done" && argc == 5) {
        std::string problem;
        if (WriteStateFile(argv[2], {argv[3], TypistState::Stage::Done, argv[4], "2026-12-10 20:01:02"},
                           problem))
            return 0;
        std::fprintf(stderr, "handoff-probe: %s\n", problem.c_str());
        return 1;
    }
    if (command == "mark" && argc == 5) {
        const std::string name = std::filesystem::path(argv[2]).filename().string();
        const auto marks = ReadJobMarks({name}, argv[3], argv[4], kAuthor);
        const auto mark = marks.find(name);
        std::printf("%s\n", mark == marks.end() ? "" : JobMarkText(mark->second));
        return 0;
    }
    std::fprintf(stderr, "usage: handoff-probe record|send|list|done|mark ...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc > 1 ? argv[1] : "", argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "handoff-probe: %s\n", e.what());
        return 1;
    }
}
