// Shows a skinned window over a coloured backdrop, photographs the whole screen and checks that
// the screen shows through outside the skin's shape and that the skin, its buttons, texts and
// pictures are painted inside it. Under a Wayland compositor (wayland-screenshot.sh) the backdrop
// is its desktop, the window is found where it was placed, and minimising (main) or closing
// (settings) must leave the desktop there. "program" checks the real program as "main".
//   tavlo_ui_screenshot main|settings OUT.png RESDIR
//   tavlo_ui_screenshot program OUT.png RESDIR PROGRAM
#include "ShowcaseMain.h"
#include "platform/CaptureDevices.h"
#include "resources/Resources.h"
#include "ui/CLevelMeter.h"
#include "ui/FolderDlg.h"
#include "ui/FolderLayout.h"
#include "ui/MainLayout.h"
#include "ui/SkinAlpha.h"
#include "ui/SkinRegion.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

namespace {

const QRgb kBackdrop = qRgb(42, 111, 219);
const QPoint kOrigin(100, 100);

class OneHeadset : public platform::ICaptureDevices {
public:
    unsigned Count() override { return 1; }
    std::string ProductName(unsigned index) override { return index == 0 ? "USB Headset" : ""; }
};

struct Check {
    const char* What;
    QPoint At; // in window coordinates
    std::function<bool(QRgb)> Holds;
};

std::function<bool(QRgb)> Is(QRgb expected) {
    return [expected](QRgb seen) { return (seen & 0xFFFFFF) == (expected & 0xFFFFFF); };
}

QRgb PixelOf(const QString& path, QPoint p) {
    return QImage(path).pixel(p);
}

// Photographs the whole screen into png.
bool Photograph(const QString& png) {
    if (ui::WindowSystemCutsMasks(QGuiApplication::platformName()))
        return QProcess::execute("import", {"-window", "root", png}) == 0;
    // The screenshooter writes a file of its own naming into its working folder.
    QTemporaryDir folder;
    QProcess shooter;
    shooter.setWorkingDirectory(folder.path());
    shooter.start("weston-screenshooter", {});
    if (!shooter.waitForFinished(30000) || shooter.exitCode() != 0)
        return false;
    QDirIterator found(folder.path(), {"*.png"});
    QFile::remove(png);
    return found.hasNext() && QFile::copy(found.next(), png);
}

// Where the compositor put the window: the corner of the box around everything that is not the
// backdrop, less the skin's own margin (its region's corner). Nothing when the screen is bare.
std::optional<QPoint> FindWindow(const QImage& shot, const QString& skinPath) {
    QRect box;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if ((shot.pixel(x, y) & 0xFFFFFF) != (kBackdrop & 0xFFFFFF))
                box |= QRect(x, y, 1, 1);
    int w = 0, h = 0;
    const auto skin = ui::ReadDibFile(skinPath.toStdString());
    const auto region = skin ? ui::MakeSkinRegion(*skin, w, h) : std::nullopt;
    if (box.isEmpty() || !region)
        return std::nullopt;
    return box.topLeft() - region->boundingRect().topLeft();
}

// Runs the checks on a photograph of the screen, the window's corner at origin; prints each failure.
bool Verify(const QString& png, const std::vector<Check>& checks, QPoint origin) {
    const QImage shot(png);
    if (shot.isNull()) {
        std::fprintf(stderr, "no screenshot in %s\n", qPrintable(png));
        return false;
    }
    bool ok = true;
    for (const Check& c : checks) {
        const QRgb seen = shot.pixel(origin + c.At);
        if (!c.Holds(seen)) {
            std::fprintf(stderr, "%s at (%d,%d): saw #%06x\n", c.What, c.At.x(), c.At.y(), seen & 0xFFFFFF);
            ok = false;
        }
    }
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    const bool program = argc > 1 && QString(argv[1]) == "program";
    if (argc != (program ? 5 : 4)) {
        std::fprintf(stderr, "usage: %s main|settings OUT.png RESDIR | program OUT.png RESDIR PROGRAM\n",
                     argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    const QString mode = argv[1], png = argv[2], resDir = argv[3];
    const bool onX = ui::WindowSystemCutsMasks(QGuiApplication::platformName());

    QWidget backdrop(nullptr, Qt::FramelessWindowHint);
    if (onX) {
        backdrop.setAutoFillBackground(true);
        QPalette pal = backdrop.palette();
        pal.setColor(QPalette::Window, QColor(kBackdrop));
        backdrop.setPalette(pal);
        backdrop.setGeometry(QApplication::primaryScreen()->geometry());
        backdrop.show();
        if (!QTest::qWaitForWindowExposed(&backdrop)) {
            return 1;
        }
    }

    std::vector<Check> checks;
    QString skinPath;
    QPoint body;
    std::unique_ptr<QDialog> window;
    QTemporaryDir work;
    OneHeadset headset;
    if (mode == "main" || program) {
        const ui::LayoutRect play = ui::FindMainControl(1001)->Rect;
        const ui::LayoutRect status = ui::FindMainControl(1032)->Rect;
        const ui::LayoutRect volume = ui::FindMainControl(1013)->Rect;
        const QImage playPicture = LoadBitmapResource(129).toImage();
        CLevelMeter sizing;
        sizing.resize(ui::kLevelMeter.Width, ui::kLevelMeter.Height);
        const auto meterAt = [&](int segment) {
            return QPoint(ui::kLevelMeter.X, ui::kLevelMeter.Y) + sizing.SegmentRect(segment).center();
        };
        checks = {
            {"outside the top-left corner", {0, 0}, Is(kBackdrop)},
            {"outside the bottom-right corner",
             {ui::kMainSkinWidth - 1, ui::kMainSkinHeight - 1},
             Is(kBackdrop)},
            {"the skin's top edge", {250, 1}, Is(PixelOf(resDir + "/Rgn.bmp", {250, 1}))},
            {"the skin's body", {8, 100}, Is(PixelOf(resDir + "/Rgn.bmp", {8, 100}))},
            {"the Play button's symbol",
             {play.X + play.Width / 2 - 8, play.Y + play.Height / 2},
             Is(playPicture.pixel(play.Width / 2 - 8, play.Height / 2))},
            {"the status text's background",
             {status.X + status.Width - 2, status.Y + 1},
             Is(qRgb(7, 210, 212))},
            {"the volume picture",
             {volume.X + volume.Width / 2, volume.Y + 3},
             Is(PixelOf(resDir + "/vol-7.bmp", {volume.Width / 2, 3}))},
        };
        // The showcase shows the meter as a recording does; the program, idle, shows none.
        if (!program)
            checks.insert(
                checks.end(),
                {{"the level meter's first segment, lit", meterAt(0), Is(CLevelMeter::Lit().rgb())},
                 {"the level meter's eleventh segment, lit", meterAt(10), Is(CLevelMeter::Lit().rgb())},
                 {"the level meter's last segment, dark", meterAt(11), Is(CLevelMeter::Unlit().rgb())}});
        skinPath = resDir + "/Rgn.bmp";
        body = {8, 100};
        if (!program)
            window = std::make_unique<ShowcaseMain>(resDir);
    } else {
        platform::SetCaptureDevices(&headset);
        QDir(work.path()).mkdir("res");
        QFile::copy(resDir + "/FoladerBASE.bmp", work.filePath("res/FoladerBASE.bmp"));
        auto dialog = std::make_unique<FolderDlg>();
        dialog->m_WorkDir = work.path().toStdString();
        const ui::LayoutRect link = ui::DluToPixels(ui::FindFolderControl(1039)->Dlu);
        const ui::LayoutRect label = ui::DluToPixels(ui::FindFolderControl(1035)->Dlu);
        const QImage linkPicture = LoadBitmapResource(184).toImage();
        const QPoint linkCentre(link.X + link.Width / 2, link.Y + link.Height / 2);
        checks = {
            {"outside the top-left corner", {0, 0}, Is(kBackdrop)},
            {"outside the bottom-left corner", {0, ui::kFolderSkinHeight - 1}, Is(kBackdrop)},
            {"the skin's header", {200, 4}, Is(PixelOf(resDir + "/FoladerBASE.bmp", {200, 4}))},
            {"the Format label's background",
             {label.X + label.Width - 2, label.Y + label.Height - 2},
             Is(qRgb(219, 218, 215))},
            {"the Link button's face", linkCentre + QPoint(-30, 0),
             Is(linkPicture.pixel(QPoint(36, 12) + QPoint(-30, 0)))},
        };
        skinPath = resDir + "/FoladerBASE.bmp";
        body = {200, 4};
        window = std::move(dialog);
    }
    QProcess tavlo;
    if (program) {
        tavlo.setWorkingDirectory(QFileInfo(argv[4]).absolutePath());
        tavlo.start(argv[4], {});
        if (!tavlo.waitForStarted())
            return 1;
    } else {
        window->show();
        window->move(kOrigin);
        if (!QTest::qWaitForWindowExposed(window.get())) {
            return 1;
        }
    }
    // The screen shows what was painted once the events are through; try a few photographs.
    QPoint origin = kOrigin;
    const auto shows = [&](const QString& file, const std::vector<Check>& wanted, bool find) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            QApplication::processEvents();
            QApplication::sync();
            QFile::remove(file); // a failed photograph leaves none to check
            if (Photograph(file) && find)
                origin = FindWindow(QImage(file), skinPath).value_or(kOrigin);
            if (Verify(file, wanted, origin))
                return true;
            QTest::qWait(200);
        }
        return false;
    };
    const bool shown = shows(png, checks, !onX);
    if (program) {
        tavlo.kill();
        tavlo.waitForFinished();
    }
    if (!shown)
        return 1;
    std::printf("%s on %s: shaped skin with its controls in place at (%d,%d), %s\n", qPrintable(mode),
                qPrintable(QGuiApplication::platformName()), origin.x(), origin.y(), qPrintable(png));
    if (onX || program)
        return 0;

    // The window's own Minimize (main) and Close (settings) work on Wayland too.
    const QString after = png + ".after.png";
    const std::vector<Check> gone = {{"the desktop where the window was", body, Is(kBackdrop)}};
    if (mode == "main")
        window->showMinimized();
    else
        window->reject();
    if (!shows(after, gone, false))
        return 1;
    std::printf("%s: %s leaves the desktop\n", qPrintable(mode), mode == "main" ? "minimising" : "closing");
    return 0;
}
