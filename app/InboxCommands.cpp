// The typist's inbox: it opens from the window menu ("Inbox…") and plays a job through this
// window's player, so that everything that plays a recording plays a job too.
#include "InboxWindow.h"
#include "MainWindowHost.h"
#include "SorvinDlg.h"

void CSorvinDlg::OnInbox() {
    if (!m_InboxWindow) {
        m_InboxHost = std::make_unique<MainWindowHost>(*this);
        m_InboxWindow = std::make_unique<InboxWindow>(*m_InboxHost, this);
    }
    m_InboxWindow->show();
    m_InboxWindow->raise();
    m_InboxWindow->activateWindow();
}
