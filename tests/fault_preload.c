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
   MOG_LINK_AFTER_READ=name:target  as the tool has read from name, another
                       program puts a link to target in its place;
   MOG_FOLDER_LINK_AT_OPEN=folder:target, MOG_FOLDER_LINK_AFTER_READ=...,
   MOG_FOLDER_LINK_AT_FLUSH=...  just before a file below the folder is
                       opened for reading, as one has been read from, or as a
                       new file below it is flushed before its rename, another
                       program moves the folder to folder.moved and puts a
                       link to target in its place (once).
   Names are taken from the tool's working folder; the calls relative to a
   folder handle are matched by the whole name they reach. */
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
#include <sys/syscall.h>
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

/* The whole name an open file descriptor stands for. */
static int name_of(int fd, char* name, size_t size) {
    char link_name[64];
    snprintf(link_name, sizeof link_name, "/proc/self/fd/%d", fd);
    ssize_t got = readlink(link_name, name, size - 1);
    name[got > 0 ? got : 0] = '\0';
    return got > 0;
}

/* The whole name the tool reaches, relative to a folder handle or to the
   working folder. */
static int whole_name(int folder, const char* name, char* whole, size_t size) {
    char base[4096] = "";
    if (name[0] != '/' && !(folder == AT_FDCWD ? getcwd(base, sizeof base) != NULL : name_of(folder, base, sizeof base)))
        return 0;
    return snprintf(whole, size, "%s%s%s", base, base[0] != '\0' ? "/" : "", name) < (int)size;
}

/* Another program acts as variable=name:target says when the tool uses a
   file: it puts a link to target in the file's place, or in that of a folder
   the file lies below (once; the folder is moved aside to folder.moved). */
static void swap(const char* variable, const char* file, int folder) {
    const char* swap = getenv(variable);
    const char* colon = swap != NULL ? strchr(swap, ':') : NULL;
    char given[4096], name[4096], moved[4200];
    struct stat info;
    if (colon == NULL || (size_t)(colon - swap) >= sizeof given)
        return;
    memcpy(given, swap, (size_t)(colon - swap));
    given[colon - swap] = '\0';
    size_t length = whole_name(AT_FDCWD, given, name, sizeof name) ? strlen(name) : 0;
    if (length == 0 || strncmp(file, name, length) != 0 || file[length] != (folder ? '/' : '\0'))
        return;
    if (folder && (lstat(name, &info) != 0 || !S_ISDIR(info.st_mode)))
        return;
    snprintf(moved, sizeof moved, "%s.moved", name);
    if (folder)
        syscall(SYS_renameat, AT_FDCWD, name, AT_FDCWD, moved);
    else
        unlink(name);
    symlink(colon + 1, name);
}

static int opened(int folder, const char* name, int flags, mode_t mode) {
    char whole[4096];
    if ((flags & O_CREAT) == 0 && whole_name(folder, name, whole, sizeof whole)) {
        swap("MOG_LINK_AT_OPEN", whole, 0);
        if ((flags & O_DIRECTORY) == 0)
            swap("MOG_FOLDER_LINK_AT_OPEN", whole, 1);
    }
    const char* appear = getenv("MOG_APPEAR");
    if (appear != NULL && (flags & O_CREAT) != 0 && access(appear, F_OK) != 0) {
        FILE* file = fopen(appear, "w");
        if (file != NULL) {
            fputs("appeared", file);
            fclose(file);
        }
    }
    int (*real_openat)(int, const char*, int, ...);
    void* found = real("openat");
    memcpy(&real_openat, &found, sizeof real_openat);
    return real_openat(folder, name, flags, mode);
}

int open(const char* name, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = (flags & O_CREAT) != 0 ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    return opened(AT_FDCWD, name, flags, mode);
}

int open64(const char* name, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = (flags & O_CREAT) != 0 ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    return opened(AT_FDCWD, name, flags, mode);
}

int openat(int folder, const char* name, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = (flags & O_CREAT) != 0 ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    return opened(folder, name, flags, mode);
}

/* What a fortified build calls where the flags are not known when it is
   compiled. */
int __open_2(const char* name, int flags) {
    return opened(AT_FDCWD, name, flags, 0);
}

int __open64_2(const char* name, int flags) {
    return opened(AT_FDCWD, name, flags, 0);
}

int __openat_2(int folder, const char* name, int flags) {
    return opened(folder, name, flags, 0);
}

ssize_t read(int fd, void* into, size_t size) {
    ssize_t (*real_read)(int, void*, size_t);
    void* found = real("read");
    memcpy(&real_read, &found, sizeof real_read);
    ssize_t got = real_read(fd, into, size);
    char name[4096];
    if (got > 0 && (getenv("MOG_LINK_AFTER_READ") != NULL || getenv("MOG_FOLDER_LINK_AFTER_READ") != NULL) &&
        name_of(fd, name, sizeof name)) {
        swap("MOG_LINK_AFTER_READ", name, 0);
        swap("MOG_FOLDER_LINK_AFTER_READ", name, 1);
    }
    return got;
}

int fsync(int fd) {
    struct stat info;
    const int folder = fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
    trace(folder ? "fsync folder" : "fsync file");
    char name[4096];
    if (!folder && getenv("MOG_FOLDER_LINK_AT_FLUSH") != NULL && name_of(fd, name, sizeof name))
        swap("MOG_FOLDER_LINK_AT_FLUSH", name, 1);
    int (*real_fsync)(int);
    void* found = real("fsync");
    memcpy(&real_fsync, &found, sizeof real_fsync);
    return real_fsync(fd);
}

static int renames_done = 0;

static void renaming(void) {
    trace("rename");
    const char* signal_number = getenv("MOG_RAISE_AT_RENAME");
    const char* spared = getenv("MOG_RENAMES_BEFORE_RAISE");
    if (signal_number != NULL && (spared == NULL || renames_done++ >= atoi(spared)))
        raise(atoi(signal_number));
}

int rename(const char* from, const char* to) {
    renaming();
    int (*real_rename)(const char*, const char*);
    void* found = real("rename");
    memcpy(&real_rename, &found, sizeof real_rename);
    return real_rename(from, to);
}

int renameat(int from_folder, const char* from, int to_folder, const char* to) {
    renaming();
    int (*real_renameat)(int, const char*, int, const char*);
    void* found = real("renameat");
    memcpy(&real_renameat, &found, sizeof real_renameat);
    return real_renameat(from_folder, from, to_folder, to);
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
