// Shift-JIS (code page 932) helpers: the lead-byte test and conversion between
// CP932 bytes and UTF-8. Conversions report failure rather than invent
// characters; the lossy variant is for display only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace replidex {

// True for a byte that starts a two-byte CP932 character (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Converts CP932 bytes to UTF-8. False when `in` holds a byte sequence that is
// not CP932 (out is then unspecified).
bool Cp932ToUtf8(std::string_view in, std::string& out);
// Converts UTF-8 to CP932. False when `in` is not UTF-8 or holds a character
// that CP932 cannot represent.
bool Utf8ToCp932(std::string_view in, std::string& out);
// CP932 to UTF-8 for display: every byte that does not start a valid character
// becomes U+FFFD.
std::string Cp932ToUtf8Lossy(std::string_view in);

// A UTF-8 literal as CP932 bytes; for the program's own fixed texts, which are
// all representable.
std::string Sjis(std::string_view utf8);

// Paths: core keeps CP932 bytes; the native form of a path is UTF-8 on every
// system (Linux's file names; on Windows core/file/NativeFiles turns it into
// UTF-16 for the wide API, so the system's code page does not matter).
// Empty when the path cannot be converted. On Linux a name with look-alike
// characters (LookAlikePaths.h) that does not exist as decoded is found in the
// form the file system holds.
std::string NativePathFromSjis(std::string_view sjisPath);
// False when the native path has no CP932 form, or when that form does not
// lead back to the same file (NativePathFromSjis would name another one).
bool SjisFromNativePath(std::string_view nativePath, std::string& sjisPath);

}  // namespace replidex
