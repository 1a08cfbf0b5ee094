#pragma once
#include <string>

namespace platform {

// The answer of a folder chooser: whether the user chose a folder, and its path (an absolute
// path; empty when the chosen item has no place in the file system).
struct FolderChoice {
    bool Chosen = false;
    std::string Path;
};

// The system's folder chooser, shown modally over the active window, rooted at the top of the
// file system and offering folders only. User-interface thread only; returns when the user has
// chosen or cancelled.
class IFolderChooser {
public:
    virtual ~IFolderChooser() = default;
    virtual FolderChoice ChooseFolder(const std::string& title) = 0;
};

// The folder chooser the program uses: the Qt one unless a test installed a fake.
IFolderChooser& FolderChooser();
// Installs a chooser (a test's fake); nullptr restores the Qt one.
void SetFolderChooser(IFolderChooser* chooser);

} // namespace platform
