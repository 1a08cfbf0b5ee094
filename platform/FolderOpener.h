#pragma once
#include <string>

namespace platform {

// Shows a folder in the desktop's file manager. User-interface thread only; returns at once,
// without waiting for the file manager.
class IFolderOpener {
public:
    virtual ~IFolderOpener() = default;
    // `folder` is an absolute path. False when no file manager could be asked.
    virtual bool Open(const std::string& folder) = 0;
};

// The folder opener the program uses: xdg-open unless a test installed a fake.
IFolderOpener& FolderOpener();
// Installs an opener (a test's fake); nullptr restores xdg-open.
void SetFolderOpener(IFolderOpener* opener);

} // namespace platform
