// 「PuyoFフォルダから取り込む」: the plan of the archive as a table, the
// archive folder, the name and folder templates with a preview of the first
// row's name, the list folder and the removal option; 「取り込む」 runs it.
//
// The dialog shows the plan it is given and owns no settings: the command
// reads the choices back and plans again when they change.
#pragma once

#include <QDialog>

#include "core/archive/ArchivePlan.h"
#include "core/settings/ArchiveSettings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;

namespace replidex {

class ArchivePlanModel;

class ArchiveDialog final : public QDialog {
    Q_OBJECT
public:
    explicit ArchiveDialog(QWidget* parent = nullptr);

    // Fills the controls; `archiveFolder` in the file system's form.
    void showChoices(const ArchiveSettings& settings, const QString& archiveFolder);
    // The choices of the controls (Shift-JIS); false when a template or the
    // list folder has no Shift-JIS form.
    bool chosenSettings(ArchiveSettings& settings) const;
    QString archiveFolder() const;
    // The templates as typed, Shift-JIS (characters without a form become "?").
    ArchiveTemplates templates() const;

    ArchivePlanModel& model() { return *model_; }
    // The preview of the first row's archive name follows the templates.
    void updatePreview();

    QTableView* PlanTable = nullptr;
    QLineEdit* Edit_ArchiveFolder = nullptr;
    QPushButton* Btn_ArchiveFolder = nullptr;
    QLineEdit* Edit_NameTemplate = nullptr;
    QLineEdit* Edit_FolderTemplate = nullptr;
    QLabel* Label_Preview = nullptr;
    QLineEdit* Edit_ListFolder = nullptr;
    QCheckBox* CB_RemoveFromGame = nullptr;
    QPushButton* BtnArchive = nullptr;
    QPushButton* BtnCancel = nullptr;

signals:
    // The archive folder or a template changed (a moment after the typing
    // stops): the plan is to be made again.
    void choicesEdited();

private:
    void BtnArchiveFolderClick();

    ArchivePlanModel* model_ = nullptr;
    QTimer* replan_ = nullptr;
};

}  // namespace replidex
