#include "core/replay/ReplayRecords.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/replay/FileTime.h"

namespace replidex {

std::string_view PlayerRecord::nameText() const
{
    const auto* end = std::find(name.begin(), name.end() - 1, '\0');
    return {name.data(), static_cast<std::size_t>(end - name.begin())};
}

void PlayerRecord::setName(std::string_view text)
{
    // A name is the text before its first NUL. Names are short: the record is
    // zeroed with wide stores and the text copied eight bytes at a time until
    // a word holds a NUL, then byte by byte; nothing is read back, so no load
    // waits on the stores.
    const std::size_t n = std::min(text.size(), kNameSize - 1);
    name.fill('\0');
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        const bool holdsNul = ((word - 0x0101010101010101ULL) & ~word & 0x8080808080808080ULL) != 0;
        if (holdsNul) break;
        std::memcpy(name.data() + i, &word, 8);
    }
    for (; i < n && text[i] != '\0'; ++i) name[i] = text[i];
}

int MatchKind(const ReplayInfo& info)
{
    if (info.infoFlags & kInfoNetMatch) return kMatchNet;
    if (info.p1.isCom == 1 || info.p2.isCom == 1) return kMatchVsCom;
    return kMatchTwoPlayers;
}

ReplayEntry& ReplayEntry::operator=(const ReplayEntry& other)
{
    if (this == &other) return *this;
    kind = other.kind;
    fileAge = other.fileAge;
    searchMark = other.searchMark;
    fileName = other.fileName;
    folderPath = other.folderPath;
    memo = other.memo;
    info = other.info;
    return *this;
}

int EntryState(const ReplayEntry& entry)
{
    const std::int32_t age = FileAgeOf(entry.fullPath());
    if (age == kNoFileAge) return kStateMissing;
    return age == entry.fileAge ? kStateUnchanged : kStateChanged;
}

namespace {

// Gives an entry back its state as new, freeing what it owned but the file
// name's memory: the next entry made in this slot (the next list opened)
// mostly fits its name into it without an allocation.
void ResetEntry(ReplayEntry& entry, std::int32_t poolIndex)
{
    entry.poolIndex = poolIndex;
    entry.kind = 0;
    entry.fileAge = 0;
    entry.searchMark = 0;
    entry.fileName.clear();
    entry.folderPath = SharedText();
    SjisString().swap(entry.memo);
    entry.info.reset();
}

}  // namespace

EntryPool::EntryPool() = default;
EntryPool::~EntryPool() = default;

std::int32_t EntryPool::takeSlot()
{
    for (int step = 0; step < kSlotCount; ++step) {
        const int i = (cursor_ + step) % kSlotCount;
        auto& chunk = chunks_[i / kChunkSize];
        // Made by default-initialising, not value-initialising: each entry's
        // own initialisers set it up, without zero-filling the whole block
        // first.
        if (!chunk) chunk = std::unique_ptr<Chunk>(new Chunk);
        if (chunk->used[i % kChunkSize]) continue;
        chunk->used[i % kChunkSize] = true;
        ++chunk->usedCount;
        cursor_ = (i + 1) % kSlotCount;
        ++used_;
        return i;
    }
    return -1;
}

ReplayEntry* EntryPool::allocate()
{
    const std::int32_t i = takeSlot();
    if (i < 0) return nullptr;
    // A free slot always holds an entry as new (release and clear reset it).
    ReplayEntry* entry = slotEntry(i);
    entry->poolIndex = i;
    return entry;
}

ReplayEntry* EntryPool::lookup(std::int64_t index) const
{
    if (index < 0 || index >= kSlotCount) return nullptr;
    const auto& chunk = chunks_[static_cast<std::size_t>(index / kChunkSize)];
    if (!chunk || !chunk->used[index % kChunkSize]) return nullptr;
    return &chunk->entries[index % kChunkSize];
}

bool EntryPool::release(ReplayEntry* entry)
{
    if (!entry) return true;
    const std::int32_t i = entry->poolIndex;
    if (i < 0 || i >= kSlotCount) return false;
    auto& chunk = chunks_[i / kChunkSize];
    if (!chunk || !chunk->used[i % kChunkSize] || &chunk->entries[i % kChunkSize] != entry)
        return false;
    chunk->used[i % kChunkSize] = false;
    --chunk->usedCount;
    ResetEntry(*entry, -1);
    --used_;
    return true;
}

void EntryPool::clear()
{
    // Chunks stay for the next list: opening one list after another then
    // reuses the same memory instead of giving it back and faulting it in anew.
    for (auto& chunk : chunks_) {
        if (!chunk || chunk->usedCount == 0) continue;
        for (int i = 0; i < kChunkSize; ++i) {
            if (!chunk->used[i]) continue;
            chunk->used[i] = false;
            ResetEntry(chunk->entries[i], -1);
        }
        chunk->usedCount = 0;
    }
    used_ = 0;
}

void EntryPool::clearSearchMarks()
{
    forEach([](ReplayEntry& e) { e.searchMark = 0; });
}

ReplayFolder* ReplayFolder::addChild(SjisString childName)
{
    return adoptChild(std::make_unique<ReplayFolder>(std::move(childName)));
}

ReplayFolder* ReplayFolder::adoptChild(std::unique_ptr<ReplayFolder> child)
{
    child->parent = this;
    children.push_back(std::move(child));
    return children.back().get();
}

}  // namespace replidex
