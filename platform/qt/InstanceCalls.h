#pragma once
#include <QLocalServer>
#include <QObject>
#include <string>

namespace platform {

// The running instance's end of "one window per user": it listens on the local socket of its
// instance lock, and every later start that finds the lock held calls it there before it ends.
// Only the holder of the lock listens, so a socket file left by a holder that crashed is its own
// to replace. Runs on the user-interface thread.
class InstanceCalls : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Starts listening on path (from IInstanceLock::CallPath); false for "" or when the socket
    // cannot be made, and the program then simply takes no calls.
    bool Listen(const std::string& path);

signals:
    // A later start asked this instance to come forward.
    void Called();

private:
    QLocalServer m_Server;
};

// A later start's call to the instance that listens on path; false when none answers.
bool CallRunningInstance(const std::string& path);

} // namespace platform
