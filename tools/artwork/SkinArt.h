#pragma once
#include <QImage>

namespace artwork {

// The main window's skin "Rgn.bmp": a recorder body whose outline shapes the window (white is
// cut away), with the display, the volume slot and a seat under every button of ui/MainLayout.h.
QImage DrawMainSkin();

// The settings dialog's skin "FoladerBASE.bmp", laid out around dialog template 152.
QImage DrawFolderSkin();

} // namespace artwork
