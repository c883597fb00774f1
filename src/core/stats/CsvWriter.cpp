#include "core/stats/CsvWriter.h"

#include <algorithm>

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

bool IsAsciiText(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
}

void AppendCell(std::string& out, std::string_view sjis)
{
    const bool prefix = StartsLikeFormula(sjis);
    // Shift-JIS trail bytes are 0x40 and above, so these bytes are always
    // characters of their own.
    const bool quoted = std::any_of(sjis.begin(), sjis.end(), [](char ch) {
        return ch == '"' || ch == ',' || ch == '\r' || ch == '\n';
    });
    if (quoted) out += '"';
    if (prefix) out += '\'';
    if (!quoted) {
        out += sjis;
        return;
    }
    for (const char ch : sjis) {
        if (ch == '"') out += '"';
        out += ch;
    }
    out += '"';
}

}  // namespace

std::string CsvCell(std::string_view sjis)
{
    std::string cell;
    AppendCell(cell, sjis);
    return cell;
}

CsvBuilder::CsvBuilder(CsvEncoding encoding, std::size_t expectedBytes) : encoding_(encoding)
{
    out_.reserve(expectedBytes + 3);
    if (encoding_ == CsvEncoding::Utf8WithBom) out_ = "\xEF\xBB\xBF";
}

void CsvBuilder::cell(std::string_view sjis)
{
    if (rowStarted_) out_ += ',';
    rowStarted_ = true;
    if (encoding_ == CsvEncoding::ShiftJis || IsAsciiText(sjis)) {
        AppendCell(out_, sjis);
        return;
    }
    escaped_.clear();
    AppendCell(escaped_, sjis);
    appendConverted(escaped_);
}

// A cell is followed by a comma, CR or nothing, and an escaped cell holds its
// own closing quote: no character spans two cells, so converting cell by cell
// equals converting the file (a lead byte at a cell's end is U+FFFD either way).
void CsvBuilder::appendConverted(const std::string& sjisCell)
{
    auto it = utf8Of_.find(sjisCell);
    if (it == utf8Of_.end())
        it = utf8Of_.emplace(sjisCell, Cp932ToUtf8Lossy(sjisCell)).first;
    out_ += it->second;
}

void CsvBuilder::endRow()
{
    out_ += "\r\n";
    rowStarted_ = false;
}

std::string CsvBuilder::take()
{
    std::string text = std::move(out_);
    out_.clear();
    rowStarted_ = false;
    return text;
}

std::string CsvText(const std::vector<std::vector<std::string>>& rows, CsvEncoding encoding)
{
    std::size_t bytes = 0;
    for (const auto& row : rows)
        for (const std::string& cell : row) bytes += cell.size() + 1;
    CsvBuilder csv(encoding, bytes + bytes / 4 + 2 * rows.size());
    for (const auto& row : rows) {
        for (const std::string& cell : row) csv.cell(cell);
        csv.endRow();
    }
    return csv.take();
}

}  // namespace replidex
