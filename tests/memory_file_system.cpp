#include "memory_file_system.h"

#include <cerrno>

namespace mog {

namespace {

std::string folder_of(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

FileStamp stamp_of(const MemoryFileSystem::Entry& entry) {
    return FileStamp{FileIdentity{1, entry.number}, entry.content.size(), 0, 0};
}

} // namespace

void MemoryFileSystem::file(const std::string& path, std::string content) {
    entries[path] = Entry{PathKind::regular_file, std::move(content), next_number_++};
}

void MemoryFileSystem::folder(const std::string& path) {
    entries[path] = Entry{PathKind::folder, "", next_number_++};
}

const std::string* MemoryFileSystem::content(const std::string& path) const {
    const auto found = entries.find(path);
    return found == entries.end() ? nullptr : &found->second.content;
}

std::string MemoryFileSystem::resolved(std::string path) const {
    for (int depth = 0; depth < 40; ++depth) {
        const auto link = links.find(path);
        if (link == links.end())
            return path;
        path = link->second.front() == '/' ? link->second : folder_of(path) + link->second;
    }
    return "";
}

PathKind MemoryFileSystem::path_kind(const Place& place) {
    const std::string path = resolved(place.path());
    if (path.empty())
        return PathKind::link_loop;
    const auto found = entries.find(path);
    if (found != entries.end())
        return found->second.kind;
    return links.count(place.path()) != 0 ? PathKind::dangling_link : PathKind::absent;
}

NameUse MemoryFileSystem::name_use(const Place& place) {
    if (links.count(place.path()) != 0)
        return NameUse::link;
    return entries.count(place.path()) != 0 ? NameUse::taken : NameUse::free;
}

std::optional<FileIdentity> MemoryFileSystem::identity(const Place& place) {
    const auto found = entries.find(resolved(place.path()));
    if (found == entries.end())
        return std::nullopt;
    return FileIdentity{1, found->second.number};
}

SourceRead MemoryFileSystem::read(const Place& place, std::size_t max_size, Bytes& into,
                                  const std::function<bool()>& opened) {
    SourceRead read;
    into.clear();
    const std::string path = place.path();
    if (place.folder && links.count(path) != 0) {
        read.error = FileError{FileStep::read, IS_A_LINK, path};
        return read;
    }
    const auto found = entries.find(resolved(path));
    if (found == entries.end()) {
        read.error = FileError{FileStep::find, ENOENT, path};
        return read;
    }
    read.identity_known = true;
    read.stamp = stamp_of(found->second);
    if (opened && !opened())
        return read;
    const Entry& entry = found->second;
    const int error = entry.kind == PathKind::folder ? EISDIR
                      : entry.kind != PathKind::regular_file ? NOT_A_REGULAR_FILE
                      : entry.content.size() > max_size     ? EFBIG
                                                            : 0;
    if (error != 0)
        read.error = FileError{FileStep::read, error, path};
    else
        into.assign(entry.content.begin(), entry.content.end());
    return read;
}

Replaced MemoryFileSystem::replace(const Place& place, std::span<const unsigned char> bytes,
                                   const ReplaceRules& rules) {
    if (before_replace)
        before_replace(place);
    std::string path = place.path();
    if (links.count(path) != 0 && (place.folder || rules.links == Links::refuse))
        return Replaced{rules.replacing_allowed ? IS_A_LINK : EEXIST, {}};
    if (!rules.replacing_allowed && name_use(place) != NameUse::free)
        return Replaced{EEXIST, {}};
    path = resolved(path);
    const auto found = entries.find(path);
    if (rules.unchanged_since && (found == entries.end() || !(stamp_of(found->second) == *rules.unchanged_since)))
        return Replaced{FILE_CHANGED, {}};
    if (found != entries.end() && found->second.kind != PathKind::regular_file)
        return Replaced{found->second.kind == PathKind::folder ? EISDIR : NOT_A_REGULAR_FILE, {}};
    file(path, std::string(bytes.begin(), bytes.end()));
    replaced.push_back(path);
    return Replaced{0, FileIdentity{1, entries[path].number}};
}

int MemoryFileSystem::list(const Place& folder_place, std::vector<FolderEntry>& listed, FileIdentity& identity) {
    const std::string path = folder_place.path();
    const auto found = entries.find(path);
    if (found == entries.end() || found->second.kind != PathKind::folder)
        return ENOTDIR;
    identity = FileIdentity{1, found->second.number};
    listed.clear();
    const std::string prefix = path.back() == '/' ? path : path + "/";
    auto direct = [&](const std::string& name) {
        return name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
               name.find('/', prefix.size()) == std::string::npos;
    };
    for (const auto& [name, entry] : entries)
        if (direct(name))
            listed.push_back({name.substr(prefix.size()), entry.kind == PathKind::folder ? EntryKind::folder
                                                                                          : EntryKind::file});
    for (const auto& [name, target] : links)
        if (direct(name))
            listed.push_back({name.substr(prefix.size()), EntryKind::link});
    return 0;
}

} // namespace mog
