#include "ui/FolderSettings.h"

#include <cctype>
#include <climits>

std::string g_IniSpeed = "2";
std::string g_IniFormat = "44100";
std::string g_IniFolder = ".\\";
std::string g_IniPlayerDevice = "No Device";
std::string g_IniDefaultFolder = ".\\";
std::string g_InputDeviceNames[kInputDeviceNameCount];

void ResetDialogSettingsMirror() {
    g_IniSpeed = "2";
    g_IniFormat = "44100";
    g_IniFolder = ".\\";
    g_IniPlayerDevice = "No Device";
    g_IniDefaultFolder = ".\\";
    for (std::string& name : g_InputDeviceNames) {
        name.clear();
    }
}

namespace ui {

std::optional<long> LeadingNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) {
        return std::nullopt;
    }
    long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        // Saturate rather than overflow on absurdly long digit runs.
        value = value > (LONG_MAX - 9) / 10 ? LONG_MAX : value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

bool IsStartFolderMarker(const std::string& folder) {
    return folder == ".\\" || folder == "./";
}

} // namespace ui
