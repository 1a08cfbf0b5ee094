#pragma once
#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's resource table by number, as the windows ask for it: bitmaps 129..186, icons 128
// and 151, cursor 183 and the string table 101..119. The pictures are drawn at build time by
// tools/artwork and compiled in as Qt resources. Call on the user-interface thread, after the
// QApplication exists.

// The bitmap, or a null pixmap when the number names none.
QPixmap LoadBitmapResource(int id);
// The string, or "" when the number names none.
QString LoadStringResource(int id);
// The icon, or a null icon when the number names none.
QIcon LoadIconResource(int id);
// The cursor; the arrow cursor when the number names none.
QCursor LoadCursorResource(int id);
// True when the number names a cursor resource.
bool HasCursorResource(int id);
