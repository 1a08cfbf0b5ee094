#include "StateFile.h"

#include "IniText.h"
#include "SmallFile.h"
#include "platform/ProfileText.h"

namespace dictation {

namespace {

constexpr const char* kSection = "State";
constexpr std::size_t kMaxStateBytes = 4096;

StateReading Refused(std::string problem) {
    StateReading reading;
    reading.Problem = std::move(problem);
    return reading;
}

} // namespace

std::string StateText(const TypistState& state) {
    return "[State]\n" + IniLine("Version", "1") + IniLine("Id", state.Id) +
           IniLine("State", state.Is == TypistState::Stage::Done ? "done" : "typing") +
           IniLine("Typist", state.Typist) + IniLine("Changed", state.Changed);
}

StateReading ParseState(const std::string& text, const std::string& id) {
    if (!IsUtf8Text(text))
        return Refused("it is not UTF-8 text");
    const platform::ProfileText ini(text);
    auto get = [&](const char* key) {
        std::string value;
        ini.Find(kSection, key, value);
        return value;
    };
    if (get("Version") != "1")
        return Refused("it is not a state file of version 1");
    if (get("Id") != id)
        return Refused("its Id is not " + id);
    StateReading reading;
    const std::string stage = get("State");
    if (stage != "typing" && stage != "done")
        return Refused("its State " + stage + " is neither typing nor done");
    reading.Contents = {id, stage == "done" ? TypistState::Stage::Done : TypistState::Stage::Typing,
                        get("Typist"), get("Changed")};
    reading.Read = true;
    return reading;
}

StateReading ReadStateFile(const std::string& folder, const std::string& id) {
    const SmallFile file = ReadSmallFile(folder + "/" + id + kStateSuffix, kMaxStateBytes);
    if (file.Status == SmallFile::State::Missing)
        return Refused("it is not there");
    if (file.Status == SmallFile::State::Unreadable)
        return Refused(file.Problem);
    return ParseState(file.Bytes, id);
}

} // namespace dictation
