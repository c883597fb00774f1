#include "core/list/ListFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <exception>
#include <memory>
#include <thread>
#include <utility>

#include "core/file/NativeFiles.h"
#include "core/list/ListTemporaries.h"
#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

// Record kinds as the file stores them.
constexpr std::uint8_t kRecordRoot = 1;
constexpr std::uint8_t kRecordFolder = 2;
constexpr std::uint8_t kRecordReplay = 3;   // the only entry kind with an info-present byte

// ---------------------------------------------------------------- reading

// Reads little-endian fields from bytes in memory. Every read answers false
// once the bytes run out, and the cursor then stays at the end.
class ByteCursor {
public:
    explicit ByteCursor(std::string_view bytes)
        : pos_(reinterpret_cast<const unsigned char*>(bytes.data())), end_(pos_ + bytes.size())
    {
    }

    bool u8(std::uint8_t& value)
    {
        if (pos_ == end_) return false;
        value = *pos_++;
        return true;
    }
    bool u16(std::uint16_t& value)
    {
        if (end_ - pos_ < 2) return fail();
        value = static_cast<std::uint16_t>(pos_[0] | (pos_[1] << 8));
        pos_ += 2;
        return true;
    }
    bool u32(std::uint32_t& value)
    {
        if (end_ - pos_ < 4) return fail();
        value = static_cast<std::uint32_t>(pos_[0]) | (static_cast<std::uint32_t>(pos_[1]) << 8) |
                (static_cast<std::uint32_t>(pos_[2]) << 16) |
                (static_cast<std::uint32_t>(pos_[3]) << 24);
        pos_ += 4;
        return true;
    }
    // The next `length` bytes, without copying them.
    bool bytes(std::size_t length, std::string_view& out)
    {
        if (static_cast<std::size_t>(end_ - pos_) < length) return fail();
        out = {reinterpret_cast<const char*>(pos_), length};
        pos_ += length;
        return true;
    }
    bool skip(std::size_t length)
    {
        if (static_cast<std::size_t>(end_ - pos_) < length) return fail();
        pos_ += length;
        return true;
    }
    const char* position() const { return reinterpret_cast<const char*>(pos_); }
    bool text(std::size_t length, std::string& out)
    {
        std::string_view view;
        if (!bytes(length, view)) return false;
        if (view.empty())
            out.clear();   // most memos: no call into the string's assign
        else
            out.assign(view);
        return true;
    }

private:
    bool fail()
    {
        pos_ = end_;
        return false;
    }

    const unsigned char* pos_;
    const unsigned char* end_;
};

// A player: name length byte, name, wins, losses, rank, character, score, isCom.
// A name longer than the record holds is read whole so that the rest of the
// file stays aligned; its first 40 bytes are kept.
bool ReadPlayer(ByteCursor& src, PlayerRecord& player)
{
    std::uint8_t nameLength = 0;
    std::string_view record;   // the name, then wins, losses, rank, character, score, isCom
    if (!src.u8(nameLength) || !src.bytes(nameLength + 8u, record)) return false;
    player.setName(record.substr(0, nameLength));
    const auto* field = reinterpret_cast<const unsigned char*>(record.data()) + nameLength;
    player.wins = static_cast<std::int16_t>(field[0] | (field[1] << 8));
    player.losses = static_cast<std::int16_t>(field[2] | (field[3] << 8));
    player.rank = field[4];
    player.character = field[5];
    player.score = field[6];
    player.isCom = field[7] != 0 ? 1 : 0;
    return true;
}

// An entry record's fields after its folder path: name, age, memo and, for
// the replay kind, the info. False when the file ends inside them.
bool ReadEntryFields(ByteCursor& src, std::uint8_t kind, ReplayEntry& entry)
{
    std::uint8_t nameLength = 0;
    if (!src.u8(nameLength) || !src.text(nameLength, entry.fileName)) return false;
    std::uint32_t age = 0;
    if (!src.u32(age)) return false;
    entry.fileAge = static_cast<std::int32_t>(age);
    std::uint16_t memoLength = 0;
    if (!src.u16(memoLength) || !src.text(memoLength, entry.memo)) return false;
    if (kind != kRecordReplay) return true;

    std::uint8_t infoPresent = 0;
    if (!src.u8(infoPresent)) return false;
    if (infoPresent == 0) return true;
    // Filled in place: the entry's memory is written once (ReadPlayer writes
    // every byte of each name, so the names start unset).
    ReplayInfo& info = entry.info.emplace(PlayerRecord::NameUnset{});
    if (!src.u32(info.infoFlags) || !ReadPlayer(src, info.p1) || !ReadPlayer(src, info.p2)) {
        entry.info.reset();
        return false;
    }
    return true;
}

// The body of an entry record after its head. False when the file ends inside
// it. `lastPath` is the folder path that a length of 0 stands for; it runs on
// through the whole file.
bool ReadEntryBody(ByteCursor& src, std::uint8_t kind, SharedTextTable& paths,
                   const SharedText*& lastPath, ReplayEntry& entry)
{
    std::uint16_t pathLength = 0;
    if (!src.u16(pathLength)) return false;
    if (pathLength > 0) {
        // Every length is read, however long, so that the record stays aligned.
        std::string_view path;
        if (!src.bytes(pathLength, path)) return false;
        // The table's own text: valid until the table is asked again.
        if (!SharedTextTable::SameText(path, lastPath->view())) lastPath = &paths.get(path);
    }
    entry.folderPath = *lastPath;
    return ReadEntryFields(src, kind, entry);
}

// Moves past the fields ReadEntryFields reads, checking only their lengths.
bool SkipEntryFields(ByteCursor& src, std::uint8_t kind)
{
    std::uint8_t nameLength = 0;
    std::uint16_t memoLength = 0;
    if (!src.u8(nameLength) || !src.skip(nameLength + 4u) || !src.u16(memoLength) || !src.skip(memoLength))
        return false;
    if (kind != kRecordReplay) return true;
    std::uint8_t infoPresent = 0;
    if (!src.u8(infoPresent)) return false;
    if (infoPresent == 0) return true;
    if (!src.skip(4)) return false;
    for (int player = 0; player < 2; ++player) {
        std::uint8_t length = 0;
        if (!src.u8(length) || !src.skip(length + 8u)) return false;
    }
    return true;
}

// A folder record after its head: the folder becomes the most recent one of
// its depth. False when the file ends inside it or holds too many folders.
bool ReadFolderRecord(ByteCursor& src, ReplayDocument& doc, ReplayFolder* parent, std::uint8_t depth,
                      std::array<ReplayFolder*, kListMaxDepth + 1>& slots, std::size_t& folderCount)
{
    if (++folderCount > kListMaxFolders) return false;
    std::uint8_t nameLength = 0;
    std::string name;
    if (!src.u8(nameLength) || !src.text(nameLength, name)) return false;
    ReplayFolder* folder = nullptr;
    if (parent) {
        folder = parent->addChild(std::move(name));
    } else {
        // A later top-level folder replaces the earlier one as root.
        folder = doc.addTopLevel(std::move(name));
        doc.root = folder;
    }
    slots[depth] = folder;
    return true;
}

// A record's head: kind and depth (the root record has no depth byte). False
// at the end of the file or for a depth the writer never makes.
bool ReadRecordHead(ByteCursor& src, std::uint8_t& kind, std::uint8_t& depth)
{
    depth = 0;
    if (!src.u8(kind)) return false;
    if (kind != kRecordRoot && !src.u8(depth)) return false;
    return depth <= kListMaxDepth;
}

// Reads a whole list into the (already emptied) document. A record cut short
// by the end of the file is dropped and reading ends there; so does a record
// the writer never makes (deeper than 99, or an entry with no folder to go
// into).
ListOpenResult ReadRecords(ByteCursor& src, ReplayDocument& doc)
{
    // The most recent folder of each depth.
    std::array<ReplayFolder*, kListMaxDepth + 1> slots{};
    SharedTextTable paths;   // folder paths: entries of one disk folder share one text
    const SharedText noPath;
    const SharedText* lastPath = &noPath;
    std::size_t folderCount = 0;
    std::uint8_t kind = 0;
    std::uint8_t depth = 0;
    while (ReadRecordHead(src, kind, depth)) {
        ReplayFolder* const parent = depth > 0 ? slots[depth - 1] : nullptr;
        if (kind <= kRecordFolder) {   // kinds 0, 1 and 2 are folders
            if (!ReadFolderRecord(src, doc, parent, depth, slots, folderCount)) break;
            continue;
        }
        // Kinds 3 and above are entries.
        if (!parent) break;
        std::vector<std::int32_t>& list = parent->entryList();   // even when the pool is full
        ReplayEntry* entry = doc.pool.allocate();
        if (!entry) return ListOpenResult::PoolFull;
        entry->kind = kind;
        if (!ReadEntryBody(src, kind, paths, lastPath, *entry)) {
            doc.pool.release(entry);
            break;
        }
        list.push_back(entry->poolIndex);
    }
    return ListOpenResult::Opened;
}

// An entry found by the framing pass: its slot, its kind, the folder path it
// stands in (its own or the last one before it), and where its fields begin.
struct FramedEntry {
    std::int32_t index;
    std::uint8_t kind;
    std::uint16_t pathLength;
    const char* path;
    const char* fields;
};

// Fills framed entries into their slots; the entries filled by one filler
// share their paths through its own table.
class EntryFiller {
public:
    EntryFiller(std::string_view bytes, EntryPool& pool) : end_(bytes.data() + bytes.size()), pool_(pool) {}

    void fill(const FramedEntry* from, const FramedEntry* to)
    {
        for (const FramedEntry* f = from; f != to; ++f) fill(*f);
    }

private:
    void fill(const FramedEntry& f)
    {
        ReplayEntry& entry = *pool_.slotEntry(f.index);
        entry.poolIndex = f.index;
        entry.kind = f.kind;
        // One path record stands for the entries after it: the same record
        // is the same text, without comparing it.
        if (f.path != sharedData_) {
            shared_ = f.pathLength == 0 ? &noPath_ : &paths_.get(std::string_view(f.path, f.pathLength));
            sharedData_ = f.path;
        }
        entry.folderPath = *shared_;
        ByteCursor fields(std::string_view(f.fields, static_cast<std::size_t>(end_ - f.fields)));
        ReadEntryFields(fields, f.kind, entry);
    }

    const char* const end_;
    EntryPool& pool_;
    SharedTextTable paths_;
    const SharedText noPath_;
    const SharedText* shared_ = &noPath_;
    const char* sharedData_ = nullptr;   // the path record `shared_` came from
};

// Fills a run of framed entries on a thread of its own.
class FillThread {
public:
    FillThread(std::string_view bytes, EntryPool& pool, const FramedEntry* from, const FramedEntry* to)
        : thread_([this, bytes, &pool, from, to] {
              try {
                  EntryFiller(bytes, pool).fill(from, to);
              } catch (...) {
                  failure_ = std::current_exception();
              }
          })
    {
    }
    ~FillThread() { join(); }
    FillThread(const FillThread&) = delete;
    FillThread& operator=(const FillThread&) = delete;
    // Waits for the thread, and passes on what it threw.
    void finish()
    {
        join();
        if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    }

private:
    void join()
    {
        if (thread_.joinable()) thread_.join();
    }
    std::exception_ptr failure_;
    std::thread thread_;   // last: it starts once the rest is made
};

// The framing pass: checks every record's lengths, makes the folders and
// takes each entry's slot in file order without touching the entries'
// memory, noting each entry in `framed`.
ListOpenResult FrameRecords(ByteCursor& src, ReplayDocument& doc, std::vector<FramedEntry>& framed)
{
    std::array<ReplayFolder*, kListMaxDepth + 1> slots{};
    std::string_view lastPath;
    std::size_t folderCount = 0;
    std::uint8_t kind = 0;
    std::uint8_t depth = 0;
    while (ReadRecordHead(src, kind, depth)) {
        ReplayFolder* const parent = depth > 0 ? slots[depth - 1] : nullptr;
        if (kind <= kRecordFolder) {
            if (!ReadFolderRecord(src, doc, parent, depth, slots, folderCount)) break;
            continue;
        }
        if (!parent) break;
        std::vector<std::int32_t>& list = parent->entryList();   // even when the pool is full
        std::uint16_t pathLength = 0;
        std::string_view path;
        const bool whole = src.u16(pathLength) && (pathLength == 0 || src.bytes(pathLength, path));
        if (whole && pathLength > 0) lastPath = path;
        const char* fields = src.position();
        const std::int32_t index = doc.pool.takeSlot();
        if (index < 0) return ListOpenResult::PoolFull;
        if (!whole || !SkipEntryFields(src, kind)) {
            // As the one-pass reader: the slot was taken and is given back.
            doc.pool.slotEntry(index)->poolIndex = index;
            doc.pool.release(doc.pool.slotEntry(index));
            break;
        }
        list.push_back(index);
        framed.push_back({index, kind, static_cast<std::uint16_t>(lastPath.size()), lastPath.data(), fields});
    }
    return ListOpenResult::Opened;
}

// The same result as ReadRecords in two passes: the framing pass, then the
// entries filled in `threads` runs side by side (this thread fills the first).
ListOpenResult ReadRecordsFramed(ByteCursor& src, std::string_view bytes, ReplayDocument& doc, int threads)
{
    std::vector<FramedEntry> framed;
    // Every entry record takes at least this many bytes.
    constexpr std::size_t kLeastEntryBytes = 11;
    framed.reserve(std::min<std::size_t>(bytes.size() / kLeastEntryBytes + 1, EntryPool::kSlotCount));
    const ListOpenResult result = FrameRecords(src, doc, framed);

    const std::size_t runs = static_cast<std::size_t>(std::max(threads, 1));
    const FramedEntry* const begin = framed.data();
    const auto runStart = [&](std::size_t run) { return begin + framed.size() * run / runs; };
    std::vector<std::unique_ptr<FillThread>> helpers;
    for (std::size_t run = 1; run < runs; ++run)
        helpers.push_back(std::make_unique<FillThread>(bytes, doc.pool, runStart(run), runStart(run + 1)));
    EntryFiller(bytes, doc.pool).fill(runStart(0), runStart(1));
    for (auto& helper : helpers) helper->finish();
    return result;
}

// From this size on a list is read in two passes, filled on two threads.
constexpr std::size_t kFramedReadBytes = 512u << 10;

// ---------------------------------------------------------------- writing

class ByteWriter {
public:
    std::string bytes;

    void u8(std::uint8_t v) { bytes.push_back(static_cast<char>(v)); }
    void u16(std::uint16_t v)
    {
        const char le[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
        bytes.append(le, 2);
    }
    void u32(std::uint32_t v)
    {
        const char le[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                            static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
        bytes.append(le, 4);
    }
    void raw(std::string_view text) { bytes.append(text); }
    // A name with its one-byte length.
    void name(std::string_view text)
    {
        const std::string_view cut = CutSjisText(text, kListMaxNameBytes);
        u8(static_cast<std::uint8_t>(cut.size()));
        raw(cut);
    }
    // A memo with its two-byte length.
    void longText(std::string_view text)
    {
        const std::string_view cut = CutSjisText(text, kListMaxLongTextBytes);
        u16(static_cast<std::uint16_t>(cut.size()));
        raw(cut);
    }
};

void WritePlayer(ByteWriter& out, const PlayerRecord& player)
{
    const std::string_view name = player.nameText();
    out.u8(static_cast<std::uint8_t>(name.size()));
    out.raw(name);
    out.u16(static_cast<std::uint16_t>(player.wins));
    out.u16(static_cast<std::uint16_t>(player.losses));
    out.u8(static_cast<std::uint8_t>(player.rank & 0xFF));
    out.u8(static_cast<std::uint8_t>(player.character & 0xFF));
    out.u8(static_cast<std::uint8_t>(player.score & 0xFF));
    out.u8(player.isCom != 0 ? 1 : 0);
}

void WriteEntry(ByteWriter& out, const ReplayEntry& entry, int depth, std::string_view& lastPath)
{
    // A kind byte below 3 would be read back as a folder.
    std::uint8_t kind = static_cast<std::uint8_t>(entry.kind & 0xFF);
    if (kind < kRecordReplay) kind = kRecordReplay;
    out.u8(kind);
    out.u8(static_cast<std::uint8_t>(depth));

    const std::string_view path = CutSjisText(entry.folderPath, kListMaxLongTextBytes);
    if (path == lastPath) {
        out.u16(0);
    } else {
        out.u16(static_cast<std::uint16_t>(path.size()));
        out.raw(path);
        lastPath = path;
    }
    out.name(entry.fileName);
    out.u32(static_cast<std::uint32_t>(entry.fileAge));
    out.longText(entry.memo);
    if (kind != kRecordReplay) return;

    if (!entry.info) {
        out.u8(0);
        return;
    }
    out.u8(1);
    out.u32(entry.info->infoFlags);
    WritePlayer(out, entry.info->p1);
    WritePlayer(out, entry.info->p2);
}

// The sub-tree of `folder` at `depth`: each child's record followed by the
// child's own sub-tree, then the folder's entries. Nothing deeper than the
// reader takes is written.
void WriteSubTree(ByteWriter& out, const ReplayFolder& folder, int depth, const EntryPool& pool)
{
    if (depth > kListMaxDepth) return;
    for (const auto& child : folder.children) {
        out.u8(kRecordFolder);
        out.u8(static_cast<std::uint8_t>(depth));
        out.name(child->name);
        WriteSubTree(out, *child, depth + 1, pool);
    }
    if (!folder.entries) return;
    std::string_view lastPath;   // each folder's first entry carries its path
    for (const std::int32_t index : *folder.entries) {
        const ReplayEntry* entry = pool.lookup(index);
        if (!entry) break;   // the rest of this folder's list is not written
        WriteEntry(out, *entry, depth, lastPath);
    }
}

}  // namespace

std::string_view CutSjisText(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit) return text;
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t width = IsCp932LeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + width > limit) break;
        end += width;
    }
    return text.substr(0, end);
}

std::string OtherVersionMessage()
{
    return Sjis("Versionが異なります。\n最新版のReplidexを使用下さい。");
}

ListOpenResult ReadListBytesWith(std::string_view bytes, ReplayDocument& doc, int fillThreads)
{
    doc.clear();
    ByteCursor src(bytes);
    std::uint32_t version = 0;
    if (!src.u32(version) || static_cast<std::int32_t>(version) != kListFileVersion)
        return ListOpenResult::OtherVersion;
    if (fillThreads <= 0) return ReadRecords(src, doc);
    return ReadRecordsFramed(src, bytes, doc, fillThreads);
}

ListOpenResult ReadListBytes(std::string_view bytes, ReplayDocument& doc)
{
    const bool large = bytes.size() >= kFramedReadBytes && std::thread::hardware_concurrency() > 1;
    return ReadListBytesWith(bytes, doc, large ? 2 : 0);
}

ListOpenResult OpenListFileNative(const std::string& nativePath, ReplayDocument& doc,
                                  std::error_code* why)
{
    std::error_code ignored;
    std::error_code& reason = why ? *why : ignored;
    ReadOnlyFile file;
    if (file.open(nativePath, &reason) != ReadOnlyFile::OpenResult::Opened)
        return ListOpenResult::CannotOpen;
    // The version comes first: a file of another kind is never read on,
    // however large it is.
    char header[4];
    errno = 0;
    const long got = file.readAt(0, header, sizeof header);
    if (got < 0) {
        reason = std::error_code(errno != 0 ? errno : EIO, std::generic_category());
        return ListOpenResult::CannotOpen;
    }
    const char version[4] = {static_cast<char>(kListFileVersion & 0xFF),
                             static_cast<char>((kListFileVersion >> 8) & 0xFF), 0, 0};
    if (got < 4 || std::memcmp(header, version, sizeof version) != 0)
        return ReadListBytes(std::string_view(header, static_cast<std::size_t>(got)), doc);
    // Then the whole file at once, parsed in memory: one read beats
    // thousands of small ones.
    FileBytes bytes;
    if (!ReadFileBytes(file, kListMaxFileBytes, bytes, reason)) return ListOpenResult::CannotOpen;
    return ReadListBytes(bytes.view(), doc);
}

ListOpenResult OpenListFile(const std::string& path, ReplayDocument& doc, std::error_code* why)
{
    return OpenListFileNative(NativePathFromSjis(path), doc, why);
}

std::string WriteListBytes(const ReplayDocument& doc)
{
    ByteWriter out;
    // Room for a typical entry with info and a path of its own, so that the
    // text rarely moves while it grows; untouched room costs no memory.
    out.bytes.reserve(static_cast<std::size_t>(doc.pool.size()) * 192 + 4096);
    out.u32(static_cast<std::uint32_t>(kListFileVersion));
    out.u8(kRecordRoot);
    if (doc.root) {
        out.name(doc.root->name);
        WriteSubTree(out, *doc.root, 1, doc.pool);
    }
    return std::move(out.bytes);
}

bool SaveListBytesNative(const std::string& nativePath, std::string_view bytes,
                         const ListChunkWriter& writeChunk, std::error_code* why)
{
    std::error_code ignored;
    std::error_code& reason = why ? *why : ignored;
    const auto fail = [&reason](std::error_code error) {
        reason = error;
        return false;
    };
    const auto lastError = [] {
        return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
    };
    if (nativePath.empty()) return fail(std::make_error_code(std::errc::no_such_file_or_directory));
    // A link is followed: the file it names is replaced, the link stays.
    std::string target = nativePath;
    std::error_code ec;
    if (std::filesystem::is_symlink(FsPath(target), ec)) {
        const std::filesystem::path resolved = std::filesystem::canonical(FsPath(target), ec);
        if (!ec) target = NativePathOf(resolved);
    }
    // A folder, a device or a FIFO is never replaced by a file.
    if (const std::error_code notFile = CheckReplaceable(target)) return fail(notFile);
    // First what killed saves left behind: on a full disk that is room.
    RemoveStaleListTemporaries(target);
    std::string tempPath;
    errno = 0;
    const int fd = CreateListTemporary(target, tempPath);
    if (fd < 0) return fail(lastError());

    std::error_code error;
    std::size_t done = 0;
    while (!error && done < bytes.size()) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1u << 16);
        errno = 0;
        const long long n = writeChunk ? writeChunk(fd, bytes.data() + done, chunk)
                                       : WriteToFile(fd, bytes.data() + done, chunk);
        if (n < 0) error = lastError();
        else if (n == 0 || static_cast<std::size_t>(n) > chunk) error = std::make_error_code(std::errc::io_error);
        else done += static_cast<std::size_t>(n);
    }
    // The descriptor is closed in every case; the data must be on disk before
    // the rename makes it the list file.
    errno = 0;
    if (!CloseFile(fd, !error) && !error) error = lastError();
    if (!error) error = MoveOverFile(tempPath, target);
    if (!error) return true;
    RemoveFile(tempPath);
    return fail(error);
}

bool SaveListFileNative(const std::string& nativePath, const ReplayDocument& doc, std::error_code* why)
{
    return SaveListBytesNative(nativePath, WriteListBytes(doc), {}, why);
}

bool SaveListFile(const std::string& path, const ReplayDocument& doc, std::error_code* why)
{
    return SaveListFileNative(NativePathFromSjis(path), doc, why);
}

}  // namespace replidex
