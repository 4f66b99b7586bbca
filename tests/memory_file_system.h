// Files held in memory behind the file-system interface, so that a run's
// rules are tested in process: every name a path with '/' between its parts.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "platform/file_system.h"

namespace mog {

class MemoryFileSystem final : public FileSystem {
  public:
    struct Entry {
        PathKind kind = PathKind::regular_file; // regular_file, folder or other; links in `links`
        std::string content;
        std::uint64_t number = 0;
    };
    std::map<std::string, Entry> entries;    // by path
    std::map<std::string, std::string> links; // path to target, relative to the link's folder
    std::vector<std::string> replaced;        // each path written, in order
    std::function<void(const Place&)> before_replace; // another program's doing, just before a write

    void file(const std::string& path, std::string content);
    void folder(const std::string& path);
    void link(const std::string& path, const std::string& target) { links[path] = target; }
    const std::string* content(const std::string& path) const;

    PathKind path_kind(const Place& place) override;
    NameUse name_use(const Place& place) override;
    std::optional<FileIdentity> identity(const Place& place) override;
    SourceRead read(const Place& place, std::size_t max_size, Bytes& into,
                    const std::function<bool()>& opened = {}) override;
    Replaced replace(const Place& place, std::span<const unsigned char> bytes, const ReplaceRules& rules) override;
    int list(const Place& folder, std::vector<FolderEntry>& entries, FileIdentity& identity) override;

  private:
    std::uint64_t next_number_ = 1;
    // The path a name leads to, links followed; empty for a loop.
    std::string resolved(std::string path) const;
};

} // namespace mog
