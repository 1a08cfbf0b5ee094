#pragma once
#include <cstddef>
#include <string>

namespace platform {

// Reads a small file that another program (or another machine, through a sync engine or a share)
// put there, whatever it turned out to be: a link is never followed, a FIFO never blocks the
// caller, a device or a folder is refused, and a file larger than `limit` is refused without
// being read. True with the whole file in `bytes`; false with `problem` in plain words.
// Any thread may call it.
bool ReadBoundedFile(const std::string& path, std::size_t limit, std::string& bytes, std::string& problem);

} // namespace platform
