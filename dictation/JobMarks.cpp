#include "JobMarks.h"

#include "JobFile.h"
#include "JobId.h"
#include "StateFile.h"

#include <dirent.h>
#include <set>

namespace dictation {

namespace {

// The names a folder holds, but for the hidden ones and a sync engine's temporary files.
std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    if (folder.empty())
        return names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!name.starts_with('.') && !name.starts_with("~syncthing~"))
            names.insert(name);
    }
    ::closedir(dir);
    return names;
}

std::string Stem(const std::string& recording) {
    const std::size_t dot = recording.rfind('.');
    return dot == std::string::npos ? recording : recording.substr(0, dot);
}

} // namespace

const char* JobMarkText(JobMark mark) {
    static constexpr const char* kTexts[] = {"", "sent", "typing", "typed"};
    return kTexts[static_cast<int>(mark)];
}

std::map<std::string, JobMark> ReadJobMarks(const std::vector<std::string>& recordings,
                                            const std::string& outbox, const std::string& returns,
                                            const std::string& author) {
    std::map<std::string, JobMark> marks;
    if (author.empty())
        return marks;
    const std::set<std::string> sent = Names(outbox);
    const std::set<std::string> states = returns == outbox ? sent : Names(returns);
    for (const std::string& recording : recordings) {
        const std::string id = JobId(Stem(recording), author);
        JobMark mark = sent.contains(id + kJobSuffix) ? JobMark::Sent : JobMark::None;
        if (states.contains(id + kStateSuffix)) {
            const StateReading state = ReadStateFile(returns, id);
            if (state.Read)
                mark = state.Contents.Is == TypistState::Stage::Done ? JobMark::Typed : JobMark::Typing;
        }
        if (mark != JobMark::None)
            marks[recording] = mark;
    }
    return marks;
}

} // namespace dictation
