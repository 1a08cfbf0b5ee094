#include "resources/Resources.h"

#include <QFile>
#include <map>

static void EnsureArtwork() {
    // A resource compiled into a static library is registered only when asked for by name.
    static const bool registered = [] {
        Q_INIT_RESOURCE(artwork);
        return true;
    }();
    (void)registered;
}

namespace {

const std::map<int, const char*>& StringTable() {
    static const std::map<int, const char*> table = {
        {101, "About Tavlo"}, {102, "Play/Pause"},   {103, "Record"},       {104, "Section/Stop"},
        {105, "Rewind"},      {106, "Fast Forward"}, {107, "Volume up"},    {108, "Volume down"},
        {109, "Mute"},        {110, "Section up"},   {111, "Section down"}, {112, "Minimize"},
        {113, "File up"},     {114, "File down"},    {115, "Close"},        {116, "File end and save"},
        {117, "Setup"},       {118, "File Path"},    {119, "Link"},
    };
    return table;
}

// The cursor's hot spot: the tip of the pointer drawn by the artwork generator.
constexpr int kCursorHotX = 1;
constexpr int kCursorHotY = 1;

} // namespace

QPixmap LoadBitmapResource(int id) {
    EnsureArtwork();
    const QString path = QString(":/tavlo/bitmaps/%1.bmp").arg(id);
    if (!QFile::exists(path)) {
        return QPixmap();
    }
    return QPixmap(path);
}

QString LoadStringResource(int id) {
    const auto it = StringTable().find(id);
    return it == StringTable().end() ? QString() : QString::fromUtf8(it->second);
}

QIcon LoadIconResource(int id) {
    EnsureArtwork();
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        const QString path = QString(":/tavlo/icons/%1-%2.png").arg(id).arg(size);
        if (QFile::exists(path)) {
            icon.addFile(path, QSize(size, size));
        }
    }
    return icon;
}

bool HasCursorResource(int id) {
    EnsureArtwork();
    return QFile::exists(QString(":/tavlo/cursors/%1.png").arg(id));
}

QCursor LoadCursorResource(int id) {
    if (!HasCursorResource(id)) {
        return QCursor(Qt::ArrowCursor);
    }
    return QCursor(QPixmap(QString(":/tavlo/cursors/%1.png").arg(id)), kCursorHotX, kCursorHotY);
}
