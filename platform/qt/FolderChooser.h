#pragma once
#include "platform/FolderChooser.h"

namespace platform {

// The folder chooser on Qt's folder dialog, owned by the active window.
class QtFolderChooser : public IFolderChooser {
public:
    FolderChoice ChooseFolder(const std::string& title) override;
};

} // namespace platform
