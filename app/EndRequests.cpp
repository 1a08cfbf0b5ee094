#include "EndRequests.h"

#include "platform/Clock.h"

#include <QCoreApplication>
#include <QEvent>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The object the signal handlers and the exit hook reach; a signal handler can only see globals.
std::atomic<EndRequests*> g_Requests{nullptr};
std::atomic<int> g_SignalPipe{-1};
std::atomic<bool> g_HookInstalled{false};
std::atomic<pid_t> g_Pid{0};
std::atomic<int> g_QuickExitStatus{1};
// Written to the pipe for a display gone; signal numbers are never 0.
constexpr char kDisplayGone = 0;
// How long another thread waits for the window's thread to save before it ends the process anyway
// (the window's thread may be stuck on the very connection that went away).
constexpr unsigned kSaveBoundMs = 10000;

} // namespace

EndRequests::EndRequests(std::function<void(Reason)> handler)
    : m_Handler(std::move(handler)), m_WindowThread(std::this_thread::get_id()) {
    if (::pipe2(m_Pipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_Notifier = std::make_unique<QSocketNotifier>(m_Pipe[0], QSocketNotifier::Read);
        connect(m_Notifier.get(), &QSocketNotifier::activated, this, [this] { ReadSignals(); });
        g_SignalPipe = m_Pipe[1];
        struct sigaction action {};
        action.sa_handler = &EndRequests::OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int signal : kEndSignals)
            ::sigaction(signal, &action, nullptr);
    }
    // Only a real quit ends the program: the session manager's commit-data request also comes at a
    // checkpoint, and before a logout that the user may still cancel, after which the recording
    // must go on. The quit itself arrives as the application's Quit event (the session manager's
    // "die", or the application told to quit) or as aboutToQuit.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->installEventFilter(this);
        connect(app, &QCoreApplication::aboutToQuit, this, [this] { Deliver(Reason::Session); });
    }
    g_Pid = ::getpid();
    g_Requests = this;
    // Registered once for the process: the hook outlives this object and looks for the current one.
    if (!g_HookInstalled.exchange(true))
        std::atexit(&EndRequests::AtExit);
}

EndRequests::~EndRequests() {
    g_Requests = nullptr;
    g_SignalPipe = -1;
    for (int signal : kEndSignals)
        std::signal(signal, SIG_DFL);
    m_Notifier.reset();
    for (int fd : m_Pipe)
        if (fd >= 0)
            ::close(fd);
}

bool EndRequests::eventFilter(QObject* watched, QEvent* event) {
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit)
        Deliver(Reason::Session);
    return false;
}

void EndRequests::OnSignal(int signal) {
    const int fd = g_SignalPipe;
    const auto byte = static_cast<char>(signal);
    if (fd >= 0) [[maybe_unused]]
        const ssize_t n = ::write(fd, &byte, 1);
}

void EndRequests::ReadSignals() {
    char bytes[16];
    bool any = false, display = false;
    for (ssize_t n; (n = ::read(m_Pipe[0], bytes, sizeof bytes)) > 0;)
        for (ssize_t i = 0; i < n; ++i)
            (bytes[i] == kDisplayGone ? display : any) = true;
    if (display)
        EndForDisplay(g_QuickExitStatus);
    if (any)
        Deliver(Reason::Signal);
}

// Qt's X11 platform ends the process with exit() when the connection to the X server breaks, from
// the window's thread: that is the last moment to save.
void EndRequests::AtExit() {
    EndRequests* requests = g_Requests;
    // The rest of exit() tears down Qt's globals under a live application and a window whose
    // display is gone, which crashes: with the recording saved, the process ends here, as Qt meant
    // it to (status 1).
    if (requests && std::this_thread::get_id() == requests->m_WindowThread)
        requests->EndForDisplay(1);
}

void EndRequests::EndForDisplay(int status) {
    Deliver(Reason::Display);
    std::fflush(nullptr);
    std::_Exit(status);
}

void EndRequests::BeforeQuickExit(int status) {
    EndRequests* requests = g_Requests;
    if (!requests || ::getpid() != g_Pid)
        return;
    if (std::this_thread::get_id() == requests->m_WindowThread) {
        requests->Deliver(Reason::Display);
        return;
    }
    g_QuickExitStatus = status;
    const int fd = g_SignalPipe;
    if (fd < 0 || ::write(fd, &kDisplayGone, 1) != 1)
        return;
    platform::Clock().Sleep(kSaveBoundMs);
}

void EndRequests::Deliver(Reason reason) {
    if (m_Delivering)
        return;
    m_Delivering = true;
    m_Handler(reason);
    m_Delivering = false;
}
