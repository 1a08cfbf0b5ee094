#pragma once
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

class CSorvinDlg;

// The application object: checks the system, then runs the main window for the life of the process.
class CSorvinApp {
public:
    // Always false: the process ends when the main window has closed.
    bool InitInstance();

    // The command line (without the program's name). The program has no options but --help (or
    // -h) and --version, which print to out (standard output); anything else is a usage error,
    // told on err. Returns the exit status when the program is to end without opening its window
    // (0, 1 when out cannot be written, 2 for a usage error), nothing when it is to start.
    static std::optional<int> CommandLine(const std::vector<std::string>& args, std::ostream& out,
                                          std::ostream& err);

private:
    CSorvinDlg* m_pMainWnd = nullptr;
};
