#pragma once
#include <exception>
#include <string>
#include <utility>

// Why a wave file was rejected or could not be made. The file classes throw these; callers tell
// them apart by type and catch everything around construction ("File Open Error!",
// "File Create Error"). Each also carries the file's path and, where the system refused
// something, its errno, so that the message can say why in plain words:
//
//     catch (...) { Show("File Create Error: " + WaveErrors::CurrentReason()); }
//
// gives "File Create Error: no space left on the disk" or "...: permission denied".
namespace WaveErrors {

// What every failure of the file classes carries.
class FileProblem {
public:
    virtual ~FileProblem() = default;

    // The reason in plain words: the system's (ReasonText(Errno)) when it refused something,
    // otherwise what is wrong with the file ("it is not a WAV file").
    std::string Reason() const;

    // 0 when the system refused nothing: the bytes were read and are not what they should be.
    int Errno = 0;
    // The file as it was named to the class; may be empty for a default-made problem.
    std::string Path;

protected:
    // fileReason: what is wrong with the file when the system did not refuse anything.
    FileProblem(int error, std::string path, const char* fileReason)
        : Errno(error), Path(std::move(path)), m_FileReason(fileReason) {}

private:
    const char* m_FileReason;
};

// Bytes 0 to 3 are not "RIFF" (also: the file could not be opened, is not a regular file, or is
// shorter than 12 bytes; Errno tells the first of these).
class RiffDoesntMatch : public FileProblem {
public:
    explicit RiffDoesntMatch(int error = 0, std::string path = {})
        : FileProblem(error, std::move(path), "it is not a WAV file") {}
};
// "RIFF" but bytes 8 to 11 are not "WAVE" (an AVI file, say).
class WaveDoesntMatch : public FileProblem {
public:
    explicit WaveDoesntMatch(int error = 0, std::string path = {})
        : FileProblem(error, std::move(path), "it is a RIFF file but holds no WAV sound") {}
};
// Bytes 12 to 15 are not "fmt ".
class FmtDoesntMatch : public FileProblem {
public:
    explicit FmtDoesntMatch(int error = 0, std::string path = {})
        : FileProblem(error, std::move(path), "it has no format chunk") {}
};
// No "data" chunk header was found after the fmt chunk.
class DataDoesntMatch : public FileProblem {
public:
    explicit DataDoesntMatch(int error = 0, std::string path = {})
        : FileProblem(error, std::move(path), "it has no sound data") {}
};
// The fmt chunk describes sound the program cannot play: not integer PCM (format tag 1, or
// WAVE_FORMAT_EXTENSIBLE with the PCM sub-format), or a rate, sample size or channel count outside
// IsPlayablePcm (PcmFormat.h). It keeps what it found, so that a tool can say so.
class FormatDoesntMatch : public FileProblem {
public:
    explicit FormatDoesntMatch(int error = 0, std::string path = {})
        : FileProblem(error, std::move(path), "its sound format cannot be played") {}
    // The format tag; for WAVE_FORMAT_EXTENSIBLE that of the sub-format when it has one.
    unsigned short FormatTag = 1;
    unsigned SampleRate = 0;
    unsigned short BitsPerSample = 0;
    unsigned short Channels = 0;
};
// The writer could not create, open or write its file. Errno says why (ENOSPC, EACCES, EROFS,
// EAGAIN when another process is recording into that very file).
class FileOperation : public FileProblem {
public:
    explicit FileOperation(int error = 0, std::string path = {})
        : FileProblem(error, std::move(path), "the file could not be written") {}
};

// An errno value in plain words, in the program's voice: ENOSPC "no space left on the disk",
// EACCES and EPERM "permission denied", EROFS "the disk is read-only", ... ; values without
// words of their own give the system's text in lower case; 0 gives "".
std::string ReasonText(int error);
// The reason of any exception: a FileProblem's Reason(), a standard exception's what(), or
// "unknown error". Meant for catch (...) blocks (it rethrows `problem` to look at it).
std::string ReasonText(std::exception_ptr problem);
// ReasonText(std::current_exception()); "" outside a catch block.
std::string CurrentReason();

} // namespace WaveErrors
