// Keys a view answers beyond its own: Enter on a list row, Delete in the list
// and in the tree.
#pragma once

#include <functional>
#include <initializer_list>

class QAbstractItemView;

namespace replidex {

// Runs `run` when one of `keys` is pressed without Ctrl, Alt or Shift while
// `view` has the focus and no cell of it is being edited. The view does not
// see the key then.
void OnViewKeys(QAbstractItemView* view, std::initializer_list<int> keys, std::function<void()> run);

}  // namespace replidex
