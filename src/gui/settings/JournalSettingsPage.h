// The settings page 「操作履歴」: whether a preview of the plan comes before a
// change to the game folder, and what the journal keeps (the newest 50
// operations, at most 100 MB of replaced originals) and holds now.
#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;

namespace replidex {

class JournalSettingsPage final : public QWidget {
    Q_OBJECT
public:
    explicit JournalSettingsPage(QWidget* parent = nullptr);

    // Shows the option as it is and what the journal holds.
    void ShowCurrent();
    // Takes the option over; true when it changed.
    bool Apply();

    QCheckBox* CB_Preview = nullptr;
    QLabel* Keeps = nullptr;
    QLabel* Holds = nullptr;
};

}  // namespace replidex
