#include "gui/main/GameFolderMessages.h"

#include <QFile>
#include <QStringList>

#include <functional>

namespace replidex {

namespace {

// At most this many failed files are named; the rest are counted.
constexpr int kNamedFailures = 10;

QString Display(const std::string& nativeName)
{
    return QString::fromUtf8(QByteArray::fromStdString(nativeName));
}

QString ProblemWords(FileProblem problem)
{
    switch (problem) {
    case FileProblem::None: return {};
    case FileProblem::NotFound: return QStringLiteral("ファイルが見つかりません");
    case FileProblem::NotRegularFile: return QStringLiteral("通常のファイルではありません");
    case FileProblem::NotGameReplayName: return QStringLiteral("REPLAYnn.RPDの名前ではありません");
    case FileProblem::AnalysisFailed: return QStringLiteral("リプレイファイルとして読めません");
    case FileProblem::NotRpdFile: return QStringLiteral("*.rpdファイルではありません");
    case FileProblem::UnsafeName: return QStringLiteral("ファイル名がフォルダの外を指しています");
    case FileProblem::NoFreeSlot: return QStringLiteral("空きインデックスがありません");
    case FileProblem::CannotList: return QStringLiteral("PuyoFフォルダを読めません");
    case FileProblem::ReadFailed: return QStringLiteral("読み込みに失敗しました");
    case FileProblem::WriteFailed: return QStringLiteral("書き込みに失敗しました");
    case FileProblem::TargetExists: return QStringLiteral("同じ名前のファイルがあります");
    case FileProblem::PlaceFailed: return QStringLiteral("ファイルを置けませんでした");
    case FileProblem::RenameFailed: return QStringLiteral("リネームに失敗しました");
    case FileProblem::TrashFailed: return QStringLiteral("ごみ箱に移動できませんでした");
    case FileProblem::DeleteFailed: return QStringLiteral("削除に失敗しました");
    case FileProblem::ChangedSince: return QStringLiteral("確認後に変更されました");
    case FileProblem::JournalFailed: return QStringLiteral("操作履歴を書き込めません");
    }
    return {};
}

// "・name: why" for the first failed files, then how many more.
QString FailureLines(const OperationReport& report, const std::function<QString(const FileReport&)>& nameOf)
{
    QStringList lines;
    int more = 0;
    for (const FileReport& file : report.files) {
        if (file.outcome != FileOutcome::Failed) continue;
        if (lines.size() < kNamedFailures) lines << QStringLiteral("・%1: %2").arg(nameOf(file), ProblemMessage(file));
        else ++more;
    }
    if (more > 0) lines << QStringLiteral("ほか%1個").arg(more);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

QString ProblemMessage(const FileReport& file)
{
    QString text = ProblemWords(file.problem);
    const bool saysItAll = file.problem == FileProblem::NotFound || file.problem == FileProblem::TargetExists;
    if (file.error && !saysItAll) text += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(file.error.message()));
    return text;
}

QString TransferResultText(const OperationReport& report)
{
    const int failed = report.failedCount();
    if (failed == 0) return QStringLiteral("転送完了！");
    return QStringLiteral("%1個のファイルを転送しました。\n%2個のファイルは転送できませんでした。\n\n%3")
        .arg(report.count(FileOutcome::Copied))
        .arg(failed)
        .arg(FailureLines(report, [](const FileReport& f) { return Display(f.source); }));
}

QString TransferDetails(const OperationReport& report)
{
    QStringList lines;
    for (const FileReport& file : report.files)
        if (file.outcome == FileOutcome::Copied)
            lines << QStringLiteral("%1 <- %2").arg(Display(file.target), Display(file.source));
    return lines.join(QLatin1Char('\n'));
}

QString RenameResultText(const OperationReport& report)
{
    const int failed = report.failedCount();
    if (failed == 0) return QStringLiteral("リネーム完了！");
    return QStringLiteral("%1個のファイルをリネームしました。\n%2個のファイルはリネームできませんでした。\n\n%3")
        .arg(report.count(FileOutcome::Renamed))
        .arg(failed)
        .arg(FailureLines(report, [](const FileReport& f) {
            return QStringLiteral("%1 → %2").arg(Display(f.source), Display(f.target));
        }));
}

QString RemoveResultText(const OperationReport& report)
{
    QStringList parts;
    if (const int failed = report.failedCount(); failed > 0)
        parts << QStringLiteral("%1個のファイルを削除できませんでした。\n\n%2")
                     .arg(failed)
                     .arg(FailureLines(report, [](const FileReport& f) { return Display(f.source); }));
    if (const int direct = report.noTrashCount(); direct > 0)
        parts << QStringLiteral("ごみ箱が使えないため、%1個のファイルを完全に削除しました。").arg(direct);
    return parts.join(QStringLiteral("\n\n"));
}

}  // namespace replidex
