// replidex-cli over things that are no regular files and files too large to
// be lists, and under a file-size limit: every command answers at once with
// a reason and exit status 1, nothing is written over, nothing left behind.
// Each run has a time limit, so that a command which waits fails its case.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/file/NativeFiles.h"
#include "core/list/ListFile.h"
#include "support/CliRunner.h"
#include "support/ListGenerator.h"
#include "support/NonRegularNodes.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;
using test::MakeSpecialNode;
using test::ShellQuote;
using test::SpecialNode;
using test::TempDir;

#ifdef _WIN32
const char* const kTimeLimit = "";
const std::string kNoInput = " <NUL";
#else
const char* const kTimeLimit = "timeout 30";
const std::string kNoInput = " </dev/null";
#endif

std::string Reason(std::errc error)
{
    return FileErrorText(std::make_error_code(error));
}

const std::string kNotFile = FileErrorText(NotRegularFileError());

// A list file, and the JSON document dump prints of it.
std::string WriteList(const TempDir& dir, int entries, std::string& json)
{
    ReplayDocument doc;
    doc.root = doc.addTopLevel("Root");
    for (int i = 0; i < entries; ++i)
        test::AddEntry(doc, *doc.root, "/r/" + std::to_string(i) + "/", "REPLAY00.RPD");
    const std::string list = dir.file("good.rdx");
    EXPECT_TRUE(SaveListFileNative(list, doc));
    const test::CliResult dump = test::RunCliCommandLine("dump " + ShellQuote(list));
    json = dir.write("good.json", dump.out);
    return list;
}

TEST(CliNonRegularFiles, EveryCommandRefusesWhatIsNoRegularFile)
{
    TempDir dir;
    std::string json;
    WriteList(dir, 2, json);
    struct Case {
        SpecialNode node;
        std::string reason;
    };
    const std::vector<Case> nodes = {
        {SpecialNode::Fifo, kNotFile},
        {SpecialNode::LinkToZero, kNotFile},
        {SpecialNode::Folder, Reason(std::errc::is_a_directory)},
        {SpecialNode::HugeList, Reason(std::errc::file_too_large)},
        {SpecialNode::HugeOtherVersion, ""},   // told as another version
    };
    for (const Case& c : nodes) {
        const std::string node = dir.file("node-" + std::to_string(static_cast<int>(c.node)));
        if (!MakeSpecialNode(node, c.node)) continue;   // not on this system
        const std::string q = ShellQuote(node);
        std::vector<std::string> commands = {"dump " + q, "search " + q + " --name x",
                                             "add " + q + " " + ShellQuote(dir.file("r.RPD"))};
        // build reads the whole document, so a file too large to be a list
        // is still a document it would read.
        if (c.node != SpecialNode::HugeList && c.node != SpecialNode::HugeOtherVersion)
            commands.push_back("build " + q + " " + ShellQuote(dir.file("out.rdx")));
        // analyse takes a folder as the replays below it.
        if (c.node == SpecialNode::Fifo || c.node == SpecialNode::LinkToZero) commands.push_back("analyse " + q);
        for (const std::string& command : commands) {
            SCOPED_TRACE(std::string(NameOf(c.node)) + ": " + command);
            const test::CliResult r = test::RunCliCommandLine(command + kNoInput, {}, kTimeLimit);
            EXPECT_EQ(r.status, 1) << r.err;
            const std::string expected = c.reason.empty() ? "ersion" : c.reason;   // "Version", "version"
            EXPECT_NE(r.err.find(expected), std::string::npos) << r.err;
        }
    }
    EXPECT_FALSE(fs::exists(dir.file("out.rdx")));
}

TEST(CliNonRegularFiles, BuildNeverWritesOverWhatIsNoRegularFile)
{
    TempDir dir;
    std::string json;
    WriteList(dir, 2, json);
    for (const SpecialNode node : {SpecialNode::Fifo, SpecialNode::TempDevice, SpecialNode::LinkToTempNode,
                                   SpecialNode::Folder}) {
        SCOPED_TRACE(NameOf(node));
        const std::string target = dir.file("target-" + std::to_string(static_cast<int>(node)));
        if (!MakeSpecialNode(target, node)) continue;   // not on this system
        const fs::file_type before = fs::status(FsPath(target)).type();
        const test::CliResult r = test::RunCliCommandLine(
            "build " + ShellQuote(json) + " " + ShellQuote(target) + kNoInput, {}, kTimeLimit);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
        EXPECT_EQ(fs::status(FsPath(target)).type(), before);
    }
}

#ifndef _WIN32
TEST(CliNonRegularFiles, StandardInputOfZerosEndsAtOnce)
{
    TempDir dir;
    const test::CliResult r = test::RunCliCommandLine(
        "build - " + ShellQuote(dir.file("out.rdx")) + " </dev/zero", {}, kTimeLimit);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("NUL byte"), std::string::npos) << r.err;
}

TEST(CliNonRegularFiles, AFileSizeLimitIsAFailedWriteWithItsReason)
{
    TempDir dir;
    std::string json;
    const std::string list = WriteList(dir, 1000, json);
    ASSERT_GT(fs::file_size(list), 16u * 1024u);
    for (const std::string& command :
         {"build " + ShellQuote(json) + " " + ShellQuote(dir.file("out.rdx")),
          "add " + ShellQuote(list) + " --into new " + ShellQuote(dir.file("r.RPD"))}) {
        SCOPED_TRACE(command);
        // 16 blocks of 512 or 1024 bytes, as the shell counts them.
        const test::CliResult r = test::RunCliCommandLine(command + kNoInput, {}, "ulimit -f 16;");
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find(Reason(std::errc::file_too_large)), std::string::npos) << r.err;
    }
    // The old list is whole; no temporary file is left.
    ReplayDocument doc;
    EXPECT_EQ(OpenListFileNative(list, doc), ListOpenResult::Opened);
    EXPECT_EQ(doc.pool.size(), 1000);
    for (const auto& item : fs::directory_iterator(dir.path()))
        EXPECT_EQ(item.path().filename().string().find(".tmp-"), std::string::npos) << item.path();
}
#endif

}  // namespace
}  // namespace replidex
