// The system's files by folder handles: a file a search found is reached
// through the folders as they were found, and opened, checked, created and
// renamed relative to its folder's handle.
#include "platform/file_system.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files_at_posix.h"
#include "platform/folder_handles.h"
#include "platform/whole_file.h"

namespace mog {

namespace {

FileIdentity identity_of(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

FileStamp stamp_of(const struct stat& info) {
    OpenedFile file;
    take_status(info, file);
    return FileStamp{file.identity, file.size, file.modified_ns, file.changed_ns};
}

// A name's folder handle (AT_FDCWD for a name as given) and the name in it.
struct At {
    int folder = AT_FDCWD;
    const char* name = "";
};

// The last file read, kept open until it is replaced or the next one is
// read: the file as it was read, for its lease and its attributes.
struct Source {
    int fd = -1;
    std::shared_ptr<const Folder> folder;
    std::string name;
    struct stat status {};
};

class SystemFileSystem final : public FileSystem {
  public:
    SystemFileSystem() : process_(static_cast<long>(getpid())), seed_(random_bits()) {
        // A lease whose break would end the process is never taken: the tool
        // ignores SIGIO (ignore_write_signals).
        struct sigaction io {};
        leases_ = sigaction(SIGIO, nullptr, &io) == 0 && ((io.sa_flags & SA_SIGINFO) != 0 || io.sa_handler != SIG_DFL);
    }
    ~SystemFileSystem() override { let_source_go(); }

    PathKind path_kind(const Place& place) override {
        At at;
        return reach(place, at) == 0 ? path_kind_at(at.folder, at.name) : PathKind::absent;
    }

    // A name whose folder is no longer as found is taken: nothing is written
    // there.
    NameUse name_use(const Place& place) override {
        At at;
        return reach(place, at) == 0 ? name_use_at(at.folder, at.name) : NameUse::taken;
    }

    std::optional<FileIdentity> identity(const Place& place) override {
        At at;
        return reach(place, at) == 0 ? file_identity_at(at.folder, at.name) : std::nullopt;
    }

    SourceRead read(const Place& place, std::size_t max_size, Bytes& into,
                    const std::function<bool()>& opened = {}) override;
    Replaced replace(const Place& place, std::span<const unsigned char> bytes, const ReplaceRules& rules) override;
    int list(const Place& folder, std::vector<FolderEntry>& entries, FileIdentity& identity) override;

  private:
    // A name in a folder a search found is never followed where it is a link.
    int reach(const Place& place, At& at) {
        at.name = place.name.c_str();
        at.folder = AT_FDCWD;
        if (!place.folder)
            return 0;
        std::intptr_t handle = -1;
        const int error = folders_.reach(place.folder, handle);
        at.folder = static_cast<int>(handle);
        return error;
    }
    static Links links_for(const Place& place, Links asked) { return place.folder ? Links::refuse : asked; }

    void let_source_go() {
        if (source_.fd >= 0)
            close(source_.fd);
        source_ = Source{};
    }
    bool holds(const Place& place) const {
        return source_.fd >= 0 && source_.folder == place.folder && source_.name == place.name;
    }
    int hold_source(const Place& place, const At& at, Links links);
    int kept_as_read(const Place& place, const ReplaceTarget& target, const FileStamp& stamp) const;

    TemporaryName next_temporary_name() { return {process_, seed_ + ++written_ * 0x9E3779B97F4A7C15ULL}; }

    FolderHandles folders_;
    Source source_;
    long process_;
    std::uint64_t seed_;         // names this object's temporary files, with the count below
    std::uint64_t written_ = 0;
    bool leases_ = false;
};

SourceRead SystemFileSystem::read(const Place& place, std::size_t max_size, Bytes& into,
                                  const std::function<bool()>& opened) {
    let_source_go();
    into.clear();
    SourceRead read;
    At at;
    if (int error = reach(place, at); error != 0) {
        read.error = FileError{FileStep::read, error, place.path()};
        return read;
    }
    OpenedFile file;
    struct stat status {};
    if (int error = open_for_reading_at(at.folder, at.name, file, links_for(place, Links::follow), &status); error != 0) {
        // Nothing that can be opened at the name is not found; something
        // else there cannot be read.
        const PathKind kind = path_kind_at(at.folder, at.name);
        const bool something_else = kind == PathKind::folder || kind == PathKind::other || error == IS_A_LINK;
        read.error = FileError{something_else ? FileStep::read : FileStep::find, error, place.path()};
        // What is there but cannot be read is refused after the question, as a read would be.
        if (something_else && opened && !opened())
            read.error.reset();
        return read;
    }
    read.identity_known = true;
    read.stamp = stamp_of(status);
    if (opened && !opened()) {
        close_file(file);
        return read;
    }
    if (int error = read_opened(file, max_size, into); error != 0) {
        close_file(file);
        read.error = FileError{FileStep::read, error, place.path()};
        return read;
    }
    source_ = Source{static_cast<int>(file.handle), place.folder, place.name, status};
    return read;
}

// Opens the file to be replaced, unless it is the one last read.
int SystemFileSystem::hold_source(const Place& place, const At& at, Links links) {
    if (holds(place))
        return 0;
    let_source_go();
    OpenedFile file;
    if (int error = open_for_reading_at(at.folder, at.name, file, links, &source_.status); error != 0)
        return error == ENOENT ? FILE_CHANGED : error;
    source_.fd = static_cast<int>(file.handle);
    source_.folder = place.folder;
    source_.name = place.name;
    return 0;
}

// Right before the rename: no other program has the file open for writing
// (where a lease can tell), and the name, from where it was named, still
// leads to the file as it was read. The lease, where taken, lasts until the
// source is let go after the rename: a program that opens the file for
// writing meanwhile waits until then.
int SystemFileSystem::kept_as_read(const Place& place, const ReplaceTarget& target, const FileStamp& stamp) const {
    if (leases_ && fcntl(source_.fd, F_SETLEASE, F_RDLCK) != 0 && errno == EAGAIN)
        return FILE_BEING_WRITTEN;
    // The whole path in one look, every folder of it included (a path too
    // long for one look is left to the folder handles).
    const std::string path = place.folder ? place.path() : target.name;
    struct stat now {};
    const int looked = fstatat(AT_FDCWD, path.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
    if (looked == 0 && stamp_of(now) == stamp)
        return 0;
    // Why not: still as read within its folder, it is the path that changed.
    if (place.folder && fstatat(target.folder, target.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0) {
        if (stamp_of(now) == stamp)
            return looked == ENAMETOOLONG ? 0 : FOLDER_CHANGED;
        if (S_ISLNK(now.st_mode))
            return IS_A_LINK;
    }
    return FILE_CHANGED;
}

Replaced SystemFileSystem::replace(const Place& place, std::span<const unsigned char> bytes,
                                   const ReplaceRules& rules) {
    At at;
    const Links links = links_for(place, rules.links);
    ReplaceTarget target;
    target.folder = AT_FDCWD;
    int error = reach(place, at);
    const bool in_place = rules.unchanged_since && rules.replacing_allowed;
    if (error == 0 && in_place)
        error = hold_source(place, at, links);
    if (error == 0 && in_place && stamp_of(source_.status) != *rules.unchanged_since)
        error = FILE_CHANGED;
    if (error == 0 && in_place && place.folder)
        target = ReplaceTarget{at.folder, at.name, true, source_.status}; // as read; checked before the rename
    else if (error == 0 && rules.replacing_allowed)
        error = find_replace_target(at.folder, at.name, links, target);
    else if (error == 0)
        target = ReplaceTarget{at.folder, at.name, false, {}};
    if (error != 0) {
        let_source_go();
        return Replaced{error, {}};
    }
    ReplaceChecks checks;
    if (in_place) {
        const int source = source_.fd;
        checks.written = [source](std::intptr_t new_file) {
            return copy_extended_attributes(source, static_cast<int>(new_file));
        };
        checks.before_rename = [&] { return kept_as_read(place, target, *rules.unchanged_since); };
    }
    const Replaced replaced = replace_target(target, bytes, rules.replacing_allowed, next_temporary_name(), checks);
    let_source_go();
    return replaced;
}

int SystemFileSystem::list(const Place& folder, std::vector<FolderEntry>& entries, FileIdentity& identity) {
    entries.clear();
    At at;
    if (int error = reach(folder, at); error != 0)
        return error;
    int fd = openat(at.folder, at.name, O_RDONLY | O_DIRECTORY | O_CLOEXEC | (folder.folder ? O_NOFOLLOW : 0));
    if (fd < 0) {
        const int error = errno;
        return folder.folder && name_use_at(at.folder, at.name) == NameUse::link ? IS_A_LINK : error;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0) {
        const int error = errno;
        close(fd);
        return error;
    }
    identity = identity_of(status);
    return list_folder_at(fd, entries);
}

} // namespace

int open_found_folder(std::intptr_t parent, const Folder& folder, std::intptr_t& handle) {
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    int fd = parent < 0 ? open(folder.name.c_str(), flags)
                        : openat(static_cast<int>(parent), folder.name.c_str(), flags | O_NOFOLLOW);
    if (fd < 0) // a file or a link in the folder's place gives ENOTDIR
        return errno == ENOTDIR || errno == ELOOP ? FOLDER_CHANGED : errno;
    struct stat status {};
    int error = fstat(fd, &status) != 0 ? errno : 0;
    if (error == 0 && identity_of(status) != folder.identity)
        error = FOLDER_CHANGED;
    if (error != 0) {
        close(fd);
        return error;
    }
    handle = fd;
    return 0;
}

void close_folder_handle(std::intptr_t handle) {
    close(static_cast<int>(handle));
}

std::unique_ptr<FileSystem> system_file_system() {
    return std::make_unique<SystemFileSystem>();
}

} // namespace mog
