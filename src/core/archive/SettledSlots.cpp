#include "core/archive/SettledSlots.h"

#include <filesystem>

#include "core/file/NativeFiles.h"

namespace replidex {

namespace fs = std::filesystem;

std::vector<SlotFileLook> LookAtSlotFiles(const std::string& gameDir)
{
    std::vector<SlotFileLook> looks;
    std::error_code listError;
    const SlotTable slots(ListFolder(gameDir, listError));
    if (listError) return looks;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const std::string* holder = slots.holder(slot);
        if (!holder) continue;
        const fs::path path = FsPath(JoinPath(gameDir, *holder));
        std::error_code ec;
        if (!fs::is_regular_file(path, ec)) continue;
        const std::uintmax_t size = fs::file_size(path, ec);
        if (ec) continue;
        const fs::file_time_type time = fs::last_write_time(path, ec);
        if (ec) continue;
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
        looks.push_back({slot, *holder, static_cast<std::uint64_t>(size), static_cast<std::int64_t>(ns)});
    }
    return looks;
}

std::vector<SlotFileLook> SettledSlots::look(Clock::time_point now, const std::vector<SlotFileLook>& files)
{
    std::array<bool, kSlotCount> present{};
    std::vector<SlotFileLook> settled;
    for (const SlotFileLook& file : files) {
        if (file.slot < 0 || file.slot >= kSlotCount) continue;
        present[static_cast<std::size_t>(file.slot)] = true;
        std::optional<Slot>& slot = slots_[static_cast<std::size_t>(file.slot)];
        if (!slot || !(slot->seen == file)) {
            slot = Slot{file, now, false};
            continue;
        }
        if (!slot->handedOut && now - slot->changed >= quiet_) {
            slot->handedOut = true;
            settled.push_back(file);
        }
    }
    // A slot file gone: whatever comes there next is new.
    for (std::size_t i = 0; i < slots_.size(); ++i)
        if (!present[i]) slots_[i].reset();
    return settled;
}

bool SettledSlots::waiting() const
{
    for (const std::optional<Slot>& slot : slots_)
        if (slot && !slot->handedOut) return true;
    return false;
}

}  // namespace replidex
