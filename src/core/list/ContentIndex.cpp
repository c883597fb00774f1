#include "core/list/ContentIndex.h"

#include <algorithm>
#include <filesystem>

#include "core/file/NativeFiles.h"
#include "core/list/EntryLocations.h"
#include "core/replay/FileTime.h"
#include "core/text/SjisCodec.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace replidex {

namespace {

constexpr std::string_view kMagic = "RDXCIDX1";
// Length, size, time and hash: what every record holds beside its path.
constexpr std::size_t kRecordFixedBytes = 2 + 8 + 4 + 16;

template <typename Int>
void PutLe(std::string& out, Int value)
{
    for (std::size_t i = 0; i < sizeof(Int); ++i)
        out.push_back(static_cast<char>(static_cast<std::uint64_t>(value) >> (8 * i) & 0xFF));
}

// Reads little-endian numbers and byte runs, refusing to pass the end.
class LeReader {
public:
    explicit LeReader(std::string_view bytes) : bytes_(bytes) {}
    std::size_t left() const { return bytes_.size() - at_; }
    template <typename Int>
    bool get(Int& value)
    {
        if (left() < sizeof(Int)) return false;
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < sizeof(Int); ++i)
            v |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[at_ + i])) << (8 * i);
        at_ += sizeof(Int);
        value = static_cast<Int>(v);
        return true;
    }
    bool take(std::size_t n, std::string_view& out)
    {
        if (left() < n) return false;
        out = bytes_.substr(at_, n);
        at_ += n;
        return true;
    }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

}  // namespace

const ContentRecord* ContentIndex::find(std::string_view path) const
{
    const auto found = records_.find(std::string(path));
    return found == records_.end() ? nullptr : &found->second;
}

const ContentRecord* ContentIndex::findCurrent(std::string_view path, std::int32_t fileAge) const
{
    const ContentRecord* record = find(path);
    return record && record->fileAge == fileAge ? record : nullptr;
}

bool ContentIndex::put(ContentRecord record)
{
    if (record.path.empty() || record.path.size() > kContentIndexMaxPath) return false;
    std::string key = record.path;
    records_.insert_or_assign(std::move(key), std::move(record));
    return true;
}

bool ContentIndex::erase(std::string_view path)
{
    return records_.erase(std::string(path)) > 0;
}

bool ContentIndex::rename(std::string_view from, const std::string& to)
{
    const auto found = records_.find(std::string(from));
    if (found == records_.end()) return false;
    ContentRecord record = std::move(found->second);
    records_.erase(found);
    record.path = to;
    return put(std::move(record));
}

std::vector<const ContentRecord*> ContentIndex::sorted() const
{
    std::vector<const ContentRecord*> out;
    out.reserve(records_.size());
    for (const auto& [path, record] : records_) out.push_back(&record);
    std::sort(out.begin(), out.end(), [](auto* a, auto* b) { return a->path < b->path; });
    return out;
}

std::string ContentIndex::toBytes() const
{
    std::string out(kMagic);
    PutLe(out, static_cast<std::uint32_t>(records_.size()));
    for (const ContentRecord* r : sorted()) {
        PutLe(out, static_cast<std::uint16_t>(r->path.size()));
        out += r->path;
        PutLe(out, r->size);
        PutLe(out, static_cast<std::uint32_t>(r->fileAge));
        PutLe(out, r->hash.low);
        PutLe(out, r->hash.high);
    }
    PutLe(out, ContentHash64(out));
    return out;
}

IndexReadResult ContentIndex::fromBytes(std::string_view bytes)
{
    records_.clear();
    if (bytes.size() < kMagic.size() + 4 + 8 || bytes.substr(0, kMagic.size()) != kMagic)
        return IndexReadResult::Damaged;
    const std::string_view body = bytes.substr(0, bytes.size() - 8);
    LeReader tail(bytes.substr(body.size()));
    std::uint64_t checksum = 0;
    if (!tail.get(checksum) || checksum != ContentHash64(body)) return IndexReadResult::Damaged;

    LeReader in(body.substr(kMagic.size()));
    std::uint32_t count = 0;
    if (!in.get(count) || count > in.left() / kRecordFixedBytes) return IndexReadResult::Damaged;
    std::unordered_map<std::string, ContentRecord> read;
    read.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint16_t length = 0;
        std::string_view path;
        ContentRecord r;
        std::uint32_t age = 0;
        if (!in.get(length) || length == 0 || length > kContentIndexMaxPath || !in.take(length, path) ||
            !in.get(r.size) || !in.get(age) || !in.get(r.hash.low) || !in.get(r.hash.high))
            return IndexReadResult::Damaged;
        r.path = std::string(path);
        r.fileAge = static_cast<std::int32_t>(age);
        if (!read.emplace(r.path, r).second) return IndexReadResult::Damaged;   // a path twice
    }
    if (in.left() != 0) return IndexReadResult::Damaged;
    records_ = std::move(read);
    return IndexReadResult::Read;
}

IndexReadResult ContentIndex::load(const std::string& nativePath)
{
    records_.clear();
    std::FILE* file = OpenFileStream(nativePath, "rb");
    if (!file) return IndexReadResult::Missing;
    std::string bytes;
    char buffer[1 << 16];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return IndexReadResult::Damaged;
    return fromBytes(bytes);
}

bool ContentIndex::save(const std::string& nativePath, const ListChunkWriter& writeChunk) const
{
    std::error_code ec;
    const std::filesystem::path folder = FsPath(nativePath).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
    return SaveListBytesNative(nativePath, toBytes(), writeChunk);
}

std::optional<FileSizeAndTime> StatFile(const std::string& nativePath)
{
#ifdef _WIN32
    std::tm local{};
    if (!LocalModificationTime(nativePath, local)) return std::nullopt;
    std::error_code ec;
    const auto size = std::filesystem::file_size(FsPath(nativePath), ec);
    if (ec) return std::nullopt;
    return FileSizeAndTime{size, PackDosDateTime(local)};
#else
    struct stat st {};
    if (nativePath.empty() || ::stat(nativePath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    std::tm local{};
    const std::time_t t = st.st_mtime;
    if (!localtime_r(&t, &local)) return std::nullopt;
    return FileSizeAndTime{static_cast<std::uint64_t>(st.st_size), PackDosDateTime(local)};
#endif
}

std::optional<ContentRecord> RecordFile(const std::string& sjisPath, std::uint64_t* bytesRead)
{
    // The open file is asked for its size and time before and after it is
    // read: equal stamps say the bytes hashed are the bytes of that time.
    ReadOnlyFile file;
    if (file.open(NativePathFromSjis(sjisPath)) != ReadOnlyFile::OpenResult::Opened) return std::nullopt;
    const FileStamp before = file.openedStamp();
    const auto hash = FileContentHash128(file, bytesRead);
    FileStamp after;
    std::tm local{};
    if (!hash || !file.currentStamp(after) || after != before || !LocalTimeOf(before, local))
        return std::nullopt;
    return ContentRecord{sjisPath, before.size, PackDosDateTime(local), *hash};
}

namespace {

// The paths of `entries` with a file time, each once, in pool slot order.
std::vector<IndexJob> FilesOf(std::vector<const ReplayEntry*> entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const ReplayEntry* a, const ReplayEntry* b) { return a->poolIndex < b->poolIndex; });
    std::vector<IndexJob> jobs;
    std::unordered_map<std::string, bool> seen;
    for (const ReplayEntry* e : entries) {
        std::string path = e->fullPath();
        if (e->fileName.empty() || e->fileAge == kNoFileAge || !seen.emplace(path, true).second) continue;
        jobs.push_back({std::move(path), e->fileAge});
    }
    return jobs;
}

}  // namespace

std::vector<IndexJob> ListedFiles(const ReplayDocument& doc)
{
    std::vector<const ReplayEntry*> entries;
    ForEachListedEntry(doc, nullptr, [&](const ReplayFolder&, ReplayEntry& e) { entries.push_back(&e); });
    return FilesOf(std::move(entries));
}

std::vector<IndexJob> AnalysedFiles(const EntryPool& pool)
{
    std::vector<const ReplayEntry*> entries;
    pool.forEach([&](const ReplayEntry& e) {
        if (e.info && !e.info->failed()) entries.push_back(&e);
    });
    return FilesOf(std::move(entries));
}

std::vector<IndexJob> CollectedFiles(const EntryPool& pool)
{
    std::vector<const ReplayEntry*> entries;
    pool.forEach([&](const ReplayEntry& e) { entries.push_back(&e); });
    return FilesOf(std::move(entries));
}

std::vector<IndexJob> TakeEarlyRecords(std::vector<IndexJob> jobs, ContentIndex& early, ContentIndex& into)
{
    std::erase_if(jobs, [&](const IndexJob& job) {
        const ContentRecord* record = early.findCurrent(job.path, job.fileAge);
        if (!record) return false;
        into.put(*record);
        early.erase(job.path);
        return true;
    });
    return jobs;
}

std::vector<IndexJob> WithoutRecords(std::vector<IndexJob> jobs, const ContentIndex& index)
{
    std::erase_if(jobs, [&](const IndexJob& job) { return index.findCurrent(job.path, job.fileAge) != nullptr; });
    return jobs;
}

std::vector<IndexJob> UnrecordedEntries(const ReplayDocument& doc, const ContentIndex& index)
{
    return WithoutRecords(ListedFiles(doc), index);
}

IndexRunStats RecordJobs(const std::vector<IndexJob>& jobs, ContentIndex& index,
                         const std::function<bool()>& keepGoing,
                         const std::function<void(const IndexJob&)>& skipped)
{
    IndexRunStats stats;
    for (const IndexJob& job : jobs) {
        if (keepGoing && !keepGoing()) break;
        auto record = RecordFile(job.path, &stats.bytesRead);
        if (!record || record->fileAge != job.fileAge) {
            ++stats.skipped;
            if (skipped) skipped(job);
            continue;
        }
        index.put(std::move(*record));
        ++stats.recorded;
    }
    return stats;
}

}  // namespace replidex
