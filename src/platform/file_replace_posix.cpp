#include "platform/file_replace.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include "mog/files.h"
#include "platform/files_at_posix.h"

namespace mog {

namespace {

constexpr int MAX_LINK_DEPTH = 40;
constexpr std::size_t MAX_BASE_IN_TEMPORARY = 128;
constexpr int MAX_TEMPORARY_TRIES = 100;

std::string folder_part(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Makes a rename in the folder last through a crash.
void flush_folder(const ReplaceTarget& target) {
    if (target.folder != AT_FDCWD) {
        fsync(target.folder);
        return;
    }
    const std::string folder = folder_part(target.name);
    int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    fsync(fd);
    close(fd);
}

int write_all(int fd, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

// Creates a new file with a name of its own beside the target: the name is
// taken only if nothing is there, so nothing can be made to take its place.
// A name already taken, by another thread or process, is tried again with
// other bits.
int create_temporary(const ReplaceTarget& target, mode_t mode, TemporaryName unique, std::string& temporary) {
    const std::string::size_type slash = target.name.rfind('/');
    const std::string base = slash == std::string::npos ? target.name : target.name.substr(slash + 1);
    // A long name is shortened so that the temporary name stays within the
    // file system's limit for one name.
    const std::string prefix = folder_part(target.name) + "." + base.substr(0, MAX_BASE_IN_TEMPORARY);
    for (int tries = 0; tries < MAX_TEMPORARY_TRIES; ++tries) {
        char suffix[64];
        std::snprintf(suffix, sizeof suffix, ".mog-%ld-%016llx", unique.process,
                      static_cast<unsigned long long>(unique.bits));
        temporary = prefix + suffix;
        int fd = openat(target.folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
        unique.bits = random_bits();
    }
    errno = EEXIST;
    return -1;
}

// Moves the new file to a name that must be free, in one step that fails if
// anything is there by then. A file system without such a rename gets a hard
// link, which fails alike, and the temporary name is removed.
int rename_to_free_name(int folder, const char* temporary, const char* target) {
    if (renameat2(folder, temporary, folder, target, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (linkat(folder, temporary, folder, target, 0) != 0)
        return errno;
    unlinkat(folder, temporary, 0);
    return 0;
}

// The new file gets the old one's owner and mode. The owner first: a change
// of owner clears the set-user and set-group bits, which the mode then
// brings back. The file was created with the mode less the umask, which is
// only made whole where the umask took some of it: the umask is never read,
// as reading it means setting it.
int take_owner_and_mode(int fd, const ReplaceTarget& target, bool replacing, mode_t wanted, Replaced& result) {
    struct stat created {};
    if (fstat(fd, &created) != 0)
        return errno;
    result.identity = {static_cast<std::uint64_t>(created.st_dev), static_cast<std::uint64_t>(created.st_ino)};
    if (!replacing)
        return 0;
    const bool give_away = target.info.st_uid != created.st_uid || target.info.st_gid != created.st_gid;
    // Best effort: only a privileged process may give files away.
    const bool given_away = give_away && fchown(fd, target.info.st_uid, target.info.st_gid) == 0;
    if ((created.st_mode & 07777) != wanted || (given_away && (wanted & 06000) != 0))
        return fchmod(fd, wanted) == 0 ? 0 : errno;
    return 0;
}

} // namespace

std::uint64_t random_bits() {
    std::uint64_t bits = 0;
    if (getrandom(&bits, sizeof bits, GRND_NONBLOCK) == static_cast<ssize_t>(sizeof bits))
        return bits;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (static_cast<std::uint64_t>(now.tv_sec) << 30) ^ static_cast<std::uint64_t>(now.tv_nsec) ^
           reinterpret_cast<std::uintptr_t>(&now);
}

int find_replace_target(int folder, const char* name, Links links, ReplaceTarget& target) {
    target.folder = folder;
    target.name = name;
    for (int depth = 0; depth < MAX_LINK_DEPTH; ++depth) {
        if (fstatat(folder, target.name.c_str(), &target.info, AT_SYMLINK_NOFOLLOW) != 0)
            return 0;
        if (!S_ISLNK(target.info.st_mode)) {
            target.exists = true;
            return 0;
        }
        if (links == Links::refuse)
            return IS_A_LINK;
        char link[PATH_MAX];
        ssize_t length = readlinkat(folder, target.name.c_str(), link, sizeof link - 1);
        if (length <= 0)
            return 0;
        link[length] = '\0';
        target.name = link[0] == '/' ? std::string(link) : folder_part(target.name) + link;
    }
    return ELOOP;
}

Replaced replace_target(const ReplaceTarget& target, std::span<const unsigned char> bytes, bool replacing_allowed,
                        TemporaryName unique, const ReplaceChecks& checks) {
    // A file the user may not write to is refused, as opening it for writing
    // would be; so is anything that a file must not take the place of, even
    // if it came since the question was asked.
    const bool replacing = replacing_allowed && target.exists;
    if (replacing && S_ISDIR(target.info.st_mode))
        return Replaced{EISDIR, {}};
    if (replacing && !S_ISREG(target.info.st_mode))
        return Replaced{NOT_A_REGULAR_FILE, {}};
    if (replacing && faccessat(target.folder, target.name.c_str(), W_OK, 0) != 0)
        return Replaced{errno, {}};

    const mode_t wanted = replacing ? (target.info.st_mode & 07777) : 0666;
    std::string temporary;
    int fd = create_temporary(target, wanted, unique, temporary);
    if (fd < 0)
        return Replaced{errno, {}};
    Replaced result;
    result.error = take_owner_and_mode(fd, target, replacing, wanted, result);
    if (result.error == 0)
        result.error = write_all(fd, bytes.data(), bytes.size());
    if (result.error == 0 && checks.written)
        result.error = checks.written(fd);
    // What existed is only given up once the new bytes are on the device, so
    // that a crash leaves the old file or the new one, never an empty one. A
    // new file risks nothing and skips the wait.
    if (result.error == 0 && replacing && fsync(fd) != 0)
        result.error = errno;
    if (close(fd) != 0 && result.error == 0)
        result.error = errno;
    if (result.error == 0 && checks.before_rename)
        result.error = checks.before_rename();
    if (result.error == 0 && replacing_allowed &&
        renameat(target.folder, temporary.c_str(), target.folder, target.name.c_str()) != 0)
        result.error = errno;
    if (result.error == 0 && !replacing_allowed)
        result.error = rename_to_free_name(target.folder, temporary.c_str(), target.name.c_str());
    if (result.error != 0)
        unlinkat(target.folder, temporary.c_str(), 0);
    else if (replacing)
        flush_folder(target);
    return result;
}

// A name that must be free is not followed: a link there is something.
Replaced replace_file_bytes(const char* name, std::span<const unsigned char> bytes, bool replacing_allowed,
                            Links links, const ReplaceChecks& checks) {
    ReplaceTarget target;
    target.folder = AT_FDCWD;
    target.name = name;
    if (replacing_allowed)
        if (int error = find_replace_target(AT_FDCWD, name, links, target); error != 0)
            return Replaced{error, {}};
    return replace_target(target, bytes, replacing_allowed, TemporaryName{static_cast<long>(getpid()), random_bits()},
                          checks);
}

} // namespace mog
