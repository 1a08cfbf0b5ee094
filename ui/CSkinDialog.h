#pragma once
#include "ui/CBackgroundTiler.h"

#include <QDialog>
#include <QPixmap>
#include <QPoint>
#include <QString>

// A borderless dialog that takes its shape and its whole look from a skin bitmap: white pixels of
// the skin are cut away (a window mask), the rest is painted as it stands, and the body drags the
// window since there is no caption. Derived windows run their opening sequence in OnInitDialog,
// which is called once, before the window first becomes visible.
class CSkinDialog : public QDialog, public CBackgroundTiler {
    Q_OBJECT
public:
    explicit CSkinDialog(QWidget* parent = nullptr);

    // Runs OnInitDialog if it has not run yet, then the modal loop; returns at once with the result
    // when the opening sequence already ended the dialog.
    int exec() override;
    void setVisible(bool visible) override;

    // The skin's pixels under `rect` (client coordinates); the window colour where there is no
    // skin. Buttons that use the parent's background take it from here.
    QPixmap SkinPixelsUnder(const QRect& rect) const;
    // Back from the taskbar and in front of the other windows, with the input focus as far as the
    // window system lets a program take it.
    void BringToFront();
    bool HasSkin() const { return !m_SkinDC.isNull(); }

    // Pixel size of the skin, set by MakeSkinRegion; 0 until a skin is applied.
    int m_SkinWidth = 0;
    int m_SkinHeight = 0;
    // The skin as painted; null until a skin is applied.
    QPixmap m_SkinDC;
    // The left button went down on the body and the window follows the mouse.
    bool m_Dragging = false;
    // Client point at which the drag began.
    QPoint m_DragOrigin;

protected:
    // The window's opening sequence; runs once, before the first show.
    virtual void OnInitDialog() {}
    // Ends the dialog with `result`; safe during OnInitDialog, before the modal loop has started.
    void EndDialog(int result);

    // The skinning sequence: load the skin from `path`, make its region, resize the window to the
    // skin's size without moving it, keep the skin for painting and apply the region. False, with
    // the window left as it was, when the file cannot be read as a skin.
    bool ApplySkin(const QString& path);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void EnsureInitialised();

    bool m_Initialised = false;
    bool m_InInit = false;
    bool m_EndedEarly = false;
    int m_EarlyResult = 0;
};
