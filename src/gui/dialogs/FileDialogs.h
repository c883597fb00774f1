// The file dialogs of the main window: open and save a list file, pick replay
// files to add, choose a folder (ChooseFolder.h). Paths go in and out as
// Shift-JIS texts, as the program keeps them.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace replidex {

// OpenDialog: an existing list file, starting in `startFolder`. Empty when
// cancelled.
std::string AskOpenListPath(QWidget* owner, const std::string& startFolder);
// SaveDialog: a list file path (".rdx" added when the name has no extension;
// an existing file is overwritten only after asking). Empty when cancelled.
std::string AskSaveListPath(QWidget* owner, const std::string& startFolder);
// OpenDialog_RPD: existing replay files, in the file system's form (the add
// operation itself counts and reports paths that Shift-JIS cannot hold).
// Empty when cancelled.
std::vector<std::string> AskReplayFiles(QWidget* owner, const std::string& startFolder);

// The Shift-JIS form of a path the user named (in a dialog, by a drop or as
// the first argument); empty, after telling the user, when no Shift-JIS form
// leads back to the same file.
std::string SjisOfChosenPath(const QString& path);

// ---- test seam: answers the dialogs without showing them.

enum class FileDialogKind { OpenList, SaveList, ReplayFiles, Folder };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::OpenList;
    QString title;
    QString startFolder;
    QString filter;
};

// Answers the chosen paths (file-system form); an empty list is a cancel.
using FileDialogResponder = std::function<QStringList(const FileDialogRequest&)>;
// Installs `responder` (empty: show real dialogs again); answers the one before.
FileDialogResponder SetFileDialogResponder(FileDialogResponder responder);

namespace detail {
// Runs the responder when one is installed; false when none is.
bool AnswerFromResponder(const FileDialogRequest& request, QStringList& answer);
// The file-system form of a Shift-JIS folder, for a dialog's start folder.
QString NativeFolder(const std::string& sjisFolder);
}  // namespace detail

}  // namespace replidex
