#include "platform/file_replace.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_access.h"
#include "platform/interruptions_posix.h"

namespace mog {

namespace {

constexpr int MAX_LINK_DEPTH = 40;
constexpr std::size_t MAX_BASE_IN_TEMPORARY = 128;

// Follows symbolic links, also dangling ones, to the name that is really
// written. Gives ELOOP for links that go round in a loop: there is no file
// to write through to, and the link itself is not replaced.
int resolve_links(const char* name, std::string& path) {
    path = name;
    for (int depth = 0; depth < MAX_LINK_DEPTH; ++depth) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return 0;
        char target[PATH_MAX];
        ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
        if (length <= 0)
            return 0;
        target[length] = '\0';
        if (target[0] == '/') {
            path = target;
        } else {
            std::string::size_type slash = path.rfind('/');
            path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + target;
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

// The permission bits a new file gets from the process's umask.
mode_t default_mode() {
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
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

int write_temporary_then_rename(const std::string& target, const unsigned char* data, std::size_t size,
                                bool replacing_allowed) {
    std::string::size_type slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    // A long name is shortened so that the temporary name stays within the
    // file system's limit for one name.
    std::string temporary = folder + "." + base.substr(0, MAX_BASE_IN_TEMPORARY) + ".mog-XXXXXX";

    // A file the user may not write to is refused, as opening it for writing
    // would be; so is anything that a file must not take the place of, even
    // if it came since the question was asked.
    struct stat old {};
    bool replacing = replacing_allowed && stat(target.c_str(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode))
        return EISDIR;
    if (replacing && !S_ISREG(old.st_mode))
        return NOT_A_REGULAR_FILE;
    if (replacing && access(target.c_str(), W_OK) != 0)
        return errno;

    int fd = mkstemp(temporary.data());
    if (fd < 0)
        return errno;

    int error = fchmod(fd, replacing ? (old.st_mode & 07777) : default_mode()) == 0 ? 0 : errno;
    if (error == 0 && replacing && (old.st_uid != geteuid() || old.st_gid != getegid()))
        (void)!fchown(fd, old.st_uid, old.st_gid); // best effort: only root may give files away
    if (error == 0)
        error = write_all(fd, data, size);
    // What existed is only given up once the new bytes are on the device, so
    // that a crash leaves the old file or the new one, never an empty one. A
    // new file risks nothing and skips the wait.
    if (error == 0 && replacing && fsync(fd) != 0)
        error = errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && replacing_allowed && rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error == 0 && !replacing_allowed)
        error = rename_to_free_name(temporary.c_str(), target.c_str());
    if (error != 0)
        unlink(temporary.c_str());
    else if (replacing)
        flush_folder(folder);
    return error;
}

} // namespace

int replace_file(const char* name, const unsigned char* data, std::size_t size, bool replacing_allowed) {
    // A full disk or a file-size limit must show as a failed write, not kill the
    // process; interruptions wait until the rename is done or undone.
    std::signal(SIGXFSZ, SIG_IGN);
    sigset_t interruptions, previous;
    sigemptyset(&interruptions);
    for (int signal_number : INTERRUPTING_SIGNALS)
        sigaddset(&interruptions, signal_number);
    sigprocmask(SIG_BLOCK, &interruptions, &previous);

    // A name that must be free is not followed: a link there is something.
    std::string target = name;
    int error = replacing_allowed ? resolve_links(name, target) : 0;
    if (error == 0)
        error = write_temporary_then_rename(target, data, size, replacing_allowed);

    sigprocmask(SIG_SETMASK, &previous, nullptr);
    return error;
}

} // namespace mog
