// Shortening a Shift-JIS text to a width, for captions drawn in a fixed room.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace replidex {

// `text` when `widthOf(text)` is at most `width`. Otherwise the longest head
// of `text` followed by "..." that fits, the head cut between characters
// (never inside a two-byte character); when not even the first character with
// "..." fits, the first character alone.
std::string ShortenToWidth(std::string_view text, int width,
                           const std::function<int(std::string_view)>& widthOf);

}  // namespace replidex
