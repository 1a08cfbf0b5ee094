#include "JobFile.h"

#include "IniText.h"
#include "SmallFile.h"
#include "platform/ProfileText.h"

#include <charconv>
#include <filesystem>

namespace dictation {

namespace {

constexpr const char* kSection = "Job";

template <class Number> bool ParseNumber(const std::string& text, Number& value) {
    const char* end = text.data() + text.size();
    auto [at, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && at == end && !text.empty();
}

std::string SectionsText(const std::vector<std::uint32_t>& sections) {
    std::string text;
    for (std::uint32_t start : sections)
        text += (text.empty() ? "" : ",") + std::to_string(start);
    return text;
}

bool ParseSections(const std::string& text, std::vector<std::uint32_t>& sections) {
    sections.clear();
    if (text.empty())
        return true;
    for (std::size_t at = 0;;) {
        const std::size_t comma = text.find(',', at);
        std::uint32_t start = 0;
        if (!ParseNumber(text.substr(at, comma - at), start))
            return false;
        sections.push_back(start);
        if (comma == std::string::npos)
            return true;
        at = comma + 1;
    }
}

JobReading Refused(std::string problem) {
    JobReading reading;
    reading.Problem = std::move(problem);
    return reading;
}

} // namespace

bool IsPriority(const std::string& text) {
    for (const char* priority : kPriorities)
        if (text == priority)
            return true;
    return false;
}

std::string JobText(const Job& job) {
    return "[Job]\n" + IniLine("Version", "1") + IniLine("Id", job.Id) + IniLine("Author", job.Author) +
           IniLine("WorkType", job.WorkType) + IniLine("Priority", job.Priority) + IniLine("Note", job.Note) +
           IniLine("Recorded", job.Recorded) + IniLine("Length", std::to_string(job.Length)) +
           IniLine("Sections", SectionsText(job.Sections)) + IniLine("Wav", job.Wav) +
           IniLine("WavSha256", job.WavSha256) + IniLine("Audio", job.Audio) +
           IniLine("AudioBytes", std::to_string(job.AudioBytes));
}

JobReading ParseJob(const std::string& text, const std::string& stem) {
    if (text.size() > kMaxJobBytes)
        return Refused("it is larger than a job file can be");
    if (!IsUtf8Text(text))
        return Refused("it is not UTF-8 text");
    const platform::ProfileText ini(text);
    if (ini.Keys(kSection).empty())
        return Refused("it has no [Job] section");
    auto get = [&](const char* key) {
        std::string value;
        ini.Find(kSection, key, value);
        return value;
    };
    if (get("Version") != "1")
        return Refused("it is not a job file of version 1");
    JobReading reading;
    Job& job = reading.Contents;
    job.Id = get("Id");
    job.Audio = get("Audio");
    if (job.Id.empty() || job.Audio.empty())
        return Refused("it names no Id or no Audio");
    if (job.Id != stem)
        return Refused("its Id " + job.Id + " is not its file's name");
    // The audio lies beside the job: a name with a folder in it would lead elsewhere.
    if (job.Audio.find('/') != std::string::npos || job.Audio.starts_with('.'))
        return Refused("its Audio " + job.Audio + " is no file name");
    job.Author = get("Author");
    job.WorkType = get("WorkType");
    job.Priority = IsPriority(get("Priority")) ? get("Priority") : "normal";
    job.Note = get("Note");
    job.Recorded = get("Recorded");
    job.Wav = get("Wav");
    job.WavSha256 = get("WavSha256");
    if (!ParseNumber(get("Length"), job.Length) || !ParseSections(get("Sections"), job.Sections) ||
        !ParseNumber(get("AudioBytes"), job.AudioBytes))
        return Refused("its Length, Sections or AudioBytes are no whole numbers");
    reading.Read = true;
    return reading;
}

JobReading ReadJobFile(const std::string& path) {
    const SmallFile file = ReadSmallFile(path, kMaxJobBytes);
    if (file.Status == SmallFile::State::Missing)
        return Refused("it is not there");
    if (file.Status == SmallFile::State::Unreadable)
        return Refused(file.Problem);
    std::string stem = std::filesystem::path(path).filename().string();
    if (stem.ends_with(kJobSuffix))
        stem.resize(stem.size() - std::string(kJobSuffix).size());
    return ParseJob(file.Bytes, stem);
}

} // namespace dictation
