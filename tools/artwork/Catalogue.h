#pragma once
#include <QString>
#include <QStringList>

namespace artwork {

// Writes every bitmap resource (129..186 as the program names them), icons 128 and 151 and
// cursor 183 under `dir`, and the Qt resource list "artwork.qrc" that names them.
void WriteResources(const QString& dir);

// Writes the run-time files loaded by name: "Rgn.bmp", "FoladerBASE.bmp", "vol-0.bmp".."vol-7.bmp",
// "battery-0.bmp".."battery-5.bmp".
void WriteRuntimeFiles(const QString& dir);

// Writes the program's icon for the hicolor theme: "SIZExSIZE/apps/tavlo.png" under `dir`.
void WriteThemeIcons(const QString& dir);

// A picture of both windows with their normal pictures in place, to look at the design.
void WritePreview(const QString& pngPath);

} // namespace artwork
