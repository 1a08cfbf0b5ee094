#pragma once
#include <string>

namespace dictation {

// The typist's word on a job: "ID.state" in the typist's Done folder (the author's Returns),
// written only by the typist's side. INI text, section [State]; at most 4 KiB.
inline constexpr const char* kStateSuffix = ".state";

struct TypistState {
    enum class Stage { Typing, Done };
    std::string Id;
    Stage Is = Stage::Typing;
    std::string Typist;
    std::string Changed; // "YYYY-MM-DD hh:mm:ss", local time
};

// The file's text.
std::string StateText(const TypistState& state);

struct StateReading {
    bool Read = false;
    TypistState Contents;
    std::string Problem;
};
// The state a text describes; refused (with the reason) without Version 1, with another Id than
// `id` or a State other than "typing" and "done".
StateReading ParseState(const std::string& text, const std::string& id);
// ParseState on the file `folder/ID.state`, read as a SmallFile. Any thread.
StateReading ReadStateFile(const std::string& folder, const std::string& id);

} // namespace dictation
