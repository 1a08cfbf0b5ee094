// Draws the program's artwork at build time, so no binary picture is kept in the repository and
// every build has the same pictures:
//   tavlo_artwork resources DIR   bitmap resources, icons, cursor and DIR/artwork.qrc
//   tavlo_artwork runtime DIR     the skins and gauges loaded by name from res/
//   tavlo_artwork icons DIR       the program's icon at the icon theme's sizes
//   tavlo_artwork preview FILE    a PNG of both windows, to look at the design
#include "Catalogue.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s resources|runtime|icons|preview PATH\n", argv[0]);
        return 2;
    }
    // Only raster painting is used; no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString path = QString::fromLocal8Bit(argv[2]);
    if (std::strcmp(argv[1], "resources") == 0) {
        artwork::WriteResources(path);
    } else if (std::strcmp(argv[1], "runtime") == 0) {
        artwork::WriteRuntimeFiles(path);
    } else if (std::strcmp(argv[1], "icons") == 0) {
        artwork::WriteThemeIcons(path);
    } else if (std::strcmp(argv[1], "preview") == 0) {
        artwork::WritePreview(path);
    } else {
        std::fprintf(stderr, "unknown mode %s\n", argv[1]);
        return 2;
    }
    return 0;
}
