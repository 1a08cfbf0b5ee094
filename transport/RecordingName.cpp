#include "RecordingName.h"

#include <cstdio>

namespace {

std::string Stamp(const platform::LocalTime& t, const char* suffix) {
    char name[64];
    std::snprintf(name, sizeof name, "%4d%02d%02d-%02d%02d%02d%s.wav", t.Year, t.Month, t.Day, t.Hour,
                  t.Minute, t.Second, suffix);
    return name;
}

} // namespace

std::string RecordingStamp(const platform::LocalTime& t) {
    return Stamp(t, "");
}

std::string UniqueRecordingName(const platform::LocalTime& t,
                                const std::function<bool(const std::string&)>& exists) {
    std::string name = Stamp(t, "");
    for (int n = 2; exists(name); ++n) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "_%02d", n);
        name = Stamp(t, suffix);
    }
    return name;
}

namespace {

constexpr std::size_t kStampLength = 15; // YYYYMMDD-hhmmss

bool Digits(const std::string& text, std::size_t at, std::size_t count) {
    if (text.size() < at + count)
        return false;
    for (std::size_t i = at; i < at + count; ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

int Number(const std::string& text, std::size_t at, std::size_t count) {
    return std::stoi(text.substr(at, count));
}

// The length of the stamp the name starts with, "_NN" included; 0 without one.
std::size_t StampLength(const std::string& name) {
    if (!StartTimeFromName(name))
        return 0;
    if (name.size() >= kStampLength + 3 && name[kStampLength] == '_' && Digits(name, kStampLength + 1, 2))
        return kStampLength + 3;
    return kStampLength;
}

// ".wav" or ".WAV", as the recordings list takes them; "" for any other name.
std::string Ending(const std::string& name) {
    if (name.size() < 4)
        return "";
    const std::string tail = name.substr(name.size() - 4);
    return tail == ".wav" || tail == ".WAV" ? tail : "";
}

} // namespace

std::optional<platform::LocalTime> StartTimeFromName(const std::string& name) {
    if (!Digits(name, 0, 8) || name.size() < kStampLength || name[8] != '-' || !Digits(name, 9, 6))
        return std::nullopt;
    platform::LocalTime t;
    t.Year = Number(name, 0, 4);
    t.Month = Number(name, 4, 2);
    t.Day = Number(name, 6, 2);
    t.Hour = Number(name, 9, 2);
    t.Minute = Number(name, 11, 2);
    t.Second = Number(name, 13, 2);
    // A leap second may stand in a name; a 13th month or a 25th hour is some other number.
    if (t.Month < 1 || t.Month > 12 || t.Day < 1 || t.Day > 31 || t.Hour > 23 || t.Minute > 59 ||
        t.Second > 60)
        return std::nullopt;
    return t;
}

std::string RecordingTitle(const std::string& name) {
    const std::size_t stamp = StampLength(name);
    std::string title = name.substr(stamp, name.size() - stamp - Ending(name).size());
    if (stamp > 0 && !title.empty() && title[0] == ' ')
        title.erase(0, 1);
    return title;
}

std::optional<std::string> RetitledRecording(const std::string& name, const std::string& title) {
    for (char c : title)
        if (c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return std::nullopt;
    const std::size_t stamp = StampLength(name);
    const std::string ending = Ending(name).empty() ? ".wav" : Ending(name);
    if (stamp == 0 && (title.empty() || title == "." || title == ".."))
        return std::nullopt;
    std::string result = name.substr(0, stamp);
    // A blank keeps a title apart from the stamp and sorts before both ".wav" and "_02", so a
    // titled recording stays where its stamp puts it.
    if (stamp > 0 && !title.empty())
        result += ' ';
    return result + title + ending;
}
