#include "gui/main/CommandKeys.h"

#include <QAbstractItemView>
#include <QAction>

#include "gui/browse/ViewKeys.h"
#include "gui/main/MainWindowUi.h"

namespace replidex {

QList<QKeySequence> StandardKeysLedBy(QKeySequence::StandardKey standard, const QKeySequence& conventional)
{
    QList<QKeySequence> keys{conventional};
    for (const QKeySequence& key : QKeySequence::keyBindings(standard))
        if (!keys.contains(key)) keys.append(key);
    return keys;
}

void AssignMainMenuKeys(const MainWindowUi& ui)
{
    ui.MMNewFileList->setShortcuts(StandardKeysLedBy(QKeySequence::New, QKeySequence(Qt::CTRL | Qt::Key_N)));
    ui.MMOpenFileList->setShortcuts(StandardKeysLedBy(QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O)));
    ui.MMSaveFileList->setShortcuts(StandardKeysLedBy(QKeySequence::Save, QKeySequence(Qt::CTRL | Qt::Key_S)));
    ui.MMSaveAsFileList->setShortcuts(
        StandardKeysLedBy(QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)));
    ui.MMCloseFileList->setShortcuts(StandardKeysLedBy(QKeySequence::Close, QKeySequence(Qt::CTRL | Qt::Key_W)));
    ui.MMExit->setShortcuts(StandardKeysLedBy(QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)));
    ui.MMSearch->setShortcuts(StandardKeysLedBy(QKeySequence::Find, QKeySequence(Qt::CTRL | Qt::Key_F)));
}

void AssignListMenuKeys(const ListWindowBase::ListMenuItems& items, QAbstractItemView* list)
{
    const auto assign = [list](QAction* action, const QList<QKeySequence>& keys) {
        if (!action) return;
        action->setShortcuts(keys);
        // Only while the view itself has the focus: not in its cell editor.
        action->setShortcutContext(Qt::WidgetShortcut);
        // The list menu is a context menu: its shortcut column is shown on
        // every platform.
        action->setShortcutVisibleInContextMenu(true);
        list->addAction(action);
    };
    assign(items.refresh, StandardKeysLedBy(QKeySequence::Refresh, QKeySequence(Qt::Key_F5)));
    assign(items.moveTop, {QKeySequence(Qt::ALT | Qt::Key_Home)});
    assign(items.moveUp, {QKeySequence(Qt::ALT | Qt::Key_Up)});
    assign(items.moveDown, {QKeySequence(Qt::ALT | Qt::Key_Down)});
    assign(items.moveBottom, {QKeySequence(Qt::ALT | Qt::Key_End)});
    KeepActionKeysFromView(list);
}

}  // namespace replidex
