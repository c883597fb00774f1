// The replay list file (.rdx): reading a file into the document and writing
// the document into a file. No user interface: the answers say what happened
// and the window does the rest (captions, messages, recent files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

#include "core/list/ReplayDocument.h"

namespace replidex {

inline constexpr std::int32_t kListFileVersion = 1000;

// Limits of the format. A record deeper than kListMaxDepth is never written
// and ends reading; texts longer than their length field allows are written
// cut to the limit on a character boundary.
inline constexpr int kListMaxDepth = 99;
// Folder records read from one list at most: far more than any list holds,
// few enough that a crafted file of empty folder records cannot exhaust the
// memory. Reading stops there, as at a record cut short.
inline constexpr std::size_t kListMaxFolders = 1'000'000;
inline constexpr std::size_t kListMaxNameBytes = 255;       // folder and file names
inline constexpr std::size_t kListMaxLongTextBytes = 65535; // folder paths and memos
inline constexpr std::size_t kListMaxPlayerNameBytes = 40;

// The longest records the reader takes (a player's name is read with all the
// bytes its length byte gives), and so the largest list file there can be:
// the root, and 65,536 entries at their longest with as many folders. A
// larger file is no list and is not read.
inline constexpr std::uint64_t kListMaxPlayerBytes = 1 + 255 + 2 + 2 + 4;
inline constexpr std::uint64_t kListMaxEntryRecordBytes =
    2 + 2 + kListMaxLongTextBytes + 1 + kListMaxNameBytes + 4 + 2 + kListMaxLongTextBytes + 1 + 4 +
    2 * kListMaxPlayerBytes;
inline constexpr std::uint64_t kListMaxFolderRecordBytes = 2 + 1 + kListMaxNameBytes;
inline constexpr std::uint64_t kListMaxFileBytes =
    4 + 1 + 1 + kListMaxNameBytes +
    static_cast<std::uint64_t>(EntryPool::kSlotCount) * (kListMaxEntryRecordBytes + kListMaxFolderRecordBytes);

enum class ListOpenResult {
    Opened,        // read to the end (a file that ends early included)
    CannotOpen,    // the file could not be opened or read, is no regular file, or is
                   // larger than any list; the document is untouched
    OtherVersion,  // not version 1000; the document is left empty
    PoolFull,      // the document pool ran out; what was read stays
};

// The message the window shows for ListOpenResult::OtherVersion (Shift-JIS).
std::string OtherVersionMessage();

// Replaces the document's tree (and gives its entries back to the pool) with
// the contents of the file at `path` (Shift-JIS bytes). The version is read
// first; only a list file of this version is read on. `why` gets the reason
// of CannotOpen.
ListOpenResult OpenListFile(const std::string& path, ReplayDocument& doc,
                            std::error_code* why = nullptr);
// The same with a path in the file system's own encoding (UTF-8 on Linux), for
// callers such as the command line that get their paths from the system.
ListOpenResult OpenListFileNative(const std::string& nativePath, ReplayDocument& doc,
                                  std::error_code* why = nullptr);
// The same over bytes already in memory. A large list is read in two passes,
// the entries filled on two threads.
ListOpenResult ReadListBytes(std::string_view bytes, ReplayDocument& doc);
// ReadListBytes with the way of reading chosen: 0 reads in one pass; 1 or
// more frames every record first, then fills the entries on that many
// threads. Every way gives the same document.
ListOpenResult ReadListBytesWith(std::string_view bytes, ReplayDocument& doc, int fillThreads);

// The list file bytes of the document: the root's tree (only the header and
// the root kind byte when there is no root).
std::string WriteListBytes(const ReplayDocument& doc);
// Writes the document to `path` without ever destroying the previous file:
// the bytes go to a temporary file in the same folder, which is flushed and
// then renamed over the target. False (old file untouched) on any failure,
// with its reason in `why`; anything there that is no regular file (a
// folder, a device, a FIFO; a link is followed) is never written over.
bool SaveListFile(const std::string& path, const ReplayDocument& doc, std::error_code* why = nullptr);
// The same with a path in the file system's own encoding.
bool SaveListFileNative(const std::string& nativePath, const ReplayDocument& doc,
                        std::error_code* why = nullptr);

// Moves one chunk of bytes into the open temporary file `fd`; answers the
// number of bytes written (possibly fewer than asked) or -1 on failure, as
// write(2) does. SaveListBytesNative uses the system's write unless given
// another one: tests hand in writers that fail at a chosen byte.
using ListChunkWriter = std::function<long long(int fd, const char* data, std::size_t size)>;
// Replaces the file at `nativePath` with `bytes` atomically (temporary file in
// the same folder named "<name>.tmp-XXXXXX", flushed to disk, renamed over the
// target). On failure the temporary file is removed and the target is as it
// was. Temporaries of the same list left by a save that was killed (older
// than a minute) are removed first.
bool SaveListBytesNative(const std::string& nativePath, std::string_view bytes,
                         const ListChunkWriter& writeChunk = {}, std::error_code* why = nullptr);

// The longest prefix of `text` of at most `limit` bytes that does not end in
// the middle of a two-byte Shift-JIS character.
std::string_view CutSjisText(std::string_view text, std::size_t limit);

}  // namespace replidex
