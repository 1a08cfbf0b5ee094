#pragma once
#include <string>

namespace platform {

enum class MessageIcon { None, Information, Exclamation, Error, Question };

// Modal message boxes with one OK button. Called on the user-interface thread only; Show
// returns when the user has closed the box.
class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    virtual void Show(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
};

// The message boxes the program uses: real windows unless a test installed a fake.
IMessageBoxes& MessageBoxes();
// Installs message boxes (a test's fake, or the real ones at program start); nullptr removes them,
// after which Show only writes the text to standard error.
void SetMessageBoxes(IMessageBoxes* boxes);

} // namespace platform
