#include "gui/browse/ReplayIcons.h"

#include <array>

namespace replidex {

namespace {

// Built once, on first use, and kept for the whole run: icons must not be
// destroyed after the application object.
struct IconCache {
    std::array<QIcon, kReplayIconCount> list;
    QIcon folderNode;

    IconCache()
    {
        for (int i = 0; i < kReplayIconCount; ++i)
            list[static_cast<std::size_t>(i)] =
                QIcon(QStringLiteral(":/images/list/%1.svg").arg(i, 2, 10, QLatin1Char('0')));
        folderNode.addFile(QStringLiteral(":/images/list/10.svg"), {}, QIcon::Normal);
        folderNode.addFile(QStringLiteral(":/images/list/11.svg"), {}, QIcon::Selected);
    }
};

IconCache& Cache()
{
    static auto* cache = new IconCache;   // deliberately never destroyed
    return *cache;
}

}  // namespace

QIcon ReplayIcon(int index)
{
    if (index < 0 || index >= kReplayIconCount) return {};
    return Cache().list[static_cast<std::size_t>(index)];
}

QIcon FolderNodeIcon()
{
    return Cache().folderNode;
}

}  // namespace replidex
