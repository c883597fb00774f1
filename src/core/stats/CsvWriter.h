// CSV text of rows of Shift-JIS cells: RFC 4180 (CRLF line ends, a cell
// holding a quote, comma, CR or LF in double quotes with its quotes doubled),
// in UTF-8 after a byte order mark, or in Shift-JIS with the bytes as stored.
//
// Handle names are chosen by whoever plays, so a cell that begins with
// = + - @, a tab or a CR gets a leading ' and is never taken for a formula by
// a spreadsheet.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace replidex {

enum class CsvEncoding { Utf8WithBom, ShiftJis };

// One cell as it stands in the file (still Shift-JIS).
std::string CsvCell(std::string_view sjis);

// The whole file. In UTF-8, bytes that are no Shift-JIS character (a name cut
// inside a double-byte character) become U+FFFD.
std::string CsvText(const std::vector<std::vector<std::string>>& rows, CsvEncoding encoding);

}  // namespace replidex
