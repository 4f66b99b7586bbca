#include "platform/folder.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

namespace mog {

int list_folder(const char* path, std::vector<FolderEntry>& entries) {
    entries.clear();
    DIR* folder = opendir(path);
    if (folder == nullptr)
        return errno;
    std::string prefix = path;
    if (prefix.empty() || prefix.back() != '/')
        prefix += '/';
    errno = 0;
    while (const dirent* entry = readdir(folder)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        std::string name = prefix + entry->d_name;
        struct stat info {};
        if (lstat(name.c_str(), &info) != 0) {
            entries.push_back({entry->d_name, EntryKind::unknown, errno});
        } else if (S_ISDIR(info.st_mode)) {
            entries.push_back({entry->d_name, EntryKind::folder});
        } else {
            bool to_folder = S_ISLNK(info.st_mode) && stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
            entries.push_back({entry->d_name, to_folder ? EntryKind::link_to_folder : EntryKind::file});
        }
        errno = 0;
    }
    int error = errno;
    closedir(folder);
    return error;
}

std::string joined_path(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

} // namespace mog
