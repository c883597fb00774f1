#include "core/list/ListFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>

#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#endif

#include "core/file/NativeFiles.h"
#include "core/replay/FileTime.h"
#include "core/text/SjisCodec.h"
#include "support/ListGenerator.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

using test::AddEntry;
using test::CountDocumentEntries;
using test::DiffFolderTrees;
using test::GenerateList;
using test::ListGenOptions;
using test::ReadWholeFile;
using test::TempDir;

// Hand-made list file bytes.
struct Bytes {
    std::string b;
    Bytes& u8(int v) { b += static_cast<char>(v & 0xFF); return *this; }
    Bytes& u16(int v) { return u8(v).u8(v >> 8); }
    Bytes& u32(std::uint32_t v) { return u16(static_cast<int>(v & 0xFFFF)).u16(static_cast<int>(v >> 16)); }
    Bytes& text(std::string_view t) { b += t; return *this; }
    Bytes& header() { return u32(1000); }
    Bytes& root(std::string_view name) { return u8(1).u8(static_cast<int>(name.size())).text(name); }
    Bytes& folder(int depth, std::string_view name, int kind = 2)
    {
        return u8(kind).u8(depth).u8(static_cast<int>(name.size())).text(name);
    }
    // An entry without info (kind 3) or of another kind.
    Bytes& entry(int depth, std::string_view path, std::string_view name, int kind = 3)
    {
        u8(kind).u8(depth).u16(static_cast<int>(path.size())).text(path);
        u8(static_cast<int>(name.size())).text(name).u32(0x35836000).u16(0);
        if (kind == 3) u8(0);
        return *this;
    }
};

const ReplayEntry& EntryAt(const ReplayDocument& doc, const ReplayFolder& folder, std::size_t i)
{
    const ReplayEntry* e = doc.pool.lookup(folder.entries.value().at(i));
    if (!e) throw std::runtime_error("empty slot");
    return *e;
}

// The example list: root "Root" with one entry for C:\r\REPLAY00.RPD.
const char kExample[] =
    "\xE8\x03\x00\x00"
    "\x01"
    "\x04Root"
    "\x03\x01"
    "\x05\x00" "C:\\r\\"
    "\x0C" "REPLAY00.RPD"
    "\x00\x60\x83\x35"
    "\x00\x00"
    "\x00";

TEST(ListFileFormat, ExampleListIsThirtyNineBytes)
{
    const std::string expected(kExample, sizeof kExample - 1);
    ASSERT_EQ(expected.size(), 39u);

    std::tm when{};
    when.tm_year = 2006 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 3;
    when.tm_hour = 12;
    const std::int32_t age = PackDosDateTime(when);
    ASSERT_EQ(age, 0x35836000);

    ReplayDocument doc;
    doc.root = doc.addTopLevel("Root");
    AddEntry(doc, *doc.root, "C:\\r\\", "REPLAY00.RPD", age);
    EXPECT_EQ(WriteListBytes(doc), expected);

    ReplayDocument back;
    ASSERT_EQ(ReadListBytes(expected, back), ListOpenResult::Opened);
    ASSERT_NE(back.root, nullptr);
    EXPECT_EQ(back.root->name, "Root");
    const ReplayEntry& e = EntryAt(back, *back.root, 0);
    EXPECT_EQ(e.kind, 3);
    EXPECT_EQ(e.fullPath(), "C:\\r\\REPLAY00.RPD");
    EXPECT_EQ(e.fileAge, age);
    EXPECT_EQ(e.memo, "");
    EXPECT_FALSE(e.info.has_value());

    TempDir dir;
    ASSERT_TRUE(SaveListFile(dir.file("example.rdx"), doc));
    EXPECT_EQ(ReadWholeFile(dir.file("example.rdx")), expected);
}

TEST(ListFileFormat, HeaderAndEmptyLists)
{
    struct Case {
        const char* what;
        std::string bytes;
        ListOpenResult result;
    };
    const Case cases[] = {
        {"empty file", "", ListOpenResult::OtherVersion},
        {"short header", std::string("\xE8\x03\x00", 3), ListOpenResult::OtherVersion},
        {"version 999", Bytes().u32(999).root("R").b, ListOpenResult::OtherVersion},
        {"version 1001", Bytes().u32(1001).b, ListOpenResult::OtherVersion},
        {"header only", Bytes().header().b, ListOpenResult::Opened},
        {"header and root kind", Bytes().header().u8(1).b, ListOpenResult::Opened},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReplayDocument doc;
        doc.root = doc.addTopLevel("old");
        AddEntry(doc, *doc.root, "C:\\", "a.rpd");
        EXPECT_EQ(ReadListBytes(c.bytes, doc), c.result);
        // Either way the old list is gone, entries and all.
        EXPECT_EQ(doc.root, nullptr);
        EXPECT_TRUE(doc.topLevel.empty());
        EXPECT_EQ(doc.pool.size(), 0);
    }

    // A document without root is saved as the header and the root kind byte.
    ReplayDocument none;
    EXPECT_EQ(WriteListBytes(none), Bytes().header().u8(1).b);
}

TEST(ListFileFormat, RecordOrderAndDepths)
{
    // Root { A { B { entry b } entry a1 entry a2 } C {} entry r }
    ReplayDocument doc;
    doc.root = doc.addTopLevel("Root");
    ReplayFolder* a = doc.root->addChild("A");
    ReplayFolder* b = a->addChild("B");
    doc.root->addChild("C");
    AddEntry(doc, *b, "D:\\b\\", "b.rpd");
    AddEntry(doc, *a, "D:\\a\\", "a1.rpd");
    AddEntry(doc, *a, "D:\\a\\", "a2.rpd");
    AddEntry(doc, *doc.root, "D:\\a\\", "r.rpd");

    const std::string expected = Bytes()
                                     .header()
                                     .root("Root")
                                     .folder(1, "A")
                                     .folder(2, "B")
                                     .entry(3, "D:\\b\\", "b.rpd")
                                     .entry(2, "D:\\a\\", "a1.rpd")
                                     .entry(2, "", "a2.rpd")   // same path as the one before
                                     .folder(1, "C")
                                     .entry(1, "D:\\a\\", "r.rpd")   // first of its folder
                                     .b;
    EXPECT_EQ(WriteListBytes(doc), expected);

    ReplayDocument back;
    ASSERT_EQ(ReadListBytes(expected, back), ListOpenResult::Opened);
    ASSERT_NE(back.root, nullptr);
    EXPECT_EQ(DiffFolderTrees(*doc.root, doc.pool, *back.root, back.pool), "");
    // C never held an entry and has no list; the others have theirs.
    EXPECT_FALSE(back.root->children[1]->entries.has_value());
    EXPECT_TRUE(back.root->children[0]->entries.has_value());
}

TEST(ListFileFormat, ReaderRules)
{
    {
        SCOPED_TRACE("kind 0 is a folder; a later root record replaces the root");
        const std::string bytes = Bytes()
                                      .header()
                                      .root("first")
                                      .folder(1, "zero", 0)
                                      .root("second")
                                      .folder(1, "child")
                                      .b;
        ReplayDocument doc;
        ASSERT_EQ(ReadListBytes(bytes, doc), ListOpenResult::Opened);
        ASSERT_EQ(doc.topLevel.size(), 2u);
        EXPECT_EQ(doc.topLevel[0]->children.at(0)->name, "zero");
        EXPECT_EQ(doc.root, doc.topLevel[1].get());
        EXPECT_EQ(doc.root->children.at(0)->name, "child");
        // Only the root's tree is written.
        EXPECT_EQ(WriteListBytes(doc), Bytes().header().root("second").folder(1, "child").b);
    }
    {
        SCOPED_TRACE("a folder whose parent slot is empty becomes a top-level root");
        const std::string bytes = Bytes().header().root("r").folder(3, "orphan").folder(4, "kid").b;
        ReplayDocument doc;
        ASSERT_EQ(ReadListBytes(bytes, doc), ListOpenResult::Opened);
        ASSERT_EQ(doc.topLevel.size(), 2u);
        EXPECT_EQ(doc.root->name, "orphan");
        EXPECT_EQ(doc.root->children.at(0)->name, "kid");
    }
    {
        SCOPED_TRACE("other kinds keep their kind and have no info-present byte");
        const std::string bytes = Bytes()
                                      .header()
                                      .root("r")
                                      .entry(1, "P\\", "four", 4)
                                      .entry(1, "P\\", "max", 255)
                                      .entry(1, "P\\", "three")
                                      .b;
        ReplayDocument doc;
        ASSERT_EQ(ReadListBytes(bytes, doc), ListOpenResult::Opened);
        ASSERT_EQ(doc.root->entries->size(), 3u);
        EXPECT_EQ(EntryAt(doc, *doc.root, 0).kind, 4);
        EXPECT_EQ(EntryAt(doc, *doc.root, 1).kind, 255);
        EXPECT_EQ(EntryAt(doc, *doc.root, 2).fileName, "three");
        EXPECT_EQ(WriteListBytes(doc),
                  Bytes().header().root("r").entry(1, "P\\", "four", 4).entry(1, "", "max", 255)
                      .entry(1, "", "three").b);
    }
    {
        SCOPED_TRACE("the reader's last path runs through the whole file");
        const std::string bytes = Bytes()
                                      .header()
                                      .root("r")
                                      .folder(1, "A")
                                      .entry(2, "X\\", "a")
                                      .folder(1, "B")
                                      .entry(2, "", "b")
                                      .entry(2, "Y\\", "c")
                                      .entry(1, "", "d")
                                      .b;
        ReplayDocument doc;
        ASSERT_EQ(ReadListBytes(bytes, doc), ListOpenResult::Opened);
        EXPECT_EQ(EntryAt(doc, *doc.root->children[1], 0).folderPath, "X\\");
        EXPECT_EQ(EntryAt(doc, *doc.root->children[1], 1).folderPath, "Y\\");
        EXPECT_EQ(EntryAt(doc, *doc.root, 0).folderPath, "Y\\");
    }
    {
        SCOPED_TRACE("info: present byte, widening, signs, isCom");
        auto bytes = [](int present, int isCom) {
            Bytes b;
            b.header().root("r").u8(3).u8(1).u16(2).text("P\\").u8(1).text("f").u32(0xFFFFFFFF).u16(0);
            b.u8(present).u32(0x8001);
            // p1: a name of exactly 40 bytes, wins -1, losses 0x8000, rank 255,
            // character 0x5F, score 200.
            b.u8(40).text(std::string(40, 'n')).u16(0xFFFF).u16(0x8000).u8(255).u8(0x5F).u8(200).u8(isCom);
            // p2: an empty name.
            b.u8(0).u16(3).u16(4).u8(5).u8(6).u8(7).u8(0);
            return b.b;
        };
        ReplayDocument doc;
        ASSERT_EQ(ReadListBytes(bytes(7, 9), doc), ListOpenResult::Opened);
        const ReplayEntry& e = EntryAt(doc, *doc.root, 0);
        EXPECT_EQ(e.fileAge, -1);
        ASSERT_TRUE(e.info.has_value());
        EXPECT_EQ(e.info->infoFlags, 0x8001u);
        EXPECT_EQ(e.info->p1.nameText(), std::string(40, 'n'));
        EXPECT_EQ(e.info->p1.wins, -1);
        EXPECT_EQ(e.info->p1.losses, -32768);
        EXPECT_EQ(e.info->p1.rank, 255);
        EXPECT_EQ(e.info->p1.character, 0x5F);
        EXPECT_EQ(e.info->p1.score, 200);
        EXPECT_EQ(e.info->p1.isCom, 1);
        EXPECT_EQ(e.info->p2.nameText(), "");
        EXPECT_EQ(e.info->p2.rank, 5);
        EXPECT_EQ(e.info->p2.character, 6);
        EXPECT_EQ(e.info->p2.score, 7);
        EXPECT_EQ(e.info->p2.isCom, 0);
        // Written back with present byte 1 and isCom 1; everything else as read.
        EXPECT_EQ(WriteListBytes(doc), bytes(1, 1));
    }
}

TEST(ListFileFormat, WriterRules)
{
    {
        SCOPED_TRACE("an empty pool slot ends that folder's entries only");
        ReplayDocument doc;
        doc.root = doc.addTopLevel("r");
        ReplayFolder* a = doc.root->addChild("A");
        AddEntry(doc, *a, "P\\", "1");
        ReplayEntry* gone = AddEntry(doc, *a, "P\\", "2");
        AddEntry(doc, *a, "P\\", "3");
        AddEntry(doc, *doc.root, "P\\", "4");
        ASSERT_TRUE(doc.pool.release(gone));
        EXPECT_EQ(WriteListBytes(doc), Bytes()
                                           .header()
                                           .root("r")
                                           .folder(1, "A")
                                           .entry(2, "P\\", "1")
                                           .entry(1, "P\\", "4")
                                           .b);
    }
    {
        SCOPED_TRACE("kinds: the low byte is written; one below 3 is written as 3");
        ReplayDocument doc;
        doc.root = doc.addTopLevel("r");
        AddEntry(doc, *doc.root, "P\\", "a")->kind = 0x104;
        AddEntry(doc, *doc.root, "P\\", "b")->kind = 1;
        EXPECT_EQ(WriteListBytes(doc),
                  Bytes().header().root("r").entry(1, "P\\", "a", 4).entry(1, "", "b", 3).b);
    }
    {
        SCOPED_TRACE("an entry of another kind never writes its info");
        ReplayDocument doc;
        doc.root = doc.addTopLevel("r");
        ReplayEntry* e = AddEntry(doc, *doc.root, "P\\", "a");
        e->kind = 9;
        e->info.emplace();
        EXPECT_EQ(WriteListBytes(doc), Bytes().header().root("r").entry(1, "P\\", "a", 9).b);
    }
    {
        SCOPED_TRACE("nothing deeper than 99 is written");
        ReplayDocument doc;
        doc.root = doc.addTopLevel("r");
        ReplayFolder* f = doc.root;
        for (int depth = 1; depth <= 120; ++depth) {
            f = f->addChild("d" + std::to_string(depth));
            AddEntry(doc, *f, "P\\", "e");
        }
        ReplayDocument back;
        ASSERT_EQ(ReadListBytes(WriteListBytes(doc), back), ListOpenResult::Opened);
        int levels = 0;
        for (const ReplayFolder* g = back.root; g; g = g->children.empty() ? nullptr : g->children[0].get())
            ++levels;
        EXPECT_EQ(levels, 100);   // the root and 99 levels below it
        // Entries at depth 99 belong to folders at depth 98.
        EXPECT_EQ(CountDocumentEntries(back), 98);
    }
}

TEST(ListFileFormat, OverLongTextsKeepTheFileAligned)
{
    const std::string kanji = Sjis("漢");
    ASSERT_EQ(kanji.size(), 2u);

    // Writer: names are cut to 255 bytes without splitting a character.
    ReplayDocument doc;
    doc.root = doc.addTopLevel(std::string(254, 'a') + kanji);
    const std::string longPath = "C:\\" + std::string(3000, 'p') + "\\";
    const std::string longMemo = std::string(1500, 'm') + "\r\n" + std::string(10, 'n');
    ReplayEntry* e = AddEntry(doc, *doc.root, longPath, std::string(253, 'f') + kanji + "x");
    e->memo = longMemo;
    ReplayEntry* huge = AddEntry(doc, *doc.root, std::string(65534, 'q') + kanji, "h");
    huge->memo = std::string(70000, 'z');
    AddEntry(doc, *doc.root, longPath, "after");

    ReplayDocument back;
    ASSERT_EQ(ReadListBytes(WriteListBytes(doc), back), ListOpenResult::Opened);
    EXPECT_EQ(back.root->name, std::string(254, 'a'));
    ASSERT_EQ(back.root->entries->size(), 3u);
    EXPECT_EQ(EntryAt(back, *back.root, 0).folderPath, longPath);
    EXPECT_EQ(EntryAt(back, *back.root, 0).fileName, std::string(253, 'f') + kanji);
    EXPECT_EQ(EntryAt(back, *back.root, 0).memo, longMemo);
    EXPECT_EQ(EntryAt(back, *back.root, 1).folderPath, std::string(65534, 'q'));
    EXPECT_EQ(EntryAt(back, *back.root, 1).memo, std::string(65535, 'z'));
    EXPECT_EQ(EntryAt(back, *back.root, 2).folderPath, longPath);
    EXPECT_EQ(EntryAt(back, *back.root, 2).fileName, "after");

    // Reader: a player name longer than 40 bytes is read whole, 40 kept.
    Bytes b;
    b.header().root("r").u8(3).u8(1).u16(2).text("P\\").u8(1).text("f").u32(1).u16(0);
    b.u8(1).u32(1);
    b.u8(60).text(std::string(40, 'A') + std::string(20, 'B')).u16(11).u16(12).u8(1).u8(2).u8(3).u8(1);
    b.u8(255).text(std::string(255, 'C')).u16(21).u16(22).u8(4).u8(5).u8(6).u8(0);
    b.entry(1, "", "next");
    ReplayDocument players;
    ASSERT_EQ(ReadListBytes(b.b, players), ListOpenResult::Opened);
    ASSERT_EQ(players.root->entries->size(), 2u);
    const ReplayInfo& info = *EntryAt(players, *players.root, 0).info;
    EXPECT_EQ(info.p1.nameText(), std::string(40, 'A'));
    EXPECT_EQ(info.p1.wins, 11);
    EXPECT_EQ(info.p1.isCom, 1);
    EXPECT_EQ(info.p2.nameText(), std::string(40, 'C'));
    EXPECT_EQ(info.p2.losses, 22);
    EXPECT_EQ(info.p2.score, 6);
    EXPECT_EQ(EntryAt(players, *players.root, 1).fileName, "next");
    EXPECT_EQ(EntryAt(players, *players.root, 1).folderPath, "P\\");
}

TEST(ListFileFormat, CutSjisText)
{
    const std::string k = Sjis("漢");
    struct Case {
        std::string text;
        std::size_t limit;
        std::string cut;
    };
    const Case cases[] = {
        {"abc", 3, "abc"},
        {"abcd", 3, "abc"},
        {"ab" + k, 3, "ab"},
        {"a" + k + "b", 3, "a" + k},
        {k + k, 3, k},
        {"\xB1\xB2\xB3\xB4", 3, "\xB1\xB2\xB3"},   // half-width kana are one byte
        {"ab\x81", 3, "ab\x81"},                    // short enough: untouched
    };
    for (const Case& c : cases) EXPECT_EQ(CutSjisText(c.text, c.limit), c.cut) << c.text;
}

TEST(ListFileReading, UnsoundRecordsEndReadingAndKeepWhatWasRead)
{
    struct Case {
        const char* what;
        std::string tail;
    };
    const Case cases[] = {
        {"folder deeper than 99", Bytes().folder(100, "deep").b},
        {"entry deeper than 99", Bytes().entry(100, "P\\", "x").b},
        {"entry at depth 0", Bytes().entry(0, "P\\", "x").b},
        {"entry under an empty slot", Bytes().entry(5, "P\\", "x").b},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string bytes = Bytes().header().root("r").folder(1, "A").entry(2, "P\\", "kept").b +
                                  c.tail + Bytes().folder(1, "after").entry(1, "P\\", "after").b;
        ReplayDocument doc;
        ASSERT_EQ(ReadListBytes(bytes, doc), ListOpenResult::Opened);
        ASSERT_EQ(doc.root->children.size(), 1u);
        EXPECT_EQ(EntryAt(doc, *doc.root->children[0], 0).fileName, "kept");
        EXPECT_EQ(doc.pool.size(), 1);
        EXPECT_FALSE(doc.root->entries.has_value());
    }

    // 100 levels of folders (depths 0-99) are read.
    Bytes chain;
    chain.header().root("r");
    for (int d = 1; d <= 99; ++d) chain.folder(d, "f");
    chain.entry(99, "P\\", "deepest");
    ReplayDocument doc;
    ASSERT_EQ(ReadListBytes(chain.b, doc), ListOpenResult::Opened);
    EXPECT_EQ(CountDocumentEntries(doc), 1);
}

TEST(ListFileReading, FileEndingAnywhereOpensWithTheCompleteRecords)
{
    ListGenOptions options;
    options.infoPercent = 80;
    ReplayDocument source;
    GenerateList(7, options, source);
    const std::string bytes = WriteListBytes(source);
    ASSERT_GT(bytes.size(), 500u);

    int lastCount = 0;
    ReplayDocument doc;
    for (std::size_t cut = 4; cut <= bytes.size(); ++cut) {
        ASSERT_EQ(ReadListBytes(std::string_view(bytes).substr(0, cut), doc), ListOpenResult::Opened)
            << cut;
        // A record cut short leaves no entry behind in the pool.
        const int count = CountDocumentEntries(doc);
        ASSERT_EQ(doc.pool.size(), count) << cut;
        ASSERT_GE(count, lastCount) << cut;
        lastCount = count;
    }
    EXPECT_EQ(DiffFolderTrees(*source.root, source.pool, *doc.root, doc.pool), "");
}

// Which folders list which pool slots, and where the pool's cursor stands:
// what DiffFolderTrees leaves out.
std::string SlotLayout(const ReplayDocument& doc)
{
    std::string out = std::to_string(doc.pool.size()) + "@" + std::to_string(doc.pool.cursor());
    const auto walk = [&out](const auto& self, const ReplayFolder& folder) -> void {
        out += " [" + folder.name + (folder.entries ? ":" : "");
        if (folder.entries)
            for (const std::int32_t index : *folder.entries) out += std::to_string(index) + ",";
        for (const auto& child : folder.children) self(self, *child);
        out += "]";
    };
    for (const auto& top : doc.topLevel) walk(walk, *top);
    return out;
}

TEST(ListFileReading, FramedReadingOnAnyThreadsGivesTheOnePassDocument)
{
    ListGenOptions options;
    options.maxChildren = 4;
    options.maxEntries = 300;
    options.extraTopLevel = 1;
    options.infoPercent = 70;
    ReplayDocument source;
    GenerateList(23, options, source);
    const std::string bytes = WriteListBytes(source);
    ASSERT_GT(CountDocumentEntries(source), 2000);

    std::mt19937_64 rng(5);
    std::vector<std::size_t> cuts = {0, 3, 4, 5, bytes.size() - 1};
    for (int i = 0; i < 40; ++i) cuts.push_back(4 + rng() % (bytes.size() - 4));
    cuts.push_back(bytes.size());   // last: the whole list, checked against the source below
    // Fresh documents: a pool's cursor runs on from the list read before.
    std::unique_ptr<ReplayDocument> framed;
    for (const std::size_t cut : cuts) {
        const std::string_view part = std::string_view(bytes).substr(0, cut);
        const auto onePass = std::make_unique<ReplayDocument>();
        const ListOpenResult expected = ReadListBytesWith(part, *onePass, 0);
        for (const int threads : {1, 2}) {
            framed = std::make_unique<ReplayDocument>();
            ASSERT_EQ(ReadListBytesWith(part, *framed, threads), expected) << cut << " " << threads;
            ASSERT_EQ(SlotLayout(*framed), SlotLayout(*onePass)) << cut << " " << threads;
            for (std::size_t t = 0; t < onePass->topLevel.size(); ++t)
                ASSERT_EQ(DiffFolderTrees(*onePass->topLevel[t], onePass->pool, *framed->topLevel[t], framed->pool),
                          "")
                    << cut << " " << threads;
        }
    }
    EXPECT_EQ(DiffFolderTrees(*source.root, source.pool, *framed->root, framed->pool), "");
}

TEST(ListFileReading, PoolFullKeepsWhatWasRead)
{
    const int slots = EntryPool::kSlotCount;
    Bytes b;
    b.header().root("r").folder(1, "A");
    for (int i = 0; i < slots; ++i) b.entry(2, i == 0 ? "P\\" : "", "e");
    const std::string exactlyFull = b.b;
    b.entry(1, "", "one too many").folder(1, "never");

    ReplayDocument doc;
    EXPECT_EQ(ReadListBytes(exactlyFull, doc), ListOpenResult::Opened);
    EXPECT_EQ(doc.pool.size(), slots);

    EXPECT_EQ(ReadListBytes(b.b, doc), ListOpenResult::PoolFull);
    EXPECT_EQ(doc.pool.size(), slots);
    ASSERT_EQ(doc.root->children.size(), 1u);
    EXPECT_EQ(doc.root->children[0]->entries->size(), static_cast<std::size_t>(slots));
    // The root had been given its (empty) list before the pool ran out.
    ASSERT_TRUE(doc.root->entries.has_value());
    EXPECT_TRUE(doc.root->entries->empty());
}

// Version 1000 and then nothing but zero bytes reads as empty top-level
// folders, two bytes each: reading stops at the folder limit instead of
// building folders without end.
TEST(ListFileReading, FolderRecordsStopAtTheLimit)
{
    std::string bytes("\xE8\x03\0\0", 4);
    bytes.append(3 * (kListMaxFolders + 10), '\0');
    ReplayDocument doc;
    EXPECT_EQ(ReadListBytes(bytes, doc), ListOpenResult::Opened);
    EXPECT_EQ(doc.topLevel.size(), kListMaxFolders);
}

TEST(ListFileOpen, Outcomes)
{
    TempDir dir;
    auto filled = [](ReplayDocument& doc) {
        doc.clear();
        doc.root = doc.addTopLevel("old");
        AddEntry(doc, *doc.root, "P\\", "old");
    };
    ReplayDocument doc;

    filled(doc);
    EXPECT_EQ(OpenListFile(dir.file("missing.rdx"), doc), ListOpenResult::CannotOpen);
    EXPECT_EQ(doc.root->name, "old");
    EXPECT_EQ(doc.pool.size(), 1);

    std::filesystem::create_directory(dir.file("folder.rdx"));
    EXPECT_EQ(OpenListFile(dir.file("folder.rdx"), doc), ListOpenResult::CannotOpen);
    EXPECT_EQ(doc.pool.size(), 1);

    EXPECT_EQ(OpenListFile(dir.write("empty.rdx", ""), doc), ListOpenResult::OtherVersion);
    EXPECT_EQ(doc.root, nullptr);
    EXPECT_EQ(doc.pool.size(), 0);

    // A Shift-JIS path reaches the file system converted.
    filled(doc);
    const std::string sjisPath = dir.file("") + Sjis("リスト.rdx");
    ASSERT_TRUE(SaveListFile(sjisPath, doc));
    EXPECT_TRUE(std::filesystem::exists(FsPath(dir.file("リスト.rdx"))));
    ReplayDocument back;
    ASSERT_EQ(OpenListFile(sjisPath, back), ListOpenResult::Opened);
    EXPECT_EQ(DiffFolderTrees(*doc.root, doc.pool, *back.root, back.pool), "");
    // Opening again replaces the document: its old entries go back to the pool.
    ASSERT_EQ(OpenListFile(sjisPath, back), ListOpenResult::Opened);
    EXPECT_EQ(back.pool.size(), 1);
}

// Entries whose files lie in one disk folder share one path text, whether the
// file stores the path once (neighbours) or again for each (scattered); and a
// list opened over a bigger one keeps nothing of the old entries.
TEST(ListFileOpen, EntriesShareFolderPathsAndReopeningLeavesNothingBehind)
{
    const std::string bytes = Bytes{}
                                  .header()
                                  .root("R")
                                  .entry(1, "A\\", "1")
                                  .entry(1, "", "2")
                                  .entry(1, "B\\", "3")
                                  .entry(1, "A\\", "4")
                                  .folder(1, "F")
                                  .entry(2, "B\\", "5")
                                  .b;
    ReplayDocument doc;
    ASSERT_EQ(ReadListBytes(bytes, doc), ListOpenResult::Opened);
    const ReplayEntry& a1 = EntryAt(doc, *doc.root, 0);
    const ReplayEntry& a2 = EntryAt(doc, *doc.root, 1);
    const ReplayEntry& b3 = EntryAt(doc, *doc.root, 2);
    const ReplayEntry& a4 = EntryAt(doc, *doc.root, 3);
    const ReplayEntry& b5 = EntryAt(doc, *doc.root->children[0], 0);
    EXPECT_EQ(a1.folderPath, "A\\");
    EXPECT_TRUE(a1.folderPath.sharesWith(a2.folderPath));
    EXPECT_TRUE(a1.folderPath.sharesWith(a4.folderPath));
    EXPECT_TRUE(b3.folderPath.sharesWith(b5.folderPath));
    EXPECT_FALSE(a1.folderPath.sharesWith(b3.folderPath));

    // Changing one entry's path leaves the others sharing it alone.
    doc.pool.lookup(a2.poolIndex)->folderPath = "C\\";
    EXPECT_EQ(a1.folderPath, "A\\");
    EXPECT_EQ(a4.folderPath, "A\\");
    ReplayDocument again;
    ASSERT_EQ(ReadListBytes(WriteListBytes(doc), again), ListOpenResult::Opened);
    EXPECT_EQ(EntryAt(again, *again.root, 0).folderPath, "A\\");
    EXPECT_EQ(EntryAt(again, *again.root, 1).folderPath, "C\\");
    EXPECT_EQ(EntryAt(again, *again.root, 3).folderPath, "A\\");

    // A bigger list with memos and infos, then the small one over it.
    ReplayDocument big;
    ListGenOptions options;
    options.infoPercent = 100;
    options.otherKindPercent = 0;
    GenerateList(7, options, big);
    ASSERT_GT(big.pool.size(), 5);
    ASSERT_EQ(ReadListBytes(bytes, big), ListOpenResult::Opened);
    EXPECT_EQ(big.pool.size(), 5);
    ReplayDocument fresh;
    ASSERT_EQ(ReadListBytes(bytes, fresh), ListOpenResult::Opened);
    EXPECT_EQ(DiffFolderTrees(*fresh.root, fresh.pool, *big.root, big.pool), "");
    for (int i = 0; i < EntryPool::kSlotCount; ++i) {
        const ReplayEntry* e = big.pool.lookup(i);
        if (!e) continue;
        EXPECT_FALSE(e->info.has_value()) << i;
        EXPECT_TRUE(e->memo.empty()) << i;
    }
}

// Round trip over many random lists: what is written reads back as the same
// tree and writes the same bytes again. Over-long texts are cut by the first
// save and stay as they are from then on.
TEST(ListFileRoundTrip, RandomListsSurviveSaveOpenSave)
{
    for (std::uint64_t seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        ListGenOptions options;
        options.maxDepth = static_cast<int>(seed % 6);
        options.extraTopLevel = static_cast<int>(seed % 3);
        options.otherKindPercent = static_cast<int>(seed % 4) * 10;
        options.overLongTexts = seed % 4 == 0;
        ReplayDocument doc;
        GenerateList(seed, options, doc);
        const std::string first = WriteListBytes(doc);

        ReplayDocument back;
        ASSERT_EQ(ReadListBytes(first, back), ListOpenResult::Opened);
        ASSERT_EQ(back.topLevel.size(), 1u);
        if (options.overLongTexts)
            ASSERT_EQ(CountDocumentEntries(back), test::CountEntries(*doc.root, doc.pool));
        else
            ASSERT_EQ(DiffFolderTrees(*doc.root, doc.pool, *back.root, back.pool), "");
        ASSERT_EQ(WriteListBytes(back), first);
    }
}

bool HasEmptyPath(const ReplayDocument& doc)
{
    bool empty = false;
    doc.pool.forEach([&](const ReplayEntry& e) { empty = empty || e.folderPath.empty(); });
    return empty;
}

// Damaged files never crash the reader; whatever it reads is a list that
// saves and reads back stably.
TEST(ListFileRoundTrip, MutatedFilesReadSafely)
{
    std::mt19937_64 rng(2024);
    int opened = 0;
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ListGenOptions options;
        options.overLongTexts = round % 5 == 0;
        options.maxDepth = 3;
        ReplayDocument doc;
        GenerateList(rng(), options, doc);
        std::string bytes = WriteListBytes(doc);
        const int mutations = 1 + static_cast<int>(rng() % 8);
        for (int m = 0; m < mutations && !bytes.empty(); ++m) {
            const std::size_t at = rng() % bytes.size();
            switch (rng() % 4) {
            case 0: bytes[at] = static_cast<char>(rng()); break;
            case 1: bytes.resize(at); break;
            case 2: bytes.insert(at, 1, static_cast<char>(rng())); break;
            default: bytes.erase(at, 1 + rng() % 16); break;
            }
        }
        ReplayDocument read;
        const ListOpenResult result = ReadListBytes(bytes, read);
        if (result == ListOpenResult::OtherVersion) {
            EXPECT_TRUE(read.topLevel.empty());
            continue;
        }
        ASSERT_EQ(result, ListOpenResult::Opened);
        ++opened;
        ASSERT_EQ(read.pool.size(), CountDocumentEntries(read));
        const std::string first = WriteListBytes(read);
        ReplayDocument again;
        ASSERT_EQ(ReadListBytes(first, again), ListOpenResult::Opened);
        // An empty folder path cannot be stored (length 0 means "the last
        // path"), so only lists without one are byte-stable.
        if (!HasEmptyPath(read)) {
            ASSERT_EQ(WriteListBytes(again), first);
        }
    }
    EXPECT_GT(opened, 200);
}

// ---------------------------------------------------------------- saving

std::vector<std::string> FilesIn(const TempDir& dir)
{
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(dir.path()))
        names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ListFileSave, AWriteFaultAtAnyByteLeavesTheOldFile)
{
    TempDir dir;
    const std::string target = dir.file("list.rdx");
    ListGenOptions small;
    small.maxDepth = 2;
    small.maxEntries = 3;
    ReplayDocument oldDoc, newDoc;
    GenerateList(1, small, oldDoc);
    GenerateList(2, small, newDoc);
    ASSERT_TRUE(SaveListFile(target, oldDoc));
    const std::string oldBytes = ReadWholeFile(target);
    const std::string newBytes = WriteListBytes(newDoc);
    ASSERT_NE(oldBytes, newBytes);

    for (std::size_t failAt = 0; failAt < newBytes.size(); ++failAt) {
        std::size_t written = 0;
        // Writes at most 7 bytes a call and fails once `failAt` bytes are out.
        const ListChunkWriter faulty = [&](int fd, const char* data, std::size_t size) -> long long {
            if (written >= failAt) return -1;
            const std::size_t n = std::min({size, failAt - written, std::size_t{7}});
            const long long done = ::write(fd, data, n);
            if (done > 0) written += static_cast<std::size_t>(done);
            return done;
        };
        ASSERT_FALSE(SaveListBytesNative(target, newBytes, faulty)) << failAt;
        ASSERT_EQ(ReadWholeFile(target), oldBytes) << failAt;
        ASSERT_EQ(FilesIn(dir), std::vector<std::string>{"list.rdx"}) << failAt;
    }

    // A writer that makes no progress fails too, rather than looping.
    const ListChunkWriter stuck = [](int, const char*, std::size_t) -> long long { return 0; };
    EXPECT_FALSE(SaveListBytesNative(target, newBytes, stuck));
    EXPECT_EQ(ReadWholeFile(target), oldBytes);

    // Short writes are carried on until everything is out.
    const ListChunkWriter oneByte = [](int fd, const char* data, std::size_t) -> long long {
        return ::write(fd, data, 1);
    };
    ASSERT_TRUE(SaveListBytesNative(target, newBytes, oneByte));
    EXPECT_EQ(ReadWholeFile(target), newBytes);
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"list.rdx"});
}

TEST(ListFileSave, FailuresReportAndChangeNothing)
{
    TempDir dir;
    ReplayDocument doc;
    GenerateList(3, {}, doc);

    EXPECT_FALSE(SaveListFile(dir.file("no/such/folder/list.rdx"), doc));
    EXPECT_FALSE(SaveListFile("", doc));

    // The target is a folder: the rename fails, the temporary file goes.
    std::filesystem::create_directories(dir.file("taken.rdx/inside"));
    EXPECT_FALSE(SaveListFile(dir.file("taken.rdx"), doc));
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"taken.rdx"});
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("taken.rdx/inside")));
}

TEST(ListFileSave, AFailedSaveSaysWhy)
{
#ifdef _WIN32
    GTEST_SKIP() << "the reasons checked are the POSIX texts";
#endif
    TempDir dir;
    ReplayDocument doc;
    GenerateList(6, {}, doc);
    const std::string plain = dir.write("plain", "x");
    struct Case {
        const char* name;
        std::string path;
        int writeErrno;   // 0: the system's own writes
        std::errc reason;
    };
    for (const Case& c : {Case{"under a plain file", plain + "/list.rdx", 0, std::errc::not_a_directory},
                          Case{"vanished folder", dir.file("gone/list.rdx"), 0,
                               std::errc::no_such_file_or_directory},
                          Case{"disk full", dir.file("full.rdx"), ENOSPC, std::errc::no_space_on_device},
                          Case{"read-only file system", dir.file("ro.rdx"), EROFS,
                               std::errc::read_only_file_system},
                          Case{"no errno", dir.file("eio.rdx"), -1, std::errc::io_error}}) {
        SCOPED_TRACE(c.name);
        const ListChunkWriter failing = [&c](int, const char*, std::size_t) -> long long {
            errno = c.writeErrno > 0 ? c.writeErrno : 0;
            return -1;
        };
        std::error_code why;
        EXPECT_FALSE(SaveListBytesNative(c.path, WriteListBytes(doc), c.writeErrno ? failing : ListChunkWriter{},
                                         &why));
        EXPECT_EQ(why, std::make_error_code(c.reason));
        EXPECT_FALSE(FileErrorText(why).empty());
    }
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"plain"});
}

TEST(ListFileSave, ASaveRemovesTheStaleTemporariesOfItsList)
{
    TempDir dir;
    const auto now = std::filesystem::file_time_type::clock::now();
    struct Case {
        const char* name;
        std::chrono::seconds age;
        bool removed;
    };
    const Case cases[] = {
        {"list.rdx.tmp-aB3xY9", std::chrono::seconds(120), true},   // a killed save's
        {".replidex.tmp-Q1w2E3", std::chrono::seconds(3600), true},  // the short form
        {"list.rdx.tmp-aB3xY8", std::chrono::seconds(5), false},     // a save going on
        {"list.rdx.tmp-abc", std::chrono::seconds(120), false},      // not our pattern
        {"list.rdx.tmp-ab_de!", std::chrono::seconds(120), false},
        {"list.rdx.tmp-aB3xY9z", std::chrono::seconds(120), false},
        {"other.rdx.tmp-aB3xY9", std::chrono::seconds(120), false},  // another list's
        {"list.rdx.bak", std::chrono::seconds(120), false},
    };
    for (const Case& c : cases) {
        const std::string path = dir.write(c.name, "partial");
        std::filesystem::last_write_time(FsPath(path), now - c.age);
    }
#ifndef _WIN32
    // A folder with the name is no temporary.
    std::filesystem::create_directory(dir.file("list.rdx.tmp-Dir123"));
    std::filesystem::last_write_time(dir.file("list.rdx.tmp-Dir123"), now - std::chrono::hours(1));
#endif
    ReplayDocument doc;
    GenerateList(7, {}, doc);
    ASSERT_TRUE(SaveListFile(dir.file("list.rdx"), doc));
    for (const Case& c : cases)
        EXPECT_EQ(std::filesystem::exists(FsPath(dir.file(c.name))), !c.removed) << c.name;
#ifndef _WIN32
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("list.rdx.tmp-Dir123")));
#endif
}

#ifndef _WIN32  // file-size limits and fork are POSIX's
TEST(ListFileSave, AFileSizeLimitFailsTheWriteAndLeavesNothing)
{
    TempDir dir;
    const std::string target = dir.write("list.rdx", "old");
    ReplayDocument doc;
    GenerateList(8, {}, doc);
    const std::string bytes = WriteListBytes(doc);
    ASSERT_GT(bytes.size(), 4096u);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // As both programs do: the write fails instead of the signal ending them.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::error_code why;
        const bool saved = SaveListBytesNative(target, bytes, {}, &why);
        ::_exit(!saved && why == std::errc::file_too_large ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadWholeFile(target), "old");
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"list.rdx"});
}
#endif

#ifndef _WIN32  // file modes, symbolic links and fork are POSIX's
TEST(ListFileSave, ReplacingKeepsPermissionsAndLinks)
{
    TempDir dir;
    const std::string target = dir.write("list.rdx", "old");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    ReplayDocument doc;
    GenerateList(4, {}, doc);
    ASSERT_TRUE(SaveListFile(target, doc));
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(ReadWholeFile(target), WriteListBytes(doc));

    // Saving through a link replaces the file it names and keeps the link.
    const std::string link = dir.file("link.rdx");
    std::filesystem::create_symlink(target, link);
    GenerateList(5, {}, doc);
    ASSERT_TRUE(SaveListFile(link, doc));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadWholeFile(target), WriteListBytes(doc));
}
#endif

#ifndef _WIN32  // file modes, symbolic links and fork are POSIX's
// A process killed at a random moment while it saves, over and over, leaves
// the target as one whole list: the old one or the new one.
TEST(ListFileSave, KillingASaveLeavesAWholeList)
{
    TempDir dir;
    const std::string target = dir.file("big.rdx");
    ListGenOptions options;
    options.maxDepth = 3;
    options.maxChildren = 6;
    options.maxEntries = 150;
    ReplayDocument a, b;
    GenerateList(11, options, a);
    GenerateList(12, options, b);
    const std::string bytesA = WriteListBytes(a);
    const std::string bytesB = WriteListBytes(b);
    ASSERT_GT(bytesA.size(), 100000u);
    ASSERT_GT(bytesB.size(), 100000u);
    ASSERT_TRUE(SaveListFile(target, a));

    std::mt19937_64 rng(99);
    int sawA = 0, sawB = 0;
    for (int round = 0; round < 25; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned i = 0;; ++i) SaveListFile(target, (i % 2) ? a : b);
        }
        ::usleep(static_cast<useconds_t>(rng() % 40000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        const std::string now = ReadWholeFile(target);
        ASSERT_TRUE(now == bytesA || now == bytesB) << "round " << round << ": " << now.size() << " bytes";
        (now == bytesA ? sawA : sawB)++;
    }
    // Leftover temporary files show that kills did land inside saves.
    RecordProperty("interruptedSaves", static_cast<int>(FilesIn(dir).size()) - 1);
    RecordProperty("sawOld", sawA);
    RecordProperty("sawNew", sawB);
}
#endif

}  // namespace
}  // namespace replidex
