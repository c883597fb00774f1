// "実ファイルを削除(&X)": deletes the files of the selected rows of the main
// window's list, asking about each in the warning dialog; the rows' entries
// leave the list. Folder rows are never asked about and never touched.
// Files that lie in the game folder go as one plan through the journal
// (shown first when the user asked for a preview), so they can be undone.
#pragma once

namespace replidex {

class MainWindow;
class DeleteQuestionDialog;

void DeleteSelectedFiles(MainWindow& form, DeleteQuestionDialog& dialog);

}  // namespace replidex
