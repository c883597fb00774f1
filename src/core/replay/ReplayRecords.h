// Records of the replay list: folders, replay entries, the info read from a
// replay file, and the fixed-size pool that owns every entry.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/SharedText.h"

namespace replidex {

// Texts are Shift-JIS (CP932) byte strings throughout the core.
using SjisString = std::string;

// Bits of ReplayInfo::infoFlags.
enum InfoFlag : std::uint32_t {
    kInfoNetMatch = 0x0001,
    kInfoOfflineMatch = 0x0002,
    kInfoRuleF = 0x0100,       // net rule letter F (clear: C)
    kInfoOtherRule = 0x0200,   // the other rule marker was found
    kInfoNetW = 0x1000,        // net letter W
    kInfoNetP = 0x2000,        // net letter P
    kInfoFailed = 0x8000,      // analysis failed: p1.wins/losses hold code/line
};

struct PlayerRecord {
    static constexpr std::size_t kNameSize = 41;   // 40 bytes of text + NUL
    // Asks for a record whose name bytes are left for setName to write, for
    // readers that fill every field at once: the name is not zeroed twice.
    struct NameUnset {};

    PlayerRecord() : name{} {}
    explicit PlayerRecord(NameUnset) {}

    std::array<char, kNameSize> name;
    std::int16_t score = 0;
    std::int16_t rank = 0;
    std::int16_t wins = 0;
    std::int16_t losses = 0;
    std::int16_t character = 0;
    std::uint8_t isCom = 0;

    void clear() { *this = PlayerRecord{}; }
    // The name up to its first NUL (at most 40 bytes).
    std::string_view nameText() const;
    // Stores the text up to its first NUL, at most 40 bytes, zero-padding the
    // rest, so that equal names are equal records.
    void setName(std::string_view text);

    bool operator==(const PlayerRecord&) const = default;
};

struct ReplayInfo {
    ReplayInfo() = default;
    // Both players' names left for setName to write (see PlayerRecord::NameUnset).
    explicit ReplayInfo(PlayerRecord::NameUnset unset) : p1(unset), p2(unset) {}

    std::uint32_t infoFlags = 0;
    PlayerRecord p1;
    PlayerRecord p2;

    void clear() { *this = ReplayInfo{}; }
    PlayerRecord& player(int which) { return which == 2 ? p2 : p1; }
    const PlayerRecord& player(int which) const { return which == 2 ? p2 : p1; }
    bool failed() const { return (infoFlags & kInfoFailed) != 0; }

    bool operator==(const ReplayInfo&) const = default;
};

// 0 net match, 1 against the computer, 2 two players.
enum MatchKindValue : int { kMatchNet = 0, kMatchVsCom = 1, kMatchTwoPlayers = 2 };
int MatchKind(const ReplayInfo& info);

// Entry state, computed from the file system.
enum EntryStateValue : int { kStateUnchanged = 0, kStateMissing = 1, kStateChanged = 2 };

// The kind every entry made by the program has; only this kind carries info in
// a list file.
inline constexpr std::int32_t kReplayEntryKind = 3;

// Search bits of ReplayEntry::searchMark.
enum SearchMarkBit : std::uint32_t { kMarkInScope = 0x1, kMarkHit = 0x2 };

class ReplayEntry {
public:
    ReplayEntry() = default;
    ReplayEntry(const ReplayEntry&) = delete;
    // Copies everything but poolIndex.
    ReplayEntry& operator=(const ReplayEntry& other);

    std::int32_t poolIndex = -1;
    std::int32_t kind = 0;
    std::int32_t fileAge = 0;      // packed MS-DOS date-time of local time, -1: no file
    std::uint32_t searchMark = 0;  // not saved
    SjisString fileName;
    SharedText folderPath;         // ends in the path delimiter; shared by entries of one folder
    SjisString memo;
    std::optional<ReplayInfo> info;   // kept in the entry: no block of its own

    const ReplayInfo* infoPtr() const { return info ? &*info : nullptr; }
    ReplayInfo* infoPtr() { return info ? &*info : nullptr; }

    SjisString fullPath() const { return folderPath + fileName; }
};

// State of the entry's file now: unchanged, missing or changed.
int EntryState(const ReplayEntry& entry);

// Entries live in fixed chunks of slots that are made on first use, so that
// filling a pool costs a few allocations rather than one per entry, and an
// entry never moves while it is in its slot.
class EntryPool {
public:
    static constexpr int kSlotCount = 65536;

    EntryPool();
    ~EntryPool();
    EntryPool(const EntryPool&) = delete;
    EntryPool& operator=(const EntryPool&) = delete;

    // A new empty entry in the first free slot from the cursor on (wrapping),
    // or nullptr when every slot is taken.
    ReplayEntry* allocate();
    // Takes the slot allocate() would, without touching its entry's memory,
    // for readers that fill many entries later: the caller sets the entry's
    // poolIndex to the index returned (slotEntry gives the entry) before
    // anything else uses it. -1 when every slot is taken.
    std::int32_t takeSlot();
    ReplayEntry* slotEntry(std::int32_t index) const
    {
        return &chunks_[static_cast<std::size_t>(index / kChunkSize)]->entries[index % kChunkSize];
    }
    ReplayEntry* lookup(std::int64_t index) const;
    // False (and nothing changes) when the entry is not the object in its slot.
    bool release(ReplayEntry* entry);
    void clear();
    void clearSearchMarks();

    int cursor() const { return cursor_; }
    int size() const { return used_; }

    // Calls f(entry) for every taken slot in slot order.
    template <typename F>
    void forEach(F&& f) const
    {
        for (const auto& chunk : chunks_) {
            if (!chunk || chunk->usedCount == 0) continue;
            for (int i = 0; i < kChunkSize; ++i)
                if (chunk->used[i]) f(chunk->entries[i]);
        }
    }

private:
    static constexpr int kChunkSize = 256;
    static constexpr int kChunkCount = kSlotCount / kChunkSize;
    struct Chunk {
        std::array<ReplayEntry, kChunkSize> entries;
        std::array<bool, kChunkSize> used{};
        int usedCount = 0;
    };

    std::array<std::unique_ptr<Chunk>, kChunkCount> chunks_;
    int cursor_ = 0;
    int used_ = 0;
};

// A folder of the replay list: a name, ordered child folders and, once an
// entry was put into it, an ordered list of document-pool indices.
struct ReplayFolder {
    SjisString name;
    ReplayFolder* parent = nullptr;
    std::vector<std::unique_ptr<ReplayFolder>> children;
    std::optional<std::vector<std::int32_t>> entries;

    explicit ReplayFolder(SjisString folderName = {}) : name(std::move(folderName)) {}

    ReplayFolder* addChild(SjisString childName);
    // Takes ownership of an existing folder as the last child.
    ReplayFolder* adoptChild(std::unique_ptr<ReplayFolder> child);
    std::vector<std::int32_t>& entryList() {
        if (!entries) entries.emplace();
        return *entries;
    }
};

}  // namespace replidex
