/* A failing disk for the acceptance scripts, preloaded with LD_PRELOAD
 * over pread and pwrite (the calls the POSIX platform moves sectors with).
 * Only the files the environment names are touched; they are told by
 * device and inode, whatever name or descriptor they are reached by.
 *
 * Reads of FAILING_FILE:
 *   FAILING_SECTORS=A-B,C,...  a read touching one of these 512-byte sectors
 *                              fails with EIO (offsets and lengths only, so
 *                              direct and buffered reads alike);
 *   FAILING_AFTER=K            every read after the first K fails with EIO;
 *   FAILING_DELAY_MS=D         each read waits D ms first (a slow disk);
 *   FAILING_COUNT_TO=PATH      the number of reads is written there at exit.
 * Writes to FULL_FILE:
 *   FULL_ROOM=N                the file takes N bytes in all, then writes
 *                              come short and fail with ENOSPC (a full disk).
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static unsigned long long reads;
static unsigned long long written;

/* Whether fd is the file the variable names. */
static int is_named(int fd, const char* variable) {
    const char* path = getenv(variable);
    struct stat named, opened;
    return path != NULL && stat(path, &named) == 0 && fstat(fd, &opened) == 0 &&
           named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
}

/* Whether [offset, offset + bytes) touches a sector of FAILING_SECTORS. */
static int touches_bad_sector(off_t offset, size_t bytes) {
    const char* list = getenv("FAILING_SECTORS");
    if (list == NULL || bytes == 0) {
        return 0;
    }
    const unsigned long long first = (unsigned long long)offset / 512;
    const unsigned long long last = ((unsigned long long)offset + bytes - 1) / 512;
    for (const char* at = list; *at != '\0';) {
        char* end;
        const unsigned long long from = strtoull(at, &end, 10);
        if (end == at) {
            return 0; /* not a list: touches nothing */
        }
        unsigned long long to = from;
        if (*end == '-') {
            to = strtoull(end + 1, &end, 10);
        }
        if (from <= last && first <= to) {
            return 1;
        }
        at = *end == ',' ? end + 1 : end;
    }
    return 0;
}

/* Whether this read of the failing file fails; counts it. */
static int read_fails(int fd, off_t offset, size_t bytes) {
    if (!is_named(fd, "FAILING_FILE")) {
        return 0;
    }
    ++reads;
    const char* delay = getenv("FAILING_DELAY_MS");
    if (delay != NULL) {
        const long ms = atol(delay);
        const struct timespec wait = {ms / 1000, (ms % 1000) * 1000000L};
        nanosleep(&wait, NULL);
    }
    const char* after = getenv("FAILING_AFTER");
    if ((after != NULL && reads > strtoull(after, NULL, 10)) || touches_bad_sector(offset, bytes)) {
        errno = EIO;
        return 1;
    }
    return 0;
}

/* The bytes of this write the full file still takes, or -1 for none. */
static ssize_t room_for(int fd, size_t bytes) {
    const char* room = getenv("FULL_ROOM");
    if (room == NULL || !is_named(fd, "FULL_FILE")) {
        return (ssize_t)bytes;
    }
    const unsigned long long total = strtoull(room, NULL, 10);
    const unsigned long long left = written < total ? total - written : 0;
    if (left == 0 && bytes > 0) {
        errno = ENOSPC;
        return -1;
    }
    return (ssize_t)(bytes < left ? bytes : left);
}

typedef ssize_t (*read_call)(int, void*, size_t, off_t);
typedef ssize_t (*write_call)(int, const void*, size_t, off_t);

/* The call the shim stands in front of (ISO C casts no object pointer to a
 * function pointer, hence the copy). */
static void* next_call(const char* name, void* call, size_t size) {
    void* found = dlsym(RTLD_NEXT, name);
    memcpy(call, &found, size);
    return found;
}

static ssize_t failing_read(const char* name, int fd, void* buffer, size_t bytes, off_t offset) {
    if (read_fails(fd, offset, bytes)) {
        return -1;
    }
    read_call call;
    next_call(name, &call, sizeof call);
    return call(fd, buffer, bytes, offset);
}

static ssize_t full_write(const char* name, int fd, const void* buffer, size_t bytes,
                          off_t offset) {
    const ssize_t room = room_for(fd, bytes);
    if (room < 0) {
        return -1;
    }
    write_call call;
    next_call(name, &call, sizeof call);
    const ssize_t put = call(fd, buffer, (size_t)room, offset);
    if (put > 0) {
        written += (unsigned long long)put;
    }
    return put;
}

ssize_t pread(int fd, void* buffer, size_t bytes, off_t offset) {
    return failing_read("pread", fd, buffer, bytes, offset);
}

ssize_t pread64(int fd, void* buffer, size_t bytes, off64_t offset) {
    return failing_read("pread64", fd, buffer, bytes, offset);
}

ssize_t pwrite(int fd, const void* buffer, size_t bytes, off_t offset) {
    return full_write("pwrite", fd, buffer, bytes, offset);
}

ssize_t pwrite64(int fd, const void* buffer, size_t bytes, off64_t offset) {
    return full_write("pwrite64", fd, buffer, bytes, offset);
}

__attribute__((destructor)) static void write_count(void) {
    const char* path = getenv("FAILING_COUNT_TO");
    FILE* file = path != NULL ? fopen(path, "w") : NULL;
    if (file != NULL) {
        fprintf(file, "%llu\n", reads);
        fclose(file);
    }
}
