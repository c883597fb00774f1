// The facts a replay file gave, as bytes: equal keys for field-by-field equal
// infos, usable as a map key (the record's own bytes hold padding).
#pragma once

#include <string>

#include "core/replay/ReplayRecords.h"

namespace replidex {

inline std::string FactsKey(const ReplayInfo& info)
{
    std::string key(reinterpret_cast<const char*>(&info.infoFlags), sizeof info.infoFlags);
    for (const PlayerRecord* p : {&info.p1, &info.p2}) {
        key.append(p->name.data(), p->name.size());
        for (const std::int16_t v : {p->score, p->rank, p->wins, p->losses, p->character})
            key.append(reinterpret_cast<const char*>(&v), sizeof v);
        key.push_back(static_cast<char>(p->isCom));
    }
    return key;
}

}  // namespace replidex
