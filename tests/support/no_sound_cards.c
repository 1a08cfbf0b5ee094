/* Preloaded ahead of umockdev's library for programs that use both the emulated receiver and
 * ALSA. ALSA's card scan tries /dev/snd/controlC0..31 and /dev/aloadC0..31; umockdev keeps a
 * slot of a small table for every failed open under /dev and aborts when it runs out. The
 * machines these tests run on have no sound cards (sound goes through the sound server), so the
 * scan is answered "no such file" here, before umockdev sees it. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <string.h>
#include <sys/types.h>

static int is_sound_card_node(const char* path) {
    return path && (strncmp(path, "/dev/snd/", 9) == 0 || strncmp(path, "/dev/aloadC", 11) == 0);
}

#define FORWARD_OPEN(name, ...)                                                                              \
    mode_t mode = 0;                                                                                         \
    if (flags & (O_CREAT | O_TMPFILE)) {                                                                     \
        va_list args;                                                                                        \
        va_start(args, flags);                                                                               \
        mode = va_arg(args, mode_t);                                                                         \
        va_end(args);                                                                                        \
    }                                                                                                        \
    if (is_sound_card_node(path)) {                                                                          \
        errno = ENOENT;                                                                                      \
        return -1;                                                                                           \
    }                                                                                                        \
    static int (*next)() = 0;                                                                                \
    if (!next)                                                                                               \
        next = (int (*)())dlsym(RTLD_NEXT, name);                                                            \
    return next(__VA_ARGS__, mode);

int open(const char* path, int flags, ...) {
    FORWARD_OPEN("open", path, flags)
}
int open64(const char* path, int flags, ...) {
    FORWARD_OPEN("open64", path, flags)
}
int openat(int dir, const char* path, int flags, ...) {
    FORWARD_OPEN("openat", dir, path, flags)
}
int openat64(int dir, const char* path, int flags, ...) {
    FORWARD_OPEN("openat64", dir, path, flags)
}
