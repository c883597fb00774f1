#include "gui/search/SearchRunLoop.h"

#include <QCoreApplication>

namespace replidex {

SearchPacing SearchRunLoop::pacing()
{
    SearchPacing paced;
    paced.interval = interval_;
    paced.poll = [this] {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return abortRequested_;
    };
    return paced;
}

SearchRunResult SearchRunLoop::Run(EntryPool& pool, const SearchCriteria& criteria)
{
    running_ = true;
    const SearchRunResult result = RunPacedHitSearch(pool, criteria, pacing());
    running_ = false;
    return result;
}

SearchRunResult SearchRunLoop::Run(EntryPool& pool, const EntryTest& test)
{
    running_ = true;
    const SearchRunResult result = RunPacedHitSearchWith(pool, test, pacing());
    running_ = false;
    return result;
}

}  // namespace replidex
