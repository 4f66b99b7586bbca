// The folders that lead to the files a search found, held open from one file
// to the next: files reached through them are reached through the folders as
// they were found, whatever is done to their names meanwhile. A search takes
// its files folder by folder, so only the folders from the one named down to
// the current one are held, never more than the depth.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/file_system.h"

namespace mog {

// On each system: opens a folder a search found, within its parent's handle,
// or, for a folder named on the command line (parent -1), by its name with
// links followed; a folder found is never a link. Gives 0, FOLDER_CHANGED
// when something else than what the search found is now at the name, or an
// errno value.
int open_found_folder(std::intptr_t parent, const Folder& folder, std::intptr_t& handle);
void close_folder_handle(std::intptr_t handle);

class FolderHandles {
  public:
    FolderHandles() = default;
    ~FolderHandles();
    FolderHandles(const FolderHandles&) = delete;
    FolderHandles& operator=(const FolderHandles&) = delete;

    // The handle of the folder, opening those on the way to it that are not
    // held yet. Gives 0 or the error of the first folder that could not be
    // opened.
    int reach(const std::shared_ptr<const Folder>& folder, std::intptr_t& handle);

  private:
    struct Held {
        std::shared_ptr<const Folder> folder;
        std::intptr_t handle;
    };
    std::vector<Held> held_; // from the folder named down
};

} // namespace mog
