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
        // The folder tells what most entries are; only where it does not is
        // the entry looked at.
        unsigned char type = entry->d_type;
        int error = 0;
        if (type == DT_UNKNOWN) {
            struct stat info {};
            if (lstat((prefix + entry->d_name).c_str(), &info) != 0)
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

std::string joined_path(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

} // namespace mog
