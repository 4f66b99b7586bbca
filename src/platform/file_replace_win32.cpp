#include "platform/file_replace.h"

#include "mog/files.h"

#include "platform/windows_text.h"

namespace mog {

namespace {

// The file a name leads to, so that a symbolic link is written through and
// stays a link; the name itself when nothing is there yet. Every existing
// name is resolved, not only those marked as links: Wine shows POSIX links
// as plain files, and for a plain file the result is the file itself.
std::wstring written_name(const std::wstring& name) {
    HANDLE target = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (target == INVALID_HANDLE_VALUE)
        return name;
    wchar_t path[32768];
    DWORD length = GetFinalPathNameByHandleW(target, path, sizeof path / sizeof path[0], FILE_NAME_NORMALIZED);
    CloseHandle(target);
    return length > 0 && length < sizeof path / sizeof path[0] ? std::wstring(path, length) : name;
}

int write_all(HANDLE file, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        DWORD chunk = size > 0x40000000 ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr))
            return errno_from_windows_error(GetLastError());
        if (written == 0)
            return EIO;
        data += written;
        size -= written;
    }
    return 0;
}

// The identity of the file at the name, once it is written.
FileIdentity identity_of(const std::wstring& name) {
    HANDLE file = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    FileIdentity identity;
    BY_HANDLE_FILE_INFORMATION info{};
    if (file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info))
        identity = {info.dwVolumeSerialNumber,
                    (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return identity;
}

int replace(const char* name, const unsigned char* data, std::size_t size, bool replacing_allowed,
            std::wstring& written) {
    // A name that must be free is not followed: a link there is something.
    std::wstring target = replacing_allowed ? written_name(wide_text(name)) : wide_text(name);
    // A short name of its own in the destination's folder, whatever the
    // length of the destination's name.
    std::wstring::size_type slash = target.find_last_of(L"/\\:");
    wchar_t unique[48];
    swprintf(unique, sizeof unique / sizeof unique[0], L".mog-%lu-%lu.tmp", GetCurrentProcessId(), GetTickCount());
    std::wstring temporary = (slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1)) + unique;
    const bool replacing = GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (replacing && !replacing_allowed)
        return EEXIST;
    written = target;

    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return errno_from_windows_error(GetLastError());
    int error = write_all(file, data, size);
    // What existed is only given up once the new bytes are on the device.
    if (error == 0 && replacing && !FlushFileBuffers(file))
        error = errno_from_windows_error(GetLastError());
    if (!CloseHandle(file) && error == 0)
        error = errno_from_windows_error(GetLastError());
    // A read-only destination refuses the replacement, as it would refuse
    // writing. Without MOVEFILE_REPLACE_EXISTING the move fails if anything
    // came to the name meanwhile.
    DWORD move = replacing_allowed ? MOVEFILE_REPLACE_EXISTING : 0;
    if (replacing)
        move |= MOVEFILE_WRITE_THROUGH;
    if (error == 0 && !MoveFileExW(temporary.c_str(), target.c_str(), move))
        error = errno_from_windows_error(GetLastError());
    if (error != 0)
        DeleteFileW(temporary.c_str());
    return error;
}

} // namespace

// Windows sends no signals: a console's Ctrl-C reaches the handler the
// front end sets, and nothing is held here.
Replaced replace_file_bytes(const char* name, std::span<const unsigned char> bytes, bool replacing_allowed,
                            Interruptions, Links links) {
    std::wstring written;
    Replaced result;
    if (links == Links::refuse && name_use(name) == NameUse::link)
        return Replaced{IS_A_LINK, {}};
    result.error = replace(name, bytes.data(), bytes.size(), replacing_allowed, written);
    if (result.error == 0)
        result.identity = identity_of(written);
    return result;
}

} // namespace mog
