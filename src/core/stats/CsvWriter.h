// CSV text of rows of Shift-JIS cells: RFC 4180 (CRLF line ends, a cell
// holding a quote, comma, CR or LF in double quotes with its quotes doubled),
// in UTF-8 after a byte order mark, or in Shift-JIS with the bytes as stored.
//
// Handle names are chosen by whoever plays, so a cell that begins with
// = + - @, a tab or a CR gets a leading ' and is never taken for a formula by
// a spreadsheet.
#pragma once

#include <string>
#include <unordered_map>
#include <string_view>
#include <vector>

namespace replidex {

enum class CsvEncoding { Utf8WithBom, ShiftJis };

// One cell as it stands in the file (still Shift-JIS).
std::string CsvCell(std::string_view sjis);

// A CSV file written cell by cell into one buffer. In UTF-8 the cells are
// converted one by one (a text of ASCII bytes as it is, any other once: the
// names and folders of a list repeat), which gives the bytes converting the
// whole Shift-JIS file would give.
class CsvBuilder {
public:
    explicit CsvBuilder(CsvEncoding encoding, std::size_t expectedBytes = 0);
    void cell(std::string_view sjis);
    void endRow();
    // The file so far; the builder is empty afterwards.
    std::string take();

private:
    void appendConverted(const std::string& sjisCell);

    CsvEncoding encoding_;
    std::string out_;
    std::string escaped_;
    bool rowStarted_ = false;
    std::unordered_map<std::string, std::string> utf8Of_;
};

// The whole file. In UTF-8, bytes that are no Shift-JIS character (a name cut
// inside a double-byte character) become U+FFFD.
std::string CsvText(const std::vector<std::vector<std::string>>& rows, CsvEncoding encoding);

}  // namespace replidex
