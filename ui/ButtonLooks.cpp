#include "ui/ButtonLooks.h"

namespace ui {

namespace {

struct Row {
    int Id;
    ButtonLook Look;
};

// Buttons whose look does not depend on a flag.
const Row kFixed[] = {
    {1, {180, 159, 142, kButtonKeyColour}},    {2, {179, 160, 141, kButtonKeyColour}},
    {1003, {154, 157, 150, kButtonKeyColour}}, {1006, {170, 162, 140, kButtonKeyColour}},
    {1007, {171, 161, 139, kButtonKeyColour}}, {1010, {177, 155, 136, kButtonKeyColour}},
    {1011, {178, 156, 137, kButtonKeyColour}}, {1016, {172, 164, 148, kButtonKeyColour}},
    {1017, {173, 163, 149, kButtonKeyColour}}, {1018, {166, 158, 153, kButtonKeyColour}},
    {1028, {181, 176, 175, kDialogKeyColour}}, {1039, {186, 185, 184, kDialogKeyColour}},
};

const ButtonLook kRecordIdle{flash::kRecordIdle.In, look::kRecordIdle.Lit, look::kRecordIdle.Normal,
                             kButtonKeyColour};
const ButtonLook kRecording{flash::kRecording.In, look::kRecording.Lit, look::kRecording.Normal,
                            kButtonKeyColour};
const ButtonLook kMuteOff{174, look::kMuteOff.Lit, look::kMuteOff.Normal, kButtonKeyColour};
const ButtonLook kMuteOn{182, look::kMuteOn.Lit, look::kMuteOn.Normal, kButtonKeyColour};

std::optional<ButtonLook> Fixed(int controlId) {
    for (const Row& row : kFixed) {
        if (row.Id == controlId) {
            return row.Look;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<ButtonLook> PressLook(int controlId, unsigned recordLook, unsigned muteLook) {
    if (controlId == 1000) {
        return recordLook != 0 ? kRecording : kRecordIdle;
    }
    if (controlId == 1012) {
        // Pressing takes any non-zero mute look as muted.
        return muteLook != 0 ? kMuteOn : kMuteOff;
    }
    return Fixed(controlId);
}

std::optional<ButtonLook> ReleaseLook(int controlId, unsigned recordLook, unsigned muteLook) {
    if (controlId == 1000) {
        return recordLook != 0 ? kRecording : kRecordIdle;
    }
    if (controlId == 1012) {
        // Releasing knows only 0 and 1; any other value leaves the pictures as they are.
        if (muteLook == 0) {
            return kMuteOff;
        }
        if (muteLook == 1) {
            return kMuteOn;
        }
        return std::nullopt;
    }
    return Fixed(controlId);
}

} // namespace ui
