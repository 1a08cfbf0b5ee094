#pragma once

// Dialog templates give positions in dialog units. On a 96-dpi screen the template font
// ("MS Shell Dlg" 8 pt) has an average character width of 6 pixels and a height of 13 pixels, the
// dialog base units; one horizontal unit is a quarter of the width, one vertical unit an eighth of
// the height. Pixels are rounded half away from zero, as the system's MulDiv does.
namespace ui {

constexpr int kDialogBaseUnitX = 6;
constexpr int kDialogBaseUnitY = 13;

constexpr int MulDivRound(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

constexpr int DluToPixelsX(int dlu) {
    return MulDivRound(dlu, kDialogBaseUnitX, 4);
}
constexpr int DluToPixelsY(int dlu) {
    return MulDivRound(dlu, kDialogBaseUnitY, 8);
}

// A rectangle as x, y, width, height.
struct LayoutRect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

constexpr LayoutRect DluToPixels(LayoutRect dlu) {
    return {DluToPixelsX(dlu.X), DluToPixelsY(dlu.Y), DluToPixelsX(dlu.Width), DluToPixelsY(dlu.Height)};
}

} // namespace ui
