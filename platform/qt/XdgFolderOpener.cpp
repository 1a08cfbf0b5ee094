#include "platform/qt/XdgFolderOpener.h"

#include <QProcess>
#include <QStringList>

namespace platform {

namespace {
XdgFolderOpener g_XdgOpener;
IFolderOpener* g_Opener = &g_XdgOpener;
} // namespace

bool XdgFolderOpener::Open(const std::string& folder) {
    // Detached: the file manager lives on after the recorder closes, and the window never waits
    // for it. Fails when xdg-open is not on the PATH.
    return QProcess::startDetached("xdg-open", {QString::fromStdString(folder)});
}

IFolderOpener& FolderOpener() {
    return *g_Opener;
}

void SetFolderOpener(IFolderOpener* opener) {
    g_Opener = opener ? opener : &g_XdgOpener;
}

} // namespace platform
