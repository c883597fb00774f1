#include "platform/JournalLocation.h"

#include <cstdlib>

#include "core/file/NativeFiles.h"
#include "platform/SettingsLocation.h"
#include "platform/Trash.h"

namespace replidex {

std::string JournalFolder()
{
#ifdef _WIN32
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    const std::string base = local && local[0] ? Utf8FromWide(local) : NativePathOf(std::filesystem::temp_directory_path());
    return base + "\\Replidex\\journal";
#else
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/replidex/journal";
    return HomeFolder() + "/.local/state/replidex/journal";
#endif
}

JournalTrash PlatformJournalTrash()
{
    JournalTrash trash;
    trash.move = [](const std::string& path, TrashPlace& place, std::error_code& error) {
        return MoveToTrashRecorded(path, place.file, place.info, error);
    };
    trash.restore = [](const TrashPlace& place, const std::string& to) {
        return RestoreFromTrash(place.file, place.info, to);
    };
    return trash;
}

}  // namespace replidex
