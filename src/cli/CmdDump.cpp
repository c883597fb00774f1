// replidex-cli dump: a list file as one JSON document.
#include <cstdio>
#include <memory>
#include <string>

#include "cli/Commands.h"
#include "cli/Json.h"
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
    "Exit status: 0 printed, 1 the file cannot be opened or is of another version,\n"
    "2 bad usage.\n";

void AppendEntry(std::string& out, const ReplayEntry& entry)
{
    out += "{\"kind\":" + std::to_string(entry.kind);
    out += ",\"folderPath\":" + JsonHex(entry.folderPath);
    out += ",\"fileName\":" + JsonHex(entry.fileName);
    out += ",\"fileAge\":" + std::to_string(entry.fileAge);
    out += ",\"memo\":" + JsonHex(entry.memo);
    out += ",\"info\":";
    if (!entry.info) {
        out += "null";
    } else {
        out += "{\"infoFlags\":" + std::to_string(entry.info->infoFlags);
        out += ",\"p1\":" + JsonPlayer(entry.info->p1);
        out += ",\"p2\":" + JsonPlayer(entry.info->p2);
        out += '}';
    }
    out += '}';
}

void AppendFolder(std::string& out, const ReplayFolder& folder, const EntryPool& pool)
{
    out += "{\"name\":" + JsonHex(folder.name) + ",\"folders\":[";
    bool first = true;
    for (const auto& child : folder.children) {
        if (!first) out += ',';
        first = false;
        AppendFolder(out, *child, pool);
    }
    out += "],\"entries\":[";
    if (folder.entries) {
        first = true;
        for (const std::int32_t index : *folder.entries) {
            const ReplayEntry* entry = pool.lookup(index);
            if (!entry) continue;
            if (!first) out += ',';
            first = false;
            AppendEntry(out, *entry);
        }
    }
    out += "]}";
}

}  // namespace

int RunDump(const Args& args)
{
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
    }
    if (args.size() != 1) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    const std::string& path = args[0];

    auto doc = std::make_unique<ReplayDocument>();
    const ListOpenResult result = OpenListFileNative(path, *doc);
    if (result == ListOpenResult::CannotOpen) {
        std::fprintf(stderr, "replidex-cli dump: cannot open '%s'\n", path.c_str());
        return 1;
    }
    if (result == ListOpenResult::OtherVersion) {
        const std::string message = Cp932ToUtf8Lossy(OtherVersionMessage()) + "\n";
        std::fputs(message.c_str(), stderr);
        return 1;
    }

    std::string out = "{\"version\":" + std::to_string(kListFileVersion) + ",\"complete\":";
    out += result == ListOpenResult::PoolFull ? "false" : "true";
    out += ",\"root\":";
    std::string top;
    int rootIndex = -1;
    for (std::size_t i = 0; i < doc->topLevel.size(); ++i) {
        if (doc->topLevel[i].get() == doc->root) rootIndex = static_cast<int>(i);
        if (i > 0) top += ',';
        AppendFolder(top, *doc->topLevel[i], doc->pool);
    }
    out += rootIndex < 0 ? "null" : std::to_string(rootIndex);
    out += ",\"top\":[" + top + "]}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace replidex::cli
