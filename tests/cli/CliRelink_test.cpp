// replidex-cli index, relink and dups, run as the real program over replay
// files and lists written here, with a content index of the test's own.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/file/NativeFiles.h"
#include "core/list/EntryLocations.h"
#include "core/list/ListFile.h"
#include "core/replay/FileTime.h"
#include "core/replay/ReplayFileReader.h"
#include "core/text/SjisCodec.h"
#include "support/CliRunner.h"
#include "support/ListGenerator.h"
#include "support/ReplayFileBuilder.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using test::RunCli;
using test::SplitLines;

std::string Net(int wins, std::uint64_t seed)
{
    test::ReplayDescription d = test::NetMatchDescription();
    d.p1.wins = static_cast<std::uint32_t>(wins);
    d.paddingSeed = seed;
    return test::BuildReplay(d).bytes;
}

std::string Offline(std::uint64_t seed)
{
    test::ReplayDescription d = test::OfflineDescription(true);
    d.paddingSeed = seed;
    return test::BuildReplay(d).bytes;
}

void SetEnvironment(const char* name, const std::string& value)
{
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    ::setenv(name, value.c_str(), 1);
#endif
}

#ifdef _WIN32
constexpr const char* kIndexHome = "APPDATA";
#else
constexpr const char* kIndexHome = "XDG_DATA_HOME";
#endif

std::vector<json> JsonLines(const std::string& out)
{
    std::vector<json> lines;
    for (const std::string& line : SplitLines(out)) lines.push_back(json::parse(line));
    return lines;
}

// Replay files in a temporary folder, a list of them, and the content index
// in a data folder of the test's own.
class CliRelink : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* old = std::getenv(kIndexHome);
        if (old) savedHome = old;
        SetEnvironment(kIndexHome, dir.file("data"));
        doc->root = doc->addTopLevel("Root");
        listPath = dir.file("list.rdx");
    }
    void TearDown() override { SetEnvironment(kIndexHome, savedHome.value_or("")); }

    std::string write(const std::string& name, const std::string& bytes, int secondsAgo) const
    {
        const std::string path = dir.write(name, bytes);
        fs::last_write_time(FsPath(path), fs::file_time_type::clock::now() - std::chrono::seconds(secondsAgo));
        return path;
    }
    // An entry for the file at `name`, analysed as an add would.
    ReplayEntry* list(const std::string& name, ReplayFolder* folder = nullptr)
    {
        std::string sjis, sjisName;
        EXPECT_TRUE(SjisFromNativePath(dir.file(name), sjis));
        Utf8ToCp932(NativePathOf(FsPath(dir.file(name)).filename()), sjisName);
        ReplayEntry* e = test::AddEntry(*doc, folder ? *folder : *doc->root,
                                        sjis.substr(0, sjis.size() - sjisName.size()), sjisName, FileAgeOf(sjis));
        e->kind = kReplayEntryKind;
        e->info.emplace();
        AnalyseReplay(sjis, *e->info);
        return e;
    }
    void save() const { ASSERT_TRUE(SaveListFileNative(listPath, *doc)); }
    void move(const std::string& from, const std::string& to) const
    {
        fs::create_directories(FsPath(dir.file(to)).parent_path());
        fs::rename(FsPath(dir.file(from)), FsPath(dir.file(to)));
    }
    void copyLosingTime(const std::string& from, const std::string& to) const
    {
        write(to, test::ReadWholeFile(dir.file(from)), 0);
        fs::remove(FsPath(dir.file(from)));
    }
    std::vector<json> run(std::vector<std::string> args, int status = 0) const
    {
        const test::CliResult r = RunCli(args);
        EXPECT_EQ(r.status, status) << r.err;
        return JsonLines(r.out);
    }

    test::TempDir dir;
    std::optional<std::string> savedHome;
    std::unique_ptr<ReplayDocument> doc = std::make_unique<ReplayDocument>();
    std::string listPath;
};

struct Proposal {
    int tier = 0;
    bool ticked = false;
    std::string found;
    friend bool operator==(const Proposal&, const Proposal&) = default;
};
std::ostream& operator<<(std::ostream& out, const Proposal& p)
{
    return out << "tier " << p.tier << (p.ticked ? " ticked " : " unticked ") << p.found;
}

// The proposal lines of a relink run by the entry's old path; the summary last.
std::map<std::string, Proposal> ProposalsByEntry(const std::vector<json>& lines)
{
    std::map<std::string, Proposal> out;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        const json& l = lines[i];
        out[l["entry"]["path"].get<std::string>()] = {l["tier"].get<int>(), l["ticked"].get<bool>(),
                                                      l["found"].get<std::string>()};
    }
    return out;
}

// The moves of one scenario run: the entries as listed, where their files went.
struct Moves : CliRelink {
    void SetUp() override
    {
        CliRelink::SetUp();
        // Listed and recorded while present.
        write("old/a.RPD", Net(1, 1), 100);
        write("old/e.RPD", Net(5, 5), 500);
        write("old/g.RPD", Net(7, 7), 700);
        write("kept/f.RPD", Net(6, 6), 600);
        for (const char* name : {"old/a.RPD", "old/e.RPD", "old/g.RPD", "kept/f.RPD"}) list(name);
        save();
        const auto indexed = run({"index", listPath});
        EXPECT_EQ(indexed.back()["recorded"], 4);
        EXPECT_EQ(indexed.back()["bytesRead"], 4 * Net(1, 1).size());
        const auto again = run({"index", listPath});
        EXPECT_EQ(again.back()["recorded"], 0);
        EXPECT_EQ(again.back()["bytesRead"], 0);

        // Listed later, never recorded.
        write("old/b.RPD", Net(2, 2), 200);
        write("old/c.RPD", Net(3, 3), 300);
        write("old/d.RPD", Offline(4), 400);
        for (const char* name : {"old/b.RPD", "old/c.RPD", "old/d.RPD"}) list(name);
        save();

        move("old/a.RPD", "new/sub/a.RPD");           // tier 1
        move("old/b.RPD", "new/REPLAY07.RPD");        // renamed: tier 2
        copyLosingTime("old/c.RPD", "new/c.RPD");     // net match: tier 3, not ticked
        copyLosingTime("old/d.RPD", "new/d.RPD");     // offline: nothing
        copyLosingTime("old/e.RPD", "new/e.RPD");     // recorded: tier 1 all the same
        // Two copies of g: the one with g's own name wins over the shorter path.
        write("new/deep/er/g.RPD", test::ReadWholeFile(dir.file("old/g.RPD")), 0);
        move("old/g.RPD", "new/x.RPD");
    }
    std::string old(const char* name) const { return dir.file(std::string("old/") + name); }
};

TEST_F(Moves, EachEntryGetsItsTierAndItsFile)
{
    const auto lines = run({"relink", listPath, dir.file("new")});
    const std::map<std::string, Proposal> expected = {
        {old("a.RPD"), {1, true, dir.file("new/sub/a.RPD")}},
        {old("b.RPD"), {2, true, dir.file("new/REPLAY07.RPD")}},
        {old("c.RPD"), {3, false, dir.file("new/c.RPD")}},
        {old("e.RPD"), {1, true, dir.file("new/e.RPD")}},
        {old("g.RPD"), {1, true, dir.file("new/deep/er/g.RPD")}},
    };
    EXPECT_EQ(ProposalsByEntry(lines), expected);
    const json& summary = lines.back();
    EXPECT_EQ(summary["missing"], 6);
    EXPECT_EQ(summary["proposals"], 5);
    EXPECT_EQ(summary["ticked"], 4);
    EXPECT_EQ(summary["written"], 0);
    EXPECT_TRUE(summary["bytesRead"].is_number_unsigned());
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i]["entry"]["folder"], "");
}

TEST_F(Moves, TiersChooseWhatIsLookedFor)
{
    // Without tier 1 the recorded files are found by their facts: g by the
    // moved file with its time (tier 2), e and g by copies (tier 3).
    const struct {
        const char* tiers;
        std::map<std::string, int> tierOf;
        int analysed;   // files whose time is a missing entry's; every file for tier 3
    } kCases[] = {
        {"1", {{old("a.RPD"), 1}, {old("e.RPD"), 1}, {old("g.RPD"), 1}}, 0},
        {"2", {{old("a.RPD"), 2}, {old("b.RPD"), 2}, {old("g.RPD"), 2}}, 3},
        {"3", {{old("c.RPD"), 3}, {old("e.RPD"), 3}, {old("g.RPD"), 3}}, 7},
        {"2,3", {{old("a.RPD"), 2}, {old("b.RPD"), 2}, {old("c.RPD"), 3}, {old("e.RPD"), 3}, {old("g.RPD"), 2}}, 7},
        {"1,2,3", {{old("a.RPD"), 1}, {old("b.RPD"), 2}, {old("c.RPD"), 3}, {old("e.RPD"), 1}, {old("g.RPD"), 1}}, 7},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.tiers);
        const auto lines = run({"relink", listPath, dir.file("new"), "--tiers", c.tiers});
        std::map<std::string, int> tierOf;
        for (const auto& [path, p] : ProposalsByEntry(lines)) tierOf[path] = p.tier;
        EXPECT_EQ(tierOf, c.tierOf);
        EXPECT_EQ(lines.back()["analysed"], c.analysed);
        // Only tier 1 hashes, and only files of a recorded size.
        if (std::string(c.tiers).find('1') == std::string::npos) EXPECT_EQ(lines.back()["hashed"], 0);
        else EXPECT_GE(lines.back()["bytesRead"].get<std::uint64_t>(),
                       lines.back()["hashed"].get<std::uint64_t>() * Net(1, 1).size());
    }
}

TEST_F(Moves, WriteSavesTheTickedOnesOnlyAndLeavesTheFilesAlone)
{
    const std::string listBytes = test::ReadWholeFile(listPath);
    const std::string out = dir.file("out.rdx");
    std::map<std::string, std::string> filesBefore;
    for (const auto& item : fs::recursive_directory_iterator(dir.file("new")))
        if (item.is_regular_file()) filesBefore[item.path().string()] = test::ReadWholeFile(item.path().string());

    const auto lines = run({"relink", listPath, dir.file("new"), "--write", out});
    EXPECT_EQ(lines.back()["written"], 4);
    EXPECT_EQ(test::ReadWholeFile(listPath), listBytes);
    ReplayDocument written;
    ASSERT_EQ(OpenListFileNative(out, written), ListOpenResult::Opened);
    std::map<std::string, std::string> paths;   // file name as listed -> path now
    written.pool.forEach([&](const ReplayEntry& e) { paths[e.fileName] = Cp932ToUtf8Lossy(e.fullPath()); });
    const std::map<std::string, std::string> expected = {
        {"a.RPD", dir.file("new/sub/a.RPD")}, {"REPLAY07.RPD", dir.file("new/REPLAY07.RPD")},
        {"c.RPD", old("c.RPD")},              {"d.RPD", old("d.RPD")},
        {"e.RPD", dir.file("new/e.RPD")},     {"g.RPD", dir.file("new/deep/er/g.RPD")},
        {"f.RPD", dir.file("kept/f.RPD")},
    };
    EXPECT_EQ(paths, expected);
    // Only tier 3 takes the found file's time: e and g, found by their
    // recorded content in copies made later, show as changed.
    const std::map<std::string, int> expectedStates = {
        {"a.RPD", kStateUnchanged}, {"REPLAY07.RPD", kStateUnchanged}, {"c.RPD", kStateMissing},
        {"d.RPD", kStateMissing},   {"e.RPD", kStateChanged},          {"g.RPD", kStateChanged},
        {"f.RPD", kStateUnchanged},
    };
    std::map<std::string, int> states;
    written.pool.forEach([&](const ReplayEntry& e) { states[e.fileName] = EntryState(e); });
    EXPECT_EQ(states, expectedStates);
    std::map<std::string, std::string> filesAfter;
    for (const auto& item : fs::recursive_directory_iterator(dir.file("new")))
        if (item.is_regular_file()) filesAfter[item.path().string()] = test::ReadWholeFile(item.path().string());
    EXPECT_EQ(filesAfter, filesBefore);

    // The relinked records moved with their entries: the written list needs no new hashing.
    SetEnvironment(kIndexHome, dir.file("data"));
    const auto indexed = run({"index", out});
    EXPECT_EQ(indexed.back()["recorded"], 1);   // REPLAY07.RPD, found by its facts
    EXPECT_EQ(indexed.back()["unrecorded"], 3);   // and the missing c and d
    EXPECT_EQ(indexed.back()["skipped"], 2);
}

// DIR given relative to where the command runs: what is found goes into the
// list (and the content index) by its absolute path.
TEST_F(Moves, ARelativeFolderIsWrittenByAbsolutePaths)
{
    const test::CliResult r = test::RunCliCommandLine(
        "relink " + test::ShellQuote(listPath) + " new --tiers 1 --write out.rdx", dir.path().string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(test::JsonEscaped(dir.file("new/sub/a.RPD"))), std::string::npos) << r.out;
    ReplayDocument written;
    ASSERT_EQ(OpenListFileNative(dir.file("out.rdx"), written), ListOpenResult::Opened);
    std::map<std::string, std::string> paths;
    written.pool.forEach([&](const ReplayEntry& e) { paths[e.fileName] = Cp932ToUtf8Lossy(e.fullPath()); });
    EXPECT_EQ(paths["a.RPD"], dir.file("new/sub/a.RPD"));
}

#ifndef _WIN32
TEST_F(Moves, AWriteThatFailsLeavesTheOldOutputWhole)
{
    // An output list large enough that a file-size limit cuts its write.
    ReplayDocument big;
    big.root = big.addTopLevel("Root");
    for (int i = 0; i < 1000; ++i) test::AddEntry(big, *big.root, "/elsewhere/far/away/", "f" + std::to_string(i) + ".RPD");
    const std::string out = dir.file("out.rdx");
    ASSERT_TRUE(SaveListFileNative(out, big));
    for (int i = 0; i < 1000; ++i) test::AddEntry(*doc, *doc->root, "/elsewhere/far/away/", "g" + std::to_string(i) + ".RPD");
    save();
    ASSERT_GT(fs::file_size(FsPath(listPath)), 16u * 1024u);
    const std::string before = test::ReadWholeFile(out);

    const test::CliResult r = test::RunCliCommandLine(
        "relink " + test::ShellQuote(listPath) + " " + test::ShellQuote(dir.file("new")) + " --write " +
            test::ShellQuote(out) + " </dev/null",
        {}, "ulimit -f 16;");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("out.rdx"), std::string::npos) << r.err;
    EXPECT_EQ(test::ReadWholeFile(out), before);
    for (const auto& item : fs::directory_iterator(dir.path()))
        EXPECT_EQ(item.path().filename().string().find(".tmp-"), std::string::npos) << item.path();
}
#endif

TEST_F(CliRelink, RefusesWhatItCannotDo)
{
    save();
    const struct {
        std::vector<std::string> args;
        int status;
    } kCases[] = {
        {{"relink", listPath, dir.path().string(), "--tiers", "4"}, 2},
        {{"relink", listPath, dir.path().string(), "--tiers", "1,,2"}, 2},
        {{"relink", listPath}, 2},
        {{"relink", listPath, dir.file("no-such-folder")}, 1},
        {{"relink", dir.file("none.rdx"), dir.path().string()}, 1},
        {{"dups", dir.file("none.rdx")}, 1},
        {{"dups", listPath, "--unknown"}, 2},
        {{"index", dir.file("none.rdx")}, 1},
        {{"index"}, 2},
    };
    for (const auto& c : kCases) {
        const test::CliResult r = RunCli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back() << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

// The folder and path of each entry of a dups group, as a set, and in the
// order printed.
using EntryKey = std::pair<std::string, std::string>;   // folder, path
using Group = std::set<EntryKey>;
EntryKey Key(const json& entry)
{
    return {entry["folder"].get<std::string>(), entry["path"].get<std::string>()};
}

TEST_F(CliRelink, DupsContentGroupsEqualAGroupingByWholeBytes)
{
    for (const std::uint64_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        std::mt19937_64 rng(seed);
        doc->clear();
        doc->root = doc->addTopLevel("Root");
        ReplayFolder* sub = doc->root->addChild(Sjis("下"));
        std::map<std::string, std::set<std::string>> pathsByBytes;   // the digest-then-cmp grouping
        std::map<std::size_t, int> sizeCount;
        std::map<std::string, std::set<EntryKey>> entriesByPath;
        const std::string folder = "s" + std::to_string(seed) + "/";
        for (int i = 0; i < 60; ++i) {
            std::string bytes(200 + 7 * (rng() % 5), 'x');
            bytes[rng() % bytes.size()] = static_cast<char>('a' + rng() % 3);
            if (rng() % 4 == 0) bytes += std::string(1000 + i, 'u');            // a size of its own
            if (rng() % 6 == 0) bytes.back() = static_cast<char>('0' + rng() % 2);   // differs at the end only
            const std::string name = folder + "f" + std::to_string(i) + (i % 2 ? ".RPD" : ".dat");
            const std::string path = write(name, bytes, 100);
            pathsByBytes[bytes].insert(path);
            ++sizeCount[bytes.size()];
            ReplayEntry* e = list(name);
            entriesByPath[path].insert({"", Cp932ToUtf8Lossy(e->fullPath())});
            if (rng() % 8 == 0) {   // listed twice: a path group as well
                list(name, sub);
                entriesByPath[path].insert({"下", path});
            }
        }
        save();
        std::set<Group> expectedContent, expectedPath;
        std::uint64_t sharedSizeBytes = 0;
        for (const auto& [bytes, paths] : pathsByBytes) {
            if (sizeCount[bytes.size()] > 1) sharedSizeBytes += bytes.size() * paths.size();
            if (paths.size() < 2) continue;
            Group g;
            for (const std::string& p : paths) g.insert(entriesByPath[p].begin(), entriesByPath[p].end());
            expectedContent.insert(g);
        }
        for (const auto& [path, entries] : entriesByPath)
            if (entries.size() > 1) expectedPath.insert(Group(entries.begin(), entries.end()));

        const auto lines = run({"dups", listPath, "--content"});
        std::set<Group> content, paths;
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
            Group g;
            for (const json& e : lines[i]["entries"]) g.insert(Key(e));
            (lines[i]["kind"] == "content" ? content : paths).insert(g);
            EXPECT_EQ(g.size(), lines[i]["entries"].size());
        }
        EXPECT_EQ(content, expectedContent);
        EXPECT_EQ(paths, expectedPath);
        const json& summary = lines.back();
        EXPECT_EQ(summary["groups"], lines.size() - 1);
        // Hashing and comparing read files of shared sizes only, each at most twice.
        EXPECT_LE(summary["bytesRead"].get<std::uint64_t>(), 2 * sharedSizeBytes);

        const auto plain = run({"dups", listPath});
        EXPECT_EQ(plain.back()["bytesRead"], 0);
        EXPECT_EQ(plain.size(), expectedPath.size() + 1);
    }
}

TEST_F(CliRelink, DupsReadsNoFileOfAUniqueSize)
{
    for (int i = 0; i < 20; ++i) {
        write("u/" + std::to_string(i) + ".RPD", std::string(100 + i, 'z'), 100);
        list("u/" + std::to_string(i) + ".RPD");
    }
    save();
    const auto lines = run({"dups", listPath, "--content"});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["bytesRead"], 0);
    EXPECT_EQ(lines[0]["hashed"], 0);
    EXPECT_EQ(lines[0]["groups"], 0);
}

TEST_F(CliRelink, DupsGroupsInPoolSlotOrder)
{
    // Two net matches with equal facts in different files, an offline pair
    // with equal facts (never a match group), a path listed in two folders.
    ReplayFolder* cup = doc->root->addChild("cup");
    write("m/one.RPD", Net(1, 1), 100);
    write("m/two.RPD", Net(1, 2), 200);
    write("m/off1.RPD", Offline(1), 100);
    write("m/off2.RPD", Offline(2), 100);
    list("m/one.RPD", cup);
    list("m/off1.RPD");
    list("m/two.RPD");
    list("m/off2.RPD", cup);
    list("m/one.RPD");
    save();
    ReplayDocument opened;   // the slots the program sees
    ASSERT_EQ(OpenListFileNative(listPath, opened), ListOpenResult::Opened);
    const auto folders = FoldersOfEntries(opened);
    std::map<EntryKey, std::int32_t> slotOf;
    opened.pool.forEach([&](const ReplayEntry& e) {
        slotOf[{Cp932ToUtf8Lossy(ListFolderPath(opened, folders.at(e.poolIndex))), Cp932ToUtf8Lossy(e.fullPath())}] =
            e.poolIndex;
    });

    const auto lines = run({"dups", listPath, "--same-match"});
    ASSERT_EQ(lines.size(), 3u);
    std::vector<std::string> kinds;
    std::int32_t lastFirst = -1;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        kinds.push_back(lines[i]["kind"]);
        std::int32_t last = -1;
        for (const json& e : lines[i]["entries"]) {
            const std::int32_t slot = slotOf.at(Key(e));
            EXPECT_GT(slot, last);
            last = slot;
        }
        const std::int32_t first = slotOf.at(Key(lines[i]["entries"][0]));
        EXPECT_GE(first, lastFirst);
        lastFirst = first;
    }
    std::sort(kinds.begin(), kinds.end());
    EXPECT_EQ(kinds, (std::vector<std::string>{"match", "path"}));
    EXPECT_EQ(lines.back()["entries"], 5);   // one, one again; one, two, one again
    EXPECT_EQ(lines.back()["bytesRead"], 0);
}

}  // namespace
}  // namespace replidex
