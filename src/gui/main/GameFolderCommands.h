// The window side of the four operations on the game's replay folder: the
// questions and messages around the core's plans (run through the journal
// the command line shares), and the new file
// states of the window's rows afterwards (a list may hold the very files the
// operation copied over, renamed or removed).
#pragma once

#include <vector>

#include "core/journal/JournalPlan.h"
#include "core/replay/GameFolderOperations.h"
#include "core/replay/ReplayRecords.h"

namespace replidex {

class ListWindowBase;
class DeleteQuestionDialog;

class GameFolderCommands {
public:
    // `window` is the window whose list the transfers take their rows from.
    explicit GameFolderCommands(ListWindowBase& window) : window_(window) {}

    // Copies the selected replays with game replay file names under their own
    // names, replacing what is there (after asking).
    void NormalTransfer(const SjisString& gameFolder);
    // Copies the selected replays into the next free slots (after asking).
    void AdditionalTransfer(const SjisString& gameFolder);
    // Renumbers the folder's slot files from 00 on without gaps (after asking).
    void AscendingRename(const SjisString& gameFolder);
    // Deletes the folder's *.RPD files one by one, asking about each.
    void DeleteAllReplays(const SjisString& gameFolder, DeleteQuestionDialog& dialog);

    // The selected rows of the window's list as the transfer rules take them.
    std::vector<ListRowFacts> SelectedRowFacts() const;

    // The rows show the new states of their files.
    void ShowNewFileStates();

private:
    void Transfer(const OperationPlan& plan);

    ListWindowBase& window_;
};

}  // namespace replidex
