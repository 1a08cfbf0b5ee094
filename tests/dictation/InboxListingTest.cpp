// A typist's inbox as the sync engine leaves it: complete jobs, jobs still arriving, files that
// are not jobs of ours, conflict copies, and the typist's own state files beside them. What makes a
// text no job is JobFileTest's; here, what the listing makes of each kind of file.
#include "InboxListing.h"
#include "StateWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace fs = std::filesystem;
using namespace dictation;

namespace {

std::string Text(const std::string& id, const std::string& priority = "normal") {
    return JobText({id,
                    "Maria Lopez",
                    "Letter",
                    priority,
                    "By Friday",
                    "2026-12-10 19:46:51",
                    754,
                    {0, 12, 95},
                    "x.wav",
                    "",
                    id + ".opus",
                    5});
}

std::string StateOf(const std::string& id, const char* state) {
    return "[State]\nVersion=1\nId=" + id + "\nState=" + state + "\n";
}

class AnInbox : public ::testing::Test {
public:
    void SetUp() override {
        root = fs::temp_directory_path() / ("inbox-test-" + std::to_string(::getpid()));
        inbox = root / "Inbox";
        done = root / "Done";
        fs::remove_all(root);
        fs::create_directories(inbox);
        fs::create_directories(done);
    }
    void TearDown() override { fs::remove_all(root); }
    void Write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    // A job with its audio of `audioBytes` bytes (the job says 5).
    void Job(const std::string& id, std::size_t audioBytes = 5, const std::string& priority = "normal") {
        Write(inbox / (id + ".opus"), std::string(audioBytes, 'a'));
        Write(inbox / (id + ".job"), Text(id, priority));
    }
    InboxEntry Only() {
        const std::vector<InboxEntry> all = ListInbox(inbox.string(), done.string());
        EXPECT_EQ(all.size(), 1u);
        return all.empty() ? InboxEntry{} : all.front();
    }

    fs::path root;
    fs::path inbox, done;
};

struct Case {
    const char* What;
    void (*Make)(AnInbox&);
    InboxEntry::Status Expected;
    const char* Problem; // part of the reason given, "" for none
};

const Case kCases[] = {
    {"a complete job is new", [](AnInbox& t) { t.Job("J"); }, InboxEntry::Status::New, ""},
    {"the typist's state says typing",
     [](AnInbox& t) {
         t.Job("J");
         t.Write(t.done / "J.state", StateOf("J", "typing"));
     },
     InboxEntry::Status::Typing, ""},
    {"the typist's state says done",
     [](AnInbox& t) {
         t.Job("J");
         t.Write(t.done / "J.state", StateOf("J", "done"));
     },
     InboxEntry::Status::Done, ""},
    {"a state file naming another job leaves it new",
     [](AnInbox& t) {
         t.Job("J");
         t.Write(t.done / "J.state", StateOf("K", "done"));
     },
     InboxEntry::Status::New, "its Id is not J"},
    {"audio not there yet", [](AnInbox& t) { t.Write(t.inbox / "J.job", Text("J")); },
     InboxEntry::Status::Arriving, "has not arrived"},
    {"audio shorter than AudioBytes", [](AnInbox& t) { t.Job("J", 3); }, InboxEntry::Status::Arriving,
     "3 of 5 bytes"},
    {"larger than 64 KiB",
     [](AnInbox& t) { t.Write(t.inbox / "J.job", Text("J") + "Pad=" + std::string(70000, 'x') + "\n"); },
     InboxEntry::Status::Unreadable, "larger than"},
    {"a link to a good job",
     [](AnInbox& t) {
         // Followed, the link would read as a good job.
         t.Write(t.inbox / "J.opus", "aaaaa");
         t.Write(t.root / "elsewhere.job", Text("J"));
         fs::create_symlink(t.root / "elsewhere.job", t.inbox / "J.job");
     },
     InboxEntry::Status::Unreadable, "symbolic link"},
    {"a FIFO never blocks", [](AnInbox& t) { ASSERT_EQ(::mkfifo((t.inbox / "J.job").c_str(), 0644), 0); },
     InboxEntry::Status::Unreadable, "not a regular file"},
    {"a folder named like a job", [](AnInbox& t) { fs::create_directory(t.inbox / "J.job"); },
     InboxEntry::Status::Unreadable, ""},
    {"audio that is a FIFO",
     [](AnInbox& t) {
         ASSERT_EQ(::mkfifo((t.inbox / "J.opus").c_str(), 0644), 0);
         t.Write(t.inbox / "J.job", Text("J"));
     },
     InboxEntry::Status::Unreadable, "not a regular file"},
    {"a conflict copy is shown as one",
     [](AnInbox& t) { t.Write(t.inbox / "J.sync-conflict-20261210-200102-ABCDEFG.job", Text("J")); },
     InboxEntry::Status::Conflict, "conflict copy of J.job"},
};

TEST_F(AnInbox, EachJobFileIsClassifiedAndNothingBlocksOrFollowsALink) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.What);
        TearDown();
        SetUp();
        c.Make(*this);
        const InboxEntry entry = Only();
        EXPECT_STREQ(StatusText(entry.State), StatusText(c.Expected));
        EXPECT_NE(entry.Problem.find(c.Problem), std::string::npos) << entry.Problem;
        if (c.Expected != InboxEntry::Status::Unreadable) {
            EXPECT_EQ(entry.Contents.Author, "Maria Lopez");
        }
    }
}

TEST_F(AnInbox, WorkInProgressIsPassedOverAndUrgentJobsComeFirstThenTheOldest) {
    Write(inbox / ".tavlo-spool.job", Text("x"));
    Write(inbox / "~syncthing~J.job.tmp", Text("J"));
    Write(inbox / "notes.txt", "hello");
    Job("A-old");
    Job("B-urgent", 5, "urgent");
    Job("C-high", 5, "high");
    Job("D-older");
    const auto at = [&](const char* id, long when) {
        const utimbuf times{when, when};
        ::utime((inbox / (std::string(id) + ".job")).c_str(), &times);
    };
    at("A-old", 2000);
    at("D-older", 1000);
    at("B-urgent", 3000);
    at("C-high", 4000);
    std::vector<std::string> order;
    for (const InboxEntry& e : ListInbox(inbox.string(), done.string()))
        order.push_back(e.Contents.Id);
    EXPECT_EQ(order, (std::vector<std::string>{"B-urgent", "C-high", "D-older", "A-old"}));
    const InboxEntry first = ListInbox(inbox.string(), done.string()).front();
    EXPECT_EQ(first.Contents.Sections, (std::vector<std::uint32_t>{0, 12, 95}));
    EXPECT_EQ(first.Contents.Length, 754u);
    EXPECT_EQ(first.Received, 3000);
}

TEST_F(AnInbox, TheStateIsWrittenWholeBesideTheJobAndTheAuthorsFilesStayAsTheyWere) {
    fs::create_directories(done);
    Job("J");
    const auto before = fs::last_write_time(inbox / "J.job");
    std::string problem;
    TypistState state{"J", TypistState::Stage::Typing, "Jan Kowalski", "2026-12-10 20:01:02"};
    // The Done folder is the inbox itself here, as on a shared folder.
    ASSERT_TRUE(WriteStateFile(inbox.string(), state, problem)) << problem;
    EXPECT_STREQ(StatusText(ListInbox(inbox.string(), inbox.string()).front().State), "typing");
    state.Is = TypistState::Stage::Done;
    ASSERT_TRUE(WriteStateFile(inbox.string(), state, problem)) << problem;
    const StateReading read = ReadStateFile(inbox.string(), "J");
    ASSERT_TRUE(read.Read) << read.Problem;
    EXPECT_EQ(read.Contents.Typist, "Jan Kowalski");
    EXPECT_STREQ(StatusText(ListInbox(inbox.string(), inbox.string()).front().State), "done");
    std::set<std::string> names;
    for (const auto& f : fs::directory_iterator(inbox))
        names.insert(f.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"J.job", "J.opus", "J.state"})); // no temporary left
    EXPECT_EQ(fs::last_write_time(inbox / "J.job"), before);
    // A folder that takes no files: refused with the reason, nothing written.
    EXPECT_FALSE(WriteStateFile((root / "gone").string(), state, problem));
    EXPECT_FALSE(problem.empty());
}

} // namespace
