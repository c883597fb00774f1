#include "cli/EntryJson.h"

#include <cstdio>

#include "core/list/EntryLocations.h"
#include "core/list/ListFile.h"
#include "core/text/SjisCodec.h"
#include "platform/ContentIndexLocation.h"

namespace replidex::cli {

Json EntryJson(const ReplayDocument& doc, const ReplayFolder* folder, const ReplayEntry& entry)
{
    Json json;
    json["folder"] = Cp932ToUtf8Lossy(ListFolderPath(doc, folder));
    json["path"] = Cp932ToUtf8Lossy(entry.fullPath());
    return json;
}

bool OpenListForCommand(const char* command, const std::string& listPath, ReplayDocument& doc)
{
    const ListOpenResult opened = OpenListFileNative(listPath, doc);
    if (opened == ListOpenResult::Opened) return true;
    const char* why = opened == ListOpenResult::OtherVersion ? "not a list file of version 1000"
                      : opened == ListOpenResult::PoolFull   ? "it holds more entries than a list can (65536)"
                                                             : "cannot be read";
    std::fprintf(stderr, "replidex-cli %s: %s: %s\n", command, listPath.c_str(), why);
    return false;
}

ContentIndex LoadUserIndex(std::string* path)
{
    ContentIndex index;
    const std::string where = ContentIndexPath();
    if (!where.empty() && index.load(where) == IndexReadResult::Damaged)
        std::fprintf(stderr, "replidex-cli: the content index %s is damaged; it is rebuilt\n", where.c_str());
    if (path) *path = where;
    return index;
}

}  // namespace replidex::cli
