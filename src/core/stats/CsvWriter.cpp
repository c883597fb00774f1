#include "core/stats/CsvWriter.h"

#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

bool StartsLikeFormula(std::string_view cell)
{
    if (cell.empty()) return false;
    switch (cell.front()) {
    case '=': case '+': case '-': case '@': case '\t': case '\r': return true;
    default: return false;
    }
}

// Shift-JIS trail bytes are 0x40 and above, so these bytes are always
// characters of their own.
bool NeedsQuotes(std::string_view cell)
{
    return cell.find_first_of("\",\r\n") != std::string_view::npos;
}

}  // namespace

std::string CsvCell(std::string_view sjis)
{
    std::string cell;
    if (StartsLikeFormula(sjis)) cell += '\'';
    cell += sjis;
    if (!NeedsQuotes(cell)) return cell;
    std::string quoted = "\"";
    for (const char ch : cell) {
        if (ch == '"') quoted += '"';
        quoted += ch;
    }
    quoted += '"';
    return quoted;
}

std::string CsvText(const std::vector<std::vector<std::string>>& rows, CsvEncoding encoding)
{
    std::string sjis;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i) sjis += ',';
            sjis += CsvCell(row[i]);
        }
        sjis += "\r\n";
    }
    if (encoding == CsvEncoding::ShiftJis) return sjis;
    return "\xEF\xBB\xBF" + Cp932ToUtf8Lossy(sjis);
}

}  // namespace replidex
