#pragma once
#include "platform/MessageBoxes.h"

#include <vector>

namespace platform {

// Records every box instead of showing it; Show returns at once as if the user pressed OK.
class FakeMessageBoxes : public IMessageBoxes {
public:
    struct Shown {
        std::string Text;
        std::string Caption;
        MessageIcon Icon;
    };
    void Show(const std::string& text, const std::string& caption, MessageIcon icon) override;
    std::vector<Shown> Boxes;
};

} // namespace platform
