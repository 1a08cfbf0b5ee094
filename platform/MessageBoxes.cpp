#include "platform/MessageBoxes.h"

#include <cstdio>

namespace platform {

namespace {
// Before the window system is up (or in a program without one) a message still reaches the user.
class StderrMessageBoxes : public IMessageBoxes {
public:
    void Show(const std::string& text, const std::string& caption, MessageIcon) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
};
StderrMessageBoxes g_Stderr;
IMessageBoxes* g_Boxes = &g_Stderr;
} // namespace

IMessageBoxes& MessageBoxes() {
    return *g_Boxes;
}

void SetMessageBoxes(IMessageBoxes* boxes) {
    g_Boxes = boxes ? boxes : &g_Stderr;
}

} // namespace platform
