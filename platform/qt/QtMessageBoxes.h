#pragma once
#include "platform/MessageBoxes.h"

namespace platform {

// Message boxes as modal QMessageBox windows.
class QtMessageBoxes : public IMessageBoxes {
public:
    void Show(const std::string& text, const std::string& caption, MessageIcon icon) override;
};

} // namespace platform
