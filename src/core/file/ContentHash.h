// Content hashes of files and byte runs: XXH3, 64 or 128 bits, the same on
// every system (the hash of the bytes, never of a name or a time).
//
// A hash says two files differ; equal hashes only say they are worth a
// byte-for-byte comparison (SameFileContent).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace replidex {

class ReadOnlyFile;

struct Hash128 {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    friend bool operator==(const Hash128&, const Hash128&) = default;
};

std::uint64_t ContentHash64(std::string_view bytes);
Hash128 ContentHash128(std::string_view bytes);

// The hash of a regular file's bytes, read whole when it is small (in blocks
// of 1 MiB when not); nothing for a file
// that cannot be read (missing, not a regular file, read error). `bytesRead`
// (when given) is increased by what was read.
std::optional<std::uint64_t> FileContentHash64(const std::string& nativePath,
                                               std::uint64_t* bytesRead = nullptr);
std::optional<Hash128> FileContentHash128(const std::string& nativePath,
                                          std::uint64_t* bytesRead = nullptr);
// The same of a file already open, read from its start.
std::optional<Hash128> FileContentHash128(const ReadOnlyFile& file, std::uint64_t* bytesRead = nullptr);

// True when both are regular files holding the same bytes; false when they
// differ (files of different sizes are not read) or either cannot be read.
bool SameFileContent(const std::string& a, const std::string& b, std::uint64_t* bytesRead = nullptr);

// True when `nativePath` is a regular file holding exactly `bytes`. The
// first few KiB are compared first, so that a file of the same size but
// other bytes costs little.
bool FileHoldsBytes(const std::string& nativePath, std::string_view bytes);

// Lower-case hexadecimal text of a hash (16 or 32 digits), and back.
std::string HashText(std::uint64_t hash);
std::string HashText(const Hash128& hash);
std::optional<std::uint64_t> ParseHash64(std::string_view text);
std::optional<Hash128> ParseHash128(std::string_view text);

}  // namespace replidex
