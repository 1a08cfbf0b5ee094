#include "SorvinApp.h"

#include "EndRequests.h"
#include "SorvinDlg.h"
#include "platform/SystemCheck.h"

#include <cerrno>
#include <cstring>
#include <ostream>

namespace {

const char* const kUsage = "usage: tavlo [--help | --version]\n"
                           "  Records from the wireless voice-recorder set and plays the recordings back.\n"
                           "  The settings are Recorder.ini in the folder Tavlo starts in; the installed\n"
                           "  Tavlo started where there is no res/ folder uses $XDG_CONFIG_HOME/tavlo\n"
                           "  (~/.config/tavlo) and records into ~/Recordings/Tavlo.\n"
                           "  --help     shows this text\n"
                           "  --version  shows the version\n";

// Standard output that cannot be written (a full disk, say) is an error, not a success.
int Print(std::ostream& out, std::ostream& err, const std::string& text) {
    errno = 0;
    if (out << text << std::flush)
        return 0;
    err << "tavlo: cannot write to standard output: " << (errno != 0 ? std::strerror(errno) : "write error")
        << "\n";
    return 1;
}

} // namespace

std::optional<int> CSorvinApp::CommandLine(const std::vector<std::string>& args, std::ostream& out,
                                           std::ostream& err) {
    if (args.empty())
        return std::nullopt;
    const std::string& arg = args.front();
    if (arg == "--help" || arg == "-h")
        return Print(out, err, kUsage);
    if (arg == "--version")
        return Print(out, err, "Tavlo " TAVLO_VERSION "\n");
    err << "tavlo: " << (arg.starts_with('-') ? "unknown option " : "unexpected argument ") << arg << "\n"
        << kUsage;
    return 2;
}

bool CSorvinApp::InitInstance() {
    // The recorder runs where its services behave as it expects; elsewhere it ends without a word.
    if (!platform::IsSupportedSystem())
        return false;
    CSorvinDlg dlg;
    m_pMainWnd = &dlg;
    // A signal, the session's end or the display going away saves an open recording first.
    EndRequests ends([&dlg](EndRequests::Reason reason) {
        if (reason == EndRequests::Reason::Display)
            dlg.OnDisplayLost();
        else
            dlg.OnEndedFromOutside();
    });
    dlg.exec();
    m_pMainWnd = nullptr;
    return false;
}
