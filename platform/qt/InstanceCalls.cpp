#include "platform/qt/InstanceCalls.h"

#include <QLocalSocket>

namespace platform {

namespace {
// What a caller says: there is nothing to pass along, the call itself is the message.
const char kCall[] = "raise\n";
// A bound on a hang of the running instance, not a pause: a local socket answers at once.
constexpr int kCallBoundMs = 2000;
} // namespace

bool InstanceCalls::Listen(const std::string& path) {
    if (path.empty())
        return false;
    const QString name = QString::fromStdString(path);
    QLocalServer::removeServer(name);
    m_Server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_Server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* caller = m_Server.nextPendingConnection()) {
            // Whatever the caller managed to send, it started: that is the call.
            caller->abort();
            caller->deleteLater();
            emit Called();
        }
    });
    return m_Server.listen(name);
}

bool CallRunningInstance(const std::string& path) {
    if (path.empty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(path));
    if (!socket.waitForConnected(kCallBoundMs))
        return false;
    socket.write(kCall);
    const bool sent = socket.waitForBytesWritten(kCallBoundMs);
    socket.disconnectFromServer();
    return sent;
}

} // namespace platform
