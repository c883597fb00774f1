// The pages of the search results: one tab of the tab bar per page of hits,
// and the rows of one page in the result list. The hits are the entries of
// the pool whose hit mark is set, in slot order; nothing else is kept.
#pragma once

class QTabBar;

namespace replidex {

class EntryPool;
class ReplayRowModel;

class ResultPages {
public:
    ResultPages(QTabBar* tabs, ReplayRowModel* rows) : tabs_(tabs), rows_(rows) {}

    // Removes every tab and every row.
    void Clear();
    // One tab per page of `hitCount` hits, `pageSize` to a page ("0" for no
    // hits). Changing tabs this way runs no page change.
    void BuildTabs(int hitCount, int pageSize);
    // ShowPage: the rows of the hits on page `page`, each made from its entry
    // and the state of its file now.
    void ShowPage(const EntryPool& pool, int page);

    int pageSize() const { return pageSize_; }

private:
    QTabBar* tabs_;
    ReplayRowModel* rows_;
    int pageSize_ = 100;
};

}  // namespace replidex
