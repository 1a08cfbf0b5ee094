#include "SectionsReport.h"

#include "wavefile/WaveErrors.h"
#include "wavefile/WaveReader.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* kUsage = "usage: tavlo-sections [--labels | --labels=-] FILE...\n"
                     "  Prints each WAV file's format, length and sections.\n"
                     "  --labels    also writes an Audacity label track next to each file (NAME.txt)\n"
                     "  --labels=-  writes only the label tracks, to standard output\n";

std::string ChannelsText(unsigned short channels) {
    if (channels == 1)
        return "mono";
    if (channels == 2)
        return "stereo";
    return std::to_string(channels) + " channels";
}

// The usual names of the format tags found in WAV files.
std::string FormatName(unsigned short tag) {
    switch (tag) {
    case 0x0001:
        return "PCM";
    case 0x0002:
        return "Microsoft ADPCM";
    case 0x0003:
        return "IEEE float";
    case 0x0006:
        return "A-law";
    case 0x0007:
        return "mu-law";
    case 0x0011:
        return "IMA ADPCM";
    case 0x0031:
        return "GSM 6.10";
    case 0x0050:
        return "MPEG";
    case 0x0055:
        return "MPEG layer 3";
    case 0xFFFE:
        return "an extensible format with an unknown sub-format";
    default:
        break;
    }
    char text[32];
    std::snprintf(text, sizeof text, "format tag 0x%04X", unsigned(tag));
    return text;
}

std::string Seconds(double s) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", s);
    return text;
}

// The reason of the last failed system call, as the system words it.
std::string SystemReason() {
    return errno != 0 ? std::strerror(errno) : "unknown reason";
}

bool SkipNumber(const std::string& text, std::size_t& at) {
    const std::size_t first = at;
    while (at < text.size() && (std::isdigit(static_cast<unsigned char>(text[at])) || text[at] == '.'))
        ++at;
    return at > first;
}

// One "start<TAB>end<TAB>Section N" line as FormatLabels writes it, from `at`; moves past it.
bool SkipLabelLine(const std::string& text, std::size_t& at) {
    static const std::string kSection = "\tSection ";
    if (!SkipNumber(text, at) || at >= text.size() || text[at++] != '\t' || !SkipNumber(text, at) ||
        text.compare(at, kSection.size(), kSection) != 0)
        return false;
    at += kSection.size();
    const std::size_t digits = at;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])))
        ++at;
    return at > digits && at < text.size() && text[at++] == '\n';
}

// True when the file holds a label track as this tool writes it and nothing else: only such a file
// may be replaced. The reader keeps at most 65535 entries, so no track of ours comes near the limit.
bool IsLabelTrackFile(const std::string& path) {
    constexpr std::uintmax_t kLargestTrack = 16u << 20;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size == 0 || size > kLargestTrack)
        return false;
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    if (text.size() != size) // unreadable, or changing under us
        return false;
    std::size_t at = 0;
    while (at < text.size())
        if (!SkipLabelLine(text, at))
            return false;
    return true;
}

// Moves the finished temporary file to `name`. A name that did not exist must still not exist:
// a file (or link) made there meanwhile is kept, not replaced.
LabelWrite PlaceTrack(const std::string& temp, const std::string& name, bool replace, std::string& reason) {
    bool placed, linked = false;
    if (replace) {
        // rename replaces a link that appeared meanwhile by the track; it never writes through it.
        placed = ::rename(temp.c_str(), name.c_str()) == 0;
    } else {
        placed = ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0;
        if (!placed && (errno == EINVAL || errno == ENOSYS)) {
            // A file system without that kind of rename: a hard link also refuses an existing name.
            placed = linked = ::link(temp.c_str(), name.c_str()) == 0;
        }
    }
    const int error = errno;
    if (!placed || linked)
        ::unlink(temp.c_str());
    if (placed)
        return LabelWrite::Written;
    if (error == EEXIST) {
        reason = "was made by something else while the track was written";
        return LabelWrite::LeftAlone;
    }
    reason = std::strerror(error);
    return LabelWrite::Failed;
}

} // namespace

LabelWrite WriteLabelTrack(const std::string& name, const std::string& labels, std::string& reason) {
    struct stat st {};
    const bool exists = ::lstat(name.c_str(), &st) == 0;
    if (exists) {
        if (S_ISLNK(st.st_mode)) {
            reason = "is a symbolic link";
            return LabelWrite::LeftAlone;
        }
        if (!S_ISREG(st.st_mode)) {
            reason = "is not a regular file";
            return LabelWrite::LeftAlone;
        }
        if (!IsLabelTrackFile(name)) {
            reason = "is not a label track";
            return LabelWrite::LeftAlone;
        }
    } else if (errno != ENOENT) {
        reason = SystemReason();
        return LabelWrite::Failed;
    }
    // The track is written whole beside its place and then moved there, so a failure never
    // leaves half a track, and nothing is ever written through a link.
    std::string folder = std::filesystem::path(name).parent_path().string();
    std::string temp = (folder.empty() ? std::string(".") : folder) + "/.tavlo-sections-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        reason = SystemReason();
        return LabelWrite::Failed;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        reason = SystemReason();
        ::close(fd);
        ::unlink(temp.c_str());
        return LabelWrite::Failed;
    }
    bool ok = ::fchmod(fd, exists ? (st.st_mode & 07777) : (0666 & ~mask)) == 0 &&
              std::fwrite(labels.data(), 1, labels.size(), file) == labels.size() && std::fflush(file) == 0 &&
              ::fsync(fd) == 0;
    if (!ok)
        reason = SystemReason();
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        reason = SystemReason();
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return LabelWrite::Failed;
    }
    return PlaceTrack(temp, name, exists, reason);
}

std::uint64_t WaveSummary::BytesPerSecond() const {
    return std::uint64_t(SampleRate) * Channels * ((BitsPerSample + 7u) / 8u);
}

double WaveSummary::LengthSeconds() const {
    return double(DataBytes) / double(BytesPerSecond());
}

std::uint64_t WaveSummary::WholeSeconds() const {
    return DataBytes / BytesPerSecond();
}

std::uint64_t WaveSummary::SectionSeconds(std::size_t i) const {
    const std::uint64_t total = WholeSeconds();
    const std::uint64_t start = SectionStarts[i];
    const std::uint64_t end =
        std::min<std::uint64_t>(i + 1 < SectionStarts.size() ? SectionStarts[i + 1] : total, total);
    return end > start ? end - start : 0;
}

std::string Clock(std::uint64_t seconds) {
    char text[64];
    std::snprintf(text, sizeof text, "%llu:%02u:%02u", static_cast<unsigned long long>(seconds / 3600),
                  unsigned(seconds % 3600 / 60), unsigned(seconds % 60));
    return text;
}

bool DescribeWaveFile(const std::string& path, WaveSummary& summary, std::string& error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        error = errno == ENOENT ? "no such file" : "cannot be opened: " + SystemReason();
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "not a regular file";
        return false;
    }
    // The reader takes a file it cannot open for one too short to be a WAV file; ask first, so
    // that the user learns the system's reason (a permission, say).
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot be opened: " + SystemReason();
        return false;
    }
    ::close(fd);
    summary = WaveSummary{};
    try {
        CWaveReader reader(path);
        reader.GetFormat(&summary.SampleRate, &summary.BitsPerSample, &summary.Channels);
        summary.DataStart = reader.Tell();
        summary.DataBytes = reader.GetLength();
        summary.HasSectionList = reader.m_pFirstSection != nullptr;
        for (const SectionNode* node = reader.m_pFirstSection; node; node = node->pNext)
            summary.SectionStarts.push_back(node->Seconds);
        if (summary.SectionStarts.empty())
            summary.SectionStarts.push_back(0);
    } catch (const WaveErrors::RiffDoesntMatch&) {
        error = "RIFF check failed: bytes 0-3 are not \"RIFF\" (not a WAV file, or too short)";
        return false;
    } catch (const WaveErrors::WaveDoesntMatch&) {
        error = "WAVE check failed: a RIFF file whose bytes 8-11 are not \"WAVE\"";
        return false;
    } catch (const WaveErrors::FmtDoesntMatch&) {
        error = "fmt check failed: bytes 12-15 are not \"fmt \"";
        return false;
    } catch (const WaveErrors::DataDoesntMatch&) {
        error = "data check failed: no \"data\" chunk header found after the fmt chunk";
        return false;
    } catch (const WaveErrors::FormatDoesntMatch& f) {
        error = "format check failed: the fmt chunk gives " + FormatName(f.FormatTag) + ", " +
                std::to_string(f.SampleRate) + " Hz, " + std::to_string(f.Channels) + " channels, " +
                std::to_string(f.BitsPerSample) + " bits: " +
                (f.FormatTag == 1 ? "no playable format" : "not PCM, the only format the program plays");
        return false;
    } catch (const std::exception& e) {
        error = std::string("cannot be read: ") + e.what();
        return false;
    }
    return true;
}

bool MarksClaimMore(const WaveSummary& s) {
    return !s.SectionStarts.empty() && double(s.SectionStarts.back()) > s.LengthSeconds();
}

std::string FormatSummary(const std::string& path, const WaveSummary& s) {
    std::ostringstream out;
    const std::uint64_t total = s.WholeSeconds();
    out << path << ": PCM " << s.BitsPerSample << "-bit " << ChannelsText(s.Channels) << " " << s.SampleRate
        << " Hz, length " << Clock(total) << ", " << s.DataBytes << " sample bytes from offset "
        << s.DataStart << "\n";
    if (!s.HasSectionList)
        out << "  no section list (an ordinary WAV file, or a recording cut off before it was saved)\n";
    out << "  section    start   length\n";
    for (std::size_t i = 0; i < s.SectionStarts.size(); ++i) {
        const std::uint64_t start = s.SectionStarts[i];
        char row[128];
        std::snprintf(row, sizeof row, "  %7zu %8s %8s%s\n", i + 1, Clock(start).c_str(),
                      Clock(s.SectionSeconds(i)).c_str(), start > total ? "  (starts after the end)" : "");
        out << row;
    }
    if (MarksClaimMore(s))
        out << "  " << MarksNote(s) << "\n";
    return out.str();
}

std::string MarksNote(const WaveSummary& s) {
    return "the marks claim " + Clock(s.SectionStarts.back()) + " but the samples last " +
           Seconds(s.LengthSeconds()) + " s: sections are held to the samples' end";
}

std::string FormatLabels(const WaveSummary& s) {
    std::ostringstream out;
    // Every label lies within the samples and the last one ends where they end, however far the
    // marks reach.
    const double length = s.LengthSeconds();
    for (std::size_t i = 0; i < s.SectionStarts.size(); ++i) {
        const double start = std::min(double(s.SectionStarts[i]), length);
        const double end =
            std::min(i + 1 < s.SectionStarts.size() ? double(s.SectionStarts[i + 1]) : length, length);
        out << Seconds(start) << '\t' << Seconds(std::max(end, start)) << "\tSection " << i + 1 << '\n';
    }
    return out.str();
}

std::string LabelFileName(const std::string& path) {
    const std::string name = std::filesystem::path(path).replace_extension(".txt").string();
    // Never over the recording itself, should it be named *.txt.
    return name == path ? path + ".txt" : name;
}

namespace {

// Writes text to standard output at once; false, after saying why on standard error, when it
// cannot be written (a full disk, say): the user would otherwise take a cut report for
// a whole one.
bool Deliver(std::ostream& out, std::ostream& err, const std::string& text) {
    errno = 0;
    if (out.write(text.data(), static_cast<std::streamsize>(text.size())).flush())
        return true;
    err << "tavlo-sections: cannot write to standard output: " << SystemReason() << "\n";
    return false;
}

} // namespace

int RunSections(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool labelsNextToFile = false, labelsToOut = false;
    std::vector<std::string> files;
    bool optionsDone = false;
    for (const std::string& arg : args) {
        if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && arg == "--labels") {
            labelsNextToFile = true;
        } else if (!optionsDone && arg == "--labels=-") {
            labelsToOut = true;
        } else if (!optionsDone && (arg == "--help" || arg == "-h")) {
            return Deliver(out, err, kUsage) ? 0 : 1;
        } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
            err << "tavlo-sections: unknown option " << arg << "\n" << kUsage;
            return 2;
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        err << kUsage;
        return 2;
    }

    int status = 0;
    for (const std::string& file : files) {
        WaveSummary summary;
        std::string error;
        if (!DescribeWaveFile(file, summary, error)) {
            err << file << ": rejected: " << error << "\n";
            status = 1;
            continue;
        }
        if (labelsToOut) {
            if (!Deliver(out, err, FormatLabels(summary)))
                return 1;
            if (MarksClaimMore(summary))
                err << file << ": " << MarksNote(summary) << "\n";
            continue;
        }
        std::string report = FormatSummary(file, summary);
        if (labelsNextToFile) {
            const std::string name = LabelFileName(file);
            std::string reason;
            switch (WriteLabelTrack(name, FormatLabels(summary), reason)) {
            case LabelWrite::Written:
                report += "  labels written to " + name + "\n";
                break;
            case LabelWrite::LeftAlone:
                err << file << ": label track not written: " << name << " " << reason
                    << "; it is left alone\n";
                status = 1;
                break;
            case LabelWrite::Failed:
                err << file << ": cannot write the label track " << name << ": " << reason << "\n";
                status = 1;
                break;
            }
        }
        if (!Deliver(out, err, report))
            return 1;
    }
    return status;
}
