#include "Catalogue.h"
#include "ButtonArt.h"
#include "Flatten.h"
#include "GaugeArt.h"
#include "Palette.h"
#include "SkinArt.h"
#include "ui/FolderLayout.h"
#include "ui/MainLayout.h"

#include <QFile>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

namespace artwork {

namespace {

enum class Ink { Plain, Record, RecordLit, RecordPressed };

struct BitmapEntry {
    int Id;
    int ControlId; // main window control whose rectangle gives the size; 1028/1039 for the dialog
    Look Appearance;
    Symbol Glyph;
    Ink Colour = Ink::Plain;
    bool Glow = false;
};

// Every bitmap resource of the program, by the button that shows it and the look it has there.
const std::vector<BitmapEntry>& Bitmaps() {
    static const std::vector<BitmapEntry> entries = {
        {129, 1001, Look::Normal, Symbol::PlayPause},
        {130, 1001, Look::Hover, Symbol::PlayPause},
        {132, 1000, Look::Normal, Symbol::Record, Ink::RecordLit, true},
        {133, 1002, Look::Normal, Symbol::Stop},
        {134, 1005, Look::Normal, Symbol::Rewind},
        {135, 1004, Look::Normal, Symbol::Forward},
        {136, 1010, Look::Normal, Symbol::VolumeUp},
        {137, 1011, Look::Normal, Symbol::VolumeDown},
        {138, 1012, Look::Normal, Symbol::Speaker},
        {139, 1007, Look::Normal, Symbol::SectionPrevious},
        {140, 1006, Look::Normal, Symbol::SectionNext},
        {141, 2, Look::Normal, Symbol::Close},
        {142, 1, Look::Normal, Symbol::Minimize},
        {143, 1002, Look::Hover, Symbol::Stop},
        {144, 1012, Look::Normal, Symbol::SpeakerMuted},
        {145, 1000, Look::Normal, Symbol::Record, Ink::Record},
        {146, 1004, Look::Hover, Symbol::Forward},
        {147, 1005, Look::Hover, Symbol::Rewind},
        {148, 1016, Look::Normal, Symbol::FileUp},
        {149, 1017, Look::Normal, Symbol::FileDown},
        {150, 1003, Look::Normal, Symbol::Save},
        {153, 1018, Look::Normal, Symbol::Gear},
        {154, 1003, Look::Pressed, Symbol::Save},
        {155, 1010, Look::Hover, Symbol::VolumeUp},
        {156, 1011, Look::Hover, Symbol::VolumeDown},
        {157, 1003, Look::Hover, Symbol::Save},
        {158, 1018, Look::Hover, Symbol::Gear},
        {159, 1, Look::Hover, Symbol::Minimize},
        {160, 2, Look::Hover, Symbol::Close},
        {161, 1007, Look::Hover, Symbol::SectionPrevious},
        {162, 1006, Look::Hover, Symbol::SectionNext},
        {163, 1017, Look::Hover, Symbol::FileDown},
        {164, 1016, Look::Hover, Symbol::FileUp},
        {165, 1000, Look::Hover, Symbol::Record, Ink::RecordLit},
        {166, 1018, Look::Pressed, Symbol::Gear},
        {167, 1000, Look::Pressed, Symbol::Record, Ink::RecordPressed},
        {168, 1000, Look::Hover, Symbol::Record, Ink::RecordLit, true},
        {169, 1000, Look::Pressed, Symbol::Record, Ink::RecordLit, true},
        {170, 1006, Look::Pressed, Symbol::SectionNext},
        {171, 1007, Look::Pressed, Symbol::SectionPrevious},
        {172, 1016, Look::Pressed, Symbol::FileUp},
        {173, 1017, Look::Pressed, Symbol::FileDown},
        {174, 1012, Look::Pressed, Symbol::Speaker},
        {175, 1028, Look::Normal, Symbol::Close},
        {176, 1028, Look::Hover, Symbol::Close},
        {177, 1010, Look::Pressed, Symbol::VolumeUp},
        {178, 1011, Look::Pressed, Symbol::VolumeDown},
        {179, 2, Look::Pressed, Symbol::Close},
        {180, 1, Look::Pressed, Symbol::Minimize},
        {181, 1028, Look::Pressed, Symbol::Close},
        {182, 1012, Look::Pressed, Symbol::SpeakerMuted},
        {184, 1039, Look::Normal, Symbol::Link},
        {185, 1039, Look::Hover, Symbol::Link},
        {186, 1039, Look::Pressed, Symbol::Link},
    };
    return entries;
}

std::optional<QColor> InkColour(Ink ink) {
    switch (ink) {
    case Ink::Plain:
        return std::nullopt;
    case Ink::Record:
        return kRecord;
    case Ink::RecordLit:
        return kRecordLit;
    case Ink::RecordPressed:
        return QColor(170, 28, 28);
    }
    return std::nullopt;
}

QImage DrawEntry(const BitmapEntry& e) {
    ButtonStyle style;
    QSize size;
    if (e.ControlId == 1028) {
        // The settings dialog's round Close button, 26 x 26, on its dark socket.
        style = {CapShape::Round, kWhite, QColor(18, 20, 24)};
        size = QSize(26, 26);
    } else if (e.ControlId == 1039) {
        // The settings dialog's Link button, 72 x 25, on the light panel.
        style = {CapShape::Pill, kWhite, kPanel};
        size = QSize(72, 25);
    } else {
        const ui::LayoutRect r = ui::FindMainControl(e.ControlId)->Rect;
        style = {CapShape::Rounded, kButtonKey, QColor(18, 20, 24)};
        size = QSize(r.Width, r.Height);
    }
    return DrawKeyButton(size, e.Appearance, e.Glyph, style, InkColour(e.Colour), e.Glow);
}

// Key-coloured pixels become transparent, as the button shows them.
QImage Keyed(const QImage& picture, const QColor& key) {
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == (key.rgb() & 0xFFFFFF)) {
                line[x] = 0;
            }
        }
    }
    return out;
}

const BitmapEntry& Entry(int id) {
    for (const BitmapEntry& e : Bitmaps()) {
        if (e.Id == id) {
            return e;
        }
    }
    std::fprintf(stderr, "artwork: no bitmap %d\n", id);
    std::exit(1);
}

} // namespace

void WriteResources(const QString& dir) {
    QString qrc = "<RCC>\n  <qresource prefix=\"/tavlo\">\n";
    for (const BitmapEntry& e : Bitmaps()) {
        const QString name = QString("bitmaps/%1.bmp").arg(e.Id);
        SaveBmp(DrawEntry(e), dir + "/" + name);
        qrc += QString("    <file>%1</file>\n").arg(name);
    }
    for (int id : {128, 151}) {
        for (int size : {16, 32, 48, 64}) {
            const QString name = QString("icons/%1-%2.png").arg(id).arg(size);
            SavePng(DrawAppIcon(size), dir + "/" + name);
            qrc += QString("    <file>%1</file>\n").arg(name);
        }
    }
    SavePng(DrawPointerCursor(), dir + "/cursors/183.png");
    qrc += "    <file>cursors/183.png</file>\n  </qresource>\n</RCC>\n";
    QFile file(dir + "/artwork.qrc");
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(qrc.toUtf8()) != qrc.size()) {
        std::fprintf(stderr, "artwork: cannot write %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
}

void WriteRuntimeFiles(const QString& dir) {
    SaveBmp(DrawMainSkin(), dir + "/Rgn.bmp");
    SaveBmp(DrawFolderSkin(), dir + "/FoladerBASE.bmp");
    for (int level = 0; level <= 7; ++level) {
        SaveBmp(DrawVolumeGauge(level), dir + QString("/vol-%1.bmp").arg(level));
    }
    for (int level = 0; level <= 5; ++level) {
        SaveBmp(DrawBatteryGauge(level), dir + QString("/battery-%1.bmp").arg(level));
    }
}

void WriteThemeIcons(const QString& dir) {
    // The sizes the desktop's icon theme looks for first; larger ones are scaled down from 256.
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        SavePng(DrawAppIcon(size), dir + QString("/%1x%1/apps/tavlo.png").arg(size));
    }
}

void WritePreview(const QString& pngPath) {
    const QImage mainSkin = DrawMainSkin();
    const QImage folderSkin = DrawFolderSkin();
    QImage sheet(mainSkin.width() * 2 + 60, mainSkin.height() * 2 + folderSkin.height() + 60,
                 QImage::Format_RGB32);
    sheet.fill(QColor(120, 140, 170));
    QPainter p(&sheet);
    auto place = [&](QPoint origin, bool hover) {
        p.drawImage(origin, Keyed(mainSkin, kWhite));
        for (const ui::MainControl& c : ui::kMainControls) {
            const QPoint at = origin + QPoint(c.Rect.X, c.Rect.Y);
            if (c.Kind == ui::MainControlKind::Button) {
                const int id = hover || c.NormalBitmap == 0 ? c.LitBitmap : c.NormalBitmap;
                p.drawImage(at, Keyed(DrawEntry(Entry(id)), kButtonKey));
            } else if (c.Id == 1013) {
                p.drawImage(at, DrawVolumeGauge(hover ? 3 : 7));
            } else if (c.Id == 1014) {
                p.drawImage(at, DrawBatteryGauge(hover ? 0 : 4));
            }
        }
    };
    place(QPoint(20, 20), false);
    place(QPoint(mainSkin.width() + 40, 20), true);
    // The press looks, and the recording and muted looks, in a row of their own.
    int x = 20;
    for (int id : {167, 132, 168, 169, 144, 182, 154, 166, 170, 171, 172, 173, 174, 177, 178, 179, 180}) {
        const QImage img = Keyed(DrawEntry(Entry(id)), kButtonKey);
        p.drawImage(QPoint(x, mainSkin.height() + 40), img);
        x += img.width() + 6;
    }
    const QPoint dlg(20, mainSkin.height() * 2 + 40);
    p.drawImage(dlg, Keyed(folderSkin, kWhite));
    const ui::LayoutRect close = ui::DluToPixels(ui::FindFolderControl(1028)->Dlu);
    const ui::LayoutRect link = ui::DluToPixels(ui::FindFolderControl(1039)->Dlu);
    p.drawImage(dlg + QPoint(close.X + (close.Width - 26) / 2, close.Y + (close.Height - 26) / 2),
                Keyed(DrawEntry(Entry(175)), kWhite));
    p.drawImage(dlg + QPoint(link.X + (link.Width - 72) / 2, link.Y + (link.Height - 25) / 2),
                Keyed(DrawEntry(Entry(184)), kWhite));
    const QPoint dlg2 = dlg + QPoint(folderSkin.width() + 20, 0);
    p.drawImage(dlg2, Keyed(folderSkin, kWhite));
    p.drawImage(dlg2 + QPoint(close.X + (close.Width - 26) / 2, close.Y + (close.Height - 26) / 2),
                Keyed(DrawEntry(Entry(176)), kWhite));
    p.drawImage(dlg2 + QPoint(link.X + (link.Width - 72) / 2, link.Y + (link.Height - 25) / 2),
                Keyed(DrawEntry(Entry(185)), kWhite));
    p.end();
    SavePng(sheet, pngPath);
}

} // namespace artwork
