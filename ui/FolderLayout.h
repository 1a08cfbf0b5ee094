#pragma once
#include "ui/DialogUnits.h"

// Dialog template 152 of the settings dialog, in dialog units, in tab order. The dialog converts
// the rectangles with DluToPixels; the artwork generator draws "res/FoladerBASE.bmp" around them.
namespace ui {

enum class FolderControlKind { Button, Static, DropList, DropCombo };

struct FolderControl {
    int Id;
    FolderControlKind Kind;
    const char* TemplateText;
    LayoutRect Dlu;
    bool Visible;
};

inline constexpr LayoutRect kFolderTemplateDlu{100, 130, 250, 123};

inline constexpr FolderControl kFolderControls[] = {
    {1028, FolderControlKind::Button, "", {200, 5, 33, 22}, true},                  // Close (default button)
    {1019, FolderControlKind::Button, "...", {210, 54, 16, 14}, true},              // choose folder
    {1020, FolderControlKind::Static, "File Path", {7, 54, 37, 8}, true},           // label
    {1015, FolderControlKind::Static, "", {81, 54, 122, 16}, true},                 // recordings folder
    {1034, FolderControlKind::Static, " NO", {127, 67, 69, 14}, false},             // blank text
    {1023, FolderControlKind::DropList, "", {81, 16, 113, 56}, true},               // format list
    {1035, FolderControlKind::Static, "Format", {7, 16, 71, 16}, true},             // label
    {1022, FolderControlKind::DropCombo, "", {81, 16, 113, 64}, false},             // input device list
    {1036, FolderControlKind::Static, "FF/Rewind Speed", {7, 35, 61, 17}, true},    // label
    {1030, FolderControlKind::DropList, "", {81, 35, 113, 40}, true},               // speed list
    {1037, FolderControlKind::Static, "Next With Effect", {45, 70, 163, 8}, false}, // notice line
    {1039, FolderControlKind::Button, "", {88, 78, 58, 20}, true},                  // Link
};

// The closed height of a drop-down list, in dialog units (the template height includes the list).
constexpr int kDropDownClosedHeightDlu = 12;

constexpr const FolderControl* FindFolderControl(int id) {
    for (const FolderControl& c : kFolderControls) {
        if (c.Id == id) {
            return &c;
        }
    }
    return nullptr;
}

// Labels keep their text this many pixels off the panel's edge.
inline constexpr int kTextIndentPx = 6;

// Below the template's controls, the recording input (InputChoice): its label and list in the
// columns of the rows above, then a line saying which input records and a line saying that the
// receiver's microphone was not found.
inline constexpr LayoutRect kInputLabelDlu{7, 106, 71, 12};
inline constexpr LayoutRect kInputListDlu{81, 106, 113, 12};
inline constexpr LayoutRect kInputInUseDlu{7, 121, 236, 9};
inline constexpr LayoutRect kInputNoticeDlu{7, 131, 236, 9};

// The skin replaces the template size: the template's width, and its height with room for the
// recording input.
constexpr int kFolderSkinWidth = DluToPixelsX(kFolderTemplateDlu.Width);
constexpr int kFolderSkinHeight = DluToPixelsY(kInputNoticeDlu.Y + kInputNoticeDlu.Height + 5);

} // namespace ui
