#include "gui/search/SearchWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QTabBar>
#include <QTreeView>

#include <utility>

#include "core/search/SearchRun.h"
#include "core/search/query/Query.h"
#include "core/search/query/QueryCriteria.h"
#include "core/settings/SavedQueries.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/ReplayListView.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/dialogs/MessageBoxes.h"
#include "gui/main/MainWindow.h"
#include "gui/search/CriteriaPanel.h"
#include "gui/search/QueryRow.h"
#include "gui/settings/AppSettings.h"
#include "gui/search/ScopeDialog.h"
#include "gui/stats/StatsCommands.h"

namespace replidex {

namespace {

SearchWindowUi BuiltUi(QDialog* window, const MainWindowUi& main)
{
    SearchWindowUi ui;
    ui.setupUi(window, main);
    return ui;
}

QString Display(const std::string& sjis)
{
    return QString::fromStdString(Cp932ToUtf8Lossy(sjis));
}

}  // namespace

SearchWindow::SearchWindow(MainWindow* main)
    : QDialog(main),
      ListWindowBase(this, false),
      main_(main),
      ui_(BuiltUi(this, main->ui())),
      rows_(new ReplayRowModel(this)),
      pages_(ui_.TC, rows_),
      commands_(ui_.List, rows_)
{
    FormCreate();
}

void SearchWindow::FormCreate()
{
    setObjectName(QStringLiteral("SearchWindow"));
    setWindowTitle(QStringLiteral("検索"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    resize(956, 584);

    // The result list looks and moves like the main list; its rows are
    // neither renamed, dragged nor dropped on.
    SetUpReplayListView(ui_.List, rows_);
    ui_.List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui_.List->setDragDropMode(QAbstractItemView::NoDragDrop);
    ui_.List->setDragEnabled(false);
    ui_.List->setAcceptDrops(false);

    BaseFormCreate();
    BaseFormShow();
    ConnectCommands();
    ConnectQueryRow();
    UpdateResultCommands();
}

void SearchWindow::ConnectCommands()
{
    const auto on = [this](auto* sender, auto signal, auto handler) { connect(sender, signal, this, handler); };
    CriteriaPanel* panel = ui_.Panel;
    on(panel->BtnSearch, &QPushButton::clicked, [this] { BtnSearchClick(); });
    on(panel, &CriteriaPanel::searchRequested, [this] { ui_.Panel->BtnSearch->click(); });
    on(panel->BtnAbort, &QPushButton::clicked, [this] { BtnAbortClick(); });
    on(panel->BtnFolder, &QPushButton::clicked, [this] { BtnFolderClick(); });
    on(ui_.BtnClose, &QPushButton::clicked, [this] { BtnCloseClick(); });
    on(ui_.BtnStats, &QPushButton::clicked, [this] { BtnStatsClick(); });
    on(ui_.TC, &QTabBar::currentChanged, [this](int index) { TCChange(index); });

    on(ui_.MMFileCopyRename, &QAction::triggered, [this] { MMFileCopyRenameClick(); });
    on(ui_.SpdBtnSend2, &QAction::triggered, [this] { MMFileCopyRenameClick(); });
    on(ui_.SpdBtnTop, &QAction::triggered, [this] { MoveTop(); });
    on(ui_.SpdBtnUp, &QAction::triggered, [this] { MoveUp(); });
    on(ui_.SpdBtnDown, &QAction::triggered, [this] { MoveDown(); });
    on(ui_.SpdBtnLast, &QAction::triggered, [this] { MoveBottom(); });
    // The game folder and help commands are the main window's own.
    const MainWindowUi& main = main_->ui();
    for (const auto& [mine, theirs] : {std::pair{ui_.MMExplorer, main.MMExplorer},
                                       std::pair{ui_.MMRPDRename, main.MMRPDRename},
                                       std::pair{ui_.MMRpdFileAllDelete, main.MMRpdFileAllDelete},
                                       std::pair{ui_.MMHTMLHelp, main.MMHTMLHelp}})
        connect(mine, &QAction::triggered, theirs, &QAction::trigger);
    on(ui_.MMConfig, &QAction::triggered, [this] { MMConfigClick(); });
    on(ui_.MMVersion, &QAction::triggered, [this] { MMVersionClick(); });

    QItemSelectionModel* selection = ui_.List->selectionModel();
    on(selection, &QItemSelectionModel::selectionChanged, [this] { UpdateResultCommands(); });
    on(rows_, &QAbstractItemModel::modelReset, [this] { UpdateResultCommands(); });
    on(rows_, &QAbstractItemModel::rowsRemoved, [this] { UpdateResultCommands(); });
}

void SearchWindow::ConnectQueryRow()
{
    QueryRow* row = ui_.Query;
    connect(row, &QueryRow::searchRequested, this, [this] { ui_.Panel->BtnSearch->click(); });
    connect(row->Edit_Query, &QLineEdit::textChanged, this, [this] {
        GreyCriteria(*ui_.Panel, ui_.Query->HasQuery());
        ui_.Query->ShowError({});
    });
    connect(row->BtnToQuery, &QPushButton::clicked, this, [this] { BtnToQueryClick(); });
    connect(row->ComboBox_Saved, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { ComboBox_SavedSelect(index); });
    connect(row->BtnSaveQuery, &QPushButton::clicked, this, [this] { BtnSaveQueryClick(); });
    connect(row->BtnDeleteQuery, &QPushButton::clicked, this, [this] { BtnDeleteQueryClick(); });
    row->ShowSaved(main_->program().savedQueries);
}

void SearchWindow::setDialogs(ScopeDialog* scope, AboutDialog* version)
{
    scopeDialog_ = scope;
    version_ = version;
}

void SearchWindow::SetScope(ReplayFolder* folder)
{
    scopeNode_ = folder;
    ui_.Panel->Edit_Folder->setText(folder ? Display(folder->name) : QString());
}

void SearchWindow::MarkScope(ReplayFolder* scope)
{
    EntryPool& pool = *PoolOf();
    // Without a scope nothing is searched; marks left from an earlier
    // showing (perhaps of another list) must not count.
    if (!scope) {
        pool.clearSearchMarks();
        return;
    }
    replidex::MarkScope(pool, scope, main_->program().config.skipMissing);
}

void SearchWindow::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) FormShow();
    QDialog::showEvent(event);
}

void SearchWindow::FormShow()
{
    FollowMainAvailability();
    // The window is made before the settings are read: the saved searches
    // are shown afresh each time it opens.
    ui_.Query->ShowSaved(main_->program().savedQueries, ui_.Query->ComboBox_Saved->currentText());
    MarkScope(scopeNode_);
    pages_.Clear();
    ui_.Label->clear();
    if (!pendingHits_.empty()) ShowGivenHits(std::exchange(pendingHits_, {}));
    UpdateResultCommands();
}

std::vector<std::int32_t> SearchWindow::HitSlots() const
{
    std::vector<std::int32_t> hits;
    const EntryPool& pool = main_->document().list.pool;
    pool.forEach([&hits](const ReplayEntry& e) {
        if (e.searchMark & kMarkHit) hits.push_back(e.poolIndex);
    });
    return hits;
}

void SearchWindow::ShowGivenHits(const std::vector<std::int32_t>& hits)
{
    EntryPool& pool = *PoolOf();
    pool.forEach([](ReplayEntry& e) { e.searchMark &= ~static_cast<std::uint32_t>(kMarkHit); });
    hitCount_ = 0;
    for (const std::int32_t slot : hits) {
        ReplayEntry* e = pool.lookup(slot);
        if (!e || (e->searchMark & kMarkHit)) continue;
        e->searchMark |= kMarkHit;
        ++hitCount_;
    }
    pages_.BuildTabs(hitCount_, replidex::PageSize(main_->program().config.searchPage));
    pages_.ShowPage(pool, 0);
    ui_.Label->setText(Display(SearchResultLabel(hitCount_)));
    UpdateResultCommands();
}

void SearchWindow::BtnStatsClick()
{
    RunResultStats(*main_, *this);
}

void SearchWindow::BtnSearchClick()
{
    if (ui_.Query->HasQuery()) return SearchByQuery();
    const SearchCriteria criteria = ui_.Panel->Criteria();
    const std::string refusal = SearchRefusalText(criteria);
    if (!refusal.empty()) {
        ShowNotice(refusal);
        runLoop_.ClearAbort();
        SetRunning(false);
        ui_.Label->setText(Display(SearchResultLabel(hitCount_)));
        return;
    }
    RunAndShow([&] { return runLoop_.Run(*PoolOf(), criteria); });
}

void SearchWindow::SearchByQuery()
{
    const QueryParse parsed = ParseQuery(ui_.Query->QueryText().toStdString());
    if (!parsed.ok) {
        ui_.Query->ShowError(QString::fromStdString(QueryErrorText(parsed.error)));
        return;
    }
    ui_.Query->ShowError({});
    const SearchCriteria textOptions = ui_.Panel->Criteria();
    const QueryMatcher matcher(parsed.query, {textOptions.caseSensitive, textOptions.widthSensitive});
    RunAndShow([&] {
        return runLoop_.Run(*PoolOf(), [&matcher](const ReplayEntry& e) { return matcher.MatchEntry(e); });
    });
}

void SearchWindow::RunAndShow(const std::function<SearchRunResult()>& walk)
{
    runLoop_.ClearAbort();
    SetRunning(true);
    ui_.Label->setText(QStringLiteral("検索中･･･"));
    hitCount_ = 0;
    hitCount_ = walk().hitCount;
    pages_.BuildTabs(hitCount_, replidex::PageSize(main_->program().config.searchPage));
    pages_.ShowPage(*PoolOf(), 0);
    runLoop_.ClearAbort();
    SetRunning(false);
    ui_.Label->setText(Display(SearchResultLabel(hitCount_)));
}

void SearchWindow::BtnToQueryClick()
{
    ui_.Query->Edit_Query->setText(QString::fromStdString(ToQuery(ui_.Panel->Criteria())));
    ui_.Query->Edit_Query->setFocus();
}

void SearchWindow::ComboBox_SavedSelect(int index)
{
    const std::vector<SavedQuery>& items = main_->program().savedQueries.items();
    if (index < 0 || index >= static_cast<int>(items.size())) return;
    const SavedQuery& saved = items[static_cast<std::size_t>(index)];
    ui_.Panel->CB_Alpha->setChecked(saved.options & kSavedQueryCaseSensitive);
    ui_.Panel->CB_Zenkaku->setChecked(saved.options & kSavedQueryWidthSensitive);
    ui_.Query->Edit_Query->setText(Display(saved.query));
}

void SearchWindow::BtnSaveQueryClick()
{
    QueryRow& row = *ui_.Query;
    const QueryParse parsed = ParseQuery(row.QueryText().toStdString());
    if (!parsed.ok) return row.ShowError(QString::fromStdString(QueryErrorText(parsed.error)));
    bool ok = false;
    const QString name = QInputDialog::getText(this, QStringLiteral("検索の保存"), QStringLiteral("名前:"),
                                               QLineEdit::Normal, row.ComboBox_Saved->currentText(), &ok)
                             .trimmed();
    if (!ok || name.isEmpty()) return;
    SavedQuery saved;
    std::string query;
    if (!Utf8ToCp932(name.toStdString(), saved.name) || !Utf8ToCp932(row.QueryText().toStdString(), query)) {
        ShowNotice(Sjis("Shift-JIS で表せない文字は保存できません。"));
        return;
    }
    saved.query = std::move(query);
    const SearchCriteria options = ui_.Panel->Criteria();
    saved.options = (options.caseSensitive ? kSavedQueryCaseSensitive : 0) |
                    (options.widthSensitive ? kSavedQueryWidthSensitive : 0);
    ProgramState& program = main_->program();
    if (!program.savedQueries.put(saved)) {
        ShowNotice(Sjis("保存できる検索は 50 件までです。"));
        return;
    }
    SaveSettings(program);
    row.ShowSaved(program.savedQueries, name);
}

void SearchWindow::BtnDeleteQueryClick()
{
    QueryRow& row = *ui_.Query;
    std::string name;
    if (row.ComboBox_Saved->currentIndex() < 0 ||
        !Utf8ToCp932(row.ComboBox_Saved->currentText().toStdString(), name))
        return;
    ProgramState& program = main_->program();
    if (!program.savedQueries.remove(name)) return;
    SaveSettings(program);
    row.ShowSaved(program.savedQueries);
}

void SearchWindow::SetRunning(bool running)
{
    ui_.Panel->BtnSearch->setEnabled(!running);
    ui_.Panel->BtnAbort->setEnabled(running);
    ui_.Panel->BtnFolder->setEnabled(!running);
    ui_.Query->setEnabled(!running);
    SetCommandEnabled(ui_.MMConfig, !running);
    ui_.TC->setEnabled(!running);
    PaintEditor(ui_.List, !running);
}

void SearchWindow::TCChange(int index)
{
    if (index >= 0) pages_.ShowPage(*PoolOf(), index);
}

void SearchWindow::BtnAbortClick()
{
    runLoop_.RequestAbort();
}

void SearchWindow::BtnCloseClick()
{
    runLoop_.RequestAbort();
    accept();
}

void SearchWindow::reject()
{
    runLoop_.RequestAbort();
    QDialog::reject();
}

void SearchWindow::BtnFolderClick()
{
    if (!scopeDialog_) return;
    scopeDialog_->SetFolders(main_->document().RootNode(), scopeNode_);
    if (scopeDialog_->exec() != QDialog::Accepted) return;
    ReplayFolder* chosen = scopeDialog_->ChosenNode();
    // OK with no folder selected keeps the scope as it is.
    if (!chosen || chosen == scopeNode_) return;
    SetScope(chosen);
    MarkScope(scopeNode_);
}

void SearchWindow::MMConfigClick()
{
    const bool skipMissing = main_->program().config.skipMissing;
    // The settings dialog starts from this window's column order.
    main_->MMConfigClick(ListViewOf());
    if (main_->program().config.skipMissing != skipMissing) MarkScope(scopeNode_);
}

void SearchWindow::MMFileCopyRenameClick()
{
    SendRenamed();
}

void SearchWindow::MMVersionClick()
{
    if (version_) ExecOnTop(version_);
}

void SearchWindow::UpdateResultCommands()
{
    const ResultEnabling on = commands_.Enabling();
    const ListMenuItems& items = listMenuItems();
    const auto set = [](QAction* action, bool enabled) {
        if (action) SetCommandEnabled(action, enabled);
    };
    set(items.memo, on.memo);
    for (QAction* a : {items.sendRenamed, ui_.MMFileCopyRename, ui_.SpdBtnSend2}) set(a, on.sendRenamed);
    for (QAction* a : {items.moveTop, items.moveUp, ui_.SpdBtnTop, ui_.SpdBtnUp}) set(a, on.moveUp);
    for (QAction* a : {items.moveDown, items.moveBottom, ui_.SpdBtnDown, ui_.SpdBtnLast})
        set(a, on.moveDown);
}

void SearchWindow::FollowMainAvailability()
{
    const auto follow = [](QAction* mine, const QAction* theirs) {
        if (!theirs) return;
        if (IsUnavailable(theirs)) MarkUnavailable(mine);
        else if (IsUnavailable(mine)) MarkAvailable(mine);
    };
    // The renamed copy is the list menu's; the rest the main window's menu.
    follow(ui_.MMFileCopyRename, listMenuItems().sendRenamed);
    follow(ui_.SpdBtnSend2, listMenuItems().sendRenamed);
    const MainWindowUi& main = main_->ui();
    follow(ui_.MMExplorer, main.MMExplorer);
    follow(ui_.MMRPDRename, main.MMRPDRename);
    follow(ui_.MMRpdFileAllDelete, main.MMRpdFileAllDelete);
    follow(ui_.MMConfig, main.MMConfig);
    follow(ui_.MMHTMLHelp, main.MMHTMLHelp);
    follow(ui_.MMVersion, main.MMVersion);
}

void SearchWindow::ExecOnTop(QDialog* dialog)
{
    const Qt::WindowFlags flags = dialog->windowFlags();
    dialog->setWindowFlags(flags | Qt::WindowStaysOnTopHint);
    dialog->exec();
    dialog->setWindowFlags(flags);
}

EntryPool* SearchWindow::PoolOf()
{
    return &main_->document().list.pool;
}

bool SearchWindow::IsModified() const
{
    return main_->IsModified();
}

void SearchWindow::SetModified(bool flag)
{
    main_->SetModified(flag);
}

}  // namespace replidex
