// The system's files through the path-based calls.
#include <sys/stat.h>

#include "platform/file_system.h"
#include "platform/whole_file.h"

namespace mog {

namespace {

class SystemFileSystem final : public FileSystem {
  public:
    PathKind path_kind(const Place& place) override { return mog::path_kind(place.path().c_str()); }
    NameUse name_use(const Place& place) override { return mog::name_use(place.path().c_str()); }
    std::optional<FileIdentity> identity(const Place& place) override {
        return file_identity(place.path().c_str());
    }
    SourceRead read(const Place& place, Links links, std::size_t max_size, Bytes& into,
                    const std::function<bool()>& opened) override {
        OpenedSource source(place.path(), links);
        SourceRead read;
        read.identity_known = !source.error().has_value();
        read.stamp.identity = source.identity();
        if (source.error() && source.error()->step == FileStep::find) {
            into.clear();
            read.error = source.error();
            return read;
        }
        if (opened && !opened()) {
            into.clear();
            return read;
        }
        read.error = source.read(max_size, into);
        return read;
    }
    Replaced replace(const Place& place, std::span<const unsigned char> bytes, const ReplaceRules& rules) override {
        return replace_file_bytes(place.path().c_str(), bytes, rules.replacing_allowed, Interruptions::caught,
                                  rules.links);
    }
    int list(const Place& folder, std::vector<FolderEntry>& entries, FileIdentity& identity) override {
        const std::string path = folder.path();
        if (std::optional<FileIdentity> found = file_identity(path.c_str()))
            identity = *found;
        return list_folder(path.c_str(), entries);
    }
};

} // namespace

std::unique_ptr<FileSystem> system_file_system() {
    return std::make_unique<SystemFileSystem>();
}

} // namespace mog
