#include "gui/search/ResultPages.h"

#include <QSignalBlocker>
#include <QTabBar>

#include <vector>

#include "core/search/SearchRun.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/FolderRows.h"
#include "gui/browse/ReplayRowModel.h"

namespace replidex {

void ResultPages::Clear()
{
    const QSignalBlocker quiet(tabs_);
    while (tabs_->count() > 0) tabs_->removeTab(tabs_->count() - 1);
    rows_->clear();
}

void ResultPages::BuildTabs(int hitCount, int pageSize)
{
    const QSignalBlocker quiet(tabs_);
    // A hidden tab bar lays its tabs out once when shown again, rather than
    // once for every tab added (hundreds of pages at the smallest size).
    const bool shown = tabs_->isVisibleTo(tabs_->parentWidget());
    tabs_->hide();
    while (tabs_->count() > 0) tabs_->removeTab(tabs_->count() - 1);
    pageSize_ = pageSize;
    for (const std::string& caption : TabCaptions(hitCount, pageSize))
        tabs_->addTab(QString::fromStdString(Cp932ToUtf8Lossy(caption)));
    tabs_->setCurrentIndex(0);
    tabs_->setVisible(shown);
}

void ResultPages::ShowPage(const EntryPool& pool, int page)
{
    std::vector<ReplayRow> rows;
    for (const std::int32_t slot : PageHits(pool, page, pageSize_)) {
        const ReplayEntry* entry = pool.lookup(slot);
        if (entry) rows.push_back(EntryRow(*entry, EntryState(*entry)));
    }
    rows_->setRows(std::move(rows));
}

}  // namespace replidex
