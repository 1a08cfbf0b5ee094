#include "SorvinApp.h"

#include "SorvinDlg.h"
#include "platform/SystemCheck.h"

bool CSorvinApp::InitInstance() {
    // The recorder runs where its services behave as it expects; elsewhere it ends without a word.
    if (!platform::IsSupportedSystem())
        return false;
    CSorvinDlg dlg;
    m_pMainWnd = &dlg;
    dlg.exec();
    m_pMainWnd = nullptr;
    return false;
}
