#include "platform/qt/FolderChooser.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

namespace platform {

namespace {
QtFolderChooser g_QtChooser;
IFolderChooser* g_Chooser = &g_QtChooser;
} // namespace

FolderChoice QtFolderChooser::ChooseFolder(const std::string& title) {
    // Started at the root: the folder browser it stands in for opened on the desktop, the top of
    // everything the user can choose from.
    const QString folder =
        QFileDialog::getExistingDirectory(QApplication::activeWindow(), QString::fromStdString(title),
                                          QDir::rootPath(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) {
        return {};
    }
    return {true, QDir::toNativeSeparators(folder).toStdString()};
}

IFolderChooser& FolderChooser() {
    return *g_Chooser;
}

void SetFolderChooser(IFolderChooser* chooser) {
    g_Chooser = chooser ? chooser : &g_QtChooser;
}

} // namespace platform
