// The shortcut keys of the commands. Each document command takes the
// platform's standard key sequences, led by the conventional key so that the
// menus show the same key everywhere and a platform without a binding (no
// Save As or Quit under Windows rules) still gets one. The row commands of a
// list menu act only while their list view has the focus, so that the tree,
// the criteria and an in-place editor keep their own keys.
#pragma once

#include <QKeySequence>
#include <QList>

#include "gui/main/ListWindowBase.h"

class QAbstractItemView;

namespace replidex {

struct MainWindowUi;

// `conventional` first, then the platform's other bindings of `standard`.
QList<QKeySequence> StandardKeysLedBy(QKeySequence::StandardKey standard, const QKeySequence& conventional);

// New, Open, Save, Save As, Close, Quit and Find on the main window's menu.
void AssignMainMenuKeys(const MainWindowUi& ui);

// Refresh (F5) and the four row moves (Alt+Home, Alt+Up, Alt+Down, Alt+End)
// on the list menu's items of `list`. A key of these commands never reaches
// the view's own navigation, also while the command is disabled.
void AssignListMenuKeys(const ListWindowBase::ListMenuItems& items, QAbstractItemView* list);

}  // namespace replidex
