#pragma once
#include <QApplication>

// One QApplication for every widget test of the executable (the platform is offscreen).
inline QApplication& EnsureQtApp() {
    static int argc = 1;
    static char name[] = "tavlo_ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app) {
        app = new QApplication(argc, argv);
    }
    return *app;
}
