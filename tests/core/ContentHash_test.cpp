// Content hashes: the published XXH3 values, files hashed (whole or block by
// block) equal to their bytes hashed in memory, and the byte comparison behind "same".
#include <gtest/gtest.h>

#include <string>

#include "core/file/ContentHash.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

using test::TempDir;

TEST(ContentHash, KnownValuesAndTextRoundTrip)
{
    EXPECT_EQ(ContentHash64(""), 0x2D06800538D394C2ull);
    EXPECT_EQ(HashText(ContentHash128("")), "99aa06d3014798d86001c324468d497f");
    const Hash128 h = ContentHash128("replay");
    EXPECT_EQ(ParseHash128(HashText(h)), h);
    EXPECT_EQ(ParseHash64(HashText(ContentHash64("replay"))), ContentHash64("replay"));
    for (const char* bad : {"", "123", "2d06800538d394cz", "2d06800538d394c2 "}) {
        EXPECT_FALSE(ParseHash64(bad)) << bad;
        EXPECT_FALSE(ParseHash128(bad)) << bad;
    }
}

TEST(ContentHash, FilesAreHashedAndComparedByTheirBytes)
{
    TempDir dir;
    // Empty, small (read whole in one call) and larger than the largest read
    // (read in blocks, with the last one short or, at an exact multiple, full).
    for (const std::size_t size : {std::size_t{0}, std::size_t{200 * 1024 + 7}, std::size_t{(1 << 20) - 1},
                                   std::size_t{2 << 20}, std::size_t{(3 << 20) + 5}}) {
        SCOPED_TRACE(size);
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31 % 251);
        const std::string a = dir.write("a.RPD", bytes);
        const std::string b = dir.write("b.RPD", bytes);
        const std::string longer = dir.write("d.RPD", bytes + "x");

        std::uint64_t read = 0;
        EXPECT_EQ(FileContentHash64(a, &read), ContentHash64(bytes));
        EXPECT_EQ(read, bytes.size());
        EXPECT_EQ(FileContentHash128(a), ContentHash128(bytes));
        read = 0;
        EXPECT_TRUE(SameFileContent(a, b, &read));
        EXPECT_EQ(read, 2 * bytes.size());
        EXPECT_FALSE(SameFileContent(a, longer));
        EXPECT_FALSE(SameFileContent(longer, a));
        if (size == 0) continue;
        for (const std::size_t at : {std::size_t{0}, size / 2, size - 1}) {
            std::string changed = bytes;
            changed[at] ^= 1;
            const std::string c = dir.write("c.RPD", changed);
            EXPECT_FALSE(SameFileContent(a, c)) << at;
            EXPECT_NE(FileContentHash128(c), FileContentHash128(a)) << at;
        }
    }
    const std::string a = dir.write("a.RPD", "bytes");
    EXPECT_FALSE(FileContentHash64(dir.file("missing.RPD")));
    EXPECT_FALSE(FileContentHash128(dir.path().string()));   // a folder
    EXPECT_FALSE(SameFileContent(a, dir.file("missing.RPD")));
    std::uint64_t read = 0;
    EXPECT_FALSE(SameFileContent(a, dir.write("e.RPD", "other bytes"), &read));
    EXPECT_EQ(read, 0u);   // sizes differ: nothing read
}

TEST(ContentHash, AFileHoldsGivenBytesOnlyWhenEveryByteIsEqual)
{
    TempDir dir;
    std::string bytes(200 * 1024 + 7, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31 % 251);
    std::string tail = bytes;
    tail.back() ^= 1;
    std::string early = bytes;
    early[10] ^= 1;   // inside the first block compared
    const std::string a = dir.write("a.RPD", bytes);
    const std::string c = dir.write("c.RPD", tail);
    const std::string shorter = dir.write("d.RPD", bytes.substr(0, bytes.size() - 1));
    const std::string empty = dir.write("e.RPD", "");
    const struct {
        std::string path;
        std::string_view bytes;
        bool holds;
    } cases[] = {
        {a, bytes, true},          {c, bytes, false},        {a, early, false},
        {shorter, bytes, false},   {a, std::string_view(bytes).substr(1), false},
        {empty, "", true},         {dir.file("missing.RPD"), "", false},
        {dir.path().string(), "", false},
    };
    for (const auto& t : cases) EXPECT_EQ(FileHoldsBytes(t.path, t.bytes), t.holds) << t.path << " " << t.bytes.size();
}

}  // namespace
}  // namespace replidex
