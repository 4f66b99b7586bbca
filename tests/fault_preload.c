/* Preloaded into the tool by the fault-injection tests. Each environment
   variable switches one fault on:
   MOG_TRACE=path      each fsync ("fsync file" or "fsync folder") and rename
                       is logged to the path, a line each, in order;
   MOG_RAISE_AT_RENAME=n  signal n is raised as the destination is renamed
                       into place, before the rename happens (after the
                       first MOG_RENAMES_BEFORE_RAISE renames, if set);
   MOG_NO_RENAMEAT2=1  renameat2 fails with EINVAL, as on a file system
                       without it (it is traced as a rename all the same);
   MOG_LINK_AT_OPEN=name:target  just before name is opened for reading,
                       another program puts a link to target in its place;
   MOG_APPEAR=name     just before a new file is created, another program
                       writes a file of that name;
   MOG_LINK_AFTER_READ=name:target  as the tool closes name after reading
                       it, another program puts a link to target in its place. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static void* real(const char* symbol) {
    return dlsym(RTLD_NEXT, symbol);
}

static void trace(const char* line) {
    const char* path = getenv("MOG_TRACE");
    if (path == NULL)
        return;
    FILE* log = fopen(path, "a");
    if (log != NULL) {
        fprintf(log, "%s\n", line);
        fclose(log);
    }
}

/* What another program does at the moment the tool opens a file. */
static void meddle(const char* name, int flags) {
    const char* swap = getenv("MOG_LINK_AT_OPEN");
    const char* colon = swap != NULL ? strchr(swap, ':') : NULL;
    if (colon != NULL && (flags & O_CREAT) == 0 && strlen(name) == (size_t)(colon - swap) &&
        strncmp(name, swap, (size_t)(colon - swap)) == 0) {
        unlink(name);
        symlink(colon + 1, name);
    }
    const char* appear = getenv("MOG_APPEAR");
    if (appear != NULL && (flags & O_CREAT) != 0 && access(appear, F_OK) != 0) {
        FILE* file = fopen(appear, "w");
        if (file != NULL) {
            fputs("appeared", file);
            fclose(file);
        }
    }
}

static int opened(const char* symbol, const char* name, int flags, mode_t mode) {
    meddle(name, flags);
    int (*real_open)(const char*, int, ...);
    void* found = real(symbol);
    memcpy(&real_open, &found, sizeof real_open);
    return real_open(name, flags, mode);
}

int open(const char* name, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = (flags & O_CREAT) != 0 ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    return opened("open", name, flags, mode);
}

int open64(const char* name, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = (flags & O_CREAT) != 0 ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    return opened("open64", name, flags, mode);
}

/* What a fortified build calls where the flags are not known when it is
   compiled. */
int __open_2(const char* name, int flags) {
    return opened("open", name, flags, 0);
}

int __open64_2(const char* name, int flags) {
    return opened("open64", name, flags, 0);
}

int close(int fd) {
    const char* swap = getenv("MOG_LINK_AFTER_READ");
    const char* colon = swap != NULL ? strchr(swap, ':') : NULL;
    if (colon != NULL) {
        char name[4096], opened_name[4096], wanted[4096], link_name[64];
        size_t length = (size_t)(colon - swap);
        if (length < sizeof name) {
            memcpy(name, swap, length);
            name[length] = '\0';
            snprintf(link_name, sizeof link_name, "/proc/self/fd/%d", fd);
            ssize_t got = readlink(link_name, opened_name, sizeof opened_name - 1);
            if (got > 0 && realpath(name, wanted) != NULL) {
                opened_name[got] = '\0';
                if (strcmp(opened_name, wanted) == 0) {
                    unlink(name);
                    symlink(colon + 1, name);
                }
            }
        }
    }
    int (*real_close)(int);
    void* found = real("close");
    memcpy(&real_close, &found, sizeof real_close);
    return real_close(fd);
}

int fsync(int fd) {
    struct stat info;
    trace(fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) ? "fsync folder" : "fsync file");
    int (*real_fsync)(int);
    void* found = real("fsync");
    memcpy(&real_fsync, &found, sizeof real_fsync);
    return real_fsync(fd);
}

static int renames_done = 0;

int rename(const char* from, const char* to) {
    trace("rename");
    const char* signal_number = getenv("MOG_RAISE_AT_RENAME");
    const char* spared = getenv("MOG_RENAMES_BEFORE_RAISE");
    if (signal_number != NULL && (spared == NULL || renames_done++ >= atoi(spared)))
        raise(atoi(signal_number));
    int (*real_rename)(const char*, const char*);
    void* found = real("rename");
    memcpy(&real_rename, &found, sizeof real_rename);
    return real_rename(from, to);
}

int renameat2(int from_folder, const char* from, int to_folder, const char* to, unsigned int flags) {
    trace("rename");
    if (getenv("MOG_NO_RENAMEAT2") != NULL) {
        errno = EINVAL;
        return -1;
    }
    int (*real_renameat2)(int, const char*, int, const char*, unsigned int);
    void* found = real("renameat2");
    memcpy(&real_renameat2, &found, sizeof real_renameat2);
    return real_renameat2(from_folder, from, to_folder, to, flags);
}
