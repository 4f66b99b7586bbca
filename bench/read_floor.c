/* The benchmark's floor for reading a collection: opens, reads and closes
 * every file of a folder, and nothing else. A run of mog over the same
 * folder does this and its own work.
 * Usage: read_floor FOLDER */
#define _POSIX_C_SOURCE 200809L
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: read_floor FOLDER\n");
        return 2;
    }
    DIR* folder = opendir(argv[1]);
    if (folder == NULL) {
        perror(argv[1]);
        return 1;
    }
    static unsigned char buffer[1 << 20];
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
        ssize_t got;
        while ((got = read(fd, buffer, sizeof buffer)) > 0)
            total += (unsigned long long)got;
        close(fd);
    }
    closedir(folder);
    return total > 0 ? 0 : 1;
}
