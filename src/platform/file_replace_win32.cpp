// rand_s: random bits from the system for the names of temporary files.
#define _CRT_RAND_S
#include <cstdlib>

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

// A name of its own in the destination's folder, whatever the length of
// the destination's name: the process and random bits, drawn again while the
// name is taken (by another thread or process).
HANDLE create_temporary(const std::wstring& target, std::wstring& temporary) {
    const std::wstring::size_type slash = target.find_last_of(L"/\\:");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
    for (int tries = 0; tries < 100; ++tries) {
        unsigned int high = 0, low = 0;
        if (rand_s(&high) != 0 || rand_s(&low) != 0) {
            high = GetTickCount();
            low = static_cast<unsigned int>(tries);
        }
        wchar_t unique[64];
        swprintf(unique, sizeof unique / sizeof unique[0], L".mog-%lu-%08x%08x.tmp", GetCurrentProcessId(), high, low);
        temporary = folder + unique;
        HANDLE file =
            CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD error = file == INVALID_HANDLE_VALUE ? GetLastError() : 0;
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

int replace(const char* name, const unsigned char* data, std::size_t size, bool replacing_allowed,
            const ReplaceChecks& checks, std::wstring& written) {
    // A name that must be free is not followed: a link there is something.
    std::wstring target = replacing_allowed ? written_name(wide_text(name)) : wide_text(name);
    const bool replacing = GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (replacing && !replacing_allowed)
        return EEXIST;
    written = target;

    std::wstring temporary;
    HANDLE file = create_temporary(target, temporary);
    if (file == INVALID_HANDLE_VALUE)
        return errno_from_windows_error(GetLastError());
    int error = write_all(file, data, size);
    if (error == 0 && checks.written)
        error = checks.written(reinterpret_cast<std::intptr_t>(file));
    // What existed is only given up once the new bytes are on the device.
    if (error == 0 && replacing && !FlushFileBuffers(file))
        error = errno_from_windows_error(GetLastError());
    if (!CloseHandle(file) && error == 0)
        error = errno_from_windows_error(GetLastError());
    if (error == 0 && checks.before_rename)
        error = checks.before_rename();
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
// front end sets.
Replaced replace_file_bytes(const char* name, std::span<const unsigned char> bytes, bool replacing_allowed,
                            Links links, const ReplaceChecks& checks) {
    std::wstring written;
    Replaced result;
    if (links == Links::refuse && name_use(name) == NameUse::link)
        return Replaced{IS_A_LINK, {}};
    result.error = replace(name, bytes.data(), bytes.size(), replacing_allowed, checks, written);
    if (result.error == 0)
        result.identity = identity_of(written);
    return result;
}

} // namespace mog
