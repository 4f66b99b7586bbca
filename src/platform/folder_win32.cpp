#include "platform/folder.h"

#include "platform/windows_text.h"

namespace mog {

int list_folder(const char* path, std::vector<FolderEntry>& entries) {
    entries.clear();
    std::wstring pattern = wide_text(path);
    if (!pattern.empty() && pattern.back() != L'/' && pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return errno_from_windows_error(GetLastError());
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        EntryKind kind = EntryKind::file;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            kind = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? EntryKind::link_to_folder
                                                                                : EntryKind::folder;
        entries.push_back({utf8_text(name.c_str()), kind});
    } while (FindNextFileW(search, &found));
    DWORD error = GetLastError();
    FindClose(search);
    return error == ERROR_NO_MORE_FILES ? 0 : errno_from_windows_error(error);
}

bool file_identity(const char* name, FileIdentity& identity) {
    HANDLE file = CreateFileW(wide_text(name).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    if (known)
        identity = {info.dwVolumeSerialNumber,
                    (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return known;
}

} // namespace mog
