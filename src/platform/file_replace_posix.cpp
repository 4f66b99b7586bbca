#include "platform/file_replace.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "mog/files.h"
#include "platform/interruptions_posix.h"

namespace mog {

namespace {

constexpr int MAX_LINK_DEPTH = 40;
constexpr std::size_t MAX_BASE_IN_TEMPORARY = 128;
constexpr int MAX_TEMPORARY_TRIES = 100;

// The name that is really written, and what is there now.
struct Target {
    std::string path;
    bool exists = false;
    struct stat info {};
};

// Follows symbolic links, also dangling ones, to the name that is really
// written. Gives ELOOP for links that go round in a loop: there is no file
// to write through to, and the link itself is not replaced.
int resolve_links(const char* name, Target& target, Links links) {
    target.path = name;
    for (int depth = 0; depth < MAX_LINK_DEPTH; ++depth) {
        if (lstat(target.path.c_str(), &target.info) != 0)
            return 0;
        if (!S_ISLNK(target.info.st_mode)) {
            target.exists = true;
            return 0;
        }
        if (links == Links::refuse)
            return IS_A_LINK;
        char link[PATH_MAX];
        ssize_t length = readlink(target.path.c_str(), link, sizeof link - 1);
        if (length <= 0)
            return 0;
        link[length] = '\0';
        if (link[0] == '/') {
            target.path = link;
        } else {
            std::string::size_type slash = target.path.rfind('/');
            target.path = (slash == std::string::npos ? std::string() : target.path.substr(0, slash + 1)) + link;
        }
    }
    return ELOOP;
}

// Makes a rename in the folder last through a crash.
void flush_folder(const std::string& folder) {
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

// The process's umask, read once: a new file gets 0666 without it.
mode_t process_umask() {
    static const mode_t mask = [] {
        mode_t value = umask(0);
        umask(value);
        return value;
    }();
    return mask;
}

// The process's identity does not change while it runs: asked once.
pid_t process_id() {
    static const pid_t id = getpid();
    return id;
}

// Creates a new file with a name of its own beside the target: the name
// is taken only if nothing is there, so nothing can be made to take its place.
int create_temporary(const std::string& prefix, mode_t mode, std::string& temporary) {
    static unsigned long counter = 0;
    for (int tries = 0; tries < MAX_TEMPORARY_TRIES; ++tries) {
        char suffix[64];
        std::snprintf(suffix, sizeof suffix, ".mog-%ld-%lu", static_cast<long>(process_id()), counter++);
        temporary = prefix + suffix;
        int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// Moves the new file to a name that must be free, in one step that fails if
// anything is there by then. A file system without such a rename gets a hard
// link, which fails alike, and the temporary name is removed.
int rename_to_free_name(const char* temporary, const char* target) {
    if (renameat2(AT_FDCWD, temporary, AT_FDCWD, target, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (link(temporary, target) != 0)
        return errno;
    unlink(temporary);
    return 0;
}

Replaced write_temporary_then_rename(const Target& target, std::span<const unsigned char> bytes,
                                     bool replacing_allowed) {
    std::string::size_type slash = target.path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : target.path.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target.path : target.path.substr(slash + 1);

    // A file the user may not write to is refused, as opening it for writing
    // would be; so is anything that a file must not take the place of, even
    // if it came since the question was asked.
    const bool replacing = replacing_allowed && target.exists;
    if (replacing && S_ISDIR(target.info.st_mode))
        return Replaced{EISDIR, {}};
    if (replacing && !S_ISREG(target.info.st_mode))
        return Replaced{NOT_A_REGULAR_FILE, {}};
    if (replacing && access(target.path.c_str(), W_OK) != 0)
        return Replaced{errno, {}};

    // A long name is shortened so that the temporary name stays within the
    // file system's limit for one name.
    const mode_t wanted = replacing ? (target.info.st_mode & 07777) : (0666 & ~process_umask());
    std::string temporary;
    int fd = create_temporary(folder + "." + base.substr(0, MAX_BASE_IN_TEMPORARY), wanted & 0777, temporary);
    if (fd < 0)
        return Replaced{errno, {}};

    // What the new file is: its identity, and the owner and group it got
    // (a folder with the set-group bit gives its own group).
    Replaced result;
    struct stat created {};
    if (fstat(fd, &created) != 0)
        result.error = errno;
    else
        result.identity = {static_cast<std::uint64_t>(created.st_dev), static_cast<std::uint64_t>(created.st_ino)};
    // The owner first: a change of owner clears the set-user and set-group
    // bits, which the permission bits then bring back. The umask may have
    // taken bits the old file had, and the special bits are not set by open.
    if (result.error == 0 && replacing &&
        (target.info.st_uid != created.st_uid || target.info.st_gid != created.st_gid))
        (void)!fchown(fd, target.info.st_uid, target.info.st_gid); // best effort: only root may give files away
    if (result.error == 0 && (wanted & 0777 & ~process_umask()) != wanted && fchmod(fd, wanted) != 0)
        result.error = errno;
    if (result.error == 0)
        result.error = write_all(fd, bytes.data(), bytes.size());
    // What existed is only given up once the new bytes are on the device, so
    // that a crash leaves the old file or the new one, never an empty one. A
    // new file risks nothing and skips the wait.
    if (result.error == 0 && replacing && fsync(fd) != 0)
        result.error = errno;
    if (close(fd) != 0 && result.error == 0)
        result.error = errno;
    if (result.error == 0 && replacing_allowed && rename(temporary.c_str(), target.path.c_str()) != 0)
        result.error = errno;
    if (result.error == 0 && !replacing_allowed)
        result.error = rename_to_free_name(temporary.c_str(), target.path.c_str());
    if (result.error != 0)
        unlink(temporary.c_str());
    else if (replacing)
        flush_folder(folder);
    return result;
}

} // namespace

Replaced replace_file_bytes(const char* name, std::span<const unsigned char> bytes, bool replacing_allowed,
                            Interruptions interruptions, Links links) {
    // A full disk or a file-size limit must show as a failed write, not kill
    // the process.
    static const bool size_limit_ignored = std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
    (void)size_limit_ignored;
    // Unless the caller catches them, interruptions wait until the rename is
    // done or undone.
    sigset_t held, previous;
    sigemptyset(&held);
    for (int signal_number : INTERRUPTING_SIGNALS)
        sigaddset(&held, signal_number);
    if (interruptions == Interruptions::hold)
        sigprocmask(SIG_BLOCK, &held, &previous);

    // A name that must be free is not followed: a link there is something.
    Target target;
    target.path = name;
    Replaced result;
    result.error = replacing_allowed ? resolve_links(name, target, links) : 0;
    if (result.error == 0)
        result = write_temporary_then_rename(target, bytes, replacing_allowed);

    if (interruptions == Interruptions::hold)
        sigprocmask(SIG_SETMASK, &previous, nullptr);
    return result;
}

} // namespace mog
