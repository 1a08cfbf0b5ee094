#pragma once
#include "ui/DialogUnits.h"

// Where the main window's controls sit on its skin "res/Rgn.bmp". The artwork generator draws the
// skin and the button pictures from this table, and the main window places its controls with it,
// so the two cannot drift apart. Rectangles are in skin pixels (the window's client coordinates).
namespace ui {

constexpr int kMainSkinWidth = 500;
constexpr int kMainSkinHeight = 214;

// The display area, painted in the status colour RGB(7,210,212); the four texts and the battery
// picture lie on it.
constexpr LayoutRect kMainDisplay{18, 34, 306, 102};

// Status colour of the display and of the texts' background (0xD4D207 as 0xBBGGRR).
constexpr unsigned kStatusRed = 7, kStatusGreen = 210, kStatusBlue = 212;

enum class MainControlKind { Button, Text, Picture };

struct MainControl {
    int Id;
    MainControlKind Kind;
    LayoutRect Rect;
    int LitBitmap;    // button: picture under the mouse (0: none)
    int NormalBitmap; // button: picture otherwise (0: none)
    int TipString;    // button: string-table id of its tooltip
};

// In the order of the control table of the main window; pictures are the start-up pairs.
inline constexpr MainControl kMainControls[] = {
    {1001, MainControlKind::Button, {78, 148, 54, 50}, 130, 129, 102},  // Play/Pause
    {1000, MainControlKind::Button, {258, 148, 54, 50}, 165, 145, 103}, // Record
    {1002, MainControlKind::Button, {198, 148, 54, 50}, 143, 133, 104}, // Section/Stop
    {1005, MainControlKind::Button, {18, 148, 54, 50}, 147, 134, 105},  // Rewind
    {1004, MainControlKind::Button, {138, 148, 54, 50}, 146, 135, 106}, // Fast Forward
    {1010, MainControlKind::Button, {378, 34, 50, 30}, 155, 136, 107},  // Volume up
    {1011, MainControlKind::Button, {378, 104, 50, 30}, 156, 137, 108}, // Volume down
    {1012, MainControlKind::Button, {378, 69, 50, 30}, 138, 0, 109},    // Mute
    {1007, MainControlKind::Button, {378, 148, 50, 50}, 161, 139, 110}, // Section up
    {1006, MainControlKind::Button, {436, 148, 50, 50}, 162, 140, 111}, // Section down
    {2, MainControlKind::Button, {456, 8, 30, 20}, 160, 141, 115},      // Close
    {1, MainControlKind::Button, {420, 8, 30, 20}, 159, 142, 112},      // Minimize
    {1016, MainControlKind::Button, {436, 34, 50, 30}, 164, 148, 113},  // File up
    {1017, MainControlKind::Button, {436, 104, 50, 30}, 163, 149, 114}, // File down
    {1003, MainControlKind::Button, {318, 148, 54, 50}, 157, 150, 116}, // File end and save
    {1018, MainControlKind::Button, {436, 69, 50, 30}, 158, 153, 117},  // Setup
    {1013, MainControlKind::Picture, {338, 34, 29, 102}, 0, 0, 0},      // volume, res/vol-N.bmp
    {1014, MainControlKind::Picture, {291, 41, 23, 21}, 0, 0, 0},       // battery, res/battery-N.bmp
    {1031, MainControlKind::Text, {30, 66, 130, 20}, 0, 0, 0},          // section
    {1032, MainControlKind::Text, {30, 42, 250, 20}, 0, 0, 0},          // status
    {1033, MainControlKind::Text, {30, 96, 170, 30}, 0, 0, 0},          // time
    {1030, MainControlKind::Text, {250, 66, 62, 20}, 0, 0, 0},          // speed
};

// The input's level meter (CLevelMeter) while recording: on the display, right of the time.
constexpr LayoutRect kLevelMeter{210, 102, 102, 18};

// The entry of a control, or nullptr for an id the main window does not have.
constexpr const MainControl* FindMainControl(int id) {
    for (const MainControl& c : kMainControls) {
        if (c.Id == id) {
            return &c;
        }
    }
    return nullptr;
}

// The volume and battery pictures have the sizes of controls 1013 (19 x 63 dialog units) and
// 1014 (15 x 13 dialog units).
static_assert(FindMainControl(1013)->Rect.Width == DluToPixelsX(19));
static_assert(FindMainControl(1013)->Rect.Height == DluToPixelsY(63));
static_assert(FindMainControl(1014)->Rect.Width == DluToPixelsX(15));
static_assert(FindMainControl(1014)->Rect.Height == DluToPixelsY(13));

} // namespace ui
