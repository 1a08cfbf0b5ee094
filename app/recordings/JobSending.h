#pragma once
#include "JobSender.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <string>
#include <thread>

// Sends one recording at a time to the typist on a worker thread (encoding a long recording takes
// seconds) and tells the user-interface thread how it goes. The main window owns it, so that a
// send from the remote and one from the recordings window are the same; a second send while one
// runs is refused.
//
// Threads: the public functions and the signals belong to the thread the object lives on; the
// worker only posts to it. The destructor cancels a send that runs (the spool is cleaned) and
// waits for the worker.
class JobSending : public QObject {
    Q_OBJECT
public:
    explicit JobSending(QObject* parent = nullptr);
    ~JobSending() override;

    // Starts sending the recording `name` (its file is request.Wav); false when a send runs.
    bool Start(const std::string& name, const dictation::SendRequest& request);
    // The recording being sent; "" when none is.
    const std::string& Sending() const { return m_Name; }

signals:
    // The share of the recording encoded so far, in whole percent, each time it grows.
    void Progress(const QString& name, int percent);
    // The send is over: `message` says what went out, or why nothing did.
    void Finished(const QString& name, bool sent, const QString& message);

private:
    std::thread m_Worker;
    std::atomic<bool> m_Cancel{false};
    std::string m_Name;
};
