#include "ui/CSkinDialog.h"
#include "ui/DibPixels.h"
#include "ui/SkinAlpha.h"
#include "ui/SkinRegion.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

CSkinDialog::CSkinDialog(QWidget* parent) : QDialog(parent) {
    // The skin draws frame and caption itself; the window system must not add its own.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
}

int CSkinDialog::exec() {
    EnsureInitialised();
    if (m_EndedEarly) {
        // The loop never ran: a dialog ended while opening must not start one (it would never end).
        setResult(m_EarlyResult);
        return m_EarlyResult;
    }
    return QDialog::exec();
}

void CSkinDialog::EnsureInitialised() {
    if (m_Initialised) {
        return;
    }
    m_Initialised = true;
    m_InInit = true;
    OnInitDialog();
    m_InInit = false;
}

void CSkinDialog::EndDialog(int result) {
    if (m_InInit || !isVisible()) {
        // Not shown yet: there is no loop to end; exec() and setVisible look at the result.
        m_EndedEarly = true;
        m_EarlyResult = result;
        setResult(result);
        return;
    }
    done(result);
}

void CSkinDialog::setVisible(bool visible) {
    // The opening sequence runs before the window first becomes visible, so that the controls it
    // makes are shown with the window, and a dialog it ends is never shown.
    if (visible) {
        EnsureInitialised();
        if (m_EndedEarly) {
            return;
        }
    }
    QDialog::setVisible(visible);
}

bool CSkinDialog::ApplySkin(const QString& path) {
    const std::optional<ui::DibPixels> pixels = ui::ReadDibFile(path.toStdString());
    const QPixmap skin(path);
    if (!pixels || skin.isNull()) {
        return false;
    }
    const std::optional<QRegion> region = ui::MakeSkinRegion(*pixels, m_SkinWidth, m_SkinHeight);
    resize(m_SkinWidth, m_SkinHeight);
    setFixedSize(m_SkinWidth, m_SkinHeight);
    m_SkinDC = skin;
    // Where masks do not cut the window, the cut-away parts are painted transparent instead. The
    // window gets its alpha channel here, before its native window exists (it is not shown yet).
    if (region && !ui::WindowSystemCutsMasks(QGuiApplication::platformName())) {
        setAttribute(Qt::WA_TranslucentBackground);
        m_SkinDC = QPixmap::fromImage(ui::SkinWithAlpha(*pixels, skin.toImage()));
    }
    // Without a region the window stays rectangular at the skin's size. On Wayland the mask still
    // lets clicks on the cut-away corners through to what lies behind.
    if (region) {
        setMask(*region);
    }
    update();
    return true;
}

QPixmap CSkinDialog::SkinPixelsUnder(const QRect& rect) const {
    QPixmap under(rect.size());
    under.fill(palette().color(QPalette::Window));
    if (!m_SkinDC.isNull()) {
        QPainter p(&under);
        p.drawPixmap(QPoint(0, 0), m_SkinDC, rect);
    }
    return under;
}

void CSkinDialog::BringToFront() {
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void CSkinDialog::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The background erase: a tiled bitmap if one is attached, else the window colour; a window
    // painted with alpha keeps its cleared, transparent background for the skin's corners.
    if (!testAttribute(Qt::WA_TranslucentBackground) && !TileBackground(p, rect())) {
        p.fillRect(rect(), palette().color(QPalette::Window));
    }
    // A frameless window's client area starts at the window's corner, where the region starts.
    if (!m_SkinDC.isNull()) {
        p.drawPixmap(0, 0, m_SkinDC, 0, 0, m_SkinWidth, m_SkinHeight);
    }
}

void CSkinDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !m_Dragging) {
        // The window system's own move is the only one Wayland offers (it ignores a top-level's
        // move()), and on X11 a window manager then moves the window as it moves any other.
        // Where there is none (an X server without a window manager) the window follows the
        // mouse itself.
        if (QWindow* window = windowHandle(); window && window->startSystemMove()) {
            QDialog::mousePressEvent(event);
            return;
        }
        m_Dragging = true;
        m_DragOrigin = event->position().toPoint();
        grabMouse();
    }
    QDialog::mousePressEvent(event);
}

void CSkinDialog::mouseMoveEvent(QMouseEvent* event) {
    if (m_Dragging) {
        const QRect r = frameGeometry();
        const QPoint p = event->position().toPoint();
        move(r.left() + p.x() - m_DragOrigin.x(), r.top() + p.y() - m_DragOrigin.y());
    }
    QDialog::mouseMoveEvent(event);
}

void CSkinDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_Dragging) {
        m_Dragging = false;
        releaseMouse();
    }
    QDialog::mouseReleaseEvent(event);
}
