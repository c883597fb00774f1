#include "fuzz/FuzzBodies.h"

#include <cstdio>
#include <deque>
#include <cstdlib>
#include <string>
#include <vector>
#include <string_view>

#include "core/file/ContentHash.h"
#include "core/list/ContentIndex.h"
#include "core/list/ListFile.h"
#include "core/replay/ReplayFileReader.h"
#include "core/search/SearchMatch.h"
#include "core/search/query/Query.h"
#include "core/search/query/QueryCriteria.h"
#include "core/settings/ProfileFile.h"
#include "core/text/SjisCodec.h"

namespace replidex::fuzz {

namespace {

void Require(bool condition, const char* what)
{
    if (condition) return;
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}

// A folder path cannot be stored empty once a path was written before it (a
// stored length of 0 means "the path before"); real entries always have one.
bool SamePath(std::string_view first, std::string_view second)
{
    return first.empty() || first == second;
}

bool SameEntry(const ReplayEntry& a, const ReplayEntry& b)
{
    if (a.kind != b.kind || a.fileAge != b.fileAge || a.fileName != b.fileName ||
        a.memo != b.memo || !SamePath(a.folderPath, b.folderPath))
        return false;
    if (!a.info || !b.info) return !a.info && !b.info;
    return *a.info == *b.info;
}

// Same names, same children in order, same entries in order (a folder without
// an entry list equals one with an empty list: the file cannot tell them apart).
bool SameFolder(const ReplayFolder& a, const EntryPool& poolA, const ReplayFolder& b,
                const EntryPool& poolB)
{
    if (a.name != b.name || a.children.size() != b.children.size()) return false;
    std::vector<const ReplayEntry*> entriesA, entriesB;
    if (a.entries)
        for (const std::int32_t i : *a.entries)
            if (const ReplayEntry* e = poolA.lookup(i)) entriesA.push_back(e);
    if (b.entries)
        for (const std::int32_t i : *b.entries)
            if (const ReplayEntry* e = poolB.lookup(i)) entriesB.push_back(e);
    if (entriesA.size() != entriesB.size()) return false;
    for (std::size_t i = 0; i < entriesA.size(); ++i)
        if (!SameEntry(*entriesA[i], *entriesB[i])) return false;
    for (std::size_t i = 0; i < a.children.size(); ++i)
        if (!SameFolder(*a.children[i], poolA, *b.children[i], poolB)) return false;
    return true;
}

bool HasEmptyFolderPath(const ReplayDocument& doc)
{
    bool found = false;
    doc.pool.forEach([&](const ReplayEntry& e) { found = found || e.folderPath.empty(); });
    return found;
}

}  // namespace

void ListFileBody(const std::uint8_t* data, std::size_t size)
{
    static ReplayDocument first;
    static ReplayDocument second;
    const ListOpenResult result =
        ReadListBytes(std::string_view(reinterpret_cast<const char*>(data), size), first);
    if (result != ListOpenResult::Opened && result != ListOpenResult::PoolFull) return;
    const std::string saved = WriteListBytes(first);
    // The two-pass reader of large lists reads the same document.
    static ReplayDocument framed;
    Require(ReadListBytesWith(std::string_view(reinterpret_cast<const char*>(data), size), framed, 2) == result,
            "both readers end alike");
    Require(WriteListBytes(framed) == saved, "both readers read the same document");
    const ListOpenResult again = ReadListBytes(saved, second);
    Require(again == ListOpenResult::Opened, "a saved list opens completely");
    Require((first.root == nullptr) == (second.root == nullptr), "the root survives a save");
    if (first.root)
        Require(SameFolder(*first.root, first.pool, *second.root, second.pool),
                "save then open gives the same document");
    const std::string savedAgain = WriteListBytes(second);
    if (!HasEmptyFolderPath(first)) {
        Require(savedAgain == saved, "saving the reopened list gives the same bytes");
    } else {
        // The empty paths took the path before them; from now on it is stable.
        static ReplayDocument third;
        Require(ReadListBytes(savedAgain, third) == ListOpenResult::Opened, "reopen");
        Require(WriteListBytes(third) == savedAgain, "a second save gives the same bytes");
    }
}

void ReplayFileBody(const std::uint8_t* data, std::size_t size)
{
    ReplayInfo info;
    const int result =
        AnalyseReplayBytes(std::string_view(reinterpret_cast<const char*>(data), size), info);
    Require(result == kAnalyseOk || result == kAnalyseFailed, "result is 1 or -1");
    Require((result == kAnalyseFailed) == info.failed(), "failure bit matches the result");
    const std::uint32_t known = kInfoNetMatch | kInfoOfflineMatch | kInfoRuleF | kInfoOtherRule |
                                kInfoNetW | kInfoNetP | kInfoFailed;
    Require((info.infoFlags & ~known) == 0, "no unknown flag bits");
    Require(info.p1.nameText().size() <= 16 && info.p2.nameText().size() <= 16,
            "names are at most 16 bytes");
    if (result == kAnalyseOk) {
        Require(info.p1.rank >= 0 && info.p1.rank <= 18 && info.p2.rank >= 0 && info.p2.rank <= 18,
                "ranks read from a file are 0-18");
        Require(((info.infoFlags & kInfoNetMatch) != 0) != ((info.infoFlags & kInfoOfflineMatch) != 0),
                "exactly one match mode");
    }
    // The column texts must be made without fault for whatever was read.
    (void)InfoSummary(&info);
    (void)PlayerSummary(&info, 1);
    (void)PlayerSummary(&info, 2);
}

}  // namespace replidex::fuzz

namespace replidex::fuzz {

namespace {

struct SettingValue {
    std::string section, key, value;
};

std::vector<SettingValue> ReadEverything(const ProfileFile& file)
{
    std::vector<SettingValue> values;
    for (const std::string& section : file.sectionNames())
        for (const std::string& key : file.keyNames(section))
            values.push_back({section, key, file.readString(section, key, "\x01" "default")});
    return values;
}

void RequireSameValues(const ProfileFile& file, const std::vector<SettingValue>& values)
{
    for (const SettingValue& v : values)
        Require(file.readString(v.section, v.key, "\x01" "default") == v.value,
                "a value written back reads the same");
}

}  // namespace

void SettingsFileBody(const std::uint8_t* data, std::size_t size)
{
    ProfileFile original =
        ProfileFile::FromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::vector<SettingValue> values = ReadEverything(original);
    Require(ProfileFile::FromBytes(original.bytes()).bytes() == original.bytes(),
            "an untouched file keeps its bytes");

    // Writing every value back into the same file changes no value; writing
    // them into a new file gives the same values for every write it accepts.
    // (A write may be refused, for a name that could not be read back as it
    // is, such as one ending in half a two-byte character; it then changes
    // nothing.)
    ProfileFile fresh;
    std::vector<SettingValue> accepted;
    for (const SettingValue& v : values) {
        original.writeString(v.section, v.key, v.value);
        const std::string before = fresh.bytes();
        if (fresh.writeString(v.section, v.key, v.value)) accepted.push_back(v);
        else Require(fresh.bytes() == before, "a refused write changes nothing");
    }
    RequireSameValues(ProfileFile::FromBytes(original.bytes()), values);
    RequireSameValues(ProfileFile::FromBytes(fresh.bytes()), accepted);
}

}  // namespace replidex::fuzz

namespace replidex::fuzz {

namespace {

// Net and offline matches with names, ranks and characters the queries of
// the seeds talk about, one entry without info and one failed analysis.
std::deque<ReplayEntry> QueryEntries()
{
    struct Player {
        const char* name;
        int rank, wins, losses, character;
    };
    struct Row {
        std::uint32_t flags;
        Player p1, p2;
        const char* memo;
        std::int32_t age;
    };
    const Row rows[] = {
        {kInfoNetMatch, {"あみ", 10, 6, 4, 1}, {"ＡＢ", 3, 0, 0, 17}, "大会 決勝", 0x30A00000},
        {kInfoNetMatch | kInfoRuleF, {"ab", 19, 30, 1, 5}, {"あみ太郎", -2, 1, 9, 0}, "", 0},
        {kInfoOfflineMatch, {"", 0, 0, 0, 2}, {"", 0, 0, 0, 36}, "ｱﾐ", 0x50000000},
        {kInfoNetMatch | kInfoFailed, {"p1", 40, 0, 0, 3}, {"Ｐ1", 9, 5, 5, 3}, "予選", -1},
        {kInfoNetMatch | kInfoNetW, {"xABy", 12, 2, 2, 15}, {"ぷよ", 12, 3, 1, 15}, "",
         0x7FFFFFFF},
    };
    std::deque<ReplayEntry> out;  // entries do not move
    for (const Row& row : rows) {
        ReplayEntry& e = out.emplace_back();
        e.folderPath = "\\\\nowhere\\";
        e.fileName = "REPLAY.RPD";
        e.memo = Sjis(row.memo);
        e.fileAge = row.age;
        e.info.emplace();
        e.info->infoFlags = row.flags;
        const auto set = [](PlayerRecord& record, const Player& p) {
            record.setName(Sjis(p.name));
            record.rank = static_cast<std::int16_t>(p.rank);
            record.wins = static_cast<std::int16_t>(p.wins);
            record.losses = static_cast<std::int16_t>(p.losses);
            record.character = static_cast<std::int16_t>(p.character);
        };
        set(e.info->p1, row.p1);
        set(e.info->p2, row.p2);
    }
    out.emplace_back().memo = Sjis("あみ");  // no info
    return out;
}

}  // namespace

void QueryLineBody(const std::uint8_t* data, std::size_t size)
{
    static const std::deque<ReplayEntry> entries = QueryEntries();
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    QueryParse parsed = ParseQuery(line);
    if (!parsed.ok) {
        Require(parsed.error.position >= 1 &&
                    static_cast<std::size_t>(parsed.error.position) <= size + 1,
                "an error names a character of the line");
        Require(!parsed.error.message.empty(), "an error says what is wrong");
        (void)QueryErrorText(parsed.error);
        return;
    }
    const Query& q = parsed.query;
    Require(q.root >= -1 && q.root < static_cast<int>(q.nodes.size()), "the root is a node");
    for (const QueryNode& n : q.nodes)
        for (const int child : n.children)
            Require(child >= 0 && child < static_cast<int>(q.nodes.size()), "children are nodes");

    for (const bool caseSensitive : {true, false}) {
        const QueryTextOptions options{caseSensitive, !caseSensitive};
        const QueryMatcher matcher(q, options);
        SearchCriteria criteria;
        const bool expressible = ToCriteria(q, options, criteria);
        for (const ReplayEntry& e : entries) {
            const bool hit = matcher.MatchEntry(e);
            if (!expressible || !e.info || e.info->failed()) continue;
            Require(SearchMatcher(criteria).MatchEntry(e) == hit,
                    "the window's criteria for a query take what the query takes");
        }
        if (expressible)
            Require(ParseQuery(ToQuery(criteria)).ok, "the criteria read back as a query");
    }
}

}  // namespace replidex::fuzz

namespace replidex::fuzz {

namespace {

void CheckContentIndexBytes(std::string_view bytes)
{
    ContentIndex first;
    const IndexReadResult read = first.fromBytes(bytes);
    Require(read == IndexReadResult::Read || read == IndexReadResult::Damaged, "read whole or damaged");
    if (read == IndexReadResult::Damaged) {
        Require(first.size() == 0, "a damaged index holds no record");
        return;
    }
    const std::string written = first.toBytes();
    ContentIndex second;
    Require(second.fromBytes(written) == IndexReadResult::Read, "a written index reads back");
    Require(second.size() == first.size(), "the same number of records");
    for (const ContentRecord* r : first.sorted()) {
        const ContentRecord* again = second.find(r->path);
        Require(again && *again == *r, "every record reads back the same");
        Require(first.findCurrent(r->path, r->fileAge) == first.find(r->path), "a record speaks for its time");
    }
    Require(second.toBytes() == written, "writing it again gives the same bytes");
    // With no order to restore, the bytes read are the bytes written.
    if (first.size() < 2) Require(written == bytes, "an index of one record keeps its bytes");
}

}  // namespace

void ContentIndexBody(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckContentIndexBytes(bytes);
    // A mutated input rarely keeps its checksum: the same bytes with the
    // checksum made right reach the record reader behind it.
    if (size < 8) return;
    std::string fixed(bytes.substr(0, size - 8));
    const std::uint64_t sum = ContentHash64(fixed);
    for (int i = 0; i < 8; ++i) fixed.push_back(static_cast<char>(sum >> (8 * i) & 0xFF));
    CheckContentIndexBytes(fixed);
}

}  // namespace replidex::fuzz
