#pragma once
#include "platform/WindowTimers.h"

#include <QObject>
#include <map>

namespace platform {

// Window timers on Qt timers of an object that lives on the window's thread.
class QtWindowTimers : public QObject, public IWindowTimers {
    Q_OBJECT
public:
    explicit QtWindowTimers(QObject* parent = nullptr);
    ~QtWindowTimers() override;

    void SetHandler(Handler handler) override;
    void SetTimer(unsigned id, unsigned milliseconds) override;
    void KillTimer(unsigned id) override;
    bool IsRunning(unsigned id) const override;
    unsigned Period(unsigned id) const override;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    struct Running {
        int QtId;
        unsigned Period;
    };
    Handler m_Handler;
    std::map<unsigned, Running> m_Timers;
    bool m_InHandler = false;
};

} // namespace platform
