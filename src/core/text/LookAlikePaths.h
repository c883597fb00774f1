// Paths with look-alike characters. A few characters have two Unicode forms
// that Shift-JIS (CP932) writes with one code: WAVE DASH U+301C and FULLWIDTH
// TILDE U+FF5E are both 0x8160, and so on for the double vertical line, the
// dash, the minus sign and the cent, pound and not signs. Turning a native
// path into Shift-JIS and back gives the form the decoder prefers, which names
// another file, or none, when the file system holds the other form. These
// functions find the file that such a path stood for, and tell whether a path
// leads back to the file it came from.
#pragma once

#include <string>
#include <string_view>

namespace replidex {

// `utf8` with every look-alike character in the form the CP932 decoder gives
// (U+301C becomes U+FF5E, U+2016 becomes U+2225, ...); all else unchanged.
std::string FoldLookAlikes(std::string_view utf8);

// True when `utf8` holds a look-alike character in either form.
bool HasLookAlikes(std::string_view utf8);

// The path of an existing file or folder that `decodedPath` stands for when
// each of its look-alike characters may have either form. `decodedPath`
// itself when it exists or holds no look-alike. Otherwise each part of it
// that holds one and does not exist is looked up in its folder among the
// names that fold to the same text; a part that matches no name, or more
// than one, is kept as it is, and so are the parts after it.
std::string FindLookAlikePath(const std::string& decodedPath);

// True when `pathBack`, what the native path `nativePath` becomes after going
// to Shift-JIS and back (through FindLookAlikePath), names the same file:
// both are the same text, or they differ only in the forms of look-alike
// characters and neither exists yet (a new file is then made at `pathBack`,
// where the Shift-JIS path finds it again).
bool LeadsBackToSameFile(const std::string& nativePath, const std::string& pathBack);

}  // namespace replidex
