#pragma once
#include <QColor>
#include <QCursor>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <cstdint>
#include <optional>
#include <utility>

// The push button of the skinned windows. It draws itself: a picture chosen by state (normal,
// hover, pressed) over a background, where pixels of the picture's key colour let the background
// show through. It shows a hover look while the mouse is over it and the program is active, a
// tooltip and its own cursor, and swaps its pictures on press and release by its control id
// (ui/ButtonLooks.h). Used on the user-interface thread only.
class CSkinButton : public QPushButton {
    Q_OBJECT
public:
    CSkinButton(int controlId, QWidget* parent);

    int ControlId() const { return m_ControlId; }

    // Replaces both pictures. `in` is shown while hovered or pressed, `out` otherwise; with no
    // `out`, `in` is shown in every state. A mask is made for each from its key colour, then the
    // button repaints at once. Returns 0, 1 when a picture cannot be read, 2 when a mask cannot be
    // made (the button then has no pictures). A null `in` clears the pictures and returns 0.
    int AssignImages(const QPixmap& in, QRgb inKey, const QPixmap& out, QRgb outKey);
    // The same with bitmap resources by number (0: none).
    int AssignImagesFromResources(int inId, QRgb inKey, int outId, QRgb outKey);
    // The resource numbers of the pictures shown now: (in, out), 0 for none or a picture that did
    // not come from the resources.
    std::pair<int, int> PictureIds() const { return {m_Images[0].ResourceId, m_Images[1].ResourceId}; }

    void AssignTipText(const QString& text);
    void AssignTipFromString(int stringId);
    // Paint the parent's pixels under the button as its background; the copy is taken afresh at
    // the next paint.
    void UseParentBackground();
    void AssignCursor(int cursorId);

    std::uint8_t m_bMuteLook = 0;   // button 1012: 1 = muted pictures
    std::uint8_t m_bRecordLook = 0; // button 1000: non-zero = recording pictures
    bool m_DrawBorder = true;
    QColor m_BkColorIn, m_TextColorIn, m_BkColorOut, m_TextColorOut;

    bool IsHovered() const { return m_Hover; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct ImageRecord {
        QImage Picture; // key-coloured pixels cleared, ready to lay over the background
        QImage Mask;    // 1 where the picture has the key colour
        QRgb Key = 0;
        int ResourceId = 0;
        bool Present() const { return !Picture.isNull(); }
    };

    static std::optional<ImageRecord> MakeRecord(const QPixmap& bitmap, QRgb key, int& error);
    void LeaveHover();
    void ApplyLook(int inId, int outId, QRgb key);
    void PaintBackground(QPainter& p, const QRect& r);

    int m_ControlId;
    bool m_UseParentBg = false;
    bool m_Hover = false;
    bool m_Pressed = false;
    bool m_Disabled = false;
    bool m_Flat = true;
    ImageRecord m_Images[2];
    QPixmap m_BkSnapshot;
};
