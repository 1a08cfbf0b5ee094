#pragma once
#include <cstddef>
#include <string>

namespace dictation {

// A small text file that another machine's sync engine put into a shared folder, read whole or
// not at all. It is opened so that it can neither block (a FIFO) nor lead elsewhere (a link),
// and only a regular file of at most `limit` bytes is read. Any thread.
struct SmallFile {
    enum class State { Read, Missing, Unreadable };
    State Status = State::Missing;
    std::string Bytes;   // when Read
    std::string Problem; // when Unreadable: why, in plain words
};
SmallFile ReadSmallFile(const std::string& path, std::size_t limit);

} // namespace dictation
