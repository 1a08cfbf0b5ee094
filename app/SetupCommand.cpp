// The Setup command (button 1018): the settings dialog, then the settings read again.
#include "SorvinDlg.h"

#include "ProgramState.h"
#include "ui/FolderDlg.h"

void CSorvinDlg::OnSetup() {
    // The button keeps its pressed look while the dialog is open.
    m_BtnSetup.AssignImagesFromResources(158, kButtonKey, 166, kButtonKey);
    {
        FolderDlg dlg(this);
        dlg.m_WorkDir = m_WorkDir;
        dlg.m_pHid = &m_Hid;
        dlg.exec();
    }
    m_BtnSetup.AssignImagesFromResources(158, kButtonKey, 153, kButtonKey);
    // The dialog's changes reach the window only through the file.
    LoadSettings();
    g_RescanFolder = true;
    // (The recordings library rescans the folder and the recording command checks the free
    // space here once they are built in.)
}
