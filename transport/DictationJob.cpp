#include "DictationJob.h"

#include "platform/BoundedFile.h"
#include "platform/ProfileText.h"

#include <charconv>

namespace {

constexpr const char* kSection = "Job";

template <typename Number> bool ParseNumber(const std::string& text, Number& value) {
    const char* end = text.data() + text.size();
    auto [at, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && at == end && !text.empty();
}

JobFileRead Refused(std::string why) {
    JobFileRead read;
    read.Problem = std::move(why);
    return read;
}

// A name in the job's own folder: nothing that climbs out of it or that readers pass over.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos && name.front() != '.';
}

} // namespace

JobFileRead ParseJobText(const std::string& text, const std::string& stem) {
    const platform::ProfileText ini(text);
    std::string version;
    if (!ini.Find(kSection, "Version", version))
        return Refused("it has no [Job] Version");
    if (version != "1")
        return Refused("its version " + version + " is not known");
    JobFileRead read;
    DictationJob& job = read.Job;
    if (!ini.Find(kSection, "Id", job.Id) || job.Id.empty())
        return Refused("it has no Id");
    if (job.Id != stem)
        return Refused("its Id " + job.Id + " is not its file's name");
    if (!ini.Find(kSection, "Audio", job.Audio) || !IsPlainName(job.Audio))
        return Refused("it names no audio file beside it");
    ini.Find(kSection, "Author", job.Author);
    ini.Find(kSection, "WorkType", job.WorkType);
    ini.Find(kSection, "Priority", job.Priority);
    ini.Find(kSection, "Note", job.Note);
    ini.Find(kSection, "Recorded", job.Recorded);
    ini.Find(kSection, "Wav", job.Wav);
    ini.Find(kSection, "WavSha256", job.WavSha256);
    std::string number;
    if (ini.Find(kSection, "Length", number) && !ParseNumber(number, job.Length))
        return Refused("its Length " + number + " is not a number of seconds");
    if (!ini.Find(kSection, "AudioBytes", number) || !ParseNumber(number, job.AudioBytes))
        return Refused("its AudioBytes is missing or not a number");
    std::string sections;
    ini.Find(kSection, "Sections", sections);
    for (std::size_t at = 0; at < sections.size();) {
        std::size_t comma = sections.find(',', at);
        if (comma == std::string::npos)
            comma = sections.size();
        unsigned start = 0;
        if (!ParseNumber(sections.substr(at, comma - at), start))
            return Refused("its Sections " + sections + " are not seconds");
        job.Sections.push_back(start);
        at = comma + 1;
    }
    read.Ok = true;
    return read;
}

JobFileRead ReadJobFile(const std::string& path, const std::string& stem) {
    std::string text, problem;
    if (!platform::ReadBoundedFile(path, kMaxJobFileBytes, text, problem))
        return Refused(problem);
    return ParseJobText(text, stem);
}

JobFileRead ReadJobFile(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    std::string stem = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (stem.size() > 4 && stem.ends_with(".job"))
        stem.resize(stem.size() - 4);
    return ReadJobFile(path, stem);
}

int PriorityRank(const std::string& priority) {
    if (priority == "urgent")
        return 0;
    if (priority == "high")
        return 1;
    return 2;
}
