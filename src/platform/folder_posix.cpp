#include "platform/folder.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files_at_posix.h"

namespace mog {

int list_folder_at(int fd, std::vector<FolderEntry>& entries) {
    entries.clear();
    DIR* folder = fdopendir(fd);
    if (folder == nullptr) {
        int error = errno;
        close(fd);
        return error;
    }
    errno = 0;
    while (const dirent* entry = readdir(folder)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        // The folder tells what most entries are; only where it does not is
        // the entry looked at.
        unsigned char type = entry->d_type;
        int error = 0;
        if (type == DT_UNKNOWN) {
            struct stat info {};
            if (fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                error = errno;
            type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISLNK(info.st_mode) ? DT_LNK : DT_REG;
        }
        if (error != 0)
            entries.push_back({entry->d_name, EntryKind::unknown, error});
        else
            entries.push_back({entry->d_name, type == DT_DIR   ? EntryKind::folder
                                              : type == DT_LNK ? EntryKind::link
                                                               : EntryKind::file});
        errno = 0;
    }
    int error = errno;
    closedir(folder);
    return error;
}

int list_folder(const char* path, std::vector<FolderEntry>& entries) {
    entries.clear();
    int fd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return fd < 0 ? errno : list_folder_at(fd, entries);
}

std::string joined_path(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

} // namespace mog
