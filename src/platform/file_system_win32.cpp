// The system's files on Windows. The folders on the way to a file a search
// found are held open while it is used: each is refused where it is a
// reparse point (a link, a junction) or not what the search found, and held
// without sharing its deletion, so that none can be renamed or swapped away
// meanwhile. The files themselves are then reached by their whole names.
#include "platform/file_system.h"

#include "platform/folder_handles.h"
#include "platform/whole_file.h"
#include "platform/windows_text.h"

namespace mog {

namespace {

FileIdentity identity_of(const BY_HANDLE_FILE_INFORMATION& info) {
    return {info.dwVolumeSerialNumber, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// Opens a folder so that it cannot be renamed or deleted while held; a
// reparse point is opened as itself unless followed.
int open_folder(const std::string& path, bool follow, HANDLE& handle, BY_HANDLE_FILE_INFORMATION& info) {
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    handle = CreateFileW(wide_text(path.c_str()).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return errno_from_windows_error(GetLastError());
    if (!GetFileInformationByHandle(handle, &info)) {
        const int error = errno_from_windows_error(GetLastError());
        CloseHandle(handle);
        return error;
    }
    return 0;
}

bool is_reparse_point(const BY_HANDLE_FILE_INFORMATION& info) {
    return (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The stamp of the file at the name, which it opens without sharing write
// access: a program that has it open for writing makes the open fail.
int current_stamp(const std::string& path, bool follow, FileStamp& stamp) {
    HANDLE file = CreateFileW(wide_text(path.c_str()).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION)
            return FILE_BEING_WRITTEN;
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FILE_CHANGED
                                                                              : errno_from_windows_error(error);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO times{};
    int error = 0;
    if (!GetFileInformationByHandle(file, &info) ||
        !GetFileInformationByHandleEx(file, FileBasicInfo, &times, sizeof times))
        error = errno_from_windows_error(GetLastError());
    else if (is_reparse_point(info))
        error = IS_A_LINK;
    stamp = FileStamp{identity_of(info), (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
                      times.LastWriteTime.QuadPart * 100, times.ChangeTime.QuadPart * 100};
    CloseHandle(file);
    return error;
}

class SystemFileSystem final : public FileSystem {
  public:
    ~SystemFileSystem() override { close_file(source_); }

    PathKind path_kind(const Place& place) override {
        return reach(place) == 0 ? mog::path_kind(place.path().c_str()) : PathKind::absent;
    }
    NameUse name_use(const Place& place) override {
        return reach(place) == 0 ? mog::name_use(place.path().c_str()) : NameUse::taken;
    }
    std::optional<FileIdentity> identity(const Place& place) override {
        return reach(place) == 0 ? file_identity(place.path().c_str()) : std::nullopt;
    }
    SourceRead read(const Place& place, std::size_t max_size, Bytes& into,
                    const std::function<bool()>& opened = {}) override;
    Replaced replace(const Place& place, std::span<const unsigned char> bytes, const ReplaceRules& rules) override;
    int list(const Place& folder, std::vector<FolderEntry>& entries, FileIdentity& identity) override;

  private:
    int reach(const Place& place) {
        std::intptr_t handle = -1;
        return place.folder ? folders_.reach(place.folder, handle) : 0;
    }
    static Links links_for(const Place& place, Links asked) { return place.folder ? Links::refuse : asked; }

    FolderHandles folders_;
    OpenedFile source_; // the last file read, open until it is replaced or the next one is read
};

SourceRead SystemFileSystem::read(const Place& place, std::size_t max_size, Bytes& into,
                                  const std::function<bool()>& opened) {
    close_file(source_);
    into.clear();
    SourceRead read;
    const std::string path = place.path();
    if (int error = reach(place); error != 0) {
        read.error = FileError{FileStep::read, error, path};
        return read;
    }
    if (int error = open_for_reading(path.c_str(), source_, links_for(place, Links::follow)); error != 0) {
        const PathKind kind = mog::path_kind(path.c_str());
        const bool something_else = kind == PathKind::folder || kind == PathKind::other || error == IS_A_LINK;
        read.error = FileError{something_else ? FileStep::read : FileStep::find, error, path};
        // What is there but cannot be read is refused after the question, as a read would be.
        if (something_else && opened && !opened())
            read.error.reset();
        return read;
    }
    read.identity_known = true;
    read.stamp = FileStamp{source_.identity, source_.size, source_.modified_ns, source_.changed_ns};
    if (opened && !opened()) {
        close_file(source_);
        return read;
    }
    if (int error = read_opened(source_, max_size, into); error != 0) {
        close_file(source_);
        read.error = FileError{FileStep::read, error, path};
    }
    return read;
}

// A file replaced by its new content is, right before the rename, open in no
// other program for writing, and still the file as read. The file read is
// let go first: a file open here could not be replaced.
Replaced SystemFileSystem::replace(const Place& place, std::span<const unsigned char> bytes,
                                   const ReplaceRules& rules) {
    close_file(source_);
    if (int error = reach(place); error != 0)
        return Replaced{error, {}};
    const std::string path = place.path();
    ReplaceChecks checks;
    if (rules.unchanged_since && rules.replacing_allowed)
        checks.before_rename = [&] {
            FileStamp now;
            const int error = current_stamp(path, !place.folder && rules.links == Links::follow, now);
            return error != 0 ? error : now == *rules.unchanged_since ? 0 : FILE_CHANGED;
        };
    return replace_file_bytes(path.c_str(), bytes, rules.replacing_allowed, links_for(place, rules.links), checks);
}

int SystemFileSystem::list(const Place& folder, std::vector<FolderEntry>& entries, FileIdentity& identity) {
    entries.clear();
    if (int error = reach(folder); error != 0)
        return error;
    const std::string path = folder.path();
    HANDLE handle = INVALID_HANDLE_VALUE;
    BY_HANDLE_FILE_INFORMATION info{};
    if (int error = open_folder(path, !folder.folder, handle, info); error != 0)
        return error;
    identity = identity_of(info);
    const int error = folder.folder && is_reparse_point(info) ? IS_A_LINK : list_folder(path.c_str(), entries);
    CloseHandle(handle);
    return error;
}

} // namespace

// The folder named is followed where it is a link: the user named it.
int open_found_folder(std::intptr_t parent, const Folder& folder, std::intptr_t& handle) {
    HANDLE opened = INVALID_HANDLE_VALUE;
    BY_HANDLE_FILE_INFORMATION info{};
    if (int error = open_folder(folder.path, parent == -1, opened, info); error != 0)
        return error;
    if ((parent != -1 && is_reparse_point(info)) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        identity_of(info) != folder.identity) {
        CloseHandle(opened);
        return FOLDER_CHANGED;
    }
    handle = reinterpret_cast<std::intptr_t>(opened);
    return 0;
}

void close_folder_handle(std::intptr_t handle) {
    CloseHandle(reinterpret_cast<HANDLE>(handle));
}

std::unique_ptr<FileSystem> system_file_system() {
    return std::make_unique<SystemFileSystem>();
}

} // namespace mog
