#include "core/search/ScopePath.h"

#include <algorithm>

namespace replidex {

bool FolderIndexPath(const ReplayFolder* top, const ReplayFolder* folder, IndexPath& path)
{
    path.clear();
    if (!top || !folder) return false;
    for (const ReplayFolder* at = folder; at != top; at = at->parent) {
        const ReplayFolder* parent = at->parent;
        if (!parent) {
            path.clear();
            return false;
        }
        const auto& siblings = parent->children;
        const auto found = std::find_if(siblings.begin(), siblings.end(),
                                        [at](const auto& child) { return child.get() == at; });
        if (found == siblings.end()) {
            path.clear();
            return false;
        }
        path.push_back(static_cast<int>(found - siblings.begin()));
    }
    std::reverse(path.begin(), path.end());
    return true;
}

ReplayFolder* FolderAtIndexPath(ReplayFolder* top, const IndexPath& path)
{
    ReplayFolder* at = top;
    for (const int index : path) {
        if (!at || index < 0 || index >= static_cast<int>(at->children.size())) return nullptr;
        at = at->children[static_cast<std::size_t>(index)].get();
    }
    return at;
}

}  // namespace replidex
