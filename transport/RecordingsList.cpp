#include "RecordingsList.h"

#include <algorithm>

bool IsListedRecording(const platform::FindData& entry) {
    if (entry.Attributes & (platform::kAttrDirectory | platform::kAttrSpecial))
        return false;
    const std::string& name = entry.Name;
    if (name.size() < 4)
        return false;
    const std::string tail = name.substr(name.size() - 4);
    return tail == ".wav" || tail == ".WAV";
}

void SortRecordings(std::list<std::string>& names) {
    // std::string compares its characters as unsigned bytes, and list::sort relinks the nodes,
    // so every iterator into the list still designates the same name afterwards.
    names.sort();
}

std::list<std::string>::iterator NextRecording(std::list<std::string>& names,
                                               std::list<std::string>::iterator at) {
    ++at;
    return at == names.end() ? names.begin() : at;
}

std::list<std::string>::iterator PreviousRecording(std::list<std::string>& names,
                                                   std::list<std::string>::iterator at) {
    if (at == names.begin())
        at = names.end();
    return --at;
}

std::list<std::string>::iterator AddRecording(std::list<std::string>& names,
                                              std::list<std::string>::iterator& current,
                                              const std::string& name) {
    if (names.size() == 1 && names.front() == kNoWavFiles) {
        names.clear();
        current = names.end();
    }
    auto at =
        std::find_if(names.begin(), names.end(), [&](const std::string& listed) { return !(listed < name); });
    if (at == names.end() || *at != name)
        at = names.insert(at, name);
    if (current == names.end())
        current = at;
    return at;
}

void RemoveRecording(std::list<std::string>& names, std::list<std::string>::iterator& current,
                     const std::string& name) {
    const auto at = std::find(names.begin(), names.end(), name);
    if (at == names.end() || name == kNoWavFiles)
        return;
    if (current == at)
        current = names.size() > 1 ? NextRecording(names, at) : names.end();
    names.erase(at);
    if (names.empty()) {
        names.push_back(kNoWavFiles);
        current = names.begin();
    }
}
