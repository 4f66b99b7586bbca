#include "cli/batch_sources.h"

#include <algorithm>
#include <set>

#include "image/container.h"
#include "platform/file_access.h"
#include "platform/folder.h"

namespace mog {

namespace {

std::string joined(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The files below a folder that a batch takes, and the folders that could
// not be searched.
void search(const std::string& folder, std::vector<BatchSource>& found) {
    std::vector<FolderEntry> entries;
    if (int error = list_folder(folder.c_str(), entries); error != 0) {
        found.push_back({folder, error});
        return;
    }
    for (const FolderEntry& entry : entries) {
        std::string path = joined(folder, entry.name);
        Container container;
        if (entry.kind == EntryKind::unknown)
            found.push_back({path, entry.error});
        else if (entry.kind == EntryKind::folder)
            search(path, found);
        else if (entry.kind == EntryKind::file && container_for_name(path.c_str(), container) &&
                 !named_like_output(path.c_str()))
            found.push_back({path, 0});
    }
}

} // namespace

std::vector<BatchSource> batch_sources(const std::vector<const char*>& names) {
    std::vector<BatchSource> candidates;
    for (const char* name : names) {
        if (path_kind(name) != PathKind::folder) {
            candidates.push_back({name, 0});
            continue;
        }
        std::vector<BatchSource> found;
        search(name, found);
        std::sort(found.begin(), found.end(),
                  [](const BatchSource& a, const BatchSource& b) { return a.name < b.name; });
        candidates.insert(candidates.end(), found.begin(), found.end());
    }
    std::vector<BatchSource> sources;
    std::set<std::string> names_seen;
    for (BatchSource& candidate : candidates)
        if (names_seen.insert(candidate.name).second)
            sources.push_back(std::move(candidate));
    return sources;
}

} // namespace mog
