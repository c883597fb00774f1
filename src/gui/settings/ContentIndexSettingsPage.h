// The settings page 「内容の記録」: the option 「ファイルの内容を記録する」 (the
// content of every listed file is recorded so that a moved file can be found
// again by it), where the records are kept and how many there are.
#pragma once

#include <QWidget>

#include "core/settings/ContentIndexSettings.h"

class QCheckBox;
class QLabel;
class QTabWidget;

namespace replidex {

class ContentIndexSettingsPage final : public QWidget {
    Q_OBJECT
public:
    // Appends the page to `pages`.
    explicit ContentIndexSettingsPage(QTabWidget* pages);

    // Shows the option and what the index file holds now.
    void showSettings(const ContentIndexSettings& settings);
    ContentIndexSettings chosenSettings() const;

    QCheckBox* CB_Record = nullptr;
    QLabel* Place = nullptr;
    QLabel* Holds = nullptr;
};

}  // namespace replidex
