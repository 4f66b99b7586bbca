#include "platform/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <sys/stat.h>
#include <windows.h>

namespace {

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

int write_all(int fd, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        unsigned chunk = size > 0x40000000 ? 0x40000000u : static_cast<unsigned>(size);
        int written = _write(fd, data, chunk);
        if (written <= 0)
            return written < 0 ? errno : EIO;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

} // namespace

int replace_file(const char* name, const unsigned char* data, std::size_t size) {
    // A short name of its own in the destination's folder, whatever the
    // length of the destination's name.
    std::string target = name;
    std::string::size_type slash = target.find_last_of("/\\:");
    char unique[48];
    std::snprintf(unique, sizeof unique, ".mog-%lu-%lu.tmp", GetCurrentProcessId(), GetTickCount());
    std::string temporary = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + unique;

    int fd = _open(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return errno;
    int error = write_all(fd, data, size);
    if (_close(fd) != 0 && error == 0)
        error = errno;
    // A read-only destination refuses the replacement, as it would refuse writing.
    if (error == 0 && !MoveFileExA(temporary.c_str(), name, MOVEFILE_REPLACE_EXISTING))
        error = errno_from_last_error();
    if (error != 0)
        std::remove(temporary.c_str());
    return error;
}
