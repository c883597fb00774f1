#include "gui/journal/JournalMenu.h"

#include <QAction>
#include <QMenu>
#include <QStringList>

#include "gui/dialogs/MessageBoxes.h"
#include "gui/journal/FolderChangeRun.h"
#include "gui/journal/JournalHistoryDialog.h"
#include "gui/journal/PlanTexts.h"
#include "platform/JournalLocation.h"

namespace replidex {

namespace {

const QString kUndoPlain = QStringLiteral("元に戻す(&U)");
const QString kInterrupted = QStringLiteral("前回のPuyoFフォルダ操作は途中で終了しました。");

// The steps that could not be undone, one a line; on Windows a note that
// trashed files are in the recycle bin.
QString UndoDetails(const std::vector<UndoStepResult>& results)
{
    QStringList lines;
    bool notInTrash = false;
    for (const UndoStepResult& r : results) {
        if (r.undone) continue;
        lines << QStringLiteral("%1 (%2): %3").arg(NativeText(r.name), StepWords(r.kind), UndoReasonWords(r.reason));
        notInTrash = notInTrash || r.reason == UndoReason::NotInTrash;
    }
#ifdef _WIN32
    if (notInTrash) lines << QString() << QStringLiteral("ごみ箱に移動したファイルは、ごみ箱から元に戻してください。");
#else
    (void)notInTrash;
#endif
    return lines.join(QLatin1Char('\n'));
}

void TellUndoResult(const std::vector<UndoStepResult>& results)
{
    int undone = 0;
    for (const UndoStepResult& r : results) undone += r.undone ? 1 : 0;
    const int left = static_cast<int>(results.size()) - undone;
    const QString text = left == 0 ? QStringLiteral("元に戻しました。")
                                   : QStringLiteral("%1個の手順を元に戻しました。\n%2個の手順は元に戻せませんでした。")
                                         .arg(undone)
                                         .arg(left);
    ShowNoticeText(text, UndoDetails(results));
}

// Each step's state after an interruption, one a line.
QString StepStatesText(const JournalEntry& entry)
{
    const std::vector<StepState> states = ReadStepStates(entry);
    QStringList lines;
    lines << QStringLiteral("%1 (%2)").arg(OperationWords(entry.plan.kind), NativeText(entry.plan.folder));
    for (std::size_t i = 0; i < states.size(); ++i) {
        const PlannedStep& step = entry.plan.steps[i];
        QString line = QStringLiteral("%1: %2 %3").arg(StepStateWords(states[i]), StepWords(step.kind),
                                                       NativeText(entry.records[i].name));
        if (!step.source.empty()) line += QStringLiteral(" <- ") + StepSourceText(step);
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

JournalMenu::JournalMenu(QMenu* tools, std::function<std::string()> gameFolder, std::function<void()> folderChanged,
                         QWidget* window)
    : QObject(window), gameFolder_(std::move(gameFolder)), folderChanged_(std::move(folderChanged)), window_(window)
{
    preview = tools->addAction(QStringLiteral("PuyoFフォルダ操作の前に確認画面を表示(&P)"));
    preview->setObjectName(QStringLiteral("MMJournalPreview"));
    preview->setCheckable(true);
    preview->setChecked(PreviewBeforeFolderChanges());
    undo = tools->addAction(kUndoPlain);
    undo->setObjectName(QStringLiteral("MMJournalUndo"));
    history = tools->addAction(QStringLiteral("PuyoFフォルダの操作履歴(&J)..."));
    history->setObjectName(QStringLiteral("MMJournalHistory"));

    connect(preview, &QAction::toggled, this, [](bool on) { SetPreviewBeforeFolderChanges(on); });
    connect(undo, &QAction::triggered, this, &JournalMenu::UndoLast);
    connect(history, &QAction::triggered, this, &JournalMenu::ShowHistory);
    connect(tools, &QMenu::aboutToShow, this, &JournalMenu::Refresh);
    Refresh();
}

void JournalMenu::Refresh()
{
    preview->setChecked(PreviewBeforeFolderChanges());
    const std::string folder = gameFolder_ ? gameFolder_() : std::string();
    const std::optional<JournalEntry> last = folder.empty() ? std::nullopt : SharedJournal().lastUndoable(folder);
    undo->setEnabled(last.has_value());
    undo->setText(last ? QStringLiteral("元に戻す: %1(&U)").arg(OperationSummary(*last)) : kUndoPlain);
}

void JournalMenu::UndoLast()
{
    const std::string folder = gameFolder_ ? gameFolder_() : std::string();
    JournalStore store = SharedJournal();
    const std::optional<JournalEntry> last = folder.empty() ? std::nullopt : store.lastUndoable(folder);
    if (!last) return;
    const std::vector<UndoStepResult> results = UndoEntry(store, *last, PlatformJournalTrash());
    if (folderChanged_) folderChanged_();
    TellUndoResult(results);
    Refresh();
}

void JournalMenu::ShowHistory()
{
    auto* dialog = new JournalHistoryDialog(SharedJournal().entries(), window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

JournalMenu* AddJournalItems(QMenu* tools, std::function<std::string()> gameFolder,
                             std::function<void()> folderChanged, QWidget* window)
{
    if (!tools->actions().isEmpty()) tools->addSeparator();
    return new JournalMenu(tools, std::move(gameFolder), std::move(folderChanged), window);
}

bool OfferToUndoInterrupted()
{
    JournalStore store = SharedJournal();
    bool changed = false;
    for (const JournalEntry& entry : store.interrupted()) {
        store.mark(entry.id, "seen");
        const QString text = kInterrupted + QStringLiteral("\n終了した手順を元に戻しますか？");
        if (ConfirmBoxText(text, kMsgWarning, StepStatesText(entry)) != kAnswerOk) continue;
        TellUndoResult(UndoEntry(store, entry, PlatformJournalTrash()));
        changed = true;
    }
    return changed;
}

}  // namespace replidex
