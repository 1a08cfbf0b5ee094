#pragma once
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

// What tavlo-sections finds in one WAV file, through the same reader the player uses.
struct WaveSummary {
    unsigned SampleRate = 0;
    unsigned short BitsPerSample = 0;
    unsigned short Channels = 0;
    std::uint64_t DataStart = 0;
    std::uint64_t DataBytes = 0;
    // False for an ordinary WAV file: nothing follows its RIFF chunk.
    bool HasSectionList = false;
    // Start second of every section, section 1 first (one start when there is no list).
    std::vector<std::uint32_t> SectionStarts;

    std::uint64_t BytesPerSecond() const;
    // Exact length of the samples in seconds.
    double LengthSeconds() const;
    // Whole seconds of samples.
    std::uint64_t WholeSeconds() const;
    // Whole seconds section i (from 0) lasts within the samples, wherever the marks put it.
    std::uint64_t SectionSeconds(std::size_t i) const;
};

// Opens path with the program's reader and fills summary. On failure returns false and sets
// error to a sentence naming the check that failed. Safe on any thread: it shares no state.
bool DescribeWaveFile(const std::string& path, WaveSummary& summary, std::string& error);

// The summary as printed for a user: format, length (h:mm:ss) and the table of sections.
std::string FormatSummary(const std::string& path, const WaveSummary& summary);

// An Audacity label track: one "start<TAB>end<TAB>Section N" line per section, in seconds, held
// to the length of the samples; the last label ends where they end.
std::string FormatLabels(const WaveSummary& summary);

// True when the marks put the last section's start past the end of the samples.
bool MarksClaimMore(const WaveSummary& summary);
// The sentence that says so, for the user.
std::string MarksNote(const WaveSummary& summary);

enum class LabelWrite { Written, LeftAlone, Failed };
// Writes a label track to name through a temporary file beside it. An existing name is replaced
// only when it is a label track this tool wrote; anything else there (a recording, a user's
// notes, a symbolic link, a folder) is left alone. reason says why a track was not written.
LabelWrite WriteLabelTrack(const std::string& name, const std::string& labels, std::string& reason);

// Where --labels writes the track for path: the same name with ".txt" for its extension.
std::string LabelFileName(const std::string& path);

// "h:mm:ss" of whole seconds.
std::string Clock(std::uint64_t seconds);

// The whole program: tavlo-sections [--labels | --labels=-] FILE...
// out is standard output. Returns the exit status: 0 when every file was read, 1 when one was
// rejected, a label track was not written or standard output could not be written, 2 for a
// usage error.
int RunSections(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
