#pragma once

class CSorvinDlg;

// The application object: checks the system, then runs the main window for the life of the process.
class CSorvinApp {
public:
    // Always false: the process ends when the main window has closed.
    bool InitInstance();

private:
    CSorvinDlg* m_pMainWnd = nullptr;
};
