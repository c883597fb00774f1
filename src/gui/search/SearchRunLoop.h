// The running search: walks the pool for hits while letting the window's
// pending events run at least every 50 ms of walking (hits or not), so that
// the abort and close buttons act and the window repaints during a long
// search, and stops when an abort is requested.
#pragma once

#include <chrono>

#include "core/search/SearchRun.h"

namespace replidex {

class SearchRunLoop {
public:
    // Walks the pool with the criteria; the hit marks and the hit count are
    // the answer. The abort request is left as it is (the window clears it).
    SearchRunResult Run(EntryPool& pool, const SearchCriteria& criteria);
    // The same walk with any test of an entry (a parsed query).
    SearchRunResult Run(EntryPool& pool, const EntryTest& test);

    bool AbortRequested() const { return abortRequested_; }
    void RequestAbort() { abortRequested_ = true; }
    void ClearAbort() { abortRequested_ = false; }
    bool running() const { return running_; }

    // Walking time between two rounds of pending events (50 ms).
    void setPollInterval(std::chrono::milliseconds interval) { interval_ = interval; }

private:
    // Paces a run: the window's events between slices, and an abort asked meanwhile.
    SearchPacing pacing();
    bool abortRequested_ = false;
    bool running_ = false;
    std::chrono::milliseconds interval_{50};
};

}  // namespace replidex
