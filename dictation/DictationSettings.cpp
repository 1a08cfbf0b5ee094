#include "DictationSettings.h"

#include "IniFile.h"
#include "JobFile.h"

#include <pwd.h>
#include <unistd.h>

namespace dictation {

std::string LoginName() {
    const passwd* user = ::getpwuid(::getuid());
    if (!user)
        return {};
    std::string full = user->pw_gecos ? user->pw_gecos : "";
    full = full.substr(0, full.find(','));
    return full.empty() ? std::string(user->pw_name ? user->pw_name : "") : full;
}

DictationSettings LoadDictationSettings(const std::string& iniPath) {
    CIniFile ini(iniPath);
    auto get = [&](const char* key) { return ini.GetString(kDictationSection, key); };
    DictationSettings s;
    s.Author = get("Author");
    if (s.Author.empty())
        s.Author = LoginName();
    s.WorkType = get("WorkType");
    if (s.WorkType.empty())
        s.WorkType = "Letter";
    s.Priority = get("Priority");
    if (!IsPriority(s.Priority))
        s.Priority = "normal";
    s.Outbox = get("Outbox");
    s.Returns = get("Returns");
    s.Inbox = get("Inbox");
    s.Done = get("Done");
    // The same reading as the player's, so that the dialog shows what playback uses.
    s.StepBack = static_cast<int>(StepBackSeconds(get(kStepBackKey)));
    return s;
}

bool SaveDictationSettings(const std::string& iniPath, const DictationSettings& s) {
    CIniFile ini(iniPath);
    const std::pair<const char*, std::string> keys[] = {
        {"Author", s.Author},     {"WorkType", s.WorkType},
        {"Priority", s.Priority}, {"Outbox", s.Outbox},
        {"Returns", s.Returns},   {"Inbox", s.Inbox},
        {"Done", s.Done},         {"StepBack", std::to_string(s.StepBack)}};
    bool written = true;
    for (const auto& [key, value] : keys)
        written = ini.WriteString(kDictationSection, key, value.c_str()) && written;
    return written;
}

} // namespace dictation
