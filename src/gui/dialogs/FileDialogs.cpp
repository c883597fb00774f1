#include "gui/dialogs/FileDialogs.h"

#include <QFile>
#include <QFileDialog>

#include <utility>

#include "core/text/SjisCodec.h"
#include "gui/dialogs/MessageBoxes.h"

namespace replidex {

namespace {

FileDialogResponder& Responder()
{
    static FileDialogResponder responder;
    return responder;
}

const QString kListFilter = QStringLiteral("リプレイリストファイル (*.rdx)");
// The part in the last parentheses is the pattern; the name shows as the user
// knows it, and the pattern takes both spellings of the extensions.
const QString kReplayFilter = QStringLiteral("リプレイファイル(*.rpd,*.dat) (*.rpd *.RPD *.dat *.DAT)");

QStringList RunDialog(QWidget* owner, const FileDialogRequest& request, QFileDialog::AcceptMode mode,
                      QFileDialog::FileMode fileMode)
{
    QStringList answer;
    if (detail::AnswerFromResponder(request, answer)) return answer;

    QFileDialog dialog(owner, request.title, request.startFolder, request.filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(fileMode);
    dialog.setOption(QFileDialog::HideNameFilterDetails, request.kind == FileDialogKind::ReplayFiles);
    if (mode == QFileDialog::AcceptSave) dialog.setDefaultSuffix(QStringLiteral("rdx"));
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

}  // namespace

namespace detail {

bool AnswerFromResponder(const FileDialogRequest& request, QStringList& answer)
{
    if (!Responder()) return false;
    answer = Responder()(request);
    return true;
}

QString NativeFolder(const std::string& sjisFolder)
{
    return QString::fromUtf8(QByteArray::fromStdString(NativePathFromSjis(sjisFolder)));
}

}  // namespace detail

std::string SjisOfChosenPath(const QString& path)
{
    if (path.isEmpty()) return {};
    std::string sjis;
    if (SjisFromNativePath(path.toUtf8().toStdString(), sjis)) return sjis;
    ShowMessageBox(Sjis("このパスにはShift-JISで表せない文字が含まれているため、使用できません。"),
                   kMsgWarning);
    return {};
}

std::string AskOpenListPath(QWidget* owner, const std::string& startFolder)
{
    const FileDialogRequest request{FileDialogKind::OpenList, QStringLiteral("開く"),
                                    detail::NativeFolder(startFolder), kListFilter};
    const QStringList chosen =
        RunDialog(owner, request, QFileDialog::AcceptOpen, QFileDialog::ExistingFile);
    return chosen.isEmpty() ? std::string() : SjisOfChosenPath(chosen.first());
}

std::string AskSaveListPath(QWidget* owner, const std::string& startFolder)
{
    const FileDialogRequest request{FileDialogKind::SaveList, QStringLiteral("名前を付けて保存"),
                                    detail::NativeFolder(startFolder), kListFilter};
    const QStringList chosen = RunDialog(owner, request, QFileDialog::AcceptSave, QFileDialog::AnyFile);
    return chosen.isEmpty() ? std::string() : SjisOfChosenPath(chosen.first());
}

std::vector<std::string> AskReplayFiles(QWidget* owner, const std::string& startFolder)
{
    const FileDialogRequest request{FileDialogKind::ReplayFiles, QStringLiteral("ファイルを追加"),
                                    detail::NativeFolder(startFolder), kReplayFilter};
    std::vector<std::string> paths;
    for (const QString& path :
         RunDialog(owner, request, QFileDialog::AcceptOpen, QFileDialog::ExistingFiles))
        if (!path.isEmpty()) paths.push_back(path.toUtf8().toStdString());
    return paths;
}

FileDialogResponder SetFileDialogResponder(FileDialogResponder responder)
{
    return std::exchange(Responder(), std::move(responder));
}

}  // namespace replidex
