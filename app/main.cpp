#include "EndRequests.h"
#include "SorvinApp.h"
#include "StartupFolder.h"

#include "platform/MessageBoxes.h"
#include "platform/qt/QtMessageBoxes.h"

#include <QApplication>
#include <csignal>
#include <iostream>
#include <sys/syscall.h>
#include <unistd.h>

// Qt's Wayland platform ends the process with _exit() from its event thread when the compositor
// goes away, which no exit hook sees. The program's own _exit (exported, so that the libraries bind
// to it) first lets an open recording be saved on the window's thread.
extern "C" [[noreturn]] void _exit(int status) {
    EndRequests::BeforeQuickExit(status);
    ::syscall(SYS_exit_group, status);
    __builtin_unreachable();
}

int main(int argc, char** argv) {
    // Read before Qt starts: --help and --version need no display, and open no window.
    if (const auto status = CSorvinApp::CommandLine({argv + 1, argv + argc}, std::cout, std::cerr))
        return *status;
    // A file-size limit must end a recording the way a full disk does (the writer sees the failed
    // write and the recording is saved), not kill the program with what it had recorded.
    std::signal(SIGXFSZ, SIG_IGN);
    // Before anything reads the start-up folder: the installed program moves to the user's own.
    EnterStartupFolder(TAVLO_DATA_FROM_BIN, std::cerr);
    QApplication application(argc, argv);
    application.setApplicationName("Tavlo");
    // Closing the main window ends the program, not the last window closing (a message box may
    // be the last one open for a moment).
    application.setQuitOnLastWindowClosed(false);
    platform::QtMessageBoxes boxes;
    platform::SetMessageBoxes(&boxes);
    CSorvinApp app;
    app.InitInstance();
    platform::SetMessageBoxes(nullptr);
    return 0;
}
