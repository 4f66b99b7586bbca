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
        // Links and junctions are reparse points that lead elsewhere; other
        // reparse points (files of a cloud folder, say) are files as any.
        const bool reparse = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        const bool leads_elsewhere =
            reparse && (found.dwReserved0 == IO_REPARSE_TAG_SYMLINK || found.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
        EntryKind kind = EntryKind::file;
        if (leads_elsewhere)
            kind = EntryKind::link;
        else if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            kind = EntryKind::folder;
        entries.push_back({utf8_text(name.c_str()), kind});
    } while (FindNextFileW(search, &found));
    DWORD error = GetLastError();
    FindClose(search);
    return error == ERROR_NO_MORE_FILES ? 0 : errno_from_windows_error(error);
}

std::string joined_path(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/' || folder.back() == '\\' || folder.back() == ':')
        return folder + name;
    return folder + "/" + name;
}

} // namespace mog
