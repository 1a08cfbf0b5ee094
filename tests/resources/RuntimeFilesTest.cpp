#include "ui/FolderLayout.h"
#include "ui/MainLayout.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QImage LoadRes(const QString& name) {
    return QImage(QString(TAVLO_RES_DIR "/") + name);
}

TEST(RuntimeFiles, skins_have_their_window_sizes_with_white_outside_and_a_painted_body) {
    const QImage main = LoadRes("Rgn.bmp");
    ASSERT_EQ(main.size(), QSize(ui::kMainSkinWidth, ui::kMainSkinHeight));
    EXPECT_EQ(main.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_NE(main.pixel(main.width() / 2, 2) & 0xFFFFFF, 0xFFFFFFu);
    // The display is painted in the status colour, where the texts sit.
    const ui::LayoutRect display = ui::kMainDisplay;
    EXPECT_EQ(main.pixel(display.X + display.Width / 2, display.Y + display.Height / 2) & 0xFFFFFF,
              (ui::kStatusRed << 16) | (ui::kStatusGreen << 8) | ui::kStatusBlue);

    const QImage folder = LoadRes("FoladerBASE.bmp");
    ASSERT_EQ(folder.size(), QSize(ui::kFolderSkinWidth, ui::kFolderSkinHeight));
    EXPECT_EQ(folder.pixel(0, folder.height() - 1) & 0xFFFFFF, 0xFFFFFFu);
    // The labels' background colour RGB(219,218,215) is the panel under them.
    const ui::LayoutRect label = ui::DluToPixels(ui::FindFolderControl(1035)->Dlu);
    EXPECT_EQ(folder.pixel(label.X + 2, label.Y + 2) & 0xFFFFFF, 0xDBDAD7u);
}

TEST(RuntimeFiles, every_gauge_level_has_a_picture_of_its_control_size_and_levels_look_different) {
    const ui::LayoutRect volume = ui::FindMainControl(1013)->Rect;
    QList<QImage> volumes;
    for (int level = 0; level <= 7; ++level) {
        volumes << LoadRes(QString("vol-%1.bmp").arg(level));
        EXPECT_EQ(volumes.last().size(), QSize(volume.Width, volume.Height)) << level;
    }
    const ui::LayoutRect battery = ui::FindMainControl(1014)->Rect;
    QList<QImage> batteries;
    for (int level = 0; level <= 5; ++level) {
        batteries << LoadRes(QString("battery-%1.bmp").arg(level));
        EXPECT_EQ(batteries.last().size(), QSize(battery.Width, battery.Height)) << level;
    }
    for (int i = 1; i < volumes.size(); ++i) {
        EXPECT_NE(volumes[i - 1], volumes[i]) << i;
    }
    for (int i = 1; i < batteries.size(); ++i) {
        EXPECT_NE(batteries[i - 1], batteries[i]) << i;
    }
}

QByteArray HashTree(const QString& dir) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QDir root(dir);
    QStringList files;
    for (const QString& sub : {QString("."), QString("bitmaps"), QString("icons"), QString("cursors")}) {
        for (const QString& f : QDir(root.filePath(sub)).entryList(QDir::Files, QDir::Name)) {
            files << sub + "/" + f;
        }
    }
    for (const QString& f : files) {
        QFile file(root.filePath(f));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << f.toStdString();
        hash.addData(f.toUtf8());
        hash.addData(file.readAll());
    }
    return hash.result();
}

TEST(RuntimeFiles, the_generator_draws_the_same_bytes_on_every_run) {
    for (const char* mode : {"runtime", "resources"}) {
        QTemporaryDir first, second;
        ASSERT_EQ(QProcess::execute(TAVLO_ARTWORK_EXE, {mode, first.path()}), 0);
        ASSERT_EQ(QProcess::execute(TAVLO_ARTWORK_EXE, {mode, second.path()}), 0);
        EXPECT_FALSE(QDir(first.path()).isEmpty()) << mode;
        EXPECT_EQ(HashTree(first.path()), HashTree(second.path())) << mode;
    }
}

} // namespace
