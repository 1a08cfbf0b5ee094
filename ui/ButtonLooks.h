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

// The pictures the main window's commands give its buttons (bitmap resource numbers): the lit one
// under the mouse, then the normal one (0: none).
struct Pictures {
    int Lit;
    int Normal;
};
namespace look {
inline constexpr Pictures kPlayIdle{130, 129}, kPlaying{130, 130};
inline constexpr Pictures kRecordIdle{165, 145}, kRecording{168, 132};
inline constexpr Pictures kSection{143, 133};
inline constexpr Pictures kForwardIdle{146, 135}, kForwarding{146, 146};
inline constexpr Pictures kRewindIdle{147, 134}, kRewinding{147, 147};
inline constexpr Pictures kMuteOff{138, 0}, kMuteOn{144, 0};
inline constexpr Pictures kSetupIdle{158, 153}, kSetupOpen{158, 166};
} // namespace look

// What a button shows while a remote key runs its command: the flash picture alone (or, with
// `Out`, a pair), for half a second, then the pictures `After`.
struct Flash {
    int In;
    int Out;
    Pictures After;
};
namespace flash {
inline constexpr Flash kSave{154, 0, {157, 150}};
inline constexpr Flash kFileUp{172, 0, {164, 148}};
inline constexpr Flash kFileDown{173, 0, {163, 149}};
inline constexpr Flash kStop{143, 143, look::kSection};
inline constexpr Flash kRecordIdle{167, 0, look::kRecording};
inline constexpr Flash kRecording{169, 0, look::kRecording};
inline constexpr Flash kSectionDown{170, 0, {162, 140}};
inline constexpr Flash kSectionUp{171, 0, {161, 139}};
} // namespace flash

// The look of button `controlId` given its record and mute looks; nothing for buttons whose
// owners set their pictures themselves.
std::optional<ButtonLook> PressLook(int controlId, unsigned recordLook, unsigned muteLook);
std::optional<ButtonLook> ReleaseLook(int controlId, unsigned recordLook, unsigned muteLook);

} // namespace ui
