// Entries of a list that stand for one replay more than once:
//   同じファイル (path): entries with byte-equal paths; no file is read.
//   同じ内容 (content): files of equal bytes under different paths: files are
//     grouped by size, a size held by one file only is never read; files of a
//     shared size are hashed (a recorded hash of an unchanged file is used
//     instead) and files of equal hashes compared byte for byte.
//   同じ対戦 (match): net-match entries whose facts are byte-equal.
// Groups list their entries in pool slot order and come in the order of
// their first entries (path before content before match for one entry).
#pragma once

#include <cstdint>
#include <vector>

#include "core/list/ContentIndex.h"
#include "core/list/ReplayDocument.h"

namespace replidex {

enum class DuplicateKind { Path, Content, Match };

struct DuplicateGroup {
    DuplicateKind kind = DuplicateKind::Path;
    std::vector<ReplayEntry*> entries;
};

struct DuplicateOptions {
    bool path = true;
    bool content = false;
    bool match = false;
};

struct DuplicateStats {
    int filesStated = 0;
    int filesHashed = 0;
    std::uint64_t bytesRead = 0;
};

std::vector<DuplicateGroup> FindDuplicates(const ReplayDocument& doc, const DuplicateOptions& options,
                                           const ContentIndex* index = nullptr,
                                           DuplicateStats* stats = nullptr);

// Takes the entries out of the folders that list them and gives their slots
// back to the pool; files are not touched. Answers the number removed.
int RemoveListedEntries(ReplayDocument& doc, const std::vector<ReplayEntry*>& entries);

// Whether the memos of the entries differ (removing all but one would lose one).
bool MemosDiffer(const std::vector<ReplayEntry*>& entries);

}  // namespace replidex
