// The read and write channels: plain file descriptors on /dev/hidrawN.
#pragma once

#include <cstddef>

namespace kelvane {

// Opens a channel; -1 with errno on failure. A polling read channel is non-blocking.
int OpenReadChannel(const char* path, bool polling);
int OpenWriteChannel(const char* path);
// True when fd is an open channel of the given kind (polling or blocking) whose
// node has not hung up; a node unplugged and plugged in again is a new one.
bool ChannelStillUsable(int fd, bool polling);
// Closes fd when it is one (>= 0) and sets it to -1.
void CloseChannel(int& fd);

// One input report of `length` bytes into buffer, byte 0 the report number.
// When `unnumbered`, hidraw delivers length - 1 bytes and the 0 is put in front.
// Returns the bytes delivered; 0 when nothing is waiting (polling only); -1 when
// the device is gone or the read fails, with errno set: EBADF without a channel,
// EINVAL without a buffer (or a report length of 0), ENODEV when the node hung up,
// the read's own errno otherwise.
int PollReport(int fd, void* buffer, std::size_t length, bool unnumbered);
int WaitReport(int fd, void* buffer, std::size_t length, bool unnumbered);
// Writes length bytes; byte 0 is the report number as hidraw expects it (the
// kernel drops a 0 before the device sees the report). Bytes written or -1 with
// errno set (EBADF, EINVAL, or the write's own).
int WriteReport(int fd, const void* buffer, std::size_t length);

} // namespace kelvane
