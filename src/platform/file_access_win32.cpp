#include "platform/file_access.h"

#include "mog/files.h"

#include "platform/windows_text.h"

namespace mog {

namespace {

constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens what the name leads to, folders included.
HANDLE open_target(const std::wstring& path, DWORD access) {
    return CreateFileW(path.c_str(), access, SHARE_ALL, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

PathKind kind_of(HANDLE handle, FileIdentity* identity = nullptr) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info))
        return PathKind::other;
    if (identity != nullptr)
        *identity = {info.dwVolumeSerialNumber,
                     (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::folder : PathKind::regular_file;
}

HANDLE handle_of(const OpenedFile& file) {
    return reinterpret_cast<HANDLE>(file.handle);
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

NameUse name_use(const char* name) {
    DWORD attributes = GetFileAttributesW(wide_text(name).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? NameUse::free : NameUse::taken;
    }
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? NameUse::link : NameUse::taken;
}

std::optional<FileIdentity> file_identity(const char* name) {
    HANDLE handle = open_target(wide_text(name), 0);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    FileIdentity identity;
    const bool known = kind_of(handle, &identity) != PathKind::other;
    CloseHandle(handle);
    return known ? std::optional<FileIdentity>(identity) : std::nullopt;
}

int open_for_reading(const char* name, OpenedFile& file, Links links) {
    if (links == Links::refuse && name_use(name) == NameUse::link)
        return IS_A_LINK;
    HANDLE handle = open_target(wide_text(name), GENERIC_READ);
    if (handle == INVALID_HANDLE_VALUE)
        return errno_from_windows_error(GetLastError());
    file.handle = reinterpret_cast<std::intptr_t>(handle);
    file.kind = kind_of(handle, &file.identity);
    // The times count hundreds of nanoseconds.
    FILE_BASIC_INFO times{};
    if (GetFileInformationByHandleEx(handle, FileBasicInfo, &times, sizeof times)) {
        file.modified_ns = times.LastWriteTime.QuadPart * 100;
        file.changed_ns = times.ChangeTime.QuadPart * 100;
    }
    LARGE_INTEGER size{};
    if (file.kind == PathKind::regular_file) {
        if (!GetFileSizeEx(handle, &size)) {
            int error = errno_from_windows_error(GetLastError());
            close_file(file);
            return error;
        }
        file.size = static_cast<unsigned long long>(size.QuadPart);
    }
    return 0;
}

long long read_some(OpenedFile& file, unsigned char* into, std::size_t size) {
    DWORD got = 0;
    DWORD chunk = size > 0x40000000 ? 0x40000000u : static_cast<DWORD>(size);
    if (!ReadFile(handle_of(file), into, chunk, &got, nullptr))
        return -static_cast<long long>(errno_from_windows_error(GetLastError()));
    return got;
}

void close_file(OpenedFile& file) {
    if (file.handle != -1)
        CloseHandle(handle_of(file));
    file.handle = -1;
}

} // namespace mog
