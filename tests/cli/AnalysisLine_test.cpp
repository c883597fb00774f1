// The analyse line written into a buffer gives the same bytes as the line
// built as a JSON document and dumped, for every kind of file and name.
#include <gtest/gtest.h>

#include <string>

#include "cli/AnalysisJson.h"
#include "cli/AnalysisLine.h"
#include "cli/Json.h"
#include "support/ReplayFileBuilder.h"
#include "support/TempDir.h"

namespace replidex::test {
namespace {

std::string DocumentLine(const std::string& path)
{
    cli::Json rest = cli::AnalysisJson(path);
    rest.erase("path");
    return "{\"path\": " + cli::PathJsonText(path) + ", " + cli::DumpSpaced(rest).substr(1) + "\n";
}

ReplayDescription Named(ReplayDescription d, std::string p1, std::string p2)
{
    d.p1.name = std::move(p1);
    d.p2.name = std::move(p2);
    return d;
}

TEST(AnalysisLine, SameBytesAsTheDumpedDocument)
{
#ifdef _WIN32
    GTEST_SKIP() << "its file names hold quotes, which Windows refuses";
#endif
    TempDir dir;
    const struct {
        const char* file;
        std::string bytes;
    } cases[] = {
        {"net.RPD", BuildReplay(Named(NetMatchDescription(), "\x82\xD5\x82\xE6\x8E\x71", "Abc")).bytes},
        {"quote.RPD", BuildReplay(Named(NetMatchDescription(), "a\"b\\c", "tab\there")).bytes},
        {"controls.RPD", BuildReplay(Named(NetMatchDescription(), "\x08\x0c\x1f", "\x7f\x01")).bytes},
        {"com.RPD", BuildReplay(OfflineDescription(true)).bytes},
        {"two.RPD", BuildReplay(Named(OfflineDescription(false), "\x83\x7e", "\x81\x60")).bytes},
        // Names the codec cannot take whole: a lead byte cut off at the end,
        // undefined single bytes, a lead byte before a byte that is no trail.
        {"cut.RPD", BuildReplay(Named(NetMatchDescription(), "ab\x82", "\x82")).bytes},
        {"undefined.RPD", BuildReplay(Named(NetMatchDescription(), "\x80\xa0\xfd", "\xff\x82\x20z")).bytes},
        {"cut-offline.RPD", BuildReplay(Named(OfflineDescription(false), "\x82", "\x81")).bytes},
        {"garbage.RPD", std::string(5000, '\x55')},
        {"empty.RPD", ""},
        {"a \"q\" \\ \t\x01 name.RPD", BuildReplay(NetMatchDescription()).bytes},
        {"\xE8\xA9\xA6\xE5\x90\x88.RPD", BuildReplay(NetMatchDescription()).bytes},
        {"\xff\xfe bytes.RPD", BuildReplay(NetMatchDescription()).bytes},
    };
    for (const auto& c : cases) {
        const std::string path = dir.write(c.file, c.bytes);
        std::string line = "kept ";
        cli::AppendAnalysisLine(path, line);
        EXPECT_EQ(line, "kept " + DocumentLine(path)) << c.file;
    }
    const std::string missing = dir.file("missing.RPD");
    std::string line;
    cli::AppendAnalysisLine(missing, line);
    EXPECT_EQ(line, DocumentLine(missing));
}

TEST(AnalysisLine, PathTextEscapesAsciiAndKeepsOtherBytes)
{
    const struct {
        std::string path, json;
    } cases[] = {
        {"/plain/a.RPD", "\"/plain/a.RPD\""},
        {"a\"b\\c\td", "\"a\\\"b\\\\c\\td\""},
        {"\x08\x0c\x01", "\"\\u0008\\u000c\\u0001\""},
        {"x\xff\"y", "\"x\xff\\\"y\""},
        {"", "\"\""},
    };
    for (const auto& c : cases) EXPECT_EQ(cli::PathJsonText(c.path), c.json) << c.path;
}

}  // namespace
}  // namespace replidex::test
