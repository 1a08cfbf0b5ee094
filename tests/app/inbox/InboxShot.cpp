// The inbox window with a few jobs, for docs/screenshots/inbox-window.png:
//   tavlo_inbox_screenshot OUT.png      (under Xvfb: tests/ui/screenshot/screenshot.sh runs it)
// The jobs lie in $HOME/Dictation/Inbox; it fails when the window does not list them all.
#include "InboxWindow.h"
#include "JobState.h"
#include "TestJobs.h"

#include <QApplication>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <utime.h>

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

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "/tmp";
    const std::string inbox = home + "/Dictation/Inbox", done = home + "/Dictation/Done";
    fs::remove_all(home + "/Dictation");
    fs::create_directories(inbox);
    fs::create_directories(done);
    const struct {
        handofftest::TestJob Job;
        const char* When;
        const char* State; // the typist's, "" for none
    } jobs[] = {
        {{"20261210-081502-Maria_Lopez", 95, "normal", "Maria Lopez", "Letter", {0, 40}},
         "2026-12-10 08:17",
         "done"},
        {{"20261210-093011-Maria_Lopez", 310, "normal", "Maria Lopez", "Report", {0, 60, 200}},
         "2026-12-10 09:32",
         "typing"},
        {{"20261210-101545-Tomas_Berg", 48, "urgent", "Tomas Berg", "Discharge", {0}},
         "2026-12-10 10:16",
         ""},
        {{"20261210-110230-Tomas_Berg", 132, "high", "Tomas Berg", "Referral", {0, 70}},
         "2026-12-10 11:03",
         ""},
        {{"20261210-113400-Maria_Lopez", 754, "normal", "Maria Lopez", "Minutes", {0, 12, 95}},
         "2026-12-10 11:40",
         ""},
    };
    for (const auto& j : jobs) {
        handofftest::WriteTestJob(inbox, j.Job);
        Received(inbox + "/" + j.Job.Id + ".job", j.When);
        std::string problem;
        if (*j.State)
            WriteJobState(done, JobState{j.Job.Id, j.State, "Jan Kowalski", "2026-12-10 12:00:00"}, problem);
    }
    // One still on its way: its audio not all there yet.
    handofftest::WriteTestJob(inbox,
                              {"20261210-114512-Tomas_Berg", 30, "normal", "Tomas Berg", "Letter", {0}});
    fs::resize_file(inbox + "/20261210-114512-Tomas_Berg.opus", 100);
    Received(inbox + "/20261210-114512-Tomas_Berg.job", "2026-12-10 11:46");
    fs::remove_all(inbox + "/.tavlo-spool");
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
    return window.grab().save(argv[1]) ? 0 : 1;
}
