// The recorder's command line, on the real program: --help and --version print and end without
// opening a window (the test gives it no display to open one on), anything else is a usage error.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Text(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(CommandLine, HelpAndVersionPrintWithoutAWindowAndOtherArgumentsAreUsageErrors) {
    const fs::path dir = fs::temp_directory_path() / ("tavlo-cmdline-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string usage = "usage: tavlo [--help | --version]\n";
    struct Case {
        std::string args;
        int status;
        std::string outStart;    // how standard output begins ("" for nothing at all)
        std::string errStart;    // how standard error begins ("" for nothing at all)
        bool outputFull = false; // standard output goes to a full device
    };
    const std::vector<Case> cases = {
        {"--help", 0, usage, ""},
        {"-h", 0, usage, ""},
        {"--version", 0, "Tavlo 0.18\n", ""},
        {"--frobnicate", 2, "", "tavlo: unknown option --frobnicate\n" + usage},
        {"-platform offscreen", 2, "", "tavlo: unknown option -platform\n" + usage},
        {"take1.wav", 2, "", "tavlo: unexpected argument take1.wav\n" + usage},
        {"--version", 1, "", "tavlo: cannot write to standard output: No space left on device\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const std::string outFile = c.outputFull ? "/dev/full" : (dir / "out").string();
        fs::remove(dir / "out");
        // No display: a program that tried to open its window would fail instead.
        const std::string command =
            "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR='" + dir.string() +
            "' " TAVLO_PROGRAM " " + c.args + " >'" + outFile + "' 2>'" + (dir / "err").string() + "'";
        const int raw = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, c.status);
        const std::string out = Text(dir / "out"), err = Text(dir / "err");
        EXPECT_EQ(out.substr(0, c.outStart.size()), c.outStart);
        EXPECT_EQ(out.empty(), c.outStart.empty()) << out;
        EXPECT_EQ(err.substr(0, c.errStart.size()), c.errStart);
        EXPECT_EQ(err.empty(), c.errStart.empty()) << err;
    }
    fs::remove_all(dir);
}

} // namespace
