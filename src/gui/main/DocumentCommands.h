// The document commands of the main window: new, open, save, save as and
// close, with the prompt that asks to save a modified list first, and the
// window's side of reading and writing the list file.
#pragma once

#include <string>

namespace replidex {

class MainWindow;

enum class SaveOutcome { Saved, Cancelled, Failed };

class DocumentCommands {
public:
    explicit DocumentCommands(MainWindow& form) : form_(form) {}

    // Asks "ファイルは変更されています。\n保存しますか？" when the list is
    // modified. True when the command may go on: not modified, No, or Yes
    // with a save that did not fail (a cancelled save dialog goes on).
    bool AskToSave();

    void NewList(const std::string& folder, const std::string& name);
    void OpenList(const std::string& path, bool ask);
    SaveOutcome Save();
    SaveOutcome SaveAs();
    void Close();

    // Reads the list file at `path` (Shift-JIS) into the window; true when
    // it was read.
    bool ReadList(const std::string& path);
    // Writes the list to `path`; a failure is told to the user.
    SaveOutcome WriteList(const std::string& path);

private:
    MainWindow& form_;
};

}  // namespace replidex
