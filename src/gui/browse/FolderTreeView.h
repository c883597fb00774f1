// The look and feel of the folder tree: in-place renaming, dragging folders
// and dropping folders or list rows on a node, a collapsed folder opening
// after the cursor rests on it for a second while dragging, scrolling when
// the cursor nears the top or bottom edge while dragging.
#pragma once

class QTreeView;

namespace replidex {

class FolderTreeModel;

inline constexpr int kTreeHoverExpandMs = 1000;
inline constexpr int kTreeEdgeScrollMargin = 16;

void SetUpFolderTreeView(QTreeView* view, FolderTreeModel* model);

}  // namespace replidex
