#include "support/ListGenerator.h"

#include <vector>

namespace replidex::test {

namespace {

int Uniform(std::mt19937_64& rng, int lo, int hi)
{
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

bool Chance(std::mt19937_64& rng, int percent)
{
    return Uniform(rng, 0, 99) < percent;
}

// A length for a text whose format limit is `limit`, now and then beyond it.
std::size_t TextLength(std::mt19937_64& rng, std::size_t usual, std::size_t limit, bool overLong)
{
    if (overLong && Chance(rng, 8)) {
        if (Chance(rng, 15)) return limit * 64 + static_cast<std::size_t>(Uniform(rng, 0, 2000));
        return limit + static_cast<std::size_t>(Uniform(rng, 1, 300));
    }
    return static_cast<std::size_t>(Uniform(rng, 0, static_cast<int>(usual)));
}

PlayerRecord RandomPlayer(std::mt19937_64& rng)
{
    PlayerRecord p;
    // Lengths of 0, 40 and around them come up often.
    const int pick = Uniform(rng, 0, 5);
    const std::size_t length = pick == 0 ? 0 : pick == 1 ? 40 : static_cast<std::size_t>(Uniform(rng, 1, 40));
    p.setName(RandomSjisText(rng, length, length));
    p.score = static_cast<std::int16_t>(Uniform(rng, 0, 255));
    p.rank = static_cast<std::int16_t>(Uniform(rng, 0, 255));
    p.wins = static_cast<std::int16_t>(Uniform(rng, -32768, 32767));
    p.losses = static_cast<std::int16_t>(Uniform(rng, -32768, 32767));
    p.character = static_cast<std::int16_t>(Uniform(rng, 0, 255));
    p.isCom = static_cast<std::uint8_t>(Uniform(rng, 0, 1));
    return p;
}

struct Generator {
    std::mt19937_64 rng;
    ListGenOptions options;
    ReplayDocument& doc;
    std::vector<std::string> paths;   // disk folders shared by many entries

    std::string randomPath()
    {
        if (!paths.empty() && Chance(rng, 70))
            return paths[static_cast<std::size_t>(Uniform(rng, 0, static_cast<int>(paths.size()) - 1))];
        std::string path = "C:\\";
        const std::size_t length = TextLength(rng, 40, 1100, options.overLongTexts);
        path += RandomSjisText(rng, length, length);
        path += '\\';
        paths.push_back(path);
        return path;
    }

    void fillEntry(ReplayEntry& e)
    {
        e.kind = Chance(rng, options.otherKindPercent) ? Uniform(rng, 4, 255) : 3;
        e.folderPath = randomPath();
        const std::size_t nameLength = TextLength(rng, 20, 255, options.overLongTexts);
        e.fileName = RandomSjisText(rng, nameLength, nameLength);
        e.fileAge = Chance(rng, 10) ? -1 : static_cast<std::int32_t>(rng());
        const std::size_t memoLength = Chance(rng, 50) ? 0 : TextLength(rng, 120, 1100, options.overLongTexts);
        e.memo = RandomSjisText(rng, memoLength, memoLength, true);
        if (e.kind == 3 && Chance(rng, options.infoPercent)) {
            e.info.emplace();
            e.info->infoFlags = Chance(rng, 50) ? static_cast<std::uint32_t>(rng())
                                                : static_cast<std::uint32_t>(Uniform(rng, 0, 0xB303));
            e.info->p1 = RandomPlayer(rng);
            e.info->p2 = RandomPlayer(rng);
        }
    }

    std::string folderName()
    {
        const std::size_t length = TextLength(rng, 24, 255, options.overLongTexts);
        return RandomSjisText(rng, length, length);
    }

    void fillFolder(ReplayFolder& folder, int level)
    {
        if (level < options.maxDepth) {
            const int children = Uniform(rng, 0, options.maxChildren);
            for (int i = 0; i < children; ++i) fillFolder(*folder.addChild(folderName()), level + 1);
        }
        const int entries = Uniform(rng, 0, options.maxEntries);
        for (int i = 0; i < entries; ++i) {
            ReplayEntry* e = doc.pool.allocate();
            if (!e) return;
            fillEntry(*e);
            folder.entryList().push_back(e->poolIndex);
        }
    }
};

}  // namespace

std::string RandomSjisText(std::mt19937_64& rng, std::size_t minBytes, std::size_t maxBytes,
                           bool lineBreaks)
{
    const auto target =
        static_cast<std::size_t>(std::uniform_int_distribution<std::size_t>(minBytes, maxBytes)(rng));
    std::string text;
    text.reserve(target);
    while (text.size() < target) {
        const std::size_t room = target - text.size();
        const int pick = Uniform(rng, 0, 9);
        if (lineBreaks && pick == 0 && room >= 2) {
            text += "\r\n";
        } else if (pick <= 3 && room >= 2) {
            // Two-byte character: lead 0x81-0x9F or 0xE0-0xEF, trail 0x40-0xFC but not 0x7F.
            const int lead = Chance(rng, 70) ? Uniform(rng, 0x81, 0x9F) : Uniform(rng, 0xE0, 0xEF);
            int trail = Uniform(rng, 0x40, 0xFB);
            if (trail >= 0x7F) ++trail;
            text += static_cast<char>(lead);
            text += static_cast<char>(trail);
        } else if (pick == 4) {
            text += static_cast<char>(Uniform(rng, 0xA1, 0xDF));   // half-width kana
        } else {
            text += static_cast<char>(Uniform(rng, 0x20, 0x7E));
        }
    }
    return text;
}

void GenerateList(std::uint64_t seed, const ListGenOptions& options, ReplayDocument& doc)
{
    doc.clear();
    Generator g{std::mt19937_64(seed), options, doc, {}};
    const int top = 1 + options.extraTopLevel;
    const int rootIndex = Uniform(g.rng, 0, top - 1);
    for (int i = 0; i < top; ++i) {
        ReplayFolder* folder = doc.addTopLevel(g.folderName());
        g.fillFolder(*folder, 0);
        if (i == rootIndex) doc.root = folder;
    }
}

ReplayEntry* AddEntry(ReplayDocument& doc, ReplayFolder& folder, std::string folderPath,
                      std::string fileName, std::int32_t fileAge)
{
    ReplayEntry* e = doc.pool.allocate();
    if (!e) return nullptr;
    e->kind = kReplayEntryKind;
    e->folderPath = std::move(folderPath);
    e->fileName = std::move(fileName);
    e->fileAge = fileAge;
    folder.entryList().push_back(e->poolIndex);
    return e;
}

namespace {

std::string DiffEntries(const ReplayEntry& a, const ReplayEntry& b)
{
    if (a.kind != b.kind) return "kind " + std::to_string(a.kind) + " vs " + std::to_string(b.kind);
    if (a.folderPath != b.folderPath) return "folderPath '" + a.folderPath.str() + "' vs '" + b.folderPath.str() + "'";
    if (a.fileName != b.fileName) return "fileName '" + a.fileName + "' vs '" + b.fileName + "'";
    if (a.fileAge != b.fileAge) return "fileAge";
    if (a.memo != b.memo) return "memo";
    if (!a.info != !b.info) return "info present vs absent";
    if (a.info && !(*a.info == *b.info)) return "info fields";
    return {};
}

}  // namespace

std::string DiffFolderTrees(const ReplayFolder& a, const EntryPool& poolA, const ReplayFolder& b,
                            const EntryPool& poolB)
{
    if (a.name != b.name) return "folder name '" + a.name + "' vs '" + b.name + "'";
    if (a.children.size() != b.children.size())
        return "folder '" + a.name + "': " + std::to_string(a.children.size()) + " vs " +
               std::to_string(b.children.size()) + " children";
    for (std::size_t i = 0; i < a.children.size(); ++i) {
        std::string diff = DiffFolderTrees(*a.children[i], poolA, *b.children[i], poolB);
        if (!diff.empty()) return diff;
    }
    static const std::vector<std::int32_t> kNone;
    const auto& listA = a.entries ? *a.entries : kNone;
    const auto& listB = b.entries ? *b.entries : kNone;
    if (listA.size() != listB.size())
        return "folder '" + a.name + "': " + std::to_string(listA.size()) + " vs " +
               std::to_string(listB.size()) + " entries";
    for (std::size_t i = 0; i < listA.size(); ++i) {
        const ReplayEntry* ea = poolA.lookup(listA[i]);
        const ReplayEntry* eb = poolB.lookup(listB[i]);
        if (!ea || !eb) {
            if (!ea != !eb) return "folder '" + a.name + "': empty slot in one list only";
            continue;
        }
        std::string diff = DiffEntries(*ea, *eb);
        if (!diff.empty()) return "folder '" + a.name + "' entry " + std::to_string(i) + ": " + diff;
    }
    return {};
}

int CountEntries(const ReplayFolder& folder, const EntryPool& pool)
{
    int n = 0;
    for (const auto& child : folder.children) n += CountEntries(*child, pool);
    if (folder.entries)
        for (const std::int32_t index : *folder.entries)
            if (pool.lookup(index)) ++n;
    return n;
}

int CountDocumentEntries(const ReplayDocument& doc)
{
    int n = 0;
    for (const auto& folder : doc.topLevel) n += CountEntries(*folder, doc.pool);
    return n;
}

}  // namespace replidex::test
