/* The benchmark's floor for a collection of zips: opens, reads and closes
 * every .zip of a folder, finds each member through the central directory
 * and inflates it with zlib, and nothing else. A run of mog over the same
 * folder does this and its own work.
 * Usage: zip_floor FOLDER        (cc -O2 zip_floor.c -lz) */
#define _POSIX_C_SOURCE 200809L
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>
#include <zlib.h>

static unsigned le16(const unsigned char* p) {
    return p[0] | p[1] << 8;
}
static unsigned long le32(const unsigned char* p) {
    return le16(p) | (unsigned long)le16(p + 2) << 16;
}

static unsigned char archive[1 << 24], member[1 << 24];

/* Inflates every member the central directory lists; gives the bytes. */
static unsigned long long inflate_members(unsigned long size) {
    unsigned long end = size >= 22 ? size - 22 : 0;
    while (end > 0 && le32(archive + end) != 0x06054b50)
        --end;
    unsigned long at = le32(archive + end + 16), count = le16(archive + end + 10);
    unsigned long long total = 0;
    for (unsigned long k = 0; k < count; ++k, at += 46 + le16(archive + at + 28) + le16(archive + at + 30) +
                                                    le16(archive + at + 32)) {
        const unsigned char* local = archive + le32(archive + at + 42);
        const unsigned char* data = local + 30 + le16(local + 26) + le16(local + 28);
        z_stream stream;
        memset(&stream, 0, sizeof stream);
        inflateInit2(&stream, -MAX_WBITS);
        stream.next_in = (unsigned char*)data;
        stream.avail_in = (unsigned)le32(archive + at + 20);
        stream.next_out = member;
        stream.avail_out = sizeof member;
        inflate(&stream, Z_FINISH);
        total += stream.total_out;
        inflateEnd(&stream);
    }
    return total;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: zip_floor FOLDER\n");
        return 2;
    }
    DIR* folder = opendir(argv[1]);
    if (folder == NULL) {
        perror(argv[1]);
        return 1;
    }
    char path[4096];
    unsigned long long total = 0;
    struct dirent* entry;
    while ((entry = readdir(folder)) != NULL) {
        if (entry->d_name[0] == '.')
            continue;
        snprintf(path, sizeof path, "%s/%s", argv[1], entry->d_name);
        int fd = open(path, O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            perror(path);
            return 1;
        }
        ssize_t got, size = 0;
        while ((got = read(fd, archive + size, sizeof archive - (size_t)size)) > 0)
            size += got;
        close(fd);
        total += inflate_members((unsigned long)size);
    }
    closedir(folder);
    return total > 0 ? 0 : 1;
}
