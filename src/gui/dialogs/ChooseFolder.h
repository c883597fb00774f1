// The folder chooser.
#pragma once

#include <string>

class QWidget;

namespace replidex {

// Shows the folder chooser "フォルダを選択してください" owned by `owner`,
// starting at `initialFolder` when it is not empty. Answers the chosen
// folder's path (Shift-JIS, without a trailing delimiter except for the file
// system's root), or empty when the user cancels.
std::string ChooseFolder(QWidget* owner, const std::string& initialFolder);

}  // namespace replidex
