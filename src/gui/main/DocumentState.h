// The open replay list as the main window holds it: the tree with its pool,
// the list file's name and folder, the modified flag, the folder shown in the
// list and the current row.
#pragma once

#include <string>

#include "core/list/ReplayDocument.h"

namespace replidex {

struct DocumentState {
    ReplayDocument list;       // folders and the document pool
    EntryPool importPool;      // entries being added
    SjisString FileName;       // "無題.rdx" for a new list; empty: no list open
    SjisString FileFolder;     // with its trailing delimiter; empty: never saved
    bool Modified = false;
    ReplayFolder* ShownNode = nullptr;
    int CurrentRow = -1;

    ReplayFolder* RootNode() const { return list.root; }
    bool isOpen() const { return !FileName.empty(); }
};

// The window caption (Shift-JIS): "Replidex" with no list open, the full path
// otherwise, "(変更)" in front while modified.
SjisString WindowCaption(const DocumentState& state);

// Cuts a Shift-JIS path after its last path delimiter (the system's own; the
// second byte of a two-byte character never counts): the folder with its
// delimiter, and the name.
void SplitSjisPath(const SjisString& path, SjisString& folder, SjisString& name);

}  // namespace replidex
