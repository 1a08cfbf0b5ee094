// Preloaded into Tavlo ahead of umockdev's library when Tavlo runs against the virtual receiver.
// ALSA's card scan tries /dev/snd/controlC0..31 and /dev/aloadC0..31 one after another. Under
// umockdev every failed open() of a /dev path leaks a slot of a 50-entry table, and the scan alone
// would overflow it and abort the program. The testbed has no sound cards, so these paths answer
// "no such file" here, before umockdev sees them; everything else passes through unchanged.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <string.h>

static int IsSoundCardNode(const char* path) {
    return path != NULL && (strncmp(path, "/dev/snd/", 9) == 0 || strncmp(path, "/dev/aload", 10) == 0);
}

// The next library's function of that name (umockdev's, then the C library's), with a directory
// descriptor or without (dir < -100: AT_FDCWD is -100, so no valid descriptor is below it).
static int OpenNext(const char* symbol, int dir, const char* path, int flags, mode_t mode) {
    if (IsSoundCardNode(path)) {
        errno = ENOENT;
        return -1;
    }
    if (dir < AT_FDCWD) {
        int (*next)(const char*, int, ...) = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, symbol);
        return next(path, flags, mode);
    }
    int (*next)(int, const char*, int, ...) = (int (*)(int, const char*, int, ...))dlsym(RTLD_NEXT, symbol);
    return next(dir, path, flags, mode);
}

// The mode argument is there only when the flags create a file.
#define MODE_AFTER(flags)                                                                                    \
    mode_t mode = 0;                                                                                         \
    if ((flags) & (O_CREAT | O_TMPFILE)) {                                                                   \
        va_list args;                                                                                        \
        va_start(args, flags);                                                                               \
        mode = (mode_t)va_arg(args, int);                                                                    \
        va_end(args);                                                                                        \
    }

#define NO_DIR (AT_FDCWD - 1)

int open(const char* path, int flags, ...) {
    MODE_AFTER(flags)
    return OpenNext("open", NO_DIR, path, flags, mode);
}
int open64(const char* path, int flags, ...) {
    MODE_AFTER(flags)
    return OpenNext("open64", NO_DIR, path, flags, mode);
}
int openat(int dir, const char* path, int flags, ...) {
    MODE_AFTER(flags)
    return OpenNext("openat", dir, path, flags, mode);
}
int openat64(int dir, const char* path, int flags, ...) {
    MODE_AFTER(flags)
    return OpenNext("openat64", dir, path, flags, mode);
}

// The fortified forms the C library's headers may compile open() into.
int __open_2(const char* path, int flags) {
    return open(path, flags);
}
int __open64_2(const char* path, int flags) {
    return open64(path, flags);
}
