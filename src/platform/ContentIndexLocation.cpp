#include "platform/ContentIndexLocation.h"

#include "core/file/NativeFiles.h"
#include "platform/SettingsLocation.h"
#ifndef _WIN32
#include "platform/XdgDirs.h"
#endif

namespace replidex {

std::string ContentIndexPath()
{
#ifdef _WIN32
    const std::string base = UserConfigFolder();   // %APPDATA%
    if (base.empty()) return {};
    return NativePathOf(FsPath(base) / "Replidex" / "content-index");
#else
    const std::string base = XdgDataHome();
    if (base.empty()) return {};
    return NativePathOf(FsPath(base) / "replidex" / "content-index");
#endif
}

}  // namespace replidex
