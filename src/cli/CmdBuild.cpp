// replidex-cli build: a list file from the JSON document that 'dump' prints.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "core/file/NativeFiles.h"
#include "core/list/ListFile.h"

namespace replidex::cli {

namespace {

constexpr const char* kHelp =
    "usage: replidex-cli build IN.json OUT.rdx\n"
    "\n"
    "Writes the replay list described by IN.json (the document 'replidex-cli dump'\n"
    "prints; '-' reads it from standard input) to the list file OUT.rdx. Only the\n"
    "tree of the folder that \"root\" names is written; \"version\" and \"complete\"\n"
    "are not looked at. Every other field dump prints is required. Entry kinds are\n"
    "3-255; folder and file names longer than 255 bytes are cut, player names may\n"
    "hold at most 40 bytes. OUT.rdx is replaced atomically: it holds either its old\n"
    "or its new contents, never a part; anything there that is no regular file\n"
    "(a folder, a device, a FIFO, also through a link) is never written over.\n"
    "Exit status: 0 written, 1 unreadable or invalid input or the file cannot be\n"
    "written, 2 bad usage.\n";

// The member named `key` of `object`, or null when `object` is not an object
// or has no such member (the last one counts when a name occurs twice).
const nlohmann::json* Member(const nlohmann::json& object, const char* key)
{
    if (!object.is_object()) return nullptr;
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

// Turns the JSON document into a ReplayDocument; the first problem found ends
// it with a message naming the field.
class DocumentBuilder {
public:
    explicit DocumentBuilder(ReplayDocument& doc) : doc_(doc) {}

    const std::string& error() const { return error_; }

    bool build(const nlohmann::json& json)
    {
        if (!json.is_object()) return fail("the document", "must be an object");
        const nlohmann::json* top = Member(json, "top");
        if (!top || !top->is_array()) return fail("top", "must be an array");
        for (std::size_t i = 0; i < top->size(); ++i) {
            ReplayFolder* folder = doc_.addTopLevel({});
            if (!buildFolder((*top)[i], *folder, "top[" + std::to_string(i) + "]")) return false;
        }
        const nlohmann::json* root = Member(json, "root");
        if (!root) return fail("root", "is missing");
        if (root->is_null()) return true;
        if (!root->is_number_integer() || root->get<std::int64_t>() < 0 ||
            root->get<std::int64_t>() >= static_cast<std::int64_t>(doc_.topLevel.size()))
            return fail("root", "must be null or an index into top");
        doc_.root = doc_.topLevel[root->get<std::size_t>()].get();
        return true;
    }

private:
    ReplayDocument& doc_;
    std::string error_;

    bool fail(const std::string& where, const char* what)
    {
        error_ = where + " " + what;
        return false;
    }

    static int HexDigit(char c)
    {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    bool hexField(const nlohmann::json& object, const char* key, const std::string& where,
                  std::string& bytes)
    {
        const std::string field = where + "." + key;
        const nlohmann::json* value = Member(object, key);
        if (!value || !value->is_string()) return fail(field, "must be a hex string");
        const std::string& hex = value->get_ref<const std::string&>();
        if (hex.size() % 2 != 0) return fail(field, "has an odd number of hex digits");
        bytes.clear();
        bytes.reserve(hex.size() / 2);
        for (std::size_t i = 0; i < hex.size(); i += 2) {
            const int hi = HexDigit(hex[i]);
            const int lo = HexDigit(hex[i + 1]);
            if (hi < 0 || lo < 0) return fail(field, "holds a character that is no hex digit");
            bytes += static_cast<char>((hi << 4) | lo);
        }
        return true;
    }

    bool intField(const nlohmann::json& object, const char* key, const std::string& where,
                  std::int64_t min, std::int64_t max, std::int64_t& out)
    {
        const std::string field = where + "." + key;
        const nlohmann::json* value = Member(object, key);
        if (!value || !value->is_number_integer()) return fail(field, "must be an integer");
        const auto integer = value->get<std::int64_t>();   // ParseJson keeps to 64 bits
        if (integer < min || integer > max)
            return fail(field, ("must lie in " + std::to_string(min) + ".." + std::to_string(max)).c_str());
        out = integer;
        return true;
    }

    bool buildPlayer(const nlohmann::json& json, PlayerRecord& player, const std::string& where)
    {
        if (!json.is_object()) return fail(where, "must be an object");
        std::string name;
        if (!hexField(json, "name", where, name)) return false;
        if (name.size() > kListMaxPlayerNameBytes)
            return fail(where + ".name", "is longer than 40 bytes");
        player.setName(name);
        constexpr std::int64_t kMin16 = std::numeric_limits<std::int16_t>::min();
        constexpr std::int64_t kMax16 = std::numeric_limits<std::int16_t>::max();
        std::int64_t score, rank, wins, losses, character, isCom;
        if (!intField(json, "score", where, kMin16, kMax16, score) ||
            !intField(json, "rank", where, kMin16, kMax16, rank) ||
            !intField(json, "wins", where, kMin16, kMax16, wins) ||
            !intField(json, "losses", where, kMin16, kMax16, losses) ||
            !intField(json, "character", where, kMin16, kMax16, character) ||
            !intField(json, "isCom", where, 0, 255, isCom))
            return false;
        player.score = static_cast<std::int16_t>(score);
        player.rank = static_cast<std::int16_t>(rank);
        player.wins = static_cast<std::int16_t>(wins);
        player.losses = static_cast<std::int16_t>(losses);
        player.character = static_cast<std::int16_t>(character);
        player.isCom = static_cast<std::uint8_t>(isCom);
        return true;
    }

    bool buildEntry(const nlohmann::json& json, ReplayFolder& folder, const std::string& where)
    {
        if (!json.is_object()) return fail(where, "must be an object");
        ReplayEntry* entry = doc_.pool.allocate();
        if (!entry) return fail(where, "is one entry more than a list holds (65536)");
        folder.entryList().push_back(entry->poolIndex);

        std::int64_t kind, age;
        std::string folderPath;
        if (!intField(json, "kind", where, 3, 255, kind) ||
            !hexField(json, "folderPath", where, folderPath) ||
            !hexField(json, "fileName", where, entry->fileName) ||
            !intField(json, "fileAge", where, std::numeric_limits<std::int32_t>::min(),
                      std::numeric_limits<std::int32_t>::max(), age) ||
            !hexField(json, "memo", where, entry->memo))
            return false;
        entry->kind = static_cast<std::int32_t>(kind);
        entry->folderPath = folderPath;
        entry->fileAge = static_cast<std::int32_t>(age);

        const nlohmann::json* info = Member(json, "info");
        if (!info) return fail(where + ".info", "is missing");
        if (info->is_null()) return true;
        const std::string infoWhere = where + ".info";
        if (!info->is_object()) return fail(infoWhere, "must be null or an object");
        std::int64_t flags;
        if (!intField(*info, "infoFlags", infoWhere, 0, std::numeric_limits<std::uint32_t>::max(),
                      flags))
            return false;
        entry->info.emplace();
        entry->info->infoFlags = static_cast<std::uint32_t>(flags);
        const nlohmann::json* p1 = Member(*info, "p1");
        const nlohmann::json* p2 = Member(*info, "p2");
        if (!p1) return fail(infoWhere + ".p1", "is missing");
        if (!p2) return fail(infoWhere + ".p2", "is missing");
        return buildPlayer(*p1, entry->info->p1, infoWhere + ".p1") &&
               buildPlayer(*p2, entry->info->p2, infoWhere + ".p2");
    }

    bool buildFolder(const nlohmann::json& json, ReplayFolder& folder, const std::string& where)
    {
        if (!json.is_object()) return fail(where, "must be an object");
        if (!hexField(json, "name", where, folder.name)) return false;
        const nlohmann::json* folders = Member(json, "folders");
        const nlohmann::json* entries = Member(json, "entries");
        if (!folders || !folders->is_array()) return fail(where + ".folders", "must be an array");
        if (!entries || !entries->is_array()) return fail(where + ".entries", "must be an array");
        for (std::size_t i = 0; i < folders->size(); ++i) {
            ReplayFolder* child = folder.addChild({});
            if (!buildFolder((*folders)[i], *child, where + ".folders[" + std::to_string(i) + "]"))
                return false;
        }
        for (std::size_t i = 0; i < entries->size(); ++i) {
            if (!buildEntry((*entries)[i], folder, where + ".entries[" + std::to_string(i) + "]"))
                return false;
        }
        return true;
    }
};

// The largest document taken: dump writes each byte of a list as two hex
// digits, and its names, numbers and spacing take fewer than two more for
// each byte of the largest list there can be.
constexpr std::uint64_t kMaxJsonBytes = 4 * kListMaxFileBytes;

// Standard input, up to kMaxJsonBytes. A NUL byte can stand nowhere in JSON
// text: reading stops at once at one (an endless stream of zeros ends).
bool ReadStandardInput(std::string& text, std::string& error)
{
    char buffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
        if (std::memchr(buffer, '\0', n)) {
            error = "holds a NUL byte: no JSON text";
            return false;
        }
        if (text.size() + n > kMaxJsonBytes) {
            error = FileErrorText(std::make_error_code(std::errc::file_too_large));
            return false;
        }
        text.append(buffer, n);
    }
    if (!std::ferror(stdin)) return true;
    error = FileErrorText(std::error_code(EIO, std::generic_category()));
    return false;
}

// The document: standard input for "-", otherwise a regular file.
bool ReadInput(const std::string& path, std::string& text, std::string& error)
{
    if (path == "-") return ReadStandardInput(text, error);
    ReadOnlyFile file;
    std::error_code why;
    FileBytes bytes;
    if (file.open(path, &why) != ReadOnlyFile::OpenResult::Opened ||
        !ReadFileBytes(file, kMaxJsonBytes, bytes, why)) {
        error = FileErrorText(why);
        return false;
    }
    text.assign(bytes.view());
    return true;
}

}  // namespace

int RunBuild(const Args& args)
{
    if (AsksForHelp(args)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (args.size() != 2) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    const std::string& inPath = args[0];
    const std::string& outPath = args[1];

    std::string text;
    std::string readError;
    if (!ReadInput(inPath, text, readError)) {
        std::fprintf(stderr, "replidex-cli build: cannot read '%s': %s\n", inPath.c_str(),
                     readError.c_str());
        return 1;
    }
    nlohmann::json json;
    std::string error;
    if (!ParseJson(text, json, error)) {
        std::fprintf(stderr, "replidex-cli build: %s: %s\n", inPath.c_str(), error.c_str());
        return 1;
    }
    auto doc = std::make_unique<ReplayDocument>();
    DocumentBuilder builder(*doc);
    if (!builder.build(json)) {
        std::fprintf(stderr, "replidex-cli build: %s: %s\n", inPath.c_str(), builder.error().c_str());
        return 1;
    }
    std::error_code writeError;
    if (!SaveListFileNative(outPath, *doc, &writeError)) {
        std::fprintf(stderr, "replidex-cli build: cannot write '%s': %s\n", outPath.c_str(),
                     FileErrorText(writeError).c_str());
        return 1;
    }
    return 0;
}

}  // namespace replidex::cli
