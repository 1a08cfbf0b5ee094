#pragma once
#include <QColor>
#include <optional>

// The pictures a skinned button takes when it is pressed and when it is released, by control id.
// They live with the button so that the owners need no code for it; the owner's command runs
// between the two and may change the record or mute look that the release picks.
namespace ui {

inline const QRgb kButtonKeyColour = qRgb(242, 241, 241); // the main window's pictures
inline const QRgb kDialogKeyColour = qRgb(255, 255, 255); // the settings dialog's pictures

struct ButtonLook {
    int Pressed;
    int Hover;
    int Normal; // 0: none, the hover picture is shown in every state
    QRgb Key;
};

// The look of button `controlId` given its record and mute looks; nothing for buttons whose
// owners set their pictures themselves.
std::optional<ButtonLook> PressLook(int controlId, unsigned recordLook, unsigned muteLook);
std::optional<ButtonLook> ReleaseLook(int controlId, unsigned recordLook, unsigned muteLook);

} // namespace ui
