// The game's replay slots: the game plays back only the files REPLAY00.RPD to
// REPLAY99.RPD in its replay folder. Slot names, the rule that tells a game
// replay file name, and which item of a folder holds which slot.
//
// The game runs on Windows or under Wine, both of which find REPLAY03.RPD and
// replay03.rpd alike; so names are compared without regard to case here, and
// new names are always written as "REPLAY%02d.RPD".
//
// Names and paths are in the file system's own encoding (UTF-8 on Linux).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace replidex {

inline constexpr int kSlotCount = 100;

// "REPLAY%02d.RPD" for a slot 0-99.
std::string SlotFileName(int slot);

// The slot a game replay file name stands for, -1 for any other name. A game
// replay file name has exactly 12 characters: "REPLAY", two decimal digits and
// ".RPD", the letters in any case.
int SlotOfFileName(std::string_view name);
inline bool IsGameReplayFileName(std::string_view name) { return SlotOfFileName(name) >= 0; }

// True for a name ending in ".RPD", in any letter case.
bool HasRpdExtension(std::string_view name);

// True for a name that, joined to a folder, names an item inside that folder:
// not empty, not "." or "..", and without a path delimiter or NUL.
bool IsPlainFileName(std::string_view name);

// `folder` and `name` joined with the path delimiter.
std::string JoinPath(const std::string& folder, std::string_view name);

enum class ItemType { File, Folder, Other };

// One item of a folder: its name on disk and what it is (links followed; a
// dangling link is Other).
struct FolderItem {
    std::string name;
    ItemType type = ItemType::File;
};

// The items of `folder`, in the order the file system gives them. On failure
// `error` is set and the list is empty.
// The order a Windows folder lists its items in: names without regard to
// ASCII case, then byte order, so that the order is total.
bool NameBefore(const std::string& a, const std::string& b);

std::vector<FolderItem> ListFolder(const std::string& folder, std::error_code& error);

// The names of the regular *.RPD files of a listing, sorted without regard to
// case (equal names then by their bytes), the order a Windows folder lists them.
std::vector<std::string> RpdFileNames(const std::vector<FolderItem>& items);

// How many *.RPD files of a listing are not game replay file names.
int CountOtherRpdFiles(const std::vector<FolderItem>& items);

// Which item holds each slot. A slot is held by any item that is not a folder
// whose name is that slot's name in any case. When several case variants are
// there, the exact "REPLAYnn.RPD" holds the slot, else the first in byte order;
// the others are left alone by every operation.
class SlotTable {
public:
    SlotTable() = default;
    explicit SlotTable(const std::vector<FolderItem>& items);

    // The name on disk of the item that holds `slot`; null when it is free.
    const std::string* holder(int slot) const;
    bool isFree(int slot) const { return holder(slot) == nullptr; }
    int takenCount() const;
    int freeCount() const { return kSlotCount - takenCount(); }
    // The first free slot from `slot` on, or -1.
    int firstFreeFrom(int slot) const;
    // The first taken slot after `slot`, or -1.
    int nextTakenAfter(int slot) const;

    void take(int slot, std::string name);
    void release(int slot);

private:
    std::array<std::optional<std::string>, kSlotCount> holders_;
};

}  // namespace replidex
