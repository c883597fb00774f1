// Things in the file system that are no regular files (FIFOs, devices,
// folders, links to devices) and files too large to be lists, against every
// reader of outside files and every writer of lists and settings: nothing
// waits, nothing reads without end, nothing is written over. Each case runs
// in a child with an alarm, so that a reader which waits fails its case
// instead of hanging the suite.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/file/NativeFiles.h"
#include "core/list/ListFile.h"
#include "core/replay/ReplayFileReader.h"
#include "core/settings/ProfileFile.h"
#include "support/NonRegularNodes.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;
using test::InChildWithAlarm;
using test::MakeSpecialNode;
using test::SpecialNode;
using test::TempDir;

std::string Reason(const std::error_code& why)
{
    return why ? ": " + FileErrorText(why) : "";
}

const std::string kNotFile = Reason(NotRegularFileError());
const std::string kFolder = Reason(std::make_error_code(std::errc::is_a_directory));
const std::string kTooLarge = Reason(std::make_error_code(std::errc::file_too_large));

std::string OpenList(const std::string& path)
{
    ReplayDocument doc;
    doc.root = doc.addTopLevel("Kept");
    std::error_code why;
    switch (OpenListFileNative(path, doc, &why)) {
    case ListOpenResult::CannotOpen:
        return std::string(doc.root && doc.root->name == "Kept" ? "untouched" : "changed") + Reason(why);
    case ListOpenResult::OtherVersion: return doc.topLevel.empty() ? "other version" : "other version, kept";
    case ListOpenResult::PoolFull: return "pool full";
    case ListOpenResult::Opened: return "opened";
    }
    return "?";
}

std::string Analyse(const std::string& path)
{
    ReplayInfo info;
    const int result = AnalyseReplayAtNativePath(path, info);
    return std::to_string(result) + " error " + std::to_string(info.p1.wins);
}

TEST(NonRegularFiles, ReadersTakeOnlyRegularFilesOfAPossibleSize)
{
    struct Case {
        SpecialNode node;
        bool regular;
        std::string list, replay;   // replay: empty when not asked
    };
    const std::vector<Case> cases = {
        {SpecialNode::Fifo, false, "untouched" + kNotFile, "-1 error 1"},
        {SpecialNode::LinkToZero, false, "untouched" + kNotFile, "-1 error 1"},
        {SpecialNode::Folder, false, "untouched" + kFolder, "-1 error 1"},
        // Read only as far as the version: emptied as for any other version.
        {SpecialNode::HugeOtherVersion, true, "other version", ""},
        {SpecialNode::HugeList, true, "untouched" + kTooLarge, ""},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(NameOf(c.node));
        const std::string path = dir.file("read-" + std::to_string(static_cast<int>(c.node)));
        if (!MakeSpecialNode(path, c.node)) continue;   // not on this system
        EXPECT_EQ(InChildWithAlarm([&] { return OpenList(path); }), c.list);
        if (!c.replay.empty()) {
            EXPECT_EQ(InChildWithAlarm([&] { return Analyse(path); }), c.replay);
        }
        // Settings: the file there is kept, never read nor replaced.
        EXPECT_EQ(InChildWithAlarm([&] { return ProfileFile(path).readFailed() ? "kept" : "read"; }), "kept");
        EXPECT_EQ(InChildWithAlarm([&] {
                      ReadOnlyFile file;
                      return file.open(path) == ReadOnlyFile::OpenResult::Opened ? "opened" : "refused";
                  }),
                  c.regular ? "opened" : "refused");
    }
}

fs::file_type TypeAt(const std::string& path)
{
    std::error_code ec;
    return fs::status(FsPath(path), ec).type();   // through a link: what it names
}

TEST(NonRegularFiles, SavesNeverWriteOverWhatIsNoRegularFile)
{
    const std::vector<std::pair<SpecialNode, std::string>> cases = {
        {SpecialNode::Fifo, kNotFile},
        {SpecialNode::TempDevice, kNotFile},
        {SpecialNode::Folder, kFolder},
        {SpecialNode::LinkToTempNode, kNotFile},
    };
    TempDir dir;
    ReplayDocument doc;
    doc.root = doc.addTopLevel("Root");
    for (const auto& [node, reason] : cases) {
        SCOPED_TRACE(NameOf(node));
        const std::string path = dir.file("write-" + std::to_string(static_cast<int>(node)) + ".rdx");
        // The settings file was not there yet when it was read.
        ProfileFile settings(path);
        ASSERT_TRUE(settings.writeString("Config", "Key", "value"));
        if (!MakeSpecialNode(path, node)) continue;   // not on this system
        const fs::file_type before = TypeAt(path);

        std::error_code why;
        EXPECT_FALSE(SaveListFileNative(path, doc, &why));
        EXPECT_EQ(Reason(why), reason);
        why.clear();
        EXPECT_FALSE(settings.save(why));
        EXPECT_EQ(Reason(why), reason);
        EXPECT_EQ(TypeAt(path), before);
    }
    for (const auto& item : fs::directory_iterator(dir.path()))
        EXPECT_EQ(NativePathOf(item.path().filename()).find(".tmp-"), std::string::npos);
}

}  // namespace
}  // namespace replidex
