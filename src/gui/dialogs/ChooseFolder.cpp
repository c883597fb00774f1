#include "gui/dialogs/ChooseFolder.h"

#include <QDir>
#include <QFileDialog>

#include "gui/dialogs/FileDialogs.h"

namespace replidex {

std::string ChooseFolder(QWidget* owner, const std::string& initialFolder)
{
    const FileDialogRequest request{FileDialogKind::Folder,
                                    QStringLiteral("フォルダを選択してください"),
                                    detail::NativeFolder(initialFolder), QString()};
    QStringList answer;
    if (!detail::AnswerFromResponder(request, answer)) {
        QFileDialog dialog(owner, request.title, request.startFolder);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
        if (dialog.exec() == QDialog::Accepted) answer = dialog.selectedFiles();
    }
    if (answer.isEmpty() || answer.first().isEmpty()) return {};
    // No trailing delimiter, except for the root itself.
    QString folder = QDir::cleanPath(answer.first());
    return SjisOfChosenPath(QDir::toNativeSeparators(folder));
}

}  // namespace replidex
