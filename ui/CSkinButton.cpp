#include "ui/CSkinButton.h"
#include "resources/Resources.h"
#include "ui/ButtonLooks.h"
#include "ui/CSkinDialog.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Division rounded down, also for a picture larger than its button.
int FloorHalf(int v) {
    return v >= 0 ? v / 2 : -((-v + 1) / 2);
}

} // namespace

CSkinButton::CSkinButton(int controlId, QWidget* parent) : QPushButton(parent), m_ControlId(controlId) {
    const QPalette pal = QApplication::palette();
    m_BkColorIn = m_BkColorOut = pal.color(QPalette::Button);
    m_TextColorIn = m_TextColorOut = pal.color(QPalette::ButtonText);
    setFlat(true);
    setFocusPolicy(Qt::TabFocus);
}

std::optional<CSkinButton::ImageRecord> CSkinButton::MakeRecord(const QPixmap& bitmap, QRgb key, int& error) {
    const QImage source = bitmap.toImage().convertToFormat(QImage::Format_ARGB32);
    if (source.isNull()) {
        error = 1;
        return std::nullopt;
    }
    ImageRecord record;
    record.Key = key;
    // The mask marks the pixels that equal the key exactly; those let the background through.
    record.Mask = source.createMaskFromColor(key | 0xFF000000, Qt::MaskInColor);
    if (record.Mask.isNull()) {
        error = 2;
        return std::nullopt;
    }
    record.Picture = source;
    for (int y = 0; y < source.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(record.Picture.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            if (record.Mask.pixelIndex(x, y) == 1) {
                line[x] = 0;
            }
        }
    }
    return record;
}

int CSkinButton::AssignImages(const QPixmap& in, QRgb inKey, const QPixmap& out, QRgb outKey) {
    m_Images[0] = ImageRecord();
    m_Images[1] = ImageRecord();
    int error = 0;
    if (!in.isNull()) {
        std::optional<ImageRecord> inRecord = MakeRecord(in, inKey, error);
        std::optional<ImageRecord> outRecord;
        if (inRecord && !out.isNull()) {
            outRecord = MakeRecord(out, outKey, error);
        }
        if (error == 0) {
            m_Images[0] = *inRecord;
            if (outRecord) {
                m_Images[1] = *outRecord;
            }
        }
    }
    repaint();
    return error;
}

int CSkinButton::AssignImagesFromResources(int inId, QRgb inKey, int outId, QRgb outKey) {
    const QPixmap in = inId != 0 ? LoadBitmapResource(inId) : QPixmap();
    const QPixmap out = outId != 0 ? LoadBitmapResource(outId) : QPixmap();
    const int result = AssignImages(in, inKey, out, outKey);
    if (result == 0) {
        m_Images[0].ResourceId = m_Images[0].Present() ? inId : 0;
        m_Images[1].ResourceId = m_Images[1].Present() ? outId : 0;
    }
    return result;
}

void CSkinButton::AssignTipText(const QString& text) {
    if (!text.isEmpty()) {
        setToolTip(text);
        // A picture button has no text of its own: screen readers read its tip as its name.
        setAccessibleName(text);
    }
}

void CSkinButton::AssignTipFromString(int stringId) {
    AssignTipText(LoadStringResource(stringId));
}

void CSkinButton::UseParentBackground() {
    m_UseParentBg = true;
    m_BkSnapshot = QPixmap();
    update();
}

void CSkinButton::AssignCursor(int cursorId) {
    if (HasCursorResource(cursorId)) {
        setCursor(LoadCursorResource(cursorId));
    } else {
        unsetCursor();
    }
}

void CSkinButton::LeaveHover() {
    if (m_Flat && m_Hover) {
        m_Hover = false;
        update();
    }
}

void CSkinButton::ApplyLook(int inId, int outId, QRgb key) {
    AssignImagesFromResources(inId, key, outId, key);
}

void CSkinButton::PaintBackground(QPainter& p, const QRect& r) {
    if (!m_UseParentBg) {
        p.fillRect(r, (m_Hover || m_Pressed) ? m_BkColorIn : m_BkColorOut);
        return;
    }
    if (m_BkSnapshot.isNull()) {
        // The parent's pixels under the button. A skinned parent hands over its skin directly,
        // so the copy never depends on whether the parent has painted yet.
        if (auto* skinned = qobject_cast<CSkinDialog*>(parentWidget())) {
            m_BkSnapshot = skinned->SkinPixelsUnder(geometry());
        } else {
            m_BkSnapshot = QPixmap(size());
            m_BkSnapshot.fill(parentWidget() ? parentWidget()->palette().color(QPalette::Window)
                                             : m_BkColorOut);
        }
    }
    p.drawPixmap(r.topLeft(), m_BkSnapshot);
}

void CSkinButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    m_Pressed = isDown();
    m_Disabled = !isEnabled();
    PaintBackground(p, r);

    if (m_DrawBorder && (m_Pressed || m_Hover)) {
        const QPalette pal = QApplication::palette();
        const QColor topLeft = pal.color(m_Pressed ? QPalette::Dark : QPalette::Light);
        const QColor bottomRight = pal.color(m_Pressed ? QPalette::Light : QPalette::Dark);
        p.setPen(topLeft);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(bottomRight);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }

    if (m_Images[0].Present()) {
        const ImageRecord& picture =
            (m_Images[1].Present() && !m_Hover && !m_Pressed) ? m_Images[1] : m_Images[0];
        QPoint at = r.topLeft() + QPoint(FloorHalf(r.width() - picture.Picture.width()),
                                         FloorHalf(r.height() - picture.Picture.height()));
        if (m_Pressed) {
            at += QPoint(1, 1);
        }
        p.drawImage(at, picture.Picture);
    }

    const QString label = text();
    if (!label.isEmpty()) {
        QRect textRect = m_Pressed ? r.translated(1, 1) : r;
        const int flags = Qt::AlignCenter | Qt::TextWordWrap;
        const QPalette pal = QApplication::palette();
        if (m_Disabled) {
            p.setPen(pal.color(QPalette::Light));
            p.drawText(textRect.translated(1, 1), flags, label);
            p.setPen(pal.color(QPalette::Dark));
        } else {
            p.setPen((m_Hover || m_Pressed) ? m_TextColorIn : m_TextColorOut);
        }
        p.drawText(textRect, flags, label);
    }
}

void CSkinButton::enterEvent(QEnterEvent* event) {
    // A drag that enters the button does not light it; nor does the mouse while the program is
    // not the active one.
    const bool leftDown = QApplication::mouseButtons() & Qt::LeftButton;
    if (!(leftDown && !m_Hover) && QApplication::activeWindow() != nullptr) {
        m_Hover = true;
        update();
    }
    QPushButton::enterEvent(event);
}

void CSkinButton::leaveEvent(QEvent* event) {
    LeaveHover();
    QPushButton::leaveEvent(event);
}

void CSkinButton::mousePressEvent(QMouseEvent* event) {
    QPushButton::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    // While pressed the button shows its pressed picture alone, whatever the hover state.
    if (const auto look = ui::PressLook(m_ControlId, m_bRecordLook, m_bMuteLook)) {
        ApplyLook(look->Pressed, 0, look->Key);
    }
}

void CSkinButton::mouseReleaseEvent(QMouseEvent* event) {
    // The default processing delivers the click: the owner's command runs here and may change
    // the record or mute look that the release table reads.
    QPushButton::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    LeaveHover();
    if (const auto look = ui::ReleaseLook(m_ControlId, m_bRecordLook, m_bMuteLook)) {
        ApplyLook(look->Hover, look->Normal, look->Key);
    }
}

void CSkinButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // A fast second click is a second click, without the press picture.
    QPushButton::mousePressEvent(event);
}

void CSkinButton::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    LeaveHover();
}

void CSkinButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    switch (event->type()) {
    case QEvent::ActivationChange:
        if (!isActiveWindow()) {
            LeaveHover();
        }
        break;
    case QEvent::EnabledChange:
        if (!isEnabled()) {
            LeaveHover();
        }
        break;
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        m_BkSnapshot = QPixmap();
        break;
    default:
        break;
    }
}
