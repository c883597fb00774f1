// The content index: what each listed replay file held when it was last seen
// present, so that a file that moved or was renamed can be found again by its
// bytes. The list file has no room for a hash, so the records live in a file
// of their own (its place: platform/ContentIndexLocation.h).
//
// A record holds the file's path as the list stores it (Shift-JIS bytes), its
// size, its file time (packed as fileAge) and the XXH3-128 hash of its bytes.
// A record speaks for an entry only while the entry's fileAge equals the
// record's: a file changed since was another content.
//
// The file: "RDXCIDX1", a 32-bit record count, the records (16-bit path
// length, path bytes, 64-bit size, 32-bit time, 128-bit hash low then high
// half), then the XXH3-64 of everything before it. Little-endian. It is
// rebuilt from the files whenever it is lost, so a damaged file reads as an
// empty index rather than a partly trusted one.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/file/ContentHash.h"
#include "core/list/ListFile.h"
#include "core/list/ReplayDocument.h"

namespace replidex {

struct ContentRecord {
    std::string path;          // Shift-JIS, as folderPath + fileName
    std::uint64_t size = 0;
    std::int32_t fileAge = 0;
    Hash128 hash;
    friend bool operator==(const ContentRecord&, const ContentRecord&) = default;
};

inline constexpr std::size_t kContentIndexMaxPath = 4096;

enum class IndexReadResult { Read, Missing, Damaged };

class ContentIndex {
public:
    // The record of `path`, or nullptr.
    const ContentRecord* find(std::string_view path) const;
    // The record of `path` when it was taken at time `fileAge`.
    const ContentRecord* findCurrent(std::string_view path, std::int32_t fileAge) const;
    // Adds or replaces the record of its path; false for a path too long to store.
    bool put(ContentRecord record);
    bool erase(std::string_view path);
    // Moves a record to a new path (a relinked entry keeps what it held).
    bool rename(std::string_view from, const std::string& to);
    std::size_t size() const { return records_.size(); }
    // The records in path order, as the file stores them.
    std::vector<const ContentRecord*> sorted() const;

    std::string toBytes() const;
    // Replaces the records with the ones in `bytes`; on Damaged the index is empty.
    IndexReadResult fromBytes(std::string_view bytes);

    IndexReadResult load(const std::string& nativePath);
    // Written to a temporary file that replaces the old one in one step: a
    // write that is cut off leaves the old index whole. Creates the folder.
    bool save(const std::string& nativePath, const ListChunkWriter& writeChunk = {}) const;

private:
    std::unordered_map<std::string, ContentRecord> records_;
};

// Size and time of a regular file, read with one look at the file system;
// nothing for a missing file or a folder.
struct FileSizeAndTime {
    std::uint64_t size = 0;
    std::int32_t fileAge = 0;
};
std::optional<FileSizeAndTime> StatFile(const std::string& nativePath);

// A record of the file an entry names (Shift-JIS path), hashed now; nothing
// when the file cannot be read or changed while it was read.
std::optional<ContentRecord> RecordFile(const std::string& sjisPath, std::uint64_t* bytesRead = nullptr);

// A file a list entry names that has no record for its time yet.
struct IndexJob {
    std::string path;          // Shift-JIS
    std::int32_t fileAge = 0;  // the entry's
    friend bool operator==(const IndexJob&, const IndexJob&) = default;
};
// The paths of the listed entries (each once, in pool slot order) whose
// record is missing or was taken at another time than the entry's fileAge.
std::vector<IndexJob> UnrecordedEntries(const ReplayDocument& doc, const ContentIndex& index);
// Every file the listed entries name with a file time, each once, in pool
// slot order: a copy the program may hand to another thread.
std::vector<IndexJob> ListedFiles(const ReplayDocument& doc);
// The files of `pool` that were analysed (an add's import pool), each once.
std::vector<IndexJob> AnalysedFiles(const EntryPool& pool);
// The files of an add's import pool as collected, before any is analysed,
// each once: the recorder hashes them while the add analyses them.
std::vector<IndexJob> CollectedFiles(const EntryPool& pool);
// Moves into `into` the records of `early` that were taken of the jobs'
// paths at the jobs' times; the jobs left without one come back.
std::vector<IndexJob> TakeEarlyRecords(std::vector<IndexJob> jobs, ContentIndex& early, ContentIndex& into);
// The jobs whose file has no record for its time in `index`.
std::vector<IndexJob> WithoutRecords(std::vector<IndexJob> jobs, const ContentIndex& index);

struct IndexRunStats {
    int recorded = 0;   // new records
    int skipped = 0;    // files missing, changed since they were listed, or unreadable
    std::uint64_t bytesRead = 0;
};
// Hashes the files of `jobs` whose time still equals the entry's and puts
// their records in `index`. `keepGoing` (when given) is asked before each file;
// `skipped` (when given) hears of each job that gave no record.
IndexRunStats RecordJobs(const std::vector<IndexJob>& jobs, ContentIndex& index,
                         const std::function<bool()>& keepGoing = {},
                         const std::function<void(const IndexJob&)>& skipped = {});

}  // namespace replidex
