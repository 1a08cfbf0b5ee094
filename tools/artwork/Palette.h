#pragma once
#include <QColor>

// The colours of the recorder's artwork, in one place so the skins and the buttons match.
namespace artwork {

inline const QColor kStatus(7, 210, 212);           // the display and the texts' background
inline const QColor kStatusDark(3, 120, 122);       // LCD segments that are off
inline const QColor kStatusInk(10, 40, 44);         // LCD segments that are on
inline const QColor kBodyTop(70, 76, 84);           // recorder body, top of the gradient
inline const QColor kBodyBottom(36, 39, 44);        // recorder body, bottom
inline const QColor kBodyBehindButtons(48, 52, 58); // what the buttons' soft edges blend into
inline const QColor kCapTop(82, 88, 97);
inline const QColor kCapBottom(50, 54, 61);
inline const QColor kSymbol(222, 226, 231);
inline const QColor kRecord(214, 40, 40);
inline const QColor kRecordLit(255, 84, 70);
inline const QColor kPanel(219, 218, 215);     // settings panel, the labels' background
inline const QColor kButtonKey(242, 241, 241); // transparent key of the main window's buttons
inline const QColor kWhite(255, 255, 255);     // transparent key of the skins and dialog buttons

} // namespace artwork
