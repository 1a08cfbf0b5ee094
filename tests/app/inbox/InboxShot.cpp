// The two ends of the handoff with a few jobs, for docs/screenshots/inbox-window.png and
// outbox-window.png:
//   tavlo_inbox_screenshot inbox|outbox OUT.png   (under Xvfb: tests/ui/screenshot/screenshot.sh)
// inbox: the typist's window on jobs in $HOME/Dictation/Inbox. outbox: the author's recordings
// window on recordings in $HOME/Recordings sent with the real Send to $HOME/Dictation/Outbox, the
// typist's states in $HOME/Dictation/Returns. It fails when the window does not show them all.
#include "InboxWindow.h"
#include "JobFile.h"
#include "JobId.h"
#include "RecordingsTesting.h"
#include "RecordingsWindow.h"
#include "StateWriter.h"
#include "TestJobs.h"

#include <QApplication>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <utime.h>

#include "JobSender.h"
#include "StateWriter.h"

namespace fs = std::filesystem;

namespace {

class ShotHost : public IInboxHost {
public:
    std::string SettingsFile() override { return Settings; }
    bool PlayJob(const std::string&, const std::string&) override { return true; }
    std::string Settings;
};

void Received(const std::string& file, const char* when) {
    const QDateTime at = QDateTime::fromString(when, "yyyy-MM-dd hh:mm");
    const utimbuf times{at.toSecsSinceEpoch(), at.toSecsSinceEpoch()};
    ::utime(file.c_str(), &times);
}

} // namespace

// The author's recordings, three of them sent: one typed, one being typed, one not opened yet.
int Outbox(const std::string& home, const char* out) {
    const std::string recordings = home + "/Recordings", outbox = home + "/Dictation/Outbox",
                      returns = home + "/Dictation/Returns";
    for (const std::string& folder : {recordings, outbox, returns}) {
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    FakeRecordingsHost host;
    host.Folder = recordings;
    host.Settings = home + "/Recorder.ini";
    std::ofstream(host.Settings) << "[Dictation]\nAuthor=Maria Lopez\nOutbox=" << outbox
                                 << "\nReturns=" << returns << "\n";
    const struct {
        const char* Stem;
        unsigned Seconds;
        const char* State; // "" not sent, "sent", or the typist's
    } recorded[] = {{"20261210-081502", 9, "done"},
                    {"20261210-093011", 14, "typing"},
                    {"20261210-101545", 6, "sent"},
                    {"20261210-113400", 11, ""}};
    for (const auto& r : recorded) {
        const std::string wav = recordings + "/" + r.Stem + ".wav";
        handofftest::WriteToneRecording(wav, r.Seconds, {0, r.Seconds / 2});
        if (!*r.State)
            continue;
        const std::atomic<bool> cancel{false};
        const dictation::SendOutcome sent =
            dictation::SendJob({wav, "Maria Lopez", "Letter", "normal", "", outbox}, nullptr, cancel);
        std::string problem;
        const auto stage = std::string(r.State) == "done" ? dictation::TypistState::Stage::Done
                                                          : dictation::TypistState::Stage::Typing;
        if (sent.Sent && std::string(r.State) != "sent")
            dictation::WriteStateFile(returns, {sent.Id, stage, "Jan Kowalski", "2026-12-10 12:00:00"},
                                      problem);
    }
    RecordingsWindow window(host, nullptr);
    window.move(0, 0);
    window.show();
    const auto typist = [&](int row) {
        return window.Model().index(row, RecordingsModel::kTypist).data().toString();
    };
    if (!QTest::qWaitFor(
            [&] { return window.Model().rowCount() == 4 && typist(0) == "typed" && typist(1) == "typing"; },
            10000))
        return 1;
    QTest::qWait(300);
    return window.grab().save(out) ? 0 : 1;
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "/tmp";
    if (std::string(argv[1]) == "outbox")
        return Outbox(home, argv[2]);
    const std::string inbox = home + "/Dictation/Inbox", done = home + "/Dictation/Done";
    fs::remove_all(home + "/Dictation");
    fs::create_directories(inbox);
    fs::create_directories(done);
    // Only the list shows: the jobs as Send writes them, their audio files of the size they name.
    const struct {
        const char* Stem;
        const char* Author;
        const char* WorkType;
        const char* Priority;
        std::uint32_t Length;
        const char* When;
        const char* State;   // the typist's, "" for none
        bool Arrived = true; // false: the audio is still on its way
    } jobs[] = {
        {"20261210-081502", "Maria Lopez", "Letter", "normal", 95, "2026-12-10 08:17", "done"},
        {"20261210-093011", "Maria Lopez", "Report", "normal", 310, "2026-12-10 09:32", "typing"},
        {"20261210-101545", "Tomas Berg", "Discharge", "urgent", 48, "2026-12-10 10:16", ""},
        {"20261210-110230", "Tomas Berg", "Referral", "high", 132, "2026-12-10 11:03", ""},
        {"20261210-113400", "Maria Lopez", "Minutes", "normal", 754, "2026-12-10 11:40", ""},
        {"20261210-114512", "Tomas Berg", "Letter", "normal", 30, "2026-12-10 11:46", "", false},
    };
    for (const auto& j : jobs) {
        const std::string id = JobId(j.Stem, j.Author);
        const std::uint64_t bytes = j.Length * 3200ull; // about 190 KB a minute
        std::ofstream(inbox + "/" + id + ".opus") << std::string(j.Arrived ? bytes : bytes / 3, 'x');
        std::ofstream(inbox + "/" + id + ".job") << dictation::JobText({id,
                                                                        j.Author,
                                                                        j.WorkType,
                                                                        j.Priority,
                                                                        "",
                                                                        "",
                                                                        j.Length,
                                                                        {0},
                                                                        std::string(j.Stem) + ".wav",
                                                                        "",
                                                                        id + ".opus",
                                                                        bytes});
        Received(inbox + "/" + id + ".job", j.When);
        std::string problem;
        const auto stage = std::string(j.State) == "done" ? dictation::TypistState::Stage::Done
                                                          : dictation::TypistState::Stage::Typing;
        if (*j.State)
            dictation::WriteStateFile(done, {id, stage, "Jan Kowalski", "2026-12-10 12:00:00"}, problem);
    }
    ShotHost host;
    host.Settings = home + "/Recorder.ini";
    std::ofstream(host.Settings) << "[Dictation]\nAuthor=Jan Kowalski\nInbox=" << inbox << "\nDone=" << done
                                 << "\n";

    InboxWindow window(host, nullptr);
    window.move(0, 0);
    window.show();
    if (!QTest::qWaitFor([&] { return window.Model().rowCount() == 6; }, 10000))
        return 1;
    window.View().setCurrentIndex(window.Model().index(2, 0));
    QTest::qWait(300);
    return window.grab().save(argv[2]) ? 0 : 1;
}
