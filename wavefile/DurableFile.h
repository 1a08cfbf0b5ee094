#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Small POSIX helpers for files that must survive a power cut: whole writes, and the folder entry
// of a file made durable.
namespace durable {

// Writes all `size` bytes at `offset` (pwrite, retried after a partial write or EINTR).
bool WriteAt(int fd, const void* data, std::size_t size, std::uint64_t offset);
// Makes the entry of `path` in its folder durable (fsync of the folder).
void SyncFolderOf(const std::string& path);

} // namespace durable
