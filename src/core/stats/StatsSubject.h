// The player the statistics are about: a set of handle names (Shift-JIS),
// compared byte for byte.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/replay/ReplayRecords.h"

namespace replidex {

// The reader keeps at most this many bytes of a handle name from a replay file.
inline constexpr std::size_t kReadNameBytes = 16;

// Where the subject played in a net match.
enum SubjectSideValue : int { kSubjectNone = 0, kSubjectOn1P = 1, kSubjectOn2P = 2, kSubjectBoth = 3 };

class StatsSubject {
public:
    StatsSubject() = default;
    explicit StatsSubject(std::vector<std::string> names);

    const std::vector<std::string>& names() const { return names_; }
    bool empty() const { return names_.empty(); }

    // Whether a stored handle name is one of the subject's. A name longer than
    // the reader keeps also matches the cut form a replay file gives it (its
    // first 16 bytes, even when they end inside a double-byte character).
    bool isSubject(std::string_view storedName) const;

    // The side of a net match the subject played; both when each side's name
    // is in the set (namesakes: never guessed).
    int sideIn(const ReplayInfo& info) const;

private:
    std::vector<std::string> names_;
};

}  // namespace replidex
