#pragma once
#include "platform/WindowTimers.h"

#include <QColor>
#include <QLabel>
#include <memory>

// A text label that chooses its own text and background colours; either can blink, switching
// between two colours on one shared 1000 ms timer (both phases flip on the same tick). Where both
// colours of a blink are equal the label looks steady but is still repainted every second.
// Once started, blinking runs until the label is destroyed. User-interface thread only.
class CColorStatic : public QLabel {
    Q_OBJECT
public:
    static constexpr unsigned kBlinkTimer = 1;
    static constexpr unsigned kBlinkPeriodMs = 1000;

    // `timers` runs the label's blink timer; by default the label's own Qt timers.
    explicit CColorStatic(QWidget* parent = nullptr,
                          std::unique_ptr<platform::IWindowTimers> timers = nullptr);
    ~CColorStatic() override;

    // Sets the text colours of phases 0 and 1; no repaint (the next tick shows them).
    void ChooseBlinkTextColors(const QColor& phase0, const QColor& phase1);
    // Sets the background colours of phases 0 and 1 and repaints.
    void ChooseBlinkBkColors(const QColor& phase0, const QColor& phase1);
    // Restart the shared timer with the text (or background) blinking from phase 0.
    void BeginTextBlink();
    void BeginBkBlink();

    // The colours the label paints with now (its answer to "which colours?" before a paint).
    QColor TextColorNow() const;
    QColor BkColorNow() const;

    // One tick of timer `id`: flips the blinking phases and repaints; other ids are not the
    // label's and change nothing.
    void OnTimer(unsigned id);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void RestartTimer();

    std::unique_ptr<platform::IWindowTimers> m_Timers;
    unsigned m_TimerId = 0; // 0: no timer runs
    QColor m_TextColor;
    QColor m_BlinkTextColors[2];
    bool m_TextBlinking = false;
    int m_TextPhase = 0;
    QColor m_BkColor;
    QColor m_BlinkBkColors[2];
    bool m_BkBlinking = false;
    int m_BkPhase = 0;
};
