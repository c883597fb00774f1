#include "gui/settings/SettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>

#include "core/settings/ColumnListRules.h"
#include "core/settings/RecentLists.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/ColumnLayout.h"
#include "gui/dialogs/ChooseFolder.h"
#include "gui/dialogs/FileDialogs.h"
#include "gui/main/ProgramState.h"
#include "gui/dialogs/MessageBoxes.h"
#include "gui/settings/AppSettings.h"
#include "gui/settings/ArchiveSettingsPage.h"
#include "gui/settings/ColumnListModel.h"
#include "gui/settings/StatsSettingsPage.h"
#include "gui/settings/JournalSettingsPage.h"
#include "gui/settings/ContentIndexSettingsPage.h"
#include "platform/FileAssociation.h"

namespace replidex {

namespace {

// The program file's full path, as the association's command names it.
std::string ProgramPath()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationFilePath()).toUtf8()
        .toStdString();
}

}  // namespace

SettingsDialog::SettingsDialog(ProgramState& program, QWidget* parent)
    : QDialog(parent), program_(program)
{
    setObjectName(QStringLiteral("SettingsDialog"));
    setWindowTitle(QStringLiteral("設定"));
    // A fixed dialog with only the close box in its title bar.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    ui_.setupUi(this);
    archivePage_ = new ArchiveSettingsPage(ui_.PC);
    statsPage_ = new StatsSettingsPage(ui_.PC);
    ui_.PC->addTab(statsPage_, QStringLiteral("成績"));
    contentIndexPage_ = new ContentIndexSettingsPage(ui_.PC);

    columns_ = new ColumnListModel(this);
    ui_.List->setModel(columns_);
    ui_.List->header()->resizeSection(0, 100);

    connect(ui_.Btn_Path, &QPushButton::clicked, this, [this] { Btn_PathClick(); });
    connect(ui_.List, &QTreeView::clicked, this, [this] { ListClick(); });
    connect(ui_.List, &QTreeView::doubleClicked, this, [this] { ListClick(); });
    // The check mark also changes from the keyboard (space).
    connect(columns_, &ColumnListModel::dataChanged, this, [this] { ListClick(); });
    connect(ui_.List->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { ListChange(); });
    connect(columns_, &ColumnListModel::modelReset, this, [this] { ListChange(); });
    connect(ui_.SpdBtnUp, &QToolButton::clicked, this, [this] { SpdBtnUpClick(); });
    connect(ui_.SpdBtnDown, &QToolButton::clicked, this, [this] { SpdBtnDownClick(); });
    connect(ui_.BtnOK, &QPushButton::clicked, this, [this] { BtnOKClick(); });
    connect(ui_.BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(); });

    // A client area of 284 by 249 whatever the pages hold: more pages than
    // fit side by side get the tab bar's scroll buttons.
    setFixedSize(284, 249);
}

SettingsOutcome SettingsDialog::ShowModal(QTreeView* columnSource)
{
    FormShow(columnSource);
    outcome_ = {};
    exec();
    return outcome_;
}

void SettingsDialog::setColumnListEnabled(bool on)
{
    ui_.List->setEnabled(on);
    if (!on) ui_.List->clearSelection();
}

void SettingsDialog::FormShow(QTreeView* columnSource)
{
    const bool associated = IsExtensionAssociated(kListFileExtension, kListFileClass) == 1;
    ui_.CB_Extention->setChecked(associated);
    const ConfigSettings& config = program_.config;
    shown_ = {config.puyoFPath, config.searchPage, config.skipMissing, associated};
    ui_.Edit_Path->setText(detail::NativeFolder(config.puyoFPath));
    // The search page shows the options searching goes by.
    ui_.CB_SearchPage->setCurrentIndex(config.searchPage);
    ui_.CB_NoExist->setChecked(config.skipMissing);

    archivePage_->showSettings(program_.archive);
    TakeColumnsFromView(program_.columnModel, columnSource);
    columns_->setRows(program_.columnModel.UpdateConfigByGColumns());
    statsPage_->Load(program_.iniPath);
    ui_.TS_Journal->ShowCurrent();
    contentIndexPage_->showSettings(program_.contentIndex);
}

void SettingsDialog::Btn_PathClick()
{
    std::string start;
    if (!SjisFromNativePath(ui_.Edit_Path->text().toUtf8().toStdString(), start)) start.clear();
    const std::string chosen = ChooseFolder(this, start);
    if (!chosen.empty() && SjisFolderExists(chosen))
        ui_.Edit_Path->setText(detail::NativeFolder(chosen));
}

void SettingsDialog::ListClick()
{
    const int row = FileRowToTick(columns_->rows());
    if (row >= 0) columns_->setChecked(row, true);
}

void SettingsDialog::ListChange()
{
    const MoveButtons buttons = MoveButtonsFor(SelectedRow(), columns_->rowCount());
    ui_.SpdBtnUp->setEnabled(buttons.up);
    ui_.SpdBtnDown->setEnabled(buttons.down);
}

void SettingsDialog::BtnOKClick()
{
    DialogSettings chosen;
    if (!ChosenSettings(chosen)) return;
    ArchiveSettings archive = program_.archive;
    if (!archivePage_->chosenSettings(archive)) {
        ShowMessageBox(Sjis("取り込みの設定に、使えない文字があります。"), kMsgError);
        return;
    }
    std::vector<std::string> myNames;
    QString refusedName;   // the line whose name Shift-JIS cannot hold
    if (!statsPage_->ChosenNames(myNames, refusedName)) {
        ShowMessageBox(Sjis("自分の名前に使えない文字があります。"), kMsgError);
        ui_.PC->setCurrentWidget(statsPage_);
        return;
    }
    const bool archiveChanged = !(archive == program_.archive);
    program_.archive = archive;
    const SettingsChanges changes = CompareSettings(shown_, chosen);
    program_.config.puyoFPath = chosen.puyoFPath;
    program_.config.searchPage = chosen.searchPage;
    program_.config.skipMissing = chosen.skipMissing;
    if (changes.association) ApplyAssociation(chosen.associated);

    // The columns, always: both list views at once. Written to the file only
    // with another change, otherwise when the program closes.
    program_.columnModel.UpdateByConfig(columns_->rows());
    emit columnsApplied();
    const bool journalChanged = ui_.TS_Journal->Apply();
    const ContentIndexSettings contentIndex = contentIndexPage_->chosenSettings();
    const bool contentIndexChanged = !(contentIndex == program_.contentIndex);
    program_.contentIndex = contentIndex;
    if (changes.any() || archiveChanged || journalChanged || contentIndexChanged) SaveSettings(program_);
    if (statsPage_->Changed(myNames)) statsPage_->Save(program_.iniPath, myNames);

    shown_ = chosen;
    outcome_ = {true, changes.skipMissing};
    QDialog::accept();
    emit searchOptionsApplied(changes.skipMissing);
    if (archiveChanged) emit archiveSettingsApplied();
}

void SettingsDialog::BtnCancelClick()
{
    // The search page's choices stay in force for searching (they are
    // written with the next save); the folder, the association and the
    // columns are left as they were.
    const bool missingChanged = ui_.CB_NoExist->isChecked() != shown_.skipMissing;
    program_.config.searchPage = ui_.CB_SearchPage->currentIndex();
    program_.config.skipMissing = ui_.CB_NoExist->isChecked();
    outcome_ = {false, missingChanged};
    QDialog::reject();
    emit searchOptionsApplied(missingChanged);
}

void SettingsDialog::reject()
{
    BtnCancelClick();
}

bool SettingsDialog::ChosenSettings(DialogSettings& chosen) const
{
    const QString folder = ui_.Edit_Path->text();
    if (folder == detail::NativeFolder(shown_.puyoFPath)) {
        chosen.puyoFPath = shown_.puyoFPath;   // untouched: the very bytes it was
    } else {
        chosen.puyoFPath = SjisOfChosenPath(folder);   // tells the user when it fails
        if (chosen.puyoFPath.empty() && !folder.isEmpty()) return false;
    }
    chosen.searchPage = ui_.CB_SearchPage->currentIndex();
    chosen.skipMissing = ui_.CB_NoExist->isChecked();
    chosen.associated = ui_.CB_Extention->isChecked();
    return true;
}

void SettingsDialog::ApplyAssociation(bool associate)
{
    // The answers are not looked at: the box shows the true state the next
    // time the dialog opens.
    if (associate) {
        RegisterFileClass(kListFileClass, ProgramPath(), true);
        AssociateExtension(kListFileExtension, kListFileClass);
    } else {
        UnassociateExtension(kListFileExtension, kListFileClass);
        UnregisterFileClass(kListFileClass);
    }
}

int SettingsDialog::SelectedRow() const
{
    const QModelIndexList rows = ui_.List->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void SettingsDialog::MoveSelectedRow(int step)
{
    const int row = SelectedRow();
    const int target = ExchangeTarget(row, step, columns_->rowCount());
    if (target < 0) return;
    columns_->exchangeRows(row, target);
    QItemSelectionModel* selection = ui_.List->selectionModel();
    const QModelIndex moved = columns_->index(target);
    selection->setCurrentIndex(moved, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ui_.List->scrollTo(moved);
}

}  // namespace replidex
