// replidex-cli dump and build, run as the real program; and the JSON reader
// that build uses.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>


#include "cli/Json.h"
#include "core/list/ListFile.h"
#include "support/CliRunner.h"
#include "support/ListGenerator.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

using test::GenerateList;
using test::ListGenOptions;
using test::ReadWholeFile;
using test::TempDir;


using test::ShellQuote;
const auto& Quote = ShellQuote;

// dump x, then build from that JSON; answers the bytes build wrote.
std::string DumpThenBuild(const TempDir& dir, const std::string& listPath)
{
    const test::CliResult dump = test::RunCliCommandLine("dump " + Quote(listPath));
    EXPECT_EQ(dump.status, 0) << dump.err;
    const std::string json = dir.write("dump.json", dump.out);
    const std::string rebuilt = dir.file("rebuilt.rdx");
    std::filesystem::remove(rebuilt);
    const test::CliResult build = test::RunCliCommandLine("build " + Quote(json) + " " + Quote(rebuilt));
    EXPECT_EQ(build.status, 0) << build.err;
    return ReadWholeFile(rebuilt);
}

const char kExample[] =
    "\xE8\x03\x00\x00\x01\x04Root\x03\x01\x05\x00" "C:\\r\\" "\x0C" "REPLAY00.RPD"
    "\x00\x60\x83\x35\x00\x00\x00";

TEST(CliDump, ExampleList)
{
    TempDir dir;
    const std::string path = dir.write("example.rdx", std::string(kExample, sizeof kExample - 1));
    const test::CliResult r = test::RunCliCommandLine("dump " + Quote(path));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "{\"version\":1000,\"complete\":true,\"root\":0,\"top\":[{\"name\":\"526f6f74\","
              "\"folders\":[],\"entries\":[{\"kind\":3,\"folderPath\":\"433a5c725c\","
              "\"fileName\":\"5245504c415930302e525044\",\"fileAge\":897802240,\"memo\":\"\","
              "\"info\":null}]}]}\n");
}

TEST(CliDump, FoldersInfoAndOtherKinds)
{
    TempDir dir;
    // Top-level "a" (not the root), then root "R" with folder "S" holding an
    // entry of kind 7 and the root holding an entry with info.
    std::string bytes("\xE8\x03\x00\x00", 4);
    bytes += std::string("\x01\x01" "a", 3);
    bytes += std::string("\x01\x01" "R", 3);
    bytes += std::string("\x02\x01\x01" "S", 4);
    bytes += std::string("\x07\x02\x02\x00" "P\\" "\x01" "x" "\xFF\xFF\xFF\xFF" "\x02\x00" "\r\n", 16);
    bytes += std::string("\x03\x01\x00\x00\x01" "y" "\x01\x00\x00\x00" "\x00\x00" "\x01"
                         "\x01\x80\x00\x00", 17);
    bytes += std::string("\x02" "\x82\xA0" "\xFE\xFF" "\x05\x00" "\x12\x5F\xC8\x01", 11);
    bytes += std::string("\x00" "\x00\x80" "\xFF\x7F" "\x00\x00\x00\x00", 9);
    const std::string path = dir.write("list.rdx", bytes);

    const test::CliResult r = test::RunCliCommandLine("dump " + Quote(path));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"version\":1000,\"complete\":true,\"root\":1,\"top\":["
              "{\"name\":\"61\",\"folders\":[],\"entries\":[]},"
              "{\"name\":\"52\",\"folders\":[{\"name\":\"53\",\"folders\":[],\"entries\":["
              "{\"kind\":7,\"folderPath\":\"505c\",\"fileName\":\"78\",\"fileAge\":-1,"
              "\"memo\":\"0d0a\",\"info\":null}]}],\"entries\":["
              "{\"kind\":3,\"folderPath\":\"505c\",\"fileName\":\"79\",\"fileAge\":1,\"memo\":\"\","
              "\"info\":{\"infoFlags\":32769,"
              "\"p1\":{\"name\": \"82a0\", \"score\": 200, \"rank\": 18, \"wins\": -2, "
              "\"losses\": 5, \"character\": 95, \"isCom\": 1},"
              "\"p2\":{\"name\": \"\", \"score\": 0, \"rank\": 0, \"wins\": -32768, "
              "\"losses\": 32767, \"character\": 0, \"isCom\": 0}}}]}]}\n");

    // Only the root's tree comes back.
    ReplayDocument doc;
    ASSERT_EQ(ReadListBytes(bytes, doc), ListOpenResult::Opened);
    EXPECT_EQ(DumpThenBuild(dir, path), WriteListBytes(doc));
}

TEST(CliDump, FailuresAndUsage)
{
    TempDir dir;
    struct Case {
        std::string args;
        int status;
    };
    const std::string otherVersion = dir.write("v999.rdx", std::string("\xE7\x03\x00\x00\x01\x00", 6));
    const std::string empty = dir.write("empty.rdx", "");
    const Case cases[] = {
        {"dump " + Quote(otherVersion), 1},
        {"dump " + Quote(empty), 1},
        {"dump " + Quote(dir.file("missing.rdx")), 1},
        {"dump " + Quote(dir.path().string()), 1},
        {"dump", 2},
        {"dump a b", 2},
        {"build", 2},
        {"build in.json", 2},
        {"build a b c", 2},
        {"dump --help", 0},
        {"build --help", 0},
    };
    for (const Case& c : cases) {
        const test::CliResult r = test::RunCliCommandLine(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        if (c.status != 0) EXPECT_EQ(r.out, "") << c.args;
        else EXPECT_NE(r.out, "") << c.args;
    }
    const test::CliResult r = test::RunCliCommandLine("dump " + Quote(otherVersion));
    EXPECT_EQ(r.err, "Versionが異なります。\n最新版のReplidexを使用下さい。\n");
}

TEST(CliDumpBuild, RebuildsGeneratedListsByteForByte)
{
    TempDir dir;
    const std::string path = dir.file("list.rdx");
    for (std::uint64_t seed = 1; seed <= 24; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        ListGenOptions options;
        options.maxDepth = static_cast<int>(seed % 5);
        options.extraTopLevel = static_cast<int>(seed % 2);
        options.otherKindPercent = 25;
        options.overLongTexts = seed % 3 == 0;
        ReplayDocument doc;
        GenerateList(seed, options, doc);
        ASSERT_TRUE(SaveListFileNative(path, doc));
        const std::string bytes = ReadWholeFile(path);
        ASSERT_EQ(DumpThenBuild(dir, path), bytes);
    }
}

TEST(CliDumpBuild, RebuildsWhatDumpReadFromDamagedLists)
{
    TempDir dir;
    const std::string path = dir.file("list.rdx");
    std::mt19937_64 rng(77);
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ReplayDocument doc;
        GenerateList(rng(), {}, doc);
        std::string bytes = WriteListBytes(doc);
        for (int m = 0; m < 4; ++m) {
            const std::size_t at = 4 + rng() % (bytes.size() - 4);
            if (m == 0 && round % 2) bytes.resize(at);
            else if (at < bytes.size()) bytes[at] = static_cast<char>(rng());
        }
        ReplayDocument read;
        ASSERT_EQ(ReadListBytes(bytes, read), ListOpenResult::Opened);
        dir.write("list.rdx", bytes);
        ASSERT_EQ(DumpThenBuild(dir, path), WriteListBytes(read));
    }
}

TEST(CliDumpBuild, FullPoolIsReportedIncomplete)
{
    TempDir dir;
    std::string bytes("\xE8\x03\x00\x00\x01\x01R", 7);
    const std::string entry("\x03\x01\x02\x00" "P\\" "\x01" "e" "\x00\x00\x00\x00\x00\x00\x00", 15);
    for (int i = 0; i <= EntryPool::kSlotCount; ++i) bytes += entry;
    const std::string path = dir.write("full.rdx", bytes);

    const test::CliResult r = test::RunCliCommandLine("dump " + Quote(path));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("{\"version\":1000,\"complete\":false,\"root\":0,", 0), 0u);

    ReplayDocument doc;
    ASSERT_EQ(ReadListBytes(bytes, doc), ListOpenResult::PoolFull);
    EXPECT_EQ(DumpThenBuild(dir, path), WriteListBytes(doc));
}

TEST(CliBuild, InputsAndRefusals)
{
    TempDir dir;
    const std::string out = dir.file("out.rdx");
    const std::string entry =
        "{\"kind\":3,\"folderPath\":\"505c\",\"fileName\":\"78\",\"fileAge\":0,\"memo\":\"\","
        "\"info\":null}";
    auto doc = [&](const std::string& root, const std::string& entryJson) {
        return "{\"root\":" + root + ",\"top\":[{\"name\":\"52\",\"folders\":[],\"entries\":[" +
               entryJson + "]}]}";
    };

    // No root: the header and the root kind byte.
    std::string in = dir.write("in.json", doc("null", entry));
    EXPECT_EQ(test::RunCliCommandLine("build " + Quote(in) + " " + Quote(out)).status, 0);
    EXPECT_EQ(ReadWholeFile(out), std::string("\xE8\x03\x00\x00\x01", 5));

    // From standard input, spaces and escapes welcome.
    in = dir.write("in.json", " {\"root\" : 0 ,\n \"top\":[{\"name\":\"\\u0035\\u0032\",\"folders\":[],"
                              "\"entries\":[" + entry + "]}]}\n");
    EXPECT_EQ(test::RunCliCommandLine("build - " + Quote(out) + " < " + Quote(in)).status, 0);
    EXPECT_EQ(ReadWholeFile(out), std::string("\xE8\x03\x00\x00\x01\x01R\x03\x01\x02\x00P\\\x01x"
                                              "\x00\x00\x00\x00\x00\x00\x00", 22));
    const std::string good = ReadWholeFile(out);

    const std::string refused[] = {
        "",
        "[",
        std::string(200000, '['),
        "{\"root\":0}",
        doc("1", entry),
        doc("-1", entry),
        doc("0", entry) + "x",
        doc("0", "{\"kind\":2,\"folderPath\":\"\",\"fileName\":\"\",\"fileAge\":0,\"memo\":\"\",\"info\":null}"),
        doc("0", "{\"kind\":3,\"folderPath\":\"5\",\"fileName\":\"\",\"fileAge\":0,\"memo\":\"\",\"info\":null}"),
        doc("0", "{\"kind\":3,\"folderPath\":\"zz\",\"fileName\":\"\",\"fileAge\":0,\"memo\":\"\",\"info\":null}"),
        doc("0", "{\"kind\":3,\"folderPath\":\"\",\"fileName\":\"\",\"fileAge\":2147483648,\"memo\":\"\",\"info\":null}"),
        doc("0", "{\"kind\":3,\"folderPath\":\"\",\"fileName\":\"\",\"fileAge\":1.5,\"memo\":\"\",\"info\":null}"),
        doc("0", "{\"kind\":3,\"folderPath\":\"\",\"fileName\":\"\",\"fileAge\":0,\"memo\":\"\"}"),
        doc("0", "{\"kind\":3,\"folderPath\":\"\",\"fileName\":\"\",\"fileAge\":0,\"memo\":\"\",\"info\":"
                 "{\"infoFlags\":1,\"p1\":{\"name\":\"" + std::string(82, '6') +
                 "\",\"score\":0,\"rank\":0,\"wins\":0,\"losses\":0,\"character\":0,\"isCom\":0},"
                 "\"p2\":{\"name\":\"\",\"score\":0,\"rank\":0,\"wins\":0,\"losses\":0,"
                 "\"character\":0,\"isCom\":0}}}"),
    };
    for (const std::string& json : refused) {
        in = dir.write("in.json", json);
        const test::CliResult r = test::RunCliCommandLine("build " + Quote(in) + " " + Quote(out));
        EXPECT_EQ(r.status, 1) << json.substr(0, 200);
        EXPECT_NE(r.err, "") << json.substr(0, 200);
        EXPECT_EQ(ReadWholeFile(out), good) << "a refused build leaves the old file";
    }
    EXPECT_EQ(test::RunCliCommandLine("build " + Quote(dir.file("none.json")) + " " + Quote(out)).status, 1);
    in = dir.write("in.json", doc("0", entry));
    EXPECT_EQ(test::RunCliCommandLine("build " + Quote(in) + " " + Quote(dir.file("no/dir/out.rdx"))).status, 1);
}

// ---------------------------------------------------------------- JSON reader

using JsonValue = nlohmann::json;

// The member named `key`, or nullptr.
const JsonValue* Find(const JsonValue& object, const char* key)
{
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

TEST(JsonReader, AcceptsAndRefuses)
{
    struct Case {
        std::string text;
        bool ok;
    };
    const Case cases[] = {
        {"null", true},
        {" \t\r\n{ } ", true},
        {"[1,-2,0,true,false,null,\"s\",[],{}]", true},
        {"9223372036854775807", true},
        {"-9223372036854775808", true},
        {"\xEF\xBB\xBF{}", true},
        {"9223372036854775808", false},
        {"-9223372036854775809", false},
        {"01", false},
        {"-", false},
        {"1.0", false},
        {"1e3", false},
        {"[1,]", false},
        {"{\"a\"}", false},
        {"{\"a\":1,}", false},
        {"{a:1}", false},
        {"\"unterminated", false},
        {"\"bad \\x escape\"", false},
        {"\"\\u12\"", false},
        {"\"\\ud800\"", false},
        {"\"\\udc00\"", false},
        {std::string("\"a\x01\""), false},
        {"tru", false},
        {"nul", false},
        {"[] []", false},
        {"", false},
        {std::string(cli::kJsonMaxDepth, '[') + std::string(cli::kJsonMaxDepth, ']'), true},
        {std::string(cli::kJsonMaxDepth + 1, '[') + std::string(cli::kJsonMaxDepth + 1, ']'), false},
        {std::string(1000000, '{'), false},
    };
    for (const Case& c : cases) {
        JsonValue value;
        std::string error;
        EXPECT_EQ(cli::ParseJson(c.text, value, error), c.ok) << c.text.substr(0, 80);
        EXPECT_EQ(error.empty(), c.ok) << c.text.substr(0, 80);
    }
}

TEST(JsonReader, Values)
{
    JsonValue v;
    std::string error;
    ASSERT_TRUE(cli::ParseJson(
        "{\"s\":\"\\\"\\\\\\/\\b\\f\\n\\r\\t\\u00e9\\u6f22\\ud83d\\ude00\",\"n\":-42,\"a\":[true,null],"
        "\"dup\":1,\"dup\":2}",
        v, error))
        << error;
    ASSERT_TRUE(v.is_object());
    ASSERT_NE(Find(v, "s"), nullptr);
    EXPECT_EQ(Find(v, "s")->get<std::string>(), "\"\\/\b\f\n\r\t\xC3\xA9\xE6\xBC\xA2\xF0\x9F\x98\x80");
    EXPECT_EQ(Find(v, "n")->get<std::int64_t>(), -42);
    ASSERT_EQ(Find(v, "a")->size(), 2u);
    EXPECT_TRUE((*Find(v, "a"))[0].get<bool>());
    EXPECT_TRUE((*Find(v, "a"))[1].is_null());
    EXPECT_EQ(Find(v, "dup")->get<std::int64_t>(), 2);
    EXPECT_EQ(Find(v, "missing"), nullptr);
}

// Random byte soup and damaged dumps: the reader answers, never crashes.
TEST(JsonReader, HostileInput)
{
    std::mt19937_64 rng(5);
    const std::string seedText =
        "{\"version\":1000,\"root\":0,\"top\":[{\"name\":\"52\",\"folders\":[],\"entries\":"
        "[{\"kind\":3,\"memo\":\"\\u0041\",\"info\":null}]}]}";
    const char alphabet[] = "{}[]\",:\\u0123456789abcdef-+.eEtrufalsn \t\n\x01\xFF";
    for (int round = 0; round < 3000; ++round) {
        std::string text = seedText;
        const int edits = 1 + static_cast<int>(rng() % 6);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const std::size_t at = rng() % text.size();
            const char c = alphabet[rng() % (sizeof alphabet - 1)];
            switch (rng() % 3) {
            case 0: text[at] = c; break;
            case 1: text.insert(at, 1, c); break;
            default: text.erase(at, 1 + rng() % 4); break;
            }
        }
        JsonValue value;
        std::string error;
        cli::ParseJson(text, value, error);
    }
}

}  // namespace
}  // namespace replidex
