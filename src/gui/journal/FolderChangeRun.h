// How the window runs a change to the game folder: the plan is shown before
// it runs (as the question's detailed text, or in the preview dialog when
// the user asked for it), then run through the journal the command line
// shares, so that it can be undone from either.
#pragma once

#include <QString>

#include <string_view>

#include "core/journal/Journal.h"

namespace replidex {

class ProfileFile;

// 「PuyoFフォルダ操作の前に確認画面を表示(&P)」: off unless the user turns it on.
bool PreviewBeforeFolderChanges();
void SetPreviewBeforeFolderChanges(bool on);
// The option in the settings file (section "Journal").
void LoadJournalSettings(const ProfileFile& file);
void SaveJournalSettings(ProfileFile& file);

// Asks the operation's question (`question`, Shift-JIS, OK and Cancel) with
// the plan as detailed text, or shows the preview dialog instead when the
// option is on. True when the plan may run.
bool AskAboutPlan(std::string_view question, int kind, const OperationPlan& plan);
// For an operation that asked its own questions already (file by file): the
// preview dialog when the option is on, else true.
bool PreviewPlanIfWanted(const OperationPlan& plan);

// The journal the window and the command line share.
JournalStore SharedJournal();
// Runs the plan through the shared journal.
ExecutionResult RunFolderPlan(const OperationPlan& plan);

}  // namespace replidex
