// The open replay list: its folder tree (top-level folders, one of them the
// root) and the document pool that owns every entry the folders list.
#pragma once

#include <memory>
#include <vector>

#include "core/replay/ReplayRecords.h"

namespace replidex {

struct ReplayDocument {
    // Top-level folders in tree order; `root` points at one of them or is null.
    std::vector<std::unique_ptr<ReplayFolder>> topLevel;
    ReplayFolder* root = nullptr;
    EntryPool pool;

    // Removes every folder and gives every entry back to the pool: no entry
    // outlives the list that held it.
    void clear()
    {
        root = nullptr;
        topLevel.clear();
        pool.clear();
    }
    ReplayFolder* addTopLevel(SjisString name)
    {
        topLevel.push_back(std::make_unique<ReplayFolder>(std::move(name)));
        return topLevel.back().get();
    }
};

}  // namespace replidex
