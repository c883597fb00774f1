#include "core/stats/StatsSubject.h"

#include <algorithm>

namespace replidex {

StatsSubject::StatsSubject(std::vector<std::string> names)
{
    for (std::string& name : names)
        if (!name.empty() && std::find(names_.begin(), names_.end(), name) == names_.end())
            names_.push_back(std::move(name));
}

bool StatsSubject::isSubject(std::string_view storedName) const
{
    if (storedName.empty()) return false;
    for (const std::string& name : names_) {
        if (storedName == name) return true;
        if (name.size() > kReadNameBytes && storedName.size() == kReadNameBytes &&
            std::string_view(name).substr(0, kReadNameBytes) == storedName)
            return true;
    }
    return false;
}

int StatsSubject::sideIn(const ReplayInfo& info) const
{
    const bool on1 = isSubject(info.p1.nameText());
    const bool on2 = isSubject(info.p2.nameText());
    if (on1 && on2) return kSubjectBoth;
    if (on1) return kSubjectOn1P;
    if (on2) return kSubjectOn2P;
    return kSubjectNone;
}

}  // namespace replidex
