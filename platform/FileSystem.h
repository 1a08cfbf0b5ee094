#pragma once
#include <cstdint>
#include <string>

namespace platform {

// Attribute bits of a folder entry, with the values the recordings library compares against.
enum : std::uint32_t {
    kAttrReadOnly = 0x01, // no write permission bit set
    kAttrHidden = 0x02,   // name starts with '.' (but is not "." or "..")
    kAttrDirectory = 0x10,
    kAttrSpecial = 0x40, // neither a file nor a folder: a dangling link, a pipe, a device, a socket
    kAttrNormal = 0x80,  // a file with none of the bits above
};

struct FindData {
    std::string Name; // the entry's name, without its folder
    std::uint32_t Attributes = 0;
    std::uint64_t Size = 0;
};

// Current directory, folder search, full paths and free space. Called on the user-interface
// thread; the current directory is the process's.
class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    // The current directory as a full path; false when it cannot be determined (e.g. removed).
    virtual bool GetCurrentDirectory(std::string& dir) = 0;
    // Makes `dir` (absolute, or relative to the current directory) current; false leaves it as it was.
    virtual bool ChangeDirectory(const std::string& dir) = 0;

    // Starts a search of "<folder>/<name pattern>" ('*' and '?' wildcards, letters compared
    // without regard to case). The folder's own "." and ".." entries come first, then the
    // entries in name order. Returns a search handle (>= 0) and the first entry, or -1 when the
    // folder cannot be searched or nothing matches.
    virtual int FindFirst(const std::string& pattern, FindData& data) = 0;
    // The next entry; false at the end.
    virtual bool FindNext(int handle, FindData& data) = 0;
    virtual void FindClose(int handle) = 0;

    // `name` as a full path: relative names are taken from the current directory, "." and ".."
    // are resolved, symbolic links are kept. "" for "".
    virtual std::string GetFullPathName(const std::string& name) = 0;

    // Free bytes an ordinary user can still fill on the volume that holds `dir` (not the blocks kept
    // back for the system); false when it cannot be asked.
    virtual bool GetDiskFreeSpace(const std::string& dir, std::uint64_t& totalFreeBytes) = 0;
};

// The file system the program uses: the real one unless a test installed a fake.
IFileSystem& FileSystem();
void SetFileSystem(IFileSystem* fs);

} // namespace platform
