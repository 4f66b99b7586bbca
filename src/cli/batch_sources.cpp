#include "cli/batch_sources.h"

#include <algorithm>
#include <set>
#include <utility>

#include "mog/names.h"
#include "mog/sources.h"
#include "sources/zipcode_set.h"

namespace mog {

namespace {

// True for a name of a kind mog reads that a search takes: not an earlier
// run's output (unless outputs_too), and of a Zip-Code set only the first
// part the folder holds, so that the set is taken once.
bool taken(const std::string& name, const std::vector<FolderEntry>& entries, bool outputs_too) {
    const std::optional<SourceName> kind = source_for_name(name);
    if (!kind || (!outputs_too && named_like_output(name)))
        return false;
    if (kind->kind != SourceKind::zipcode)
        return true;
    const int part = zipcode_part_number(name);
    for (int earlier = 1; earlier < part; ++earlier) {
        const std::string other = zipcode_part_path(name, earlier);
        for (const FolderEntry& entry : entries)
            if (entry.kind == EntryKind::file && entry.name == other)
                return false;
    }
    return true;
}

// The files below a folder that a batch takes, and the folders that could
// not be searched, each with its name as shown.
void search(FileSystem& files, const Place& place, bool outputs_too,
            std::vector<std::pair<std::string, FileTask>>& found) {
    std::vector<FolderEntry> entries;
    FileIdentity identity;
    if (int error = files.list(place, entries, identity); error != 0) {
        found.push_back({place.path(), FileTask{place, error, true}});
        return;
    }
    const auto folder = std::make_shared<const Folder>(Folder{place.folder, place.name, place.path(), identity});
    for (const FolderEntry& entry : entries) {
        Place inside{folder, entry.name};
        if (entry.kind == EntryKind::unknown)
            found.push_back({inside.path(), FileTask{inside, entry.error, true}});
        else if (entry.kind == EntryKind::folder)
            search(files, inside, outputs_too, found); // links are passed over: a search stays within what was named
        else if (entry.kind == EntryKind::file && taken(inside.name, entries, outputs_too))
            found.push_back({inside.path(), FileTask{inside, 0, true}});
    }
}

} // namespace

std::vector<FileTask> batch_sources(FileSystem& files, const std::vector<std::string>& names, bool outputs_too) {
    std::vector<std::pair<std::string, FileTask>> candidates;
    for (const std::string& name : names) {
        const Place place{nullptr, name};
        if (files.path_kind(place) != PathKind::folder) {
            candidates.push_back({name, FileTask{place, 0, false}});
            continue;
        }
        std::vector<std::pair<std::string, FileTask>> found;
        search(files, place, outputs_too, found);
        std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::move(found.begin(), found.end(), std::back_inserter(candidates));
    }
    std::vector<FileTask> sources;
    std::set<std::string> names_seen;
    for (auto& [name, task] : candidates)
        if (names_seen.insert(name).second)
            sources.push_back(std::move(task));
    return sources;
}

} // namespace mog
