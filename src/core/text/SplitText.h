// Small text helpers shared by every window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace replidex {

// Cuts `text` into the pieces between occurrences of the one-byte `separator`
// without ever splitting a two-byte Shift-JIS character; empty pieces are not
// kept. Clears `list` and answers the number of pieces; with no list, answers 0.
int SplitText(std::vector<std::string>* list, std::string_view text, char separator);

}  // namespace replidex
