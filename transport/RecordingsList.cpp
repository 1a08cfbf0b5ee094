#include "RecordingsList.h"

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
