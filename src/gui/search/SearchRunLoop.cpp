#include "gui/search/SearchRunLoop.h"

#include <QCoreApplication>

namespace replidex {

SearchRunResult SearchRunLoop::Run(EntryPool& pool, const SearchCriteria& criteria)
{
    running_ = true;
    SearchPacing pacing;
    pacing.interval = interval_;
    pacing.poll = [this] {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return abortRequested_;
    };
    const SearchRunResult result = RunPacedHitSearch(pool, criteria, pacing);
    running_ = false;
    return result;
}

}  // namespace replidex

namespace replidex {

SearchRunResult SearchRunLoop::Run(EntryPool& pool, const EntryTest& test)
{
    running_ = true;
    SearchPacing pacing;
    pacing.interval = interval_;
    pacing.poll = [this] {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return abortRequested_;
    };
    const SearchRunResult result = RunPacedHitSearchWith(pool, test, pacing);
    running_ = false;
    return result;
}

}  // namespace replidex
