#include "JobSending.h"

JobSending::JobSending(QObject* parent) : QObject(parent) {}

JobSending::~JobSending() {
    m_Cancel = true;
    if (m_Worker.joinable())
        m_Worker.join();
}

bool JobSending::Start(const std::string& name, const dictation::SendRequest& request) {
    if (!m_Name.empty())
        return false;
    // The previous worker has posted its end already: it is done or about to be.
    if (m_Worker.joinable())
        m_Worker.join();
    m_Name = name;
    m_Cancel = false;
    m_Worker = std::thread([this, request, name = QString::fromStdString(name)] {
        int shown = -1;
        const auto progress = [&](double done) {
            const int percent = static_cast<int>(done * 100);
            if (percent == shown)
                return;
            shown = percent;
            QMetaObject::invokeMethod(
                this, [this, name, percent] { emit Progress(name, percent); }, Qt::QueuedConnection);
        };
        const dictation::SendOutcome outcome = dictation::SendJob(request, progress, m_Cancel);
        QMetaObject::invokeMethod(
            this,
            [this, name, outcome] {
                m_Name.clear();
                emit Finished(name, outcome.Sent, QString::fromStdString(outcome.Message));
            },
            Qt::QueuedConnection);
    });
    return true;
}
