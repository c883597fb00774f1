// The window 「対戦成績」: a player's statistics over a scope (a folder's
// subtree or the hits of a search) in four tables and a bar chart of the
// shown table, with the two counting options, a player chosen from the
// user's own names and the commonest names of the scope, and the CSV export.
// Double-clicking a row hands the entries that row counted to `drillDown`.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/settings/StatsSettings.h"
#include "core/stats/PlayerStats.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabBar;
class QTreeView;

namespace replidex {

class StatsBarChart;
class StatsTableModel;

class StatsWindow final : public QDialog {
    Q_OBJECT
public:
    using DrillDown = std::function<void(const std::vector<std::int32_t>& entrySlots)>;

    // `iniPath`: the settings file the user's names and the options live in.
    StatsWindow(const EntryPool& pool, std::string iniPath, QWidget* parent = nullptr);

    // The entries counted (entrySlots as FolderScopeSlots or SlotScope give them)
    // and how the window names them.
    void SetScope(std::vector<std::int32_t> scope, const QString& scopeText);
    void SetDrillDown(DrillDown drillDown) { drillDown_ = std::move(drillDown); }

    // The subject's names from the player box (Shift-JIS): the names of the
    // user's own item, or the one name typed or chosen.
    std::vector<std::string> SubjectNames() const;
    const PlayerStats& Stats() const { return stats_; }
    StatsTableModel* Model() const { return model_; }

    QComboBox* PlayerBox() const { return player_; }
    QTabBar* Tabs() const { return tabs_; }
    QTreeView* Table() const { return table_; }
    QCheckBox* SameMatchOnceBox() const { return sameMatchOnce_; }
    QCheckBox* ExcludeMissingBox() const { return excludeMissing_; }
    QLabel* TotalsLabel() const { return totals_; }

    void Recount();
    void DrillDownRow(int row);
    void BtnCsvClick();

protected:
    void done(int result) override;

private:
    void FillPlayerBox();
    void ShowTable(int tab);

    const EntryPool& pool_;
    std::string iniPath_;
    StatsSettings settings_;
    std::vector<std::int32_t> scope_;
    PlayerStats stats_;
    DrillDown drillDown_;

    QComboBox* player_ = nullptr;
    QLabel* scopeLabel_ = nullptr;
    QCheckBox* sameMatchOnce_ = nullptr;
    QCheckBox* excludeMissing_ = nullptr;
    QTabBar* tabs_ = nullptr;
    QTreeView* table_ = nullptr;
    StatsTableModel* model_ = nullptr;
    StatsBarChart* chart_ = nullptr;
    QLabel* totals_ = nullptr;
    QPushButton* btnCsv_ = nullptr;
    QPushButton* btnClose_ = nullptr;
};

// The text the player box shows for the user's own names (several joined by
// " / "); SubjectNames splits it again.
QString MyNamesItemText(const std::vector<std::string>& myNames);

}  // namespace replidex
