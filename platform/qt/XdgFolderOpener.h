#pragma once
#include "platform/FolderOpener.h"

namespace platform {

// Opens folders with xdg-open (xdg-utils), which hands them to whatever file manager the user's
// desktop has chosen, on X11 and Wayland alike.
class XdgFolderOpener : public IFolderOpener {
public:
    bool Open(const std::string& folder) override;
};

} // namespace platform
