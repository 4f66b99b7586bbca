/* The benchmark's reference for an in-place rewrite: does the durable work
 * that mog does when it replaces a file, and nothing else. Reads the file
 * whole, writes the bytes to a temporary file beside it with the same
 * permission bits, flushes that to the device, renames it over the file and
 * flushes the folder, so that a crash leaves the old file or the new one.
 * Usage: durable_copy FILE */
#define _POSIX_C_SOURCE 200809L
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static int fail(const char* what, const char* name) {
    perror(name);
    fprintf(stderr, "durable_copy: %s failed\n", what);
    return 1;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: durable_copy FILE\n");
        return 2;
    }
    const char* name = argv[1];

    int in = open(name, O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (in < 0 || fstat(in, &info) != 0)
        return fail("open", name);
    size_t size = (size_t)info.st_size;
    unsigned char* data = malloc(size > 0 ? size : 1);
    if (data == NULL)
        return fail("malloc", name);
    for (size_t done = 0; done < size;) {
        ssize_t got = read(in, data + done, size - done);
        if (got <= 0)
            return fail("read", name);
        done += (size_t)got;
    }
    close(in);

    /* The temporary file and the folder to flush: beside the file. */
    const char* slash = strrchr(name, '/');
    size_t folder_length = slash == NULL ? 0 : (size_t)(slash - name) + 1;
    const char* base = name + folder_length;
    char* temporary = malloc(folder_length + strlen(base) + sizeof "..XXXXXX");
    char* folder = malloc(folder_length + 2);
    if (temporary == NULL || folder == NULL)
        return fail("malloc", name);
    sprintf(temporary, "%.*s.%s.XXXXXX", (int)folder_length, name, base);
    if (folder_length == 0)
        strcpy(folder, ".");
    else
        sprintf(folder, "%.*s", (int)folder_length, name);

    int out = mkstemp(temporary);
    if (out < 0)
        return fail("mkstemp", temporary);
    if (fchmod(out, info.st_mode & 07777) != 0)
        return fail("fchmod", temporary);
    for (size_t done = 0; done < size;) {
        ssize_t put = write(out, data + done, size - done);
        if (put <= 0)
            return fail("write", temporary);
        done += (size_t)put;
    }
    if (fsync(out) != 0 || close(out) != 0)
        return fail("fsync", temporary);
    if (rename(temporary, name) != 0)
        return fail("rename", temporary);
    int directory = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory < 0 || fsync(directory) != 0)
        return fail("fsync", folder);
    close(directory);
    free(data);
    free(temporary);
    free(folder);
    return 0;
}
