#pragma once
#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <thread>

// The ways the program is ended from outside rather than by its Close button: SIGTERM, SIGINT and
// SIGHUP (a shutdown, a kill, a closed terminal), the session ending (the application quitting;
// not a commit-data request, which a checkpoint or a cancelled logout also makes), and the display
// connection going away (the X
// server or the compositor gone). Each reaches the handler on the window's thread, so that it can
// save an open recording as File end and save does before the program ends.
//
// The signal handlers only write a byte to a pipe; a notifier on the window's thread reads it. A
// lost X connection makes Qt end the process with exit() from the window's thread; a hook that runs
// at exit hands the handler that moment, then ends the process at once (status 1). A lost Wayland
// connection makes Qt call _exit() from its event thread: the program's own _exit (main.cpp) calls
// BeforeQuickExit, which passes the request to the window's thread through the same pipe and holds
// the calling thread until the window's thread has saved and ended the process. While the handler
// runs, no further request is delivered.
//
// One object at a time; construct and destroy it on the window's thread.
class EndRequests : public QObject {
public:
    enum class Reason { Signal, Session, Display };

    explicit EndRequests(std::function<void(Reason)> handler);
    // Gives the three signals back their default action.
    ~EndRequests() override;

    // The process is about to end through _exit(status) (not exit()). On the window's thread the
    // handler runs at once and the caller goes on ending the process; on another thread of this
    // process the call does not return: the window's thread saves and ends the process. Does
    // nothing without an EndRequests object, or in a forked child.
    static void BeforeQuickExit(int status);

protected:
    // The application's Quit event.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void OnSignal(int signal);
    static void AtExit();
    // Delivers the display's end on the window's thread, then ends the process.
    void EndForDisplay(int status);
    void Deliver(Reason reason);
    void ReadSignals();

    std::function<void(Reason)> m_Handler;
    std::thread::id m_WindowThread;
    bool m_Delivering = false;
    int m_Pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_Notifier;
};
