/* Preloaded into the tool by the fault-injection tests. Each environment
   variable switches one fault on:
   MOG_TRACE=path      each fsync ("fsync file" or "fsync folder") and rename
                       is logged to the path, a line each, in order;
   MOG_RAISE_AT_RENAME=n  signal n is raised as the destination is renamed
                       into place, before the rename happens;
   MOG_NO_RENAMEAT2=1  renameat2 fails with EINVAL, as on a file system
                       without it (it is traced as a rename all the same). */
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

int fsync(int fd) {
    struct stat info;
    trace(fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) ? "fsync folder" : "fsync file");
    int (*real_fsync)(int);
    void* found = real("fsync");
    memcpy(&real_fsync, &found, sizeof real_fsync);
    return real_fsync(fd);
}

int rename(const char* from, const char* to) {
    trace("rename");
    const char* signal_number = getenv("MOG_RAISE_AT_RENAME");
    if (signal_number != NULL)
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
