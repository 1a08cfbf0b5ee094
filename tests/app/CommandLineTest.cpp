// The recorder's command line, on the real program: --help and --version print and end without
// opening a window (the test gives it no display to open one on), anything else is a usage error.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <tuple>
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
    const std::string usage = "usage: tavlo [--help | --version]\n", out = (dir / "out").string();
    // Arguments and where standard output goes; exit status; how standard output and error begin.
    const std::vector<std::tuple<std::string, int, std::string, std::string>> cases = {
        {"--help >" + out, 0, usage, ""},
        {"-h >" + out, 0, usage, ""},
        {"--version >" + out, 0, "Tavlo 0.18\n", ""},
        {"--frobnicate >" + out, 2, "", "tavlo: unknown option --frobnicate\n" + usage},
        {"take1.wav >" + out, 2, "", "tavlo: unexpected argument take1.wav\n" + usage},
        {"--version >/dev/full", 1, "", "tavlo: cannot write to standard output: No space left on device\n"},
    };
    for (const auto& [args, status, outStart, errStart] : cases) {
        SCOPED_TRACE(args);
        fs::remove(out);
        // No display: a program that tried to open its window would fail instead.
        const int raw = std::system(
            ("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=" + dir.string() +
             " " TAVLO_PROGRAM " " + args + " 2>" + (dir / "err").string())
                .c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, status);
        for (const auto& [text, start] : {std::pair{Text(out), outStart}, {Text(dir / "err"), errStart}}) {
            EXPECT_EQ(text.substr(0, start.size()), start);
            EXPECT_EQ(text.empty(), start.empty()) << text;
        }
    }
    fs::remove_all(dir);
}

} // namespace
