// The settings dialog: the column layout of the replay list views, the
// search options and the other settings (the game folder, the association of
// list files with the program). Made once at start-up and shown modally from
// the main window and from the search window.
//
// It owns no settings: it shows and changes the program's (ProgramState) and
// tells the windows what to follow through its signals.
#pragma once

#include <QDialog>

#include "core/settings/SettingsChanges.h"
#include "gui/settings/SettingsDialogUi.h"

class QTreeView;

namespace replidex {

struct ProgramState;
class ColumnListModel;
class ArchiveSettingsPage;
class StatsSettingsPage;
class ContentIndexSettingsPage;

// How a showing of the dialog ended.
struct SettingsOutcome {
    bool accepted = false;
    // The skip-missing option differs from when the dialog was shown (after
    // OK, or after Cancel, which keeps the search page's choices too).
    bool missingFileOptionChanged = false;
};

class SettingsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(ProgramState& program, QWidget* parent = nullptr);

    // Shows the dialog modally. `columnSource` is the list view whose column
    // layout the column page starts from: the search window's result list
    // when the dialog is opened from there, else the main window's list.
    SettingsOutcome ShowModal(QTreeView* columnSource);

    // The main window enables the column list only while a list is open.
    void setColumnListEnabled(bool on);

    SettingsDialogUi& ui() { return ui_; }
    ColumnListModel& columnList() { return *columns_; }
    ArchiveSettingsPage& archivePage() { return *archivePage_; }
    ContentIndexSettingsPage& contentIndexPage() { return *contentIndexPage_; }

    // The handlers, named after their controls.
    void FormShow(QTreeView* columnSource);
    void Btn_PathClick();
    void ListClick();
    void ListChange();
    void SpdBtnUpClick() { MoveSelectedRow(-1); }
    void SpdBtnDownClick() { MoveSelectedRow(1); }
    void BtnOKClick();
    void BtnCancelClick();

signals:
    // OK put the column list into the program's column model: every replay
    // list view is to be laid out again from it (the main window's first).
    void columnsApplied();
    // The dialog closed and the program's search options are its controls'
    // now; `missingFileOptionChanged` when skipping missing or changed files
    // was switched (a search window then marks its scope again).
    void searchOptionsApplied(bool missingFileOptionChanged);
    // OK changed the settings of the page 「取り込み」 (the watch follows them).
    void archiveSettingsApplied();

protected:
    // Esc and the close box answer as Cancel.
    void reject() override;

private:
    // The values of the controls; false (after telling the user) when the
    // folder typed cannot be held in Shift-JIS.
    bool ChosenSettings(DialogSettings& chosen) const;
    void ApplyAssociation(bool associate);
    int SelectedRow() const;
    void MoveSelectedRow(int step);

    ProgramState& program_;
    SettingsDialogUi ui_;
    StatsSettingsPage* statsPage_ = nullptr;
    ColumnListModel* columns_ = nullptr;
    DialogSettings shown_;   // what the controls held when the dialog was shown
    SettingsOutcome outcome_;
    ArchiveSettingsPage* archivePage_ = nullptr;
    ContentIndexSettingsPage* contentIndexPage_ = nullptr;
};

}  // namespace replidex
