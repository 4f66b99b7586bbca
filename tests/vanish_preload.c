/* Preloaded into the tool by a test: the file named in MOG_VANISH is
   removed just before its second opening, as if another program deleted it
   between the tool's existence check and its read. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int openings;

static FILE* open_after_vanishing(const char* name, const char* mode, const char* symbol) {
    const char* target = getenv("MOG_VANISH");
    if (target != NULL && strcmp(name, target) == 0 && ++openings == 2)
        unlink(name);
    void* found = dlsym(RTLD_NEXT, symbol);
    FILE* (*real_open)(const char*, const char*);
    memcpy(&real_open, &found, sizeof real_open);
    return real_open(name, mode);
}

FILE* fopen(const char* name, const char* mode) {
    return open_after_vanishing(name, mode, "fopen");
}

FILE* fopen64(const char* name, const char* mode) {
    return open_after_vanishing(name, mode, "fopen64");
}
