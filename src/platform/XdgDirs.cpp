#include "platform/XdgDirs.h"

#include <algorithm>
#include <cstdlib>

#include "platform/SettingsLocation.h"

namespace replidex {

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::vector<std::string> SplitList(const std::string& text)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(':', start), text.size());
        if (end > start) parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string HomeOr(const char* variable, const char* belowHome)
{
    const std::string value = Environment(variable);
    if (!value.empty() && value.front() == '/') return value;
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/" + belowHome;
}

}  // namespace

std::string XdgDataHome()
{
    return HomeOr("XDG_DATA_HOME", ".local/share");
}

std::string XdgConfigHome()
{
    return HomeOr("XDG_CONFIG_HOME", ".config");
}

std::vector<std::string> XdgDataDirs()
{
    const std::string value = Environment("XDG_DATA_DIRS");
    return SplitList(value.empty() ? "/usr/local/share/:/usr/share/" : value);
}

std::vector<std::string> XdgConfigDirs()
{
    const std::string value = Environment("XDG_CONFIG_DIRS");
    return SplitList(value.empty() ? "/etc/xdg" : value);
}

std::vector<std::string> XdgCurrentDesktops()
{
    std::vector<std::string> names = SplitList(Environment("XDG_CURRENT_DESKTOP"));
    for (std::string& name : names)
        for (char& c : name)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return names;
}

}  // namespace replidex
