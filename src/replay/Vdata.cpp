#include "replay/Vdata.h"

#include <algorithm>
#include <cstring>

#include "replay/FileTime.h"

namespace replidex {

std::string_view PlayerRecord::nameText() const
{
    const auto* end = std::find(name.begin(), name.end() - 1, '\0');
    return {name.data(), static_cast<std::size_t>(end - name.begin())};
}

void PlayerRecord::setName(std::string_view text)
{
    name.fill('\0');
    text = text.substr(0, text.find('\0'));   // a name is the text before its first NUL
    const std::size_t n = std::min(text.size(), kNameSize - 1);
    std::memcpy(name.data(), text.data(), n);
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
    if (!other.info) {
        info.reset();
    } else if (info) {
        *info = *other.info;
    } else {
        info = std::make_unique<ReplayInfo>(*other.info);
    }
    return *this;
}

int EntryState(const ReplayEntry& entry)
{
    const std::int32_t age = FileAgeOf(entry.fullPath());
    if (age == kNoFileAge) return kStateMissing;
    return age == entry.fileAge ? kStateUnchanged : kStateChanged;
}

namespace {

// Gives an entry back its state as new, freeing what it owned.
void ResetEntry(ReplayEntry& entry, std::int32_t poolIndex)
{
    entry.poolIndex = poolIndex;
    entry.kind = 0;
    entry.fileAge = 0;
    entry.searchMark = 0;
    SjisString().swap(entry.fileName);
    SjisString().swap(entry.folderPath);
    SjisString().swap(entry.memo);
    entry.info.reset();
}

}  // namespace

EntryPool::EntryPool() = default;
EntryPool::~EntryPool() = default;

ReplayEntry* EntryPool::allocate()
{
    for (int step = 0; step < kSlotCount; ++step) {
        const int i = (cursor_ + step) % kSlotCount;
        auto& chunk = chunks_[i / kChunkSize];
        if (!chunk) chunk = std::make_unique<Chunk>();
        if (chunk->used[i % kChunkSize]) continue;
        chunk->used[i % kChunkSize] = true;
        ++chunk->usedCount;
        ReplayEntry& entry = chunk->entries[i % kChunkSize];
        ResetEntry(entry, i);
        cursor_ = (i + 1) % kSlotCount;
        ++used_;
        return &entry;
    }
    return nullptr;
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
    for (auto& chunk : chunks_) chunk.reset();
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
