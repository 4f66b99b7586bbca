#include "platform/folder_handles.h"

namespace mog {

namespace {

// One folder of a chain whose folders above are the same.
bool same_folder(const Folder& held, const Folder& wanted) {
    return held.identity == wanted.identity && held.name == wanted.name;
}

} // namespace

FolderHandles::~FolderHandles() {
    for (const Held& held : held_)
        close_folder_handle(held.handle);
}

int FolderHandles::reach(const std::shared_ptr<const Folder>& folder, std::intptr_t& handle) {
    if (!held_.empty() && held_.back().folder == folder) {
        handle = held_.back().handle;
        return 0;
    }
    std::vector<std::shared_ptr<const Folder>> chain;
    for (std::shared_ptr<const Folder> at = folder; at; at = at->parent)
        chain.insert(chain.begin(), at);
    std::size_t kept = 0;
    for (; kept < held_.size() && kept < chain.size() && same_folder(*held_[kept].folder, *chain[kept]); ++kept)
        held_[kept].folder = chain[kept];
    while (held_.size() > kept) {
        close_folder_handle(held_.back().handle);
        held_.pop_back();
    }
    for (std::size_t depth = kept; depth < chain.size(); ++depth) {
        std::intptr_t opened = -1;
        if (int error = open_found_folder(held_.empty() ? -1 : held_.back().handle, *chain[depth], opened); error != 0)
            return error;
        held_.push_back({chain[depth], opened});
    }
    handle = held_.back().handle;
    return 0;
}

} // namespace mog
