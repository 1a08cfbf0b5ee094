#include "SorvinApp.h"

#include "platform/MessageBoxes.h"
#include "platform/qt/QtMessageBoxes.h"

#include <QApplication>
#include <iostream>

int main(int argc, char** argv) {
    // Read before Qt starts: --help and --version need no display, and open no window.
    if (const auto status = CSorvinApp::CommandLine({argv + 1, argv + argc}, std::cout, std::cerr))
        return *status;
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
