// Keys a view answers beyond its own: Enter on a list row, Delete in the list
// and in the tree, F2 on a folder row; and keys a view must not answer.
#pragma once

#include <functional>
#include <initializer_list>

class QAbstractItemView;

namespace replidex {

// Runs `run` when one of `keys` is pressed without Ctrl, Alt or Shift while
// `view` has the focus and no cell of it is being edited. The view does not
// see the key then.
void OnViewKeys(QAbstractItemView* view, std::initializer_list<int> keys, std::function<void()> run);

// The shortcut keys of the actions added to `view` belong to those actions:
// while an action is disabled its key does nothing, where the view would
// otherwise take it for its own navigation (Alt+Up moving the current row).
void KeepActionKeysFromView(QAbstractItemView* view);

}  // namespace replidex
