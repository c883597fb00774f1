// Texts typed by the user (folder names, memos) on their way into the list:
// turned into Shift-JIS and kept within what the list file holds. A text
// Shift-JIS cannot write is refused rather than altered; a text that is too
// long is cut on a character boundary, and the user is told.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace replidex {

// What the list editor lets the user store.
inline constexpr std::size_t kMemoMaxBytes = 1023;
inline constexpr std::size_t kFolderNameMaxBytes = 255;

enum class TextFit {
    Fits,     // stored as typed
    Cut,      // stored cut to the limit
    NotSjis,  // refused: holds a character Shift-JIS cannot write
};

// Converts the UTF-8 text `utf8` into Shift-JIS `out`, cut to at most `limit`
// bytes without splitting a two-byte character. `out` is emptied on NotSjis.
TextFit FitSjisText(std::string_view utf8, std::size_t limit, std::string& out);

// Memos keep Windows line breaks: every line feed not preceded by a carriage
// return gets one; the editor shows them as plain line feeds.
std::string MemoFromEditor(std::string_view text);
std::string MemoForEditor(std::string_view memo);

// The messages (Shift-JIS) telling the user what happened to a memo or a
// folder name; empty for Fits.
std::string MemoFitMessage(TextFit fit);
std::string FolderNameFitMessage(TextFit fit);

}  // namespace replidex
