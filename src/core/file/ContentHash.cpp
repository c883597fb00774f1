#include "core/file/ContentHash.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "core/file/NativeFiles.h"

#ifdef REPLIDEX_XXH3_AVX2
#include "core/file/ContentHashAvx2.h"
#endif

namespace replidex {

namespace {

// XXH3-128 over a run of a file's bytes, with AVX2 when the processor has it
// (the build's own vector unit otherwise): twice as fast, so that hashing a
// replay costs little more than reading it.
void Update128(XXH3_state_t& state, const char* data, std::size_t size)
{
#ifdef REPLIDEX_XXH3_AVX2
    static const bool avx2 = [] {
        __builtin_cpu_init();   // in case this runs before the library's own start-up code
        return __builtin_cpu_supports("avx2") != 0;
    }();
    if (avx2) {
        avx2::Xxh3Update128(&state, data, size);
        return;
    }
#endif
    XXH3_128bits_update(&state, data, size);
}

// The largest read: a file up to this size is read in one call, a larger one
// in blocks of it.
constexpr std::size_t kMaxRead = 1 << 20;

// Read buffers kept by each thread from one file to the next (two: a byte
// comparison reads two files side by side), so that hashing thousands of
// small files neither allocates nor faults in fresh pages for each. They
// grow to the largest file read, up to kMaxRead, and are left unfilled:
// every byte used is first read into them.
struct ReadBuffer {
    std::unique_ptr<char[]> data;
    std::size_t capacity = 0;
};

// A buffer of this thread holding a whole file of `fileSize` bytes plus the
// byte that shows it grew, or kMaxRead.
ReadBuffer& ThreadBuffer(int which, std::uint64_t fileSize)
{
    thread_local ReadBuffer buffers[2];
    ReadBuffer& buffer = buffers[which];
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize + 1, kMaxRead));
    if (buffer.capacity < want) {
        buffer.data.reset();
        buffer.data = std::make_unique_for_overwrite<char[]>(want);
        buffer.capacity = want;
    }
    return buffer;
}

// Feeds every block of an open file to `feed`; false when it cannot be read
// to its end.
template <typename Feed>
bool ReadBlocks(const ReadOnlyFile& file, std::uint64_t* bytesRead, Feed feed)
{
    const ReadBuffer& buffer = ThreadBuffer(0, file.size());
    std::int64_t offset = 0;
    for (;;) {
        const long got = file.readAt(offset, buffer.data.get(), buffer.capacity);
        if (got < 0) return false;
        if (got == 0) return true;
        feed(buffer.data.get(), static_cast<std::size_t>(got));
        offset += got;
        if (bytesRead) *bytesRead += static_cast<std::uint64_t>(got);
        // A regular file's read comes back short only at its end: no need
        // to ask once more for the zero bytes that say so. A file that has
        // not grown since it was opened is read in this one call.
        if (static_cast<std::size_t>(got) < buffer.capacity) return true;
    }
}

template <typename Feed>
bool ReadBlocks(const std::string& nativePath, std::uint64_t* bytesRead, Feed feed)
{
    ReadOnlyFile file;
    return file.open(nativePath) == ReadOnlyFile::OpenResult::Opened && ReadBlocks(file, bytesRead, feed);
}

template <typename Int>
std::string Hex(Int value)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(sizeof(Int) * 2, '0');
    for (std::size_t i = text.size(); i-- > 0; value >>= 4) text[i] = kDigits[value & 0xF];
    return text;
}

std::optional<std::uint64_t> ParseHex(std::string_view text)
{
    if (text.size() != 16) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return std::nullopt;
        value = value << 4 | static_cast<std::uint64_t>(digit);
    }
    return value;
}

}  // namespace

std::uint64_t ContentHash64(std::string_view bytes)
{
    return XXH3_64bits(bytes.data(), bytes.size());
}

Hash128 ContentHash128(std::string_view bytes)
{
    const XXH128_hash_t h = XXH3_128bits(bytes.data(), bytes.size());
    return {h.low64, h.high64};
}

std::optional<std::uint64_t> FileContentHash64(const std::string& nativePath, std::uint64_t* bytesRead)
{
    XXH3_state_t state;
    XXH3_64bits_reset(&state);
    if (!ReadBlocks(nativePath, bytesRead, [&](const char* data, std::size_t size) {
            XXH3_64bits_update(&state, data, size);
        }))
        return std::nullopt;
    return XXH3_64bits_digest(&state);
}

namespace {

template <typename Source>
std::optional<Hash128> Hash128Of(const Source& source, std::uint64_t* bytesRead)
{
    XXH3_state_t state;
    XXH3_128bits_reset(&state);
    if (!ReadBlocks(source, bytesRead, [&](const char* data, std::size_t size) { Update128(state, data, size); }))
        return std::nullopt;
    const XXH128_hash_t h = XXH3_128bits_digest(&state);
    return Hash128{h.low64, h.high64};
}

}  // namespace

std::optional<Hash128> FileContentHash128(const std::string& nativePath, std::uint64_t* bytesRead)
{
    return Hash128Of(nativePath, bytesRead);
}

std::optional<Hash128> FileContentHash128(const ReadOnlyFile& file, std::uint64_t* bytesRead)
{
    return Hash128Of(file, bytesRead);
}

bool SameFileContent(const std::string& a, const std::string& b, std::uint64_t* bytesRead)
{
    ReadOnlyFile fa, fb;
    if (fa.open(a) != ReadOnlyFile::OpenResult::Opened) return false;
    if (fb.open(b) != ReadOnlyFile::OpenResult::Opened) return false;
    if (fa.size() != fb.size()) return false;   // nothing to read to tell them apart
    const ReadBuffer& ba = ThreadBuffer(0, fa.size());
    const ReadBuffer& bb = ThreadBuffer(1, fb.size());
    const std::size_t block = std::min(ba.capacity, bb.capacity);
    std::int64_t offset = 0;
    for (;;) {
        const long ga = fa.readAt(offset, ba.data.get(), block);
        const long gb = fb.readAt(offset, bb.data.get(), block);
        if (ga < 0 || gb < 0 || ga != gb) return false;
        if (bytesRead) *bytesRead += static_cast<std::uint64_t>(ga + gb);
        if (ga == 0) return true;
        if (!std::equal(ba.data.get(), ba.data.get() + ga, bb.data.get())) return false;
        // Both short: both ended here (the files have not grown since they were opened).
        if (static_cast<std::size_t>(ga) < block) return true;
        offset += ga;
    }
}

bool FileHoldsBytes(const std::string& nativePath, std::string_view bytes)
{
    constexpr std::size_t kPrefix = 4096;
    ReadOnlyFile file;
    if (file.open(nativePath) != ReadOnlyFile::OpenResult::Opened || file.size() != bytes.size()) return false;
    const ReadBuffer& buffer = ThreadBuffer(0, file.size());
    std::size_t offset = 0;
    for (;;) {
        const std::size_t want = offset == 0 ? std::min(kPrefix, buffer.capacity) : buffer.capacity;
        const long got = file.readAt(static_cast<std::int64_t>(offset), buffer.data.get(), want);
        if (got < 0) return false;
        const auto n = static_cast<std::size_t>(got);
        const char* data = buffer.data.get();
        if (n > bytes.size() - offset || !std::equal(data, data + n, bytes.data() + offset)) return false;
        offset += n;
        // A short read is the end of a regular file; so is a zero one.
        if (n < want) return offset == bytes.size();
    }
}

std::string HashText(std::uint64_t hash)
{
    return Hex(hash);
}

std::string HashText(const Hash128& hash)
{
    return Hex(hash.high) + Hex(hash.low);
}

std::optional<std::uint64_t> ParseHash64(std::string_view text)
{
    return ParseHex(text);
}

std::optional<Hash128> ParseHash128(std::string_view text)
{
    if (text.size() != 32) return std::nullopt;
    const auto high = ParseHex(text.substr(0, 16));
    const auto low = ParseHex(text.substr(16));
    if (!high || !low) return std::nullopt;
    return Hash128{*low, *high};
}

}  // namespace replidex
