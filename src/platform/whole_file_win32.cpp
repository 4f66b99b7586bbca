#include "platform/whole_file.h"

#include <cstdlib>

#include "platform/windows_text.h"

namespace {

constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens what the name leads to, folders included.
HANDLE open_target(const std::wstring& path, DWORD access) {
    return CreateFileW(path.c_str(), access, SHARE_ALL, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

PathKind kind_of(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info))
        return PathKind::other;
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::folder : PathKind::regular_file;
}

} // namespace

PathKind path_kind(const char* name) {
    std::wstring path = wide_text(name);
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PathKind::absent;
    HANDLE handle = open_target(path, 0);
    if (handle == INVALID_HANDLE_VALUE) {
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
            return PathKind::dangling_link;
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::folder : PathKind::regular_file;
    }
    PathKind kind = kind_of(handle);
    CloseHandle(handle);
    return kind;
}

bool can_read_file(const char* name) {
    HANDLE handle = open_target(wide_text(name), GENERIC_READ);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}

ImageBuffer read_whole_file(const char* name, std::size_t max_size) {
    HANDLE handle = open_target(wide_text(name), GENERIC_READ);
    if (handle == INVALID_HANDLE_VALUE)
        return ImageBuffer{nullptr, 0, errno_from_windows_error(GetLastError())};
    ImageBuffer image;
    LARGE_INTEGER size{};
    PathKind kind = kind_of(handle);
    if (kind == PathKind::folder)
        image.error = EISDIR;
    else if (kind != PathKind::regular_file)
        image.error = NOT_A_REGULAR_FILE;
    else if (!GetFileSizeEx(handle, &size))
        image.error = errno_from_windows_error(GetLastError());
    else if (static_cast<unsigned long long>(size.QuadPart) > max_size)
        image.error = EFBIG;
    else if ((image.bytes = static_cast<unsigned char*>(std::malloc(size.QuadPart > 0 ? size.QuadPart : 1))) == nullptr)
        image.error = ENOMEM;
    // A file that shrank since its size was taken gives fewer bytes; only those count.
    const auto wanted = static_cast<std::size_t>(size.QuadPart);
    while (image.error == 0 && image.size < wanted) {
        DWORD got = 0;
        if (!ReadFile(handle, image.bytes + image.size, static_cast<DWORD>(wanted - image.size), &got, nullptr))
            image.error = errno_from_windows_error(GetLastError());
        if (got == 0)
            break;
        image.size += got;
    }
    CloseHandle(handle);
    if (image.error != 0) {
        std::free(image.bytes);
        image.bytes = nullptr;
        image.size = 0;
    }
    return image;
}
