#include "platform/fakes/FakeMessageBoxes.h"

namespace platform {

void FakeMessageBoxes::Show(const std::string& text, const std::string& caption, MessageIcon icon) {
    Boxes.push_back({text, caption, icon});
}

} // namespace platform
