#pragma once

// Advisory locks that tell other processes a file is being written: open file description locks
// (F_OFD_SETLK), held by the descriptor rather than by the process, so that another descriptor
// of this process opening and closing the same file (the recordings window reading a recording
// being made) never drops them, and they conflict with a second descriptor of this process too.
// On NFS the client passes them to the server's lock manager, so another machine sees them.
namespace filelock {

enum class LockState {
    Mine,          // TakeWriteLock: this descriptor holds the lock now
    Free,          // ProbeWriteLock: nobody holds a lock on the file
    HeldElsewhere, // another descriptor (another process, another machine) holds one
    Unsupported,   // the file system cannot lock (an NFS mount without a lock manager, say)
};

// Takes a write lock on the whole file open for writing on fd, without waiting; the lock lasts
// until fd is closed.
LockState TakeWriteLock(int fd);
// Whether some other descriptor holds a lock on fd's file that a write lock would meet; fd may be
// open for reading only. Nothing is taken.
LockState ProbeWriteLock(int fd);

} // namespace filelock
