// replidex-cli dump: a list file as one JSON document.
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "core/file/NativeFiles.h"
#include "core/list/ListFile.h"
#include "core/text/SjisCodec.h"

namespace replidex::cli {

namespace {

constexpr const char* kHelp =
    "usage: replidex-cli dump FILE.rdx\n"
    "\n"
    "Reads a replay list file and prints it as one JSON document:\n"
    "  {\"version\":1000,\"complete\":true|false,\"root\":INDEX|null,\"top\":[FOLDER,...]}\n"
    "  FOLDER = {\"name\":hex,\"folders\":[FOLDER,...],\"entries\":[ENTRY,...]}\n"
    "  ENTRY  = {\"kind\":N,\"folderPath\":hex,\"fileName\":hex,\"fileAge\":N,\"memo\":hex,\n"
    "            \"info\":null|{\"infoFlags\":N,\"p1\":P,\"p2\":P}}\n"
    "  P      = {\"name\":hex,\"score\":N,\"rank\":N,\"wins\":N,\"losses\":N,\"character\":N,\"isCom\":0|1}\n"
    "Texts are the lowercase hex of their Shift-JIS bytes. \"root\" is the index in\n"
    "\"top\" of the root folder; \"complete\" is false when the list held more entries\n"
    "than the pool takes (the entries up to that point are printed). A folder that\n"
    "never held an entry prints an empty \"entries\" list. 'replidex-cli build'\n"
    "turns such a document back into a list file.\n"
    "Only a regular file no larger than a list can be is read.\n"
    "Exit status: 0 printed, 1 the file cannot be opened or is of another version,\n"
    "2 bad usage.\n";

// The document is printed compact, the players in it spaced, as they always
// were: texts made apart go in as stand-in strings "#N", replaced when the
// whole is printed. Apart from the stand-ins, the strings dump prints are hex,
// so '"#' shows only where a stand-in stands.

// Compact JSON text of `value` with each stand-in "#N" replaced by pieces[N].
std::string WithPieces(const Json& value, const std::vector<std::string>& pieces)
{
    const std::string compact = DumpCompact(value);
    std::string out;
    std::size_t from = 0;
    for (std::size_t at; (at = compact.find("\"#", from)) != std::string::npos;) {
        const std::size_t end = compact.find('"', at + 2);
        out.append(compact, from, at - from);
        out += pieces.at(std::stoul(compact.substr(at + 2, end - at - 2)));
        from = end + 1;
    }
    out.append(compact, from);
    return out;
}

Json StandIn(std::vector<std::string>& pieces, std::string text)
{
    pieces.push_back(std::move(text));
    return "#" + std::to_string(pieces.size() - 1);
}

// An entry's text. The players in it are printed spaced, as they always were.
std::string EntryText(const ReplayEntry& entry)
{
    std::vector<std::string> players;
    Json info = nullptr;
    if (entry.info)
        info = {{"infoFlags", entry.info->infoFlags},
                {"p1", StandIn(players, DumpSpaced(PlayerJson(entry.info->p1)))},
                {"p2", StandIn(players, DumpSpaced(PlayerJson(entry.info->p2)))}};
    return WithPieces({{"kind", entry.kind},
                       {"folderPath", HexJson(entry.folderPath)},
                       {"fileName", HexJson(entry.fileName)},
                       {"fileAge", entry.fileAge},
                       {"memo", HexJson(entry.memo)},
                       {"info", std::move(info)}},
                      players);
}

// A folder, its entries as stand-ins for their texts (made one by one, which
// keeps the document small).
Json FolderJson(const ReplayFolder& folder, const EntryPool& pool, std::vector<std::string>& entries)
{
    Json folders = Json::array();
    for (const auto& child : folder.children) folders.push_back(FolderJson(*child, pool, entries));
    Json list = Json::array();
    if (folder.entries) {
        for (const std::int32_t index : *folder.entries)
            if (const ReplayEntry* entry = pool.lookup(index))
                list.push_back(StandIn(entries, EntryText(*entry)));
    }
    return {{"name", HexJson(folder.name)}, {"folders", std::move(folders)}, {"entries", std::move(list)}};
}

}  // namespace

int RunDump(const Args& args)
{
    if (AsksForHelp(args)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (args.size() != 1) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    const std::string& path = args[0];

    auto doc = std::make_unique<ReplayDocument>();
    std::error_code why;
    const ListOpenResult result = OpenListFileNative(path, *doc, &why);
    if (result == ListOpenResult::CannotOpen) {
        std::fprintf(stderr, "replidex-cli dump: cannot open '%s': %s\n", path.c_str(),
                     FileErrorText(why).c_str());
        return 1;
    }
    if (result == ListOpenResult::OtherVersion) {
        const std::string message = Cp932ToUtf8Lossy(OtherVersionMessage()) + "\n";
        std::fputs(message.c_str(), stderr);
        return 1;
    }

    std::vector<std::string> entries;
    Json top = Json::array();
    Json root = nullptr;
    for (std::size_t i = 0; i < doc->topLevel.size(); ++i) {
        if (doc->topLevel[i].get() == doc->root) root = i;
        top.push_back(FolderJson(*doc->topLevel[i], doc->pool, entries));
    }
    const std::string out = WithPieces({{"version", kListFileVersion},
                                        {"complete", result != ListOpenResult::PoolFull},
                                        {"root", std::move(root)},
                                        {"top", std::move(top)}},
                                       entries) +
                            "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace replidex::cli
