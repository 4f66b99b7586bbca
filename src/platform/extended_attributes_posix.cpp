// Carrying a file's extended attributes (access control lists, security
// labels, user attributes) over to the file that replaces it.
#include <cerrno>
#include <cstring>
#include <string>
#include <sys/xattr.h>
#include <vector>

#include "mog/files.h"
#include "platform/files_at_posix.h"

namespace mog {

namespace {

constexpr int MAX_TRIES = 4; // a list or value that keeps growing while read

// The attribute's value, or ENODATA when it went meanwhile.
int attribute_value(int fd, const char* name, std::vector<char>& value) {
    for (int tries = 0; tries < MAX_TRIES; ++tries) {
        ssize_t size = fgetxattr(fd, name, nullptr, 0);
        if (size < 0)
            return errno;
        value.resize(static_cast<std::size_t>(size));
        size = fgetxattr(fd, name, value.data(), value.size());
        if (size >= 0) {
            value.resize(static_cast<std::size_t>(size));
            return 0;
        }
        if (errno != ERANGE)
            return errno;
    }
    return ERANGE;
}

// The names of the file's attributes, each ended by a zero; one call for a
// file without any.
int attribute_names(int fd, std::vector<char>& names) {
    char first[512];
    ssize_t size = flistxattr(fd, first, sizeof first);
    for (int tries = 0; size < 0 && errno == ERANGE && tries < MAX_TRIES; ++tries) {
        size = flistxattr(fd, nullptr, 0);
        if (size < 0)
            break;
        names.resize(static_cast<std::size_t>(size));
        size = flistxattr(fd, names.data(), names.size());
        if (size >= 0) {
            names.resize(static_cast<std::size_t>(size));
            return 0;
        }
    }
    if (size < 0)
        return errno == ENOTSUP ? 0 : errno; // a file system without them: none to carry
    names.assign(first, first + size);
    return 0;
}

} // namespace

int copy_extended_attributes(int from, int to) {
    std::vector<char> names;
    if (int error = attribute_names(from, names); error != 0)
        return error;
    std::vector<char> value, present;
    for (std::size_t at = 0; at < names.size(); at += std::strlen(names.data() + at) + 1) {
        const char* name = names.data() + at;
        if (int error = attribute_value(from, name, value); error != 0) {
            if (error == ENODATA)
                continue;
            return error;
        }
        // What the new file was given already (a label, a folder's default
        // access list) is not set again: setting it may need a right that
        // keeping it does not.
        if (attribute_value(to, name, present) == 0 && present == value)
            continue;
        if (fsetxattr(to, name, value.data(), value.size(), 0) != 0)
            return errno == EPERM || errno == EACCES || errno == ENOTSUP ? ATTRIBUTES_NOT_KEPT : errno;
    }
    return 0;
}

} // namespace mog
