#include "platform/ArchiveLocation.h"

#ifdef _WIN32
#include <cstdlib>

#include "core/file/NativeFiles.h"
#else
#include "platform/XdgDirs.h"
#endif

namespace replidex {

std::string DefaultArchiveFolder()
{
#ifdef _WIN32
    const wchar_t* roaming = _wgetenv(L"APPDATA");
    if (!roaming || !roaming[0]) return {};
    return Utf8FromWide(roaming) + "\\Replidex\\replays";
#else
    const std::string data = XdgDataHome();
    return data.empty() ? std::string() : data + "/replidex/replays";
#endif
}

}  // namespace replidex
