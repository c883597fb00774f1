// Seeded random replay lists for tests: folder trees with Shift-JIS names,
// entries with and without info, entries of other kinds, memos with line
// breaks, folder paths shared between entries; and a structural comparison of
// two lists.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "core/list/ReplayDocument.h"

namespace replidex::test {

struct ListGenOptions {
    int maxDepth = 4;           // folder levels below the root
    int maxChildren = 3;        // child folders of one folder
    int maxEntries = 6;         // entries of one folder
    int extraTopLevel = 0;      // top-level folders besides the root
    int otherKindPercent = 10;  // entries of a kind other than 3
    int infoPercent = 60;       // kind-3 entries that carry info
    // Texts longer than the file keeps (names over 255 bytes, paths and memos
    // over 1023 bytes, now and then over 65535).
    bool overLongTexts = false;
};

// Random Shift-JIS bytes: ASCII, half-width kana and two-byte characters,
// never a NUL, `minBytes` to `maxBytes` long (a two-byte character is never
// split). With `lineBreaks`, "\r\n" appears now and then.
std::string RandomSjisText(std::mt19937_64& rng, std::size_t minBytes, std::size_t maxBytes,
                           bool lineBreaks = false);

// Replaces `doc` with a random list made from `seed`: a root (the first
// top-level folder unless extra ones are asked for) with a random tree below.
// Folder paths are never empty.
void GenerateList(std::uint64_t seed, const ListGenOptions& options, ReplayDocument& doc);

// An entry allocated in `doc`'s pool and appended to `folder`; nullptr when the
// pool is full.
ReplayEntry* AddEntry(ReplayDocument& doc, ReplayFolder& folder, std::string folderPath,
                      std::string fileName, std::int32_t fileAge = 0x35836000);

// Empty when the two folder trees hold the same names, children and entries
// (every saved field, info included; no entry list and an empty one count as
// the same); otherwise a description of the first difference.
std::string DiffFolderTrees(const ReplayFolder& a, const EntryPool& poolA, const ReplayFolder& b,
                            const EntryPool& poolB);

// Number of entries the tree under `folder` lists (whose slots are taken).
int CountEntries(const ReplayFolder& folder, const EntryPool& pool);
// Same for every top-level folder of the document.
int CountDocumentEntries(const ReplayDocument& doc);

}  // namespace replidex::test
