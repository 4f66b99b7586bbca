#include "cli/batch_sources.h"

#include <algorithm>
#include <set>

#include "cli/destination_names.h"
#include "platform/file_access.h"
#include "platform/folder.h"

namespace mog {

namespace {

// The files below a folder that a batch takes, and the folders that could
// not be searched.
void search(const std::string& folder, std::vector<FileTask>& found) {
    std::vector<FolderEntry> entries;
    if (int error = list_folder(folder.c_str(), entries); error != 0) {
        found.push_back({folder, error, true});
        return;
    }
    for (const FolderEntry& entry : entries) {
        std::string path = joined_path(folder, entry.name);
        if (entry.kind == EntryKind::unknown)
            found.push_back({path, entry.error, true});
        else if (entry.kind == EntryKind::folder)
            search(path, found); // links are passed over: a search stays within what was named
        else if (entry.kind == EntryKind::file && container_for_name(path) && !named_like_output(path))
            found.push_back({path, 0, true});
    }
}

} // namespace

std::vector<FileTask> batch_sources(const std::vector<std::string>& names) {
    std::vector<FileTask> candidates;
    for (const std::string& name : names) {
        if (path_kind(name.c_str()) != PathKind::folder) {
            candidates.push_back({name, 0, false});
            continue;
        }
        std::vector<FileTask> found;
        search(name, found);
        std::sort(found.begin(), found.end(), [](const FileTask& a, const FileTask& b) { return a.name < b.name; });
        candidates.insert(candidates.end(), found.begin(), found.end());
    }
    std::vector<FileTask> sources;
    std::set<std::string> names_seen;
    for (FileTask& candidate : candidates)
        if (names_seen.insert(candidate.name).second)
            sources.push_back(std::move(candidate));
    return sources;
}

} // namespace mog
