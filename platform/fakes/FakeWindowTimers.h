#pragma once
#include "platform/WindowTimers.h"

#include <map>

namespace platform {

// Timers that tick only when a test says so.
class FakeWindowTimers : public IWindowTimers {
public:
    void SetHandler(Handler handler) override { m_Handler = std::move(handler); }
    void SetTimer(unsigned id, unsigned milliseconds) override { m_Periods[id] = milliseconds; }
    void KillTimer(unsigned id) override { m_Periods.erase(id); }
    bool IsRunning(unsigned id) const override { return m_Periods.count(id) > 0; }
    unsigned Period(unsigned id) const override {
        auto it = m_Periods.find(id);
        return it == m_Periods.end() ? 0 : it->second;
    }
    // Delivers one tick of a running timer; false (and nothing delivered) when it does not run.
    bool Tick(unsigned id) {
        if (!IsRunning(id) || !m_Handler)
            return false;
        m_Handler(id);
        return true;
    }

private:
    Handler m_Handler;
    std::map<unsigned, unsigned> m_Periods;
};

} // namespace platform
