// The settings page 「取り込み」: the archive folder, the name and folder
// templates, the list folder, and the options 「取り込んだファイルを
// PuyoFフォルダから削除する」 and 「PuyoFフォルダを監視して自動で取り込む」.
#pragma once

#include <QWidget>

#include "core/settings/ArchiveSettings.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace replidex {

class ArchiveSettingsPage final : public QWidget {
    Q_OBJECT
public:
    // Appends the page to `pages`.
    explicit ArchiveSettingsPage(QTabWidget* pages);

    void showSettings(const ArchiveSettings& settings);
    // The settings of the controls; false when a text has no Shift-JIS form
    // (`settings` is then left as it was).
    bool chosenSettings(ArchiveSettings& settings) const;

    QLineEdit* Edit_ArchiveFolder = nullptr;
    QPushButton* Btn_ArchiveFolder = nullptr;
    QLineEdit* Edit_NameTemplate = nullptr;
    QLineEdit* Edit_FolderTemplate = nullptr;
    QLineEdit* Edit_ListFolder = nullptr;
    QCheckBox* CB_RemoveFromGame = nullptr;
    QCheckBox* CB_Watch = nullptr;
};

}  // namespace replidex
