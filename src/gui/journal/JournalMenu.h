// The undo and history block of the menu 「ツール(&T)」: the preview option,
// 「元に戻す: 追加転送 (3ファイル)(&U)」 naming the game folder's last operation
// (disabled when there is none to undo) and the operation history; and the
// start-up check for an operation that ended half-way.
#pragma once

#include <QObject>

#include <functional>
#include <string>

class QAction;
class QMenu;
class QWidget;

namespace replidex {

class JournalMenu final : public QObject {
    Q_OBJECT
public:
    // `gameFolder` answers the game folder (file-system encoding);
    // `folderChanged` runs after an undo changed it.
    JournalMenu(QMenu* tools, std::function<std::string()> gameFolder, std::function<void()> folderChanged,
                QWidget* window);

    // The undo item names the game folder's last operation, or is disabled.
    void Refresh();
    // Undoes the game folder's last operation and tells how it went.
    void UndoLast();
    void ShowHistory();

    QAction* preview = nullptr;
    QAction* undo = nullptr;
    QAction* history = nullptr;

private:
    std::function<std::string()> gameFolder_;
    std::function<void()> folderChanged_;
    QWidget* window_ = nullptr;
};

// Adds the block (after a separator when the menu holds items already).
JournalMenu* AddJournalItems(QMenu* tools, std::function<std::string()> gameFolder,
                             std::function<void()> folderChanged, QWidget* window);

// Tells of each operation that ended half-way (no completion record), with
// each step's state as detailed text, and offers to undo its finished
// steps. Each is told once. Answers whether the game folder changed.
bool OfferToUndoInterrupted();

}  // namespace replidex
