#pragma once

// Why a wave file was rejected or could not be made. The file classes throw these; callers tell
// them apart by type and catch everything around construction ("File Open Error!",
// "File Create Error"). They carry no message on purpose: the type is the reason.
namespace WaveErrors {

// Bytes 0 to 3 are not "RIFF" (also: the file could not be opened, or is shorter than 12 bytes).
class RiffDoesntMatch {};
// "RIFF" but bytes 8 to 11 are not "WAVE" (an AVI file, say).
class WaveDoesntMatch {};
// Bytes 12 to 15 are not "fmt ".
class FmtDoesntMatch {};
// No "data" chunk header was found after the fmt chunk.
class DataDoesntMatch {};
// The fmt chunk describes sound the program cannot play: not integer PCM (format tag 1, or
// WAVE_FORMAT_EXTENSIBLE with the PCM sub-format), or a rate, sample size or channel count outside
// IsPlayablePcm (PcmFormat.h). It keeps what it found, so that a tool can say so.
class FormatDoesntMatch {
public:
    // The format tag; for WAVE_FORMAT_EXTENSIBLE that of the sub-format when it has one.
    unsigned short FormatTag = 1;
    unsigned SampleRate = 0;
    unsigned short BitsPerSample = 0;
    unsigned short Channels = 0;
};
// The writer could not create or open its file.
class FileOperation {};

} // namespace WaveErrors
