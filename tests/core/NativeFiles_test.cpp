// The file primitives over native (UTF-8) paths, with Japanese names: on
// Windows they must reach the file system through the wide API, whatever the
// system's code page.
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include "core/file/NativeFiles.h"
#include "core/list/ListFile.h"
#include "core/replay/FileTime.h"
#include "core/text/SjisCodec.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::TempDir;

const char* const kJapaneseNames[] = {"ぷよ太郎の記録.rdx", "表示能力.bin", "ﾘﾌﾟﾚｲ.RPD", "plain.txt"};

bool WriteText(const std::string& path, const std::string& text)
{
    std::FILE* file = OpenFileStream(path, "wb");
    if (!file) return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && ok;
}

TEST(NativeFiles, NamesSurviveTheWayToTheFileSystemAndBack)
{
    TempDir dir;
    for (const char* name : kJapaneseNames) {
        SCOPED_TRACE(name);
        const std::string path = dir.file(name);
        ASSERT_TRUE(WriteText(path, name));
        EXPECT_EQ(ReadWholeFile(path), name);
        bool listed = false;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir.path()))
            listed = listed || NativePathOf(entry.path().filename()) == name;
        EXPECT_TRUE(listed);
        EXPECT_EQ(NativePathOf(FsPath(path)), path);
    }
}

TEST(NativeFiles, MoveOverFilePutsTheNewFileInPlaceOfTheOld)
{
    TempDir dir;
    const std::string target = dir.file("一覧.rdx");
    const std::string fresh = dir.file("一覧.rdx.tmp");
    ASSERT_TRUE(WriteText(target, "old"));
    ASSERT_TRUE(WriteText(fresh, "new"));
    EXPECT_FALSE(MoveOverFile(fresh, target));
    EXPECT_EQ(ReadWholeFile(target), "new");
    EXPECT_FALSE(fs::exists(FsPath(fresh)));
    // Into a folder that does not exist: an error, and the source stays.
    ASSERT_TRUE(WriteText(fresh, "again"));
    EXPECT_TRUE(MoveOverFile(fresh, dir.file("無い/一覧.rdx")));
    EXPECT_EQ(ReadWholeFile(fresh), "again");
}

TEST(NativeFiles, CreateNewFileNeverTakesAnExistingName)
{
    TempDir dir;
    const std::string path = dir.file("新規.tmp");
    const int fd = CreateNewFile(path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(WriteToFile(fd, "abc", 3), 3);
    EXPECT_TRUE(CloseFile(fd, true));
    EXPECT_EQ(CreateNewFile(path), -1);
    EXPECT_EQ(ReadWholeFile(path), "abc");
    EXPECT_TRUE(RemoveFile(path));
    EXPECT_FALSE(fs::exists(FsPath(path)));
}

TEST(NativeFiles, PositionedReadsAndWhatCannotBeOpened)
{
    TempDir dir;
    const std::string path = dir.file("リプレイ.RPD");
    ASSERT_TRUE(WriteText(path, "0123456789"));
    ReadOnlyFile file;
    ASSERT_EQ(file.open(path), ReadOnlyFile::OpenResult::Opened);
    char buffer[8] = {};
    struct Case {
        std::int64_t offset;
        std::size_t size;
        long got;
        std::string bytes;
    };
    for (const Case& c : {Case{6, 3, 3, "678"}, Case{0, 2, 2, "01"}, Case{8, 8, 2, "89"}, Case{10, 4, 0, ""},
                          Case{500, 4, 0, ""}}) {
        SCOPED_TRACE(c.offset);
        EXPECT_EQ(file.readAt(c.offset, buffer, c.size), c.got);
        EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(c.got > 0 ? c.got : 0)), c.bytes);
    }
    ReadOnlyFile other;
    EXPECT_EQ(other.open(dir.file("無い.RPD")), ReadOnlyFile::OpenResult::Missing);
    fs::create_directory(FsPath(dir.file("フォルダ.RPD")));
    EXPECT_EQ(other.open(dir.file("フォルダ.RPD")), ReadOnlyFile::OpenResult::NotRegular);
}

TEST(NativeFiles, ModificationTimeIsTheLocalTimeOfTheLastWrite)
{
    TempDir dir;
    const std::string path = dir.file("時刻.RPD");
    ASSERT_TRUE(WriteText(path, "x"));
    const std::time_t written = std::time(nullptr) - 3600 * 24 * 40;   // 40 days ago
    const auto fileTime = fs::file_time_type::clock::now() - std::chrono::hours(24 * 40);
    fs::last_write_time(FsPath(path), fileTime);
    std::tm expected{};
#ifdef _WIN32
    localtime_s(&expected, &written);
#else
    localtime_r(&written, &expected);
#endif
    std::tm got{};
    ASSERT_TRUE(LocalModificationTime(path, got));
    EXPECT_EQ(got.tm_year, expected.tm_year);
    EXPECT_EQ(got.tm_mon, expected.tm_mon);
    EXPECT_EQ(got.tm_mday, expected.tm_mday);
    EXPECT_EQ(got.tm_hour, expected.tm_hour);
    EXPECT_FALSE(LocalModificationTime(dir.file("無い"), got));
    EXPECT_FALSE(LocalModificationTime(NativePathOf(dir.path()), got));
    // The list's file age of the same file, through its Shift-JIS path.
    EXPECT_EQ(FileAgeOf(Sjis(path)), PackDosDateTime(got));
}

TEST(NativeFiles, AnOpenFilesStampFollowsItsWritesNotItsName)
{
    TempDir dir;
    const std::string path = dir.file("印.RPD");
    ASSERT_TRUE(WriteText(path, "12345"));
    fs::last_write_time(FsPath(path), fs::file_time_type::clock::now() - std::chrono::hours(24 * 40));
    ReadOnlyFile file;
    ASSERT_EQ(file.open(path), ReadOnlyFile::OpenResult::Opened);
    FileStamp now;
    ASSERT_TRUE(file.currentStamp(now));
    EXPECT_EQ(now, file.openedStamp());
    EXPECT_EQ(now.size, 5u);
    std::tm fromStamp{}, fromName{};
    ASSERT_TRUE(LocalTimeOf(now, fromStamp));
    ASSERT_TRUE(LocalModificationTime(path, fromName));
    EXPECT_EQ(PackDosDateTime(fromStamp), PackDosDateTime(fromName));

#ifndef _WIN32
    // Another file put in its place leaves the open one's stamp alone (Windows
    // lets no file take the name of one that is open) ...
    const std::string other = dir.file("別.RPD");
    ASSERT_TRUE(WriteText(other, "another, longer file"));
    ASSERT_FALSE(MoveOverFile(other, path));
    ASSERT_TRUE(file.currentStamp(now));
    EXPECT_EQ(now, file.openedStamp());
#endif
    // ... a write to the open file changes it.
    ReadOnlyFile again;
    ASSERT_EQ(again.open(path), ReadOnlyFile::OpenResult::Opened);
    ASSERT_TRUE(WriteText(path, "rewritten to another size"));
    ASSERT_TRUE(again.currentStamp(now));
    EXPECT_NE(now, again.openedStamp());
}

TEST(NativeFiles, AListSavedAndOpenedUnderAJapanesePath)
{
    TempDir dir;
    const std::string sjisPath = Sjis(dir.file("大会の記録.rdx"));
    ReplayDocument doc;
    doc.root = doc.addTopLevel("Root");
    doc.root->addChild(Sjis("決勝"));
    ASSERT_TRUE(SaveListFile(sjisPath, doc));   // twice: the second replaces the first
    ASSERT_TRUE(SaveListFile(sjisPath, doc));
    ReplayDocument read;
    ASSERT_EQ(OpenListFile(sjisPath, read), ListOpenResult::Opened);
    ASSERT_EQ(read.root->children.size(), 1u);
    EXPECT_EQ(read.root->children[0]->name, Sjis("決勝"));
}

}  // namespace
}  // namespace replidex
