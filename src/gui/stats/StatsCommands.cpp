#include "gui/stats/StatsCommands.h"

#include <QAction>
#include <QMenu>
#include <QTreeView>

#include "core/replay/ReplayRecords.h"
#include "core/stats/PlayerStats.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/main/MainWindow.h"
#include "gui/main/SearchCommand.h"
#include "gui/search/SearchWindow.h"
#include "gui/stats/StatsWindow.h"

namespace replidex {

QAction* AddStatisticsItems(MainWindow& form, QMenu* tools)
{
    if (!tools->isEmpty()) tools->addSeparator();
    QAction* stats = tools->addAction(QStringLiteral("対戦成績(&T)..."));
    stats->setObjectName(QStringLiteral("MMStats"));
    QObject::connect(stats, &QAction::triggered, &form,
                     [&form] { RunFolderStats(form, form.searchWindow()); });
    return stats;
}

QString FolderPathText(const ReplayFolder* folder)
{
    QStringList names;
    for (; folder; folder = folder->parent) names.prepend(QString::fromStdString(Cp932ToUtf8Lossy(folder->name)));
    return names.join(QLatin1Char('\\'));
}

void RunFolderStats(MainWindow& form, SearchWindow* search)
{
    ReplayFolder* folder = form.treeModel().folderAt(form.ui().TreeView->currentIndex());
    if (!folder) return;
    const EntryPool& pool = form.document().list.pool;
    std::vector<std::int32_t> chosen;
    {
        StatsWindow window(pool, form.program().iniPath, &form);
        window.SetScope(FolderScopeSlots(pool, folder), FolderPathText(folder));
        window.SetDrillDown([&chosen](const std::vector<std::int32_t>& entrySlots) { chosen = entrySlots; });
        window.exec();
    }
    if (chosen.empty() || !search) return;
    search->SetPendingHits(std::move(chosen));
    RunSearchCommand(form, *search);
}

void RunResultStats(MainWindow& form, SearchWindow& search)
{
    const EntryPool& pool = *search.PoolOf();
    StatsWindow window(pool, form.program().iniPath, &search);
    window.SetScope(SlotScope(pool, search.HitSlots()),
                    QStringLiteral("検索結果 (%1件)").arg(search.HitCount()));
    window.SetDrillDown([&search](const std::vector<std::int32_t>& entrySlots) { search.ShowGivenHits(entrySlots); });
    window.exec();
}

}  // namespace replidex
