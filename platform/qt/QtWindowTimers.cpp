#include "platform/qt/QtWindowTimers.h"

#include <QTimerEvent>

namespace platform {

QtWindowTimers::QtWindowTimers(QObject* parent) : QObject(parent) {}

QtWindowTimers::~QtWindowTimers() {
    for (const auto& [id, timer] : m_Timers)
        killTimer(timer.QtId);
}

void QtWindowTimers::SetHandler(Handler handler) {
    m_Handler = std::move(handler);
}

void QtWindowTimers::SetTimer(unsigned id, unsigned milliseconds) {
    KillTimer(id);
    // Precise timers: the 100 ms poll and the 1 s clock should not drift by Qt's coarse 5 %.
    int qtId = startTimer(static_cast<int>(milliseconds), Qt::PreciseTimer);
    if (qtId != 0)
        m_Timers[id] = {qtId, milliseconds};
}

void QtWindowTimers::KillTimer(unsigned id) {
    auto it = m_Timers.find(id);
    if (it == m_Timers.end())
        return;
    killTimer(it->second.QtId);
    m_Timers.erase(it);
}

bool QtWindowTimers::IsRunning(unsigned id) const {
    return m_Timers.count(id) > 0;
}

unsigned QtWindowTimers::Period(unsigned id) const {
    auto it = m_Timers.find(id);
    return it == m_Timers.end() ? 0 : it->second.Period;
}

void QtWindowTimers::timerEvent(QTimerEvent* event) {
    for (const auto& [id, timer] : m_Timers) {
        if (timer.QtId != event->timerId())
            continue;
        // A handler that opens a message box runs a nested event loop; ticks arriving meanwhile
        // are dropped so that handlers never overlap.
        if (m_InHandler || !m_Handler)
            return;
        m_InHandler = true;
        unsigned tickId = id; // the handler may change m_Timers
        m_Handler(tickId);
        m_InHandler = false;
        return;
    }
}

} // namespace platform
