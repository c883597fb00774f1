#include "core/file/ContentHash.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include "core/file/NativeFiles.h"

namespace replidex {

namespace {

// Read buffers are left unfilled: every byte used is first read into them.
constexpr std::size_t kBlock = 64 * 1024;

// Feeds every block of a regular file to `feed`; false when it cannot be
// read to its end.
template <typename Feed>
bool ReadBlocks(const std::string& nativePath, std::uint64_t* bytesRead, Feed feed)
{
    ReadOnlyFile file;
    if (file.open(nativePath) != ReadOnlyFile::OpenResult::Opened) return false;
    auto buffer = std::make_unique_for_overwrite<std::array<char, kBlock>>();
    std::int64_t offset = 0;
    for (;;) {
        const long got = file.readAt(offset, buffer->data(), buffer->size());
        if (got < 0) return false;
        if (got == 0) return true;
        feed(buffer->data(), static_cast<std::size_t>(got));
        offset += got;
        if (bytesRead) *bytesRead += static_cast<std::uint64_t>(got);
        // A regular file's read comes back short only at its end: no need
        // to ask once more for the zero bytes that say so.
        if (static_cast<std::size_t>(got) < buffer->size()) return true;
    }
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

std::optional<Hash128> FileContentHash128(const std::string& nativePath, std::uint64_t* bytesRead)
{
    XXH3_state_t state;
    XXH3_128bits_reset(&state);
    if (!ReadBlocks(nativePath, bytesRead, [&](const char* data, std::size_t size) {
            XXH3_128bits_update(&state, data, size);
        }))
        return std::nullopt;
    const XXH128_hash_t h = XXH3_128bits_digest(&state);
    return Hash128{h.low64, h.high64};
}

bool SameFileContent(const std::string& a, const std::string& b, std::uint64_t* bytesRead)
{
    ReadOnlyFile fa, fb;
    if (fa.open(a) != ReadOnlyFile::OpenResult::Opened) return false;
    if (fb.open(b) != ReadOnlyFile::OpenResult::Opened) return false;
    auto ba = std::make_unique_for_overwrite<std::array<char, kBlock>>();
    auto bb = std::make_unique_for_overwrite<std::array<char, kBlock>>();
    std::int64_t offset = 0;
    for (;;) {
        const long ga = fa.readAt(offset, ba->data(), ba->size());
        const long gb = fb.readAt(offset, bb->data(), bb->size());
        if (ga < 0 || gb < 0 || ga != gb) return false;
        if (bytesRead) *bytesRead += static_cast<std::uint64_t>(ga + gb);
        if (ga == 0) return true;
        if (!std::equal(ba->data(), ba->data() + ga, bb->data())) return false;
        offset += ga;
    }
}

bool FileHoldsBytes(const std::string& nativePath, std::string_view bytes)
{
    constexpr std::size_t kPrefix = 4096;
    ReadOnlyFile file;
    if (file.open(nativePath) != ReadOnlyFile::OpenResult::Opened || file.size() != bytes.size()) return false;
    auto buffer = std::make_unique_for_overwrite<std::array<char, kBlock>>();
    std::size_t offset = 0;
    for (;;) {
        const std::size_t want = offset == 0 ? kPrefix : buffer->size();
        const long got = file.readAt(static_cast<std::int64_t>(offset), buffer->data(), want);
        if (got < 0) return false;
        const auto n = static_cast<std::size_t>(got);
        if (n > bytes.size() - offset || !std::equal(buffer->data(), buffer->data() + n, bytes.data() + offset))
            return false;
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
