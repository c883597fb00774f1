// Replays every input that a fuzz target once failed on (tests/fuzz-regressions/
// <target>/), through the same checks the fuzz target runs. A body aborts the
// test program when an invariant breaks.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fuzz/FuzzBodies.h"
#include "support/TempDir.h"

namespace replidex::test {
namespace {

using Body = void (*)(const std::uint8_t*, std::size_t);

int ReplayAll(const std::string& target, Body body)
{
    const std::filesystem::path dir = std::filesystem::path(REPLIDEX_FUZZ_REGRESSIONS) / target;
    int count = 0;
    for (const auto& item : std::filesystem::directory_iterator(dir)) {
        if (!item.is_regular_file()) continue;
        const std::string bytes = ReadWholeFile(item.path().string());
        SCOPED_TRACE(item.path().string());
        body(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++count;
    }
    return count;
}

TEST(FuzzRegression, ReplayFiles) { ReplayAll("replay", fuzz::ReplayFileBody); }
TEST(FuzzRegression, ListFiles) { EXPECT_GT(ReplayAll("listfile", fuzz::ListFileBody), 0); }
TEST(FuzzRegression, SettingsFiles) { ReplayAll("settings", fuzz::SettingsFileBody); }
TEST(FuzzRegression, QueryLines) { EXPECT_GT(ReplayAll("query", fuzz::QueryLineBody), 0); }
TEST(FuzzRegression, ContentIndexes) { ReplayAll("contentindex", fuzz::ContentIndexBody); }

}  // namespace
}  // namespace replidex::test
