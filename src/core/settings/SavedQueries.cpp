#include "core/settings/SavedQueries.h"

#include <algorithm>

namespace replidex {

const SavedQuery* SavedQueries::find(std::string_view name) const
{
    for (const SavedQuery& q : items_)
        if (q.name == name) return &q;
    return nullptr;
}

bool SavedQueries::put(const SavedQuery& query)
{
    for (SavedQuery& q : items_) {
        if (q.name == query.name) {
            q = query;
            return true;
        }
    }
    if (static_cast<int>(items_.size()) >= kSavedQueryMax) return false;
    items_.push_back(query);
    return true;
}

bool SavedQueries::remove(std::string_view name)
{
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [&](const SavedQuery& q) { return q.name == name; });
    if (it == items_.end()) return false;
    items_.erase(it);
    return true;
}

}  // namespace replidex
