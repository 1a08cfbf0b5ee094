// The two sides of the handoff from a script, for the end-to-end test over a real sync engine:
//   handoff-probe send OUTBOX ID SECONDS [PRIORITY]   sends a job as the author's side does
//   handoff-probe list INBOX DONE                     one line per job: FILE STATE [PROBLEM]
//   handoff-probe done DONE ID TYPIST                 the typist's Done
//   handoff-probe state RETURNS ID                    the state the author's side reads, or "none"
#include "InboxListing.h"
#include "JobState.h"
#include "TestJobs.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "send" && argc >= 5) {
            handofftest::TestJob job;
            job.Id = argv[3];
            job.Seconds = static_cast<unsigned>(std::atoi(argv[4]));
            if (argc > 5)
                job.Priority = argv[5];
            std::printf("%lu\n", handofftest::WriteTestJob(argv[2], job));
            return 0;
        }
        if (command == "list" && argc == 4) {
            for (const InboxEntry& e : ListInbox(argv[2], argv[3]))
                std::printf("%s %s %s\n", e.FileName.c_str(), StatusText(e.State), e.Problem.c_str());
            return 0;
        }
        if (command == "done" && argc == 5) {
            std::string problem;
            if (WriteJobState(argv[2], JobState{argv[3], kJobDone, argv[4], "2026-12-10 20:01:02"}, problem))
                return 0;
            std::fprintf(stderr, "handoff-probe: %s\n", problem.c_str());
            return 1;
        }
        if (command == "state" && argc == 4) {
            JobState state;
            std::string problem;
            std::printf("%s\n",
                        ReadJobState(argv[2], argv[3], state, problem) ? state.State.c_str() : "none");
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "handoff-probe: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: handoff-probe send|list|done|state ...\n");
    return 2;
}
