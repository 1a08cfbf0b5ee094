#include "ui/CColorStatic.h"
#include "platform/qt/QtWindowTimers.h"

#include <QApplication>
#include <QPainter>

CColorStatic::CColorStatic(QWidget* parent, std::unique_ptr<platform::IWindowTimers> timers)
    : QLabel(parent), m_Timers(std::move(timers)) {
    if (!m_Timers) {
        m_Timers = std::make_unique<platform::QtWindowTimers>();
    }
    m_Timers->SetHandler([this](unsigned id) { OnTimer(id); });
    // The system colours are read once, when the label is made.
    const QPalette pal = QApplication::palette();
    m_TextColor = m_BlinkTextColors[0] = m_BlinkTextColors[1] = pal.color(QPalette::ButtonText);
    m_BkColor = m_BlinkBkColors[0] = m_BlinkBkColors[1] = pal.color(QPalette::Button);
}

CColorStatic::~CColorStatic() {
    if (m_TimerId != 0) {
        m_Timers->KillTimer(m_TimerId);
    }
    m_Timers->SetHandler(nullptr);
}

void CColorStatic::ChooseBlinkTextColors(const QColor& phase0, const QColor& phase1) {
    m_BlinkTextColors[0] = phase0;
    m_BlinkTextColors[1] = phase1;
}

void CColorStatic::ChooseBlinkBkColors(const QColor& phase0, const QColor& phase1) {
    m_BlinkBkColors[0] = phase0;
    m_BlinkBkColors[1] = phase1;
    update();
}

void CColorStatic::RestartTimer() {
    if (m_TimerId != 0) {
        m_Timers->KillTimer(m_TimerId);
    }
    m_TimerId = kBlinkTimer;
    m_Timers->SetTimer(m_TimerId, kBlinkPeriodMs);
}

void CColorStatic::BeginTextBlink() {
    if (m_TimerId != 0) {
        m_Timers->KillTimer(m_TimerId);
        m_TimerId = 0;
    }
    m_TextBlinking = true;
    m_TextPhase = 0;
    RestartTimer();
}

void CColorStatic::BeginBkBlink() {
    if (m_TimerId != 0) {
        m_Timers->KillTimer(m_TimerId);
        m_TimerId = 0;
    }
    m_BkBlinking = true;
    m_BkPhase = 0;
    RestartTimer();
}

QColor CColorStatic::TextColorNow() const {
    return m_TextBlinking ? m_BlinkTextColors[m_TextPhase] : m_TextColor;
}

QColor CColorStatic::BkColorNow() const {
    return m_BkBlinking ? m_BlinkBkColors[m_BkPhase] : m_BkColor;
}

void CColorStatic::OnTimer(unsigned id) {
    if (id != m_TimerId || m_TimerId == 0) {
        return;
    }
    if (m_TextBlinking) {
        m_TextPhase ^= 1;
    }
    if (m_BkBlinking) {
        m_BkPhase ^= 1;
    }
    if (m_TextBlinking || m_BkBlinking) {
        update();
    }
}

void CColorStatic::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), BkColorNow());
    p.setPen(TextColorNow());
    p.setFont(font());
    const int flags = static_cast<int>(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
    p.drawText(contentsRect(), flags, text());
}
