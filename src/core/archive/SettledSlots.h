// Telling when the game has finished writing a slot file: a slot file is
// settled once its size and modification time have stayed the same for a
// quiet time (2 s). The game writes a replay in pieces with pauses; a file
// still changing is never handed out, and a settled file is handed out once
// until it changes again (a rewritten slot is handed out anew).
//
// The clock is the caller's: every look at the folder comes with the time it
// was taken, so that tests can run a simulated writer on a simulated clock.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/replay/ReplaySlots.h"

namespace replidex {

// What a look at one slot file saw.
struct SlotFileLook {
    int slot = -1;
    std::string name;            // on disk (any case)
    std::uint64_t size = 0;
    std::int64_t modified = 0;   // modification time, nanoseconds (any epoch)
    bool operator==(const SlotFileLook&) const = default;
};

// The slot files of `gameDir` (regular files holding a slot) as they are now;
// empty when the folder cannot be listed.
std::vector<SlotFileLook> LookAtSlotFiles(const std::string& gameDir);

class SettledSlots {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kQuietTime{2000};

    explicit SettledSlots(std::chrono::milliseconds quiet = kQuietTime) : quiet_(quiet) {}

    // Takes a look taken at `now`; answers the slot files that have been
    // quiet for the quiet time since they last changed and were not handed
    // out in this state yet, in slot order. A slot first seen counts as
    // changed at `now` (the look at start hands out every file once quiet).
    std::vector<SlotFileLook> look(Clock::time_point now, const std::vector<SlotFileLook>& files);

    // True while a seen change waits for its quiet time.
    bool waiting() const;

private:
    struct Slot {
        SlotFileLook seen;
        Clock::time_point changed;
        bool handedOut = false;
    };
    std::chrono::milliseconds quiet_;
    std::array<std::optional<Slot>, kSlotCount> slots_;
};

}  // namespace replidex
