// The shared image list: twelve 16x16 pictures used by the folder tree and
// both replay list views. 0-8 = 3 x match kind + entry state, 9 = analysis
// failed, 10 = folder, 11 = selected folder.
#pragma once

#include <QIcon>

namespace replidex {

inline constexpr int kReplayIconCount = 12;

// The picture of image index `index` (a null icon outside 0-11).
QIcon ReplayIcon(int index);
// The folder picture of the tree: image 10, and image 11 while selected.
QIcon FolderNodeIcon();

}  // namespace replidex
