#include "core/settings/ProfileFile.h"

#include <climits>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::TempDir;

// A settings file as a user edits it by hand: CR LF, comments, blank lines,
// indentation, sections the program does not know, no final line break.
const std::string kHandEdited =
    "; replidex settings\r\n"
    "\r\n"
    "[Config]\r\n"
    "  PuyoFPath = C:\\Games\\PuyoF   \r\n"
    "; my note about the folder\r\n"
    "\r\n"
    "[Mine]\r\n"
    "colour=blue ; not a comment\r\n"
    "\tweird line without equals\r\n"
    "[Search]\r\n"
    "Page=3\r\n"
    "Exist=0";

struct ReadCase {
    const char* name;
    std::string file;
    std::string section;
    std::string key;
    std::string expected;  // "<default>" when the key should read as missing
};

class ProfileRead : public testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, ReadsLikeThePrivateProfileFunctions)
{
    const ReadCase& c = GetParam();
    const ProfileFile file = ProfileFile::FromBytes(c.file);
    EXPECT_EQ(file.readString(c.section, c.key, "<default>"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileRead,
    testing::Values(
        ReadCase{"Plain", "[A]\nk=v\n", "A", "k", "v"},
        ReadCase{"BlanksAroundNameAndValue", "[A]\n \t k \t=  v w \t\n", "A", "k", "v w"},
        ReadCase{"EqualsInValue", "[A]\nk=a=b==\n", "A", "k", "a=b=="},
        ReadCase{"EmptyValueIsNotMissing", "[A]\nk=\n", "A", "k", ""},
        ReadCase{"DoubleQuotesStripped", "[A]\nk=\" x \"\n", "A", "k", " x "},
        ReadCase{"SingleQuotesStripped", "[A]\nk='x'\n", "A", "k", "x"},
        ReadCase{"MixedQuotesKept", "[A]\nk=\"x'\n", "A", "k", "\"x'"},
        ReadCase{"LoneQuoteKept", "[A]\nk=\"\n", "A", "k", "\""},
        ReadCase{"FirstKeyWins", "[A]\nk=1\nK=2\n", "A", "k", "1"},
        ReadCase{"FirstSectionWins", "[A]\nx=1\n[a]\nk=2\n", "A", "k", "<default>"},
        ReadCase{"LineWithoutEqualsIsNoKey", "[A]\nk\nk=2\n", "A", "k", "2"},
        ReadCase{"LineWithoutEqualsAloneReadsDefault", "[A]\n k \n", "A", "k", "<default>"},
        ReadCase{"CommentIsNoKey", "[A]\n;k=1\nk=2\n", "A", ";k", "<default>"},
        ReadCase{"CaseInsensitiveNames", "[cOnFiG]\npuyofpath=x\n", "Config", "PuyoFPath", "x"},
        ReadCase{"RequestedNamesTrimmed", "[A]\nk=v\n", " A ", "\tk ", "v"},
        ReadCase{"HeaderWithBlanksAndTail", "  [ A ] trailing\nk=v\n", "A", "k", "v"},
        ReadCase{"HeaderUpToLastBracket", "[a]b]\nk=v\n", "a]b", "k", "v"},
        ReadCase{"BracketWithoutCloseIsKey", "[A]\n[k=v\n", "A", "[k", "v"},
        ReadCase{"KeysBeforeAnySection", "k=v\n[A]\n", "", "k", "<default>"},
        ReadCase{"LoneCrEndsLines", "[A]\rk=v\rj=w", "A", "j", "w"},
        ReadCase{"NoFinalLineBreak", "[A]\nk=v", "A", "k", "v"},
        ReadCase{"Utf8BomIgnored", "\xEF\xBB\xBF[A]\nk=v\n", "A", "k", "v"},
        // 0x83 0x5D is one character whose second byte is "]": not a bracket.
        ReadCase{"TrailByteIsNoBracket", "[\x83\x5D]\nk=v\n", "\x83\x5D", "k", "v"},
        ReadCase{"TrailByteOnlyNoHeader", "[\x83\x5D\nk=v\n", "\x83\x5D", "k", "<default>"},
        // 0x83 0x41 and 0x83 0x61 are different characters.
        ReadCase{"TrailByteNotCaseFolded", "[A]\n\x83\x41=1\n", "A", "\x83\x61", "<default>"},
        ReadCase{"ShiftJisValueKept", "[A]\nk=\x83\x5C\x96\x5C\n", "A", "k", "\x83\x5C\x96\x5C"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileFile, ListsSectionsAndKeysInFileOrderEachOnce)
{
    const ProfileFile file = ProfileFile::FromBytes(
        "pre=1\n[B]\n5=a\n0=b\n;c=1\nbare\n=x\n5=c\n[a]\n[A]\nz=1\n[b]\n9=1\n");
    EXPECT_EQ(file.sectionNames(), (std::vector<std::string>{"B", "a"}));
    EXPECT_EQ(file.keyNames("b"), (std::vector<std::string>{"5", "0"}));
    EXPECT_TRUE(file.keyNames("A").empty());  // the first [A] is empty
    EXPECT_TRUE(file.keyNames("missing").empty());
}

// A bare line in a section is no key: it neither shifts the order of the keys
// nor hides a later line of the same name, and writing that name adds a line.
TEST(ProfileFile, LineWithoutEqualsIsNoKey)
{
    struct Case {
        const char* file;
        std::vector<std::string> keys;
        const char* afterWritingFile;
    } const cases[] = {
        {"[Column]\nFile\nPath=80\nFile=100\n", {"Path", "File"},
         "[Column]\nFile\nPath=80\nFile=7\n"},
        {"[Column]\nFile\n", {}, "[Column]\nFile\nFile=7\n"},
        {"[Column]\n\t[File\n", {}, "[Column]\n\t[File\nFile=7\n"},
    };
    for (const Case& c : cases) {
        ProfileFile file = ProfileFile::FromBytes(c.file);
        EXPECT_EQ(file.keyNames("Column"), c.keys) << c.file;
        ASSERT_TRUE(file.writeInt("Column", "File", 7)) << c.file;
        EXPECT_EQ(file.bytes(), c.afterWritingFile);
    }
}

TEST(ProfileFile, ReadIntTakesTheLeadingNumber)
{
    const ProfileFile file = ProfileFile::FromBytes(
        "[N]\na=12\nb= -3 \nc=+7\nd=12abc\ne=abc\nf=\ng=99999999999\nh=-99999999999\ni=\"5\"\n");
    const std::vector<std::pair<const char*, int>> cases = {
        {"a", 12}, {"b", -3}, {"c", 7}, {"d", 12}, {"e", 0}, {"f", 42},
        {"g", INT_MAX}, {"h", INT_MIN}, {"i", 5}, {"missing", 42}};
    for (const auto& [key, expected] : cases) EXPECT_EQ(file.readInt("N", key, 42), expected) << key;
}

TEST(ProfileFile, EditsTouchOnlyTheirOwnBytes)
{
    ProfileFile file = ProfileFile::FromBytes(kHandEdited);
    EXPECT_EQ(file.bytes(), kHandEdited);

    // An existing key keeps its spelling, indentation and spacing.
    ASSERT_TRUE(file.writeString("config", "puyofpath", "D:\\Other"));
    std::string expected = kHandEdited;
    expected.replace(expected.find("C:\\Games\\PuyoF   "), 17, "D:\\Other");
    EXPECT_EQ(file.bytes(), expected);

    // A new key goes after the last key of its section, before its comments.
    ASSERT_TRUE(file.writeString("Config", "New", "1"));
    expected.insert(expected.find("; my note"), "New=1\r\n");
    EXPECT_EQ(file.bytes(), expected);

    // A new section is appended; the unterminated last line gets the file's
    // line break first.
    ASSERT_TRUE(file.writeString("Fresh", "k", "v"));
    expected += "\r\n[Fresh]\r\nk=v\r\n";
    EXPECT_EQ(file.bytes(), expected);

    // Erasing takes the section's comments and blank lines with it.
    file.eraseSection("CONFIG");
    expected.erase(expected.find("[Config]"), expected.find("[Mine]") - expected.find("[Config]"));
    EXPECT_EQ(file.bytes(), expected);
    EXPECT_EQ(file.readString("Mine", "colour", ""), "blue ; not a comment");
}

TEST(ProfileFile, EraseRemovesEveryOccurrenceAndRewriteAppends)
{
    ProfileFile file = ProfileFile::FromBytes("[S]\na=1\n[T]\nt=1\n[s]\nb=2\n");
    file.eraseSection("S");
    EXPECT_EQ(file.bytes(), "[T]\nt=1\n");
    ASSERT_TRUE(file.writeString("S", "0", "x"));
    EXPECT_EQ(file.bytes(), "[T]\nt=1\n[S]\n0=x\n");
    EXPECT_EQ(ProfileFile::FromBytes("").bytes(), "");
    ProfileFile empty;
    ASSERT_TRUE(empty.writeString("S", "k", "v"));
    EXPECT_EQ(empty.bytes(), "[S]\r\nk=v\r\n");  // a new file uses CR LF
}

TEST(ProfileFile, DeleteKeyRemovesEveryLineOfTheKey)
{
    struct Case {
        const char* what;
        const char* before;
        const char* section;
        const char* key;
        bool found;
        const char* after;
    } const cases[] = {
        {"one line", "[S]\na=1\nb=2\n", "S", "a", true, "[S]\nb=2\n"},
        {"case of names ignored", "[S]\nKey=1\n", "s", "KEY", true, "[S]\n"},
        {"every occurrence", "[S]\na=1\n[T]\na=9\n[S]\na=2\nc=3\n", "S", "a", true,
         "[S]\n[T]\na=9\n[S]\nc=3\n"},
        {"a line without = is no key", "[S]\na\nb=2\n", "S", "a", false, "[S]\na\nb=2\n"},
        {"comments kept", "[S]\n; a=1\na=1\n", "S", "a", true, "[S]\n; a=1\n"},
        {"no such key", "[S]\nb=2\n", "S", "a", false, "[S]\nb=2\n"},
        {"no such section", "[T]\na=1\n", "S", "a", false, "[T]\na=1\n"},
    };
    for (const Case& c : cases) {
        ProfileFile file = ProfileFile::FromBytes(c.before);
        EXPECT_EQ(file.deleteKey(c.section, c.key), c.found) << c.what;
        EXPECT_EQ(file.bytes(), c.after) << c.what;
    }
}

TEST(ProfileFile, DefaultLineBreakOfANewFile)
{
    ProfileFile file;
    file.setDefaultLineBreak("\n");
    ASSERT_TRUE(file.writeString("S", "k", "v"));
    EXPECT_EQ(file.bytes(), "[S]\nk=v\n");
    ProfileFile crlf = ProfileFile::FromBytes("[S]\r\na=1\r\n");
    crlf.setDefaultLineBreak("\n");   // a file's own line break wins
    ASSERT_TRUE(crlf.writeString("S", "b", "2"));
    EXPECT_EQ(crlf.bytes(), "[S]\r\na=1\r\nb=2\r\n");
}

TEST(ProfileFile, WrittenValuesReadBackUnchanged)
{
    const std::vector<std::string> values = {
        "", " lead", "trail ", "\t", "\"q\"", "'q'", "\"", "\"\"", "a=b", "x ; y", "[x]",
        "\"a'", "\x83", "ab\x83", "\x83\x5D", "C:\\Program Files\\", std::string("nul\0byte", 8)};
    for (const std::string& value : values) {
        for (const char* start : {"", "[S]\nk=old\n", "[S]\nk\n", "[S]\r\n  k = \"old\" \r\n"}) {
            ProfileFile file = ProfileFile::FromBytes(start);
            ASSERT_TRUE(file.writeString("S", "k", value)) << value;
            EXPECT_EQ(file.readString("S", "k", "<default>"), value);
            EXPECT_EQ(ProfileFile::FromBytes(file.bytes()).readString("S", "k", "<default>"), value)
                << file.bytes();
        }
    }
}

TEST(ProfileFile, UnwritableNamesAndValuesAreRefused)
{
    const std::vector<std::vector<std::string>> cases = {
        {"S", "a=b", "v"}, {"S", ";c", "v"}, {"S", "[s]", "v"}, {"S", "", "v"}, {"S", "  ", "v"},
        {"S", "a\nb", "v"}, {"S", "k", "a\nb"}, {"S", "k", "a\rb"}, {"a\nb", "k", "v"},
        {"S\x83", "k", "v"},  // its "]" would become the second byte of a character
        {"S", "[x", "]"},     // the line would read as a section header
    };
    for (const char* start : {"", "[S]\n[x=1\nk=1\n"}) {
        for (const auto& c : cases) {
            ProfileFile file = ProfileFile::FromBytes(start);
            EXPECT_FALSE(file.writeString(c[0], c[1], c[2])) << c[0] << "/" << c[1] << "/" << c[2];
            EXPECT_EQ(file.bytes(), start);
        }
    }
}

// What the settings fuzz target checks: reading every key and writing it back
// gives the same values, also after saving and reading the bytes again.
TEST(ProfileFile, RandomFilesSurviveReadWriteBack)
{
    const std::vector<std::string> tokens = {
        "[", "]", "=", ";", " ", "\t", "\r\n", "\n", "\r", "\"", "'", "a", "B", "k", "S",
        "\x83\x5D", "\x83", "\x41", "\x61", "#", std::string(1, '\0'), "\xEF\xBB\xBF", "\xFC"};
    std::mt19937 random(20240501);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int n = static_cast<int>(random() % 60);
        for (int i = 0; i < n; ++i) text += tokens[random() % tokens.size()];

        ProfileFile file = ProfileFile::FromBytes(text);
        ASSERT_EQ(file.bytes(), text);
        std::vector<std::vector<std::string>> seen;  // section, key, value
        for (const std::string& s : file.sectionNames()) {
            for (const std::string& k : file.keyNames(s)) {
                const std::string v = file.readString(s, k, "d");
                file.writeString(s, k, v);
                seen.push_back({s, k, v});
            }
        }
        const ProfileFile again = ProfileFile::FromBytes(file.bytes());
        for (const auto& e : seen) {
            EXPECT_EQ(file.readString(e[0], e[1], "d"), e[2]) << testing::PrintToString(text);
            EXPECT_EQ(again.readString(e[0], e[1], "d"), e[2]) << testing::PrintToString(text);
        }

        // A random write either reads back or changes nothing.
        const std::string before = file.bytes();
        const std::string key = tokens[random() % tokens.size()] + tokens[random() % tokens.size()];
        const std::string value = tokens[random() % tokens.size()] + "v" + tokens[random() % tokens.size()];
        if (file.writeString("S", key, value)) {
            EXPECT_EQ(ProfileFile::FromBytes(file.bytes()).readString("S", key, "d"), value)
                << testing::PrintToString(text) << " " << testing::PrintToString(key);
        } else {
            EXPECT_EQ(file.bytes(), before);
        }
    }
}

TEST(ProfileFile, MissingFileReadsEmptyAndSaveCreatesIt)
{
    TempDir dir;
    const std::string path = dir.file("sub/folder/replidex.ini");
    ProfileFile file(path);
    EXPECT_FALSE(file.readFailed());
    EXPECT_EQ(file.readString("Config", "PuyoFPath", "none"), "none");
    ASSERT_TRUE(file.writeString("Config", "PuyoFPath", "x"));
    ASSERT_TRUE(file.save());
    EXPECT_EQ(ReadWholeFile(path), "[Config]\r\nPuyoFPath=x\r\n");
    EXPECT_EQ(ProfileFile(path).readString("Config", "PuyoFPath", ""), "x");
    EXPECT_FALSE(ProfileFile().save());  // no path
}

#ifndef _WIN32  // file modes and symbolic links are POSIX's
TEST(ProfileFile, SaveReplacesAtomicallyAndKeepsModeAndLinks)
{
    TempDir dir;
    const std::string real = dir.write("real.ini", kHandEdited);
    ::chmod(real.c_str(), 0640);
    const std::string link = dir.file("link.ini");
    fs::create_symlink("real.ini", link);

    ProfileFile unchanged(link);
    ASSERT_TRUE(unchanged.save());
    EXPECT_EQ(ReadWholeFile(real), kHandEdited);  // load + save changes no byte

    ProfileFile file(link);
    ASSERT_TRUE(file.writeString("Search", "Page", "9"));
    ASSERT_TRUE(file.save());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ProfileFile(real).readInt("Search", "Page", 0), 9);
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 2);  // no temporary file left behind
}
#endif

#ifndef _WIN32  // file modes and symbolic links are POSIX's
TEST(ProfileFile, FileThatCannotBeReadIsNeverReplaced)
{
    TempDir dir;
    // Too large to be a settings file (a sparse file costs no disk).
    const std::string big = dir.write("big.ini", "[Config]\nPuyoFPath=x\n");
    fs::resize_file(big, 17u * 1024 * 1024);
    ProfileFile bigFile(big);
    EXPECT_TRUE(bigFile.readFailed());
    EXPECT_EQ(bigFile.readString("Config", "PuyoFPath", "none"), "none");
    bigFile.writeString("Config", "PuyoFPath", "y");
    EXPECT_FALSE(bigFile.save());
    EXPECT_EQ(fs::file_size(big), 17u * 1024 * 1024);

    // A folder where the file should be.
    fs::create_directory(dir.path() / "folder.ini");
    ProfileFile folder(dir.file("folder.ini"));
    EXPECT_TRUE(folder.readFailed());
    EXPECT_FALSE(folder.save());

    // A parent that is a file: the folder cannot be made.
    dir.write("plain", "x");
    ProfileFile below(dir.file("plain/replidex.ini"));
    below.writeString("A", "k", "v");
    EXPECT_FALSE(below.save());

    if (::geteuid() != 0) {  // root reads everything
        const std::string locked = dir.write("locked.ini", "[A]\nk=v\n");
        ::chmod(locked.c_str(), 0);
        ProfileFile file(locked);
        EXPECT_TRUE(file.readFailed());
        EXPECT_FALSE(file.save());
        ::chmod(locked.c_str(), 0600);
        EXPECT_EQ(ReadWholeFile(locked), "[A]\nk=v\n");
    }
}
#endif

}  // namespace
}  // namespace replidex
