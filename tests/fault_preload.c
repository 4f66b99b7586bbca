/* Preloaded into the tool by the fault-injection tests. Each environment
   variable switches one fault on:
   MOG_TRACE=path      each fsync ("fsync file" or "fsync folder") and rename
                       is logged to the path, a line each, in order;
   MOG_RAISE_AT_RENAME=n  signal n is raised as the destination is renamed
                       into place, before the rename happens;
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

/* The whole name the tool reaches: relative to the folder handle, or to the
   working folder. */
static int whole_name(int folder, const char* name, char* whole, size_t size) {
    char base[4096];
    if (name[0] == '/')
        return snprintf(whole, size, "%s", name) < (int)size;
    if (folder == AT_FDCWD) {
        if (getcwd(base, sizeof base) == NULL)
            return 0;
    } else {
        char link_name[64];
        snprintf(link_name, sizeof link_name, "/proc/self/fd/%d", folder);
        ssize_t got = readlink(link_name, base, sizeof base - 1);
        if (got <= 0)
            return 0;
        base[got] = '\0';
    }
    return snprintf(whole, size, "%s/%s", base, name) < (int)size;
}

/* The name an open file descriptor was opened by. */
static int name_of(int fd, char* name, size_t size) {
    char link_name[64];
    snprintf(link_name, sizeof link_name, "/proc/self/fd/%d", fd);
    ssize_t got = readlink(link_name, name, size - 1);
    if (got <= 0)
        return 0;
    name[got] = '\0';
    return 1;
}

/* The name and the target a variable name:target gives, the name whole. */
static int swap_of(const char* variable, char* name, char* target, size_t size) {
    const char* swap = getenv(variable);
    const char* colon = swap != NULL ? strchr(swap, ':') : NULL;
    if (colon == NULL || (size_t)(colon - swap) >= size)
        return 0;
    char given[4096];
    memcpy(given, swap, (size_t)(colon - swap));
    given[colon - swap] = '\0';
    snprintf(target, size, "%s", colon + 1);
    return whole_name(AT_FDCWD, given, name, size);
}

static int (*real_rename_call(void))(const char*, const char*) {
    int (*real_rename)(const char*, const char*);
    void* found = real("rename");
    memcpy(&real_rename, &found, sizeof real_rename);
    return real_rename;
}

/* Another program swaps the folder for a link as the tool uses the file,
   if the file lies below the folder and the folder is still one. */
static void swap_folder(const char* variable, const char* file) {
    char folder[4096], target[4096], moved[4200];
    struct stat info;
    if (!swap_of(variable, folder, target, sizeof folder))
        return;
    size_t length = strlen(folder);
    if (strncmp(file, folder, length) != 0 || file[length] != '/' || lstat(folder, &info) != 0 ||
        !S_ISDIR(info.st_mode))
        return;
    snprintf(moved, sizeof moved, "%s.moved", folder);
    real_rename_call()(folder, moved);
    symlink(target, folder);
}

/* What another program does at the moment the tool opens a file. */
static void meddle(int folder, const char* name, int flags) {
    char whole[4096], wanted[4096], target[4096];
    if ((flags & O_CREAT) == 0 && whole_name(folder, name, whole, sizeof whole)) {
        if (swap_of("MOG_LINK_AT_OPEN", wanted, target, sizeof wanted) && strcmp(whole, wanted) == 0) {
            unlink(wanted);
            symlink(target, wanted);
        }
        if ((flags & O_DIRECTORY) == 0)
            swap_folder("MOG_FOLDER_LINK_AT_OPEN", whole);
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

static int opened(const char* symbol, int folder, const char* name, int flags, mode_t mode) {
    meddle(folder, name, flags);
    if (strncmp(symbol, "openat", 6) == 0) {
        int (*real_openat)(int, const char*, int, ...);
        void* found = real(symbol);
        memcpy(&real_openat, &found, sizeof real_openat);
        return real_openat(folder, name, flags, mode);
    }
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
    return opened("open", AT_FDCWD, name, flags, mode);
}

int open64(const char* name, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = (flags & O_CREAT) != 0 ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    return opened("open64", AT_FDCWD, name, flags, mode);
}

/* What a fortified build calls where the flags are not known when it is
   compiled. */
int __open_2(const char* name, int flags) {
    return opened("open", AT_FDCWD, name, flags, 0);
}

int __open64_2(const char* name, int flags) {
    return opened("open64", AT_FDCWD, name, flags, 0);
}

int openat(int folder, const char* name, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = (flags & O_CREAT) != 0 ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    return opened("openat", folder, name, flags, mode);
}

int openat64(int folder, const char* name, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = (flags & O_CREAT) != 0 ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    return opened("openat64", folder, name, flags, mode);
}

int __openat_2(int folder, const char* name, int flags) {
    return opened("openat", folder, name, flags, 0);
}

int __openat64_2(int folder, const char* name, int flags) {
    return opened("openat64", folder, name, flags, 0);
}

ssize_t read(int fd, void* into, size_t size) {
    ssize_t (*real_read)(int, void*, size_t);
    void* found = real("read");
    memcpy(&real_read, &found, sizeof real_read);
    ssize_t got = real_read(fd, into, size);
    char opened_name[4096], wanted[4096], target[4096];
    if (got > 0 && (getenv("MOG_LINK_AFTER_READ") != NULL || getenv("MOG_FOLDER_LINK_AFTER_READ") != NULL) &&
        name_of(fd, opened_name, sizeof opened_name)) {
        if (swap_of("MOG_LINK_AFTER_READ", wanted, target, sizeof wanted) && strcmp(opened_name, wanted) == 0) {
            unlink(wanted);
            symlink(target, wanted);
        }
        swap_folder("MOG_FOLDER_LINK_AFTER_READ", opened_name);
    }
    return got;
}

int fsync(int fd) {
    struct stat info;
    const int folder = fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
    trace(folder ? "fsync folder" : "fsync file");
    char opened_name[4096];
    if (!folder && getenv("MOG_FOLDER_LINK_AT_FLUSH") != NULL && name_of(fd, opened_name, sizeof opened_name))
        swap_folder("MOG_FOLDER_LINK_AT_FLUSH", opened_name);
    int (*real_fsync)(int);
    void* found = real("fsync");
    memcpy(&real_fsync, &found, sizeof real_fsync);
    return real_fsync(fd);
}

static void renaming(void) {
    trace("rename");
    const char* signal_number = getenv("MOG_RAISE_AT_RENAME");
    if (signal_number != NULL)
        raise(atoi(signal_number));
}

int rename(const char* from, const char* to) {
    renaming();
    return real_rename_call()(from, to);
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
