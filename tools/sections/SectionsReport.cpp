#include "SectionsReport.h"

#include "wavefile/FileName.h"
#include "wavefile/WaveErrors.h"
#include "wavefile/WaveReader.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

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

} // namespace

std::uint64_t WaveSummary::BytesPerSecond() const {
    return std::uint64_t(SampleRate) * Channels * ((BitsPerSample + 7u) / 8u);
}

double WaveSummary::LengthSeconds() const {
    return double(DataBytes) / double(BytesPerSecond());
}

std::string Clock(std::uint64_t seconds) {
    char text[64];
    std::snprintf(text, sizeof text, "%llu:%02u:%02u", static_cast<unsigned long long>(seconds / 3600),
                  unsigned(seconds % 3600 / 60), unsigned(seconds % 60));
    return text;
}

bool DescribeWaveFile(const std::string& path, WaveSummary& summary, std::string& error) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) {
        error = "no such file";
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        error = "not a regular file";
        return false;
    }
    summary = WaveSummary{};
    try {
        g_FileName = path;
        CWaveReader reader;
        reader.GetFormat(&summary.SampleRate, &summary.BitsPerSample, &summary.Channels);
        summary.DataStart = reader.Tell();
        summary.DataBytes = reader.GetLength();
        summary.HasSectionList = reader.m_pFirstSection != nullptr;
        for (const SectionNode* node = reader.m_pFirstSection; node; node = node->pNext)
            summary.SectionStarts.push_back(node->Seconds);
        if (summary.SectionStarts.empty())
            summary.SectionStarts.push_back(0);
    } catch (const WaveErrors::RiffDoesntMatch&) {
        error = "RIFF check failed: bytes 0-3 are not \"RIFF\" (not a WAV file, too short, or unreadable)";
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

std::string FormatSummary(const std::string& path, const WaveSummary& s) {
    std::ostringstream out;
    const std::uint64_t total = s.DataBytes / s.BytesPerSecond();
    out << path << ": PCM " << s.BitsPerSample << "-bit " << ChannelsText(s.Channels) << " " << s.SampleRate
        << " Hz, length " << Clock(total) << ", " << s.DataBytes << " sample bytes from offset "
        << s.DataStart << "\n";
    if (!s.HasSectionList)
        out << "  no section list (an ordinary WAV file, or a recording cut off before it was saved)\n";
    out << "  section    start   length\n";
    for (std::size_t i = 0; i < s.SectionStarts.size(); ++i) {
        const std::uint64_t start = s.SectionStarts[i];
        const std::uint64_t end = i + 1 < s.SectionStarts.size() ? s.SectionStarts[i + 1] : total;
        char row[128];
        std::snprintf(row, sizeof row, "  %7zu %8s %8s%s\n", i + 1, Clock(start).c_str(),
                      Clock(end > start ? end - start : 0).c_str(),
                      start > total ? "  (starts after the end)" : "");
        out << row;
    }
    return out.str();
}

std::string FormatLabels(const WaveSummary& s) {
    std::ostringstream out;
    const double length = s.LengthSeconds();
    for (std::size_t i = 0; i < s.SectionStarts.size(); ++i) {
        const double start = s.SectionStarts[i];
        double end = i + 1 < s.SectionStarts.size() ? double(s.SectionStarts[i + 1]) : length;
        if (end < start)
            end = start;
        out << Seconds(start) << '\t' << Seconds(end) << "\tSection " << i + 1 << '\n';
    }
    return out.str();
}

std::string LabelFileName(const std::string& path) {
    const std::string name = std::filesystem::path(path).replace_extension(".txt").string();
    // Never over the recording itself, should it be named *.txt.
    return name == path ? path + ".txt" : name;
}

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
            out << kUsage;
            return 0;
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
            out << FormatLabels(summary);
            continue;
        }
        out << FormatSummary(file, summary);
        if (labelsNextToFile) {
            const std::string name = LabelFileName(file);
            std::ofstream labels(name, std::ios::binary | std::ios::trunc);
            labels << FormatLabels(summary);
            labels.close();
            if (!labels) {
                err << file << ": cannot write the label track " << name << "\n";
                status = 1;
            } else {
                out << "  labels written to " << name << "\n";
            }
        }
    }
    return status;
}
