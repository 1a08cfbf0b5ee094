#pragma once
#include <QColor>
#include <QWidget>

// The input's level while recording, drawn on the display in the style of its texts: a row of
// segments on the display colour, lit black from the left as far as the loudest sample of the
// last reading reaches, on a decibel scale, so that a silent microphone shows no segment at all.
// User-interface thread only.
class CLevelMeter : public QWidget {
public:
    static constexpr int kSegments = 12;
    // The quietest level that lights the first segment, in decibels below full scale.
    static constexpr double kFloorDb = 48.0;

    explicit CLevelMeter(QWidget* parent = nullptr);

    // Shows the level of a peak magnitude of 16-bit samples (0..32768) and repaints.
    void SetPeak(int peak);
    int LitSegments() const { return m_Lit; }

    // Segments lit for a peak: none for silence and below the floor, all at full scale.
    static int SegmentsFor(int peak);

    // The colours: the display's, the lit segments', the dark segments'.
    static QColor Background();
    static QColor Lit();
    static QColor Unlit();
    // Where segment `index` lies, in the meter's own coordinates.
    QRect SegmentRect(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_Lit = 0;
};
