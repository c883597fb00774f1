// What the user is told after an operation on the game folder or on the
// files of list rows: the fixed completion texts when everything went, else
// how many files failed and why, one line a file.
#pragma once

#include <QString>

#include "core/replay/GameFolderOperations.h"

namespace replidex {

// Why one file failed or was skipped, in words for the user.
QString ProblemMessage(const FileReport& file);

// After a transfer: "転送完了！" when every file was copied; else how many
// were copied and how many not, and why.
QString TransferResultText(const OperationReport& report);
// The list of copies, "REPLAYnn.RPD <- source", one a line.
QString TransferDetails(const OperationReport& report);

// After the ascending rename: "リネーム完了！", or the renames that failed.
QString RenameResultText(const OperationReport& report);

// After deleting files: empty when every file went as asked; else the files
// that could not be removed, and how many were deleted at once because there
// was no trash.
QString RemoveResultText(const OperationReport& report);

}  // namespace replidex
