#include "platform/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <windows.h>

namespace {

std::string temporary_name_beside(const char* name) {
    std::string target = name;
    std::string::size_type slash = target.find_last_of("/\\:");
    std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    char unique[32];
    std::snprintf(unique, sizeof unique, ".mog-%lu-%lu", GetCurrentProcessId(), GetTickCount());
    return folder + base + unique;
}

int errno_from_last_error() {
    switch (GetLastError()) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
        return ENOENT;
    default:
        return EIO;
    }
}

} // namespace

int replace_file(const char* name, const unsigned char* data, std::size_t size) {
    std::string temporary = temporary_name_beside(name);
    std::FILE* file = std::fopen(temporary.c_str(), "wbx");
    if (file == nullptr)
        return errno;
    int error = std::fwrite(data, 1, size, file) == size ? 0 : (errno != 0 ? errno : EIO);
    if (std::fclose(file) != 0 && error == 0)
        error = errno != 0 ? errno : EIO;
    if (error == 0 && !MoveFileExA(temporary.c_str(), name, MOVEFILE_REPLACE_EXISTING))
        error = errno_from_last_error();
    if (error != 0)
        std::remove(temporary.c_str());
    return error;
}
