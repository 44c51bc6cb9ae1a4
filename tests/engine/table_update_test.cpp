#include "engine/bytes.h"
#include "engine/data_files.h"
#include "engine/code_search.h"
#include "engine/lookup.h"
#include "engine/pair_table.h"
#include "engine/table_update.h"
#include "tests/support/data_fixture.h"

#include <gtest/gtest.h>

#include <random>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace zv {
namespace {

using test::DataFixture;

RecordBuffer record(const std::string& code, std::u16string_view word, uint32_t attributes = 0) {
    RecordBuffer r;
    EXPECT_TRUE(buildCodeRecord(attributes, code, word, r));
    return r;
}

// The table is sorted, its prefix index equals a fresh rebuild and every
// record lies inside the file above the index.
void expectConsistent(const CodeTable& t, bool fixedSlots = false) {
    ASSERT_TRUE(t.valid());
    for (uint32_t i = 0; i < t.count(); ++i) {
        EntryView e = t.entry(i);
        ASSERT_TRUE(e.valid()) << i;
        if (!fixedSlots) {
            EXPECT_GE(e.offset, t.low());
        }
        if (i) {
            EntryView p = t.entry(i - 1);
            std::u16string w = e.wordText();
            EXPECT_LT(compareEntry(p, SearchKey{e.code, e.codeLen, w.data(), e.wordLen}, false), 0) << i;
        }
    }
    std::vector<uint8_t> copy(t.base(), t.base() + t.size());
    CodeTable c(copy.data(), t.size());
    rebuildPrefixIndex(c);
    EXPECT_EQ(0, std::memcmp(copy.data(), t.base(), dmg::IndexStart));
}

bool findsExact(EngineContext& ctx, const std::string& code, std::u16string_view word) {
    ctx.candidates.clear();
    CodeSearch s;
    s.key = reinterpret_cast<const uint8_t*>(code.data());
    s.len = static_cast<uint32_t>(code.size());
    s.range = currentSearchRange(ctx);
    searchCode(ctx, s);
    for (int i = 0; i < ctx.candidates.count; ++i)
        if (candidateText(ctx, ctx.candidates.items[i]) == word) return true;
    return false;
}

TEST(AddEntry, NoFreeGapRelocatesTheLowestRecord) {
    DataFixture fx;
    fx.writeMain({{"a", u"工", attr::make(16383, 1)}, {"b", u"了", 0}, {"c", u"以", 0}});
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    CodeTable before = tableView(*ctx, SlotMain);
    const uint32_t oldSize = before.size(), oldLow = before.low();
    const uint32_t S = before.recordAt(oldLow).recordSize();
    RecordBuffer r = record("bb", u"子", attr::make(1024, 2));
    ASSERT_EQ(AddResult::Added, addEntry(*ctx, SlotMain, r));
    CodeTable after = tableView(*ctx, SlotMain);
    EXPECT_EQ(oldSize + r.size + S, after.size());
    EXPECT_EQ(oldLow + S, after.low());
    EXPECT_EQ(4u, after.count());
    expectConsistent(after);
    EXPECT_TRUE(findsExact(*ctx, "bb", u"子"));
    EXPECT_TRUE(findsExact(*ctx, "a", u"工"));  // the moved record
    EXPECT_EQ(AddResult::Exists, addEntry(*ctx, SlotMain, r));
}

TEST(AddEntry, LargeGapTakesTheRecordBelowTheOthers) {
    DataFixture fx;
    fx.writeMain({{"a", std::u16string(100, u'长'), 0}});
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    // The first insertion moves the 206-byte record out of the way and leaves
    // its place as free gap.
    ASSERT_EQ(AddResult::Added, addEntry(*ctx, SlotMain, record("zz", u"子")));
    CodeTable t = tableView(*ctx, SlotMain);
    const uint32_t size = t.size(), low = t.low();
    const int64_t gap = int64_t(low) - 66188 - 4 * int64_t(t.count());
    RecordBuffer small = record("b", u"了");
    ASSERT_GT(gap, small.size + 4);
    ASSERT_EQ(AddResult::Added, addEntry(*ctx, SlotMain, small));
    t = tableView(*ctx, SlotMain);
    EXPECT_EQ(size, t.size());
    EXPECT_EQ(low - small.size, t.low());
    expectConsistent(t);
    EXPECT_TRUE(findsExact(*ctx, "b", u"了"));
}

TEST(AddEntry, SmallGapGrowsTheFileByTheRecordOnly) {
    DataFixture fx;
    fx.writeMain({{"a", u"工", 0}});
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    // First insertion relocates "a" (9 bytes): the gap becomes 9 bytes, then
    // 5 after the new index slot.
    ASSERT_EQ(AddResult::Added, addEntry(*ctx, SlotMain, record("c", u"以")));
    CodeTable t = tableView(*ctx, SlotMain);
    const int64_t gap = int64_t(t.low()) - 66188 - 4 * int64_t(t.count());
    RecordBuffer r = record("d", u"在");
    ASSERT_GE(gap, 5);
    ASSERT_LE(gap, r.size + 4);
    const uint32_t size = t.size(), low = t.low();
    ASSERT_EQ(AddResult::Added, addEntry(*ctx, SlotMain, r));
    t = tableView(*ctx, SlotMain);
    EXPECT_EQ(size + r.size, t.size());
    EXPECT_EQ(low, t.low());
    expectConsistent(t);
}

TEST(AddEntry, EmptyTableAndHeapCopies) {
    DataFixture fx;
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    ASSERT_EQ(AddResult::Added, addEntry(*ctx, SlotMain, record("a", u"工")));
    expectConsistent(tableView(*ctx, SlotMain));
    EXPECT_TRUE(findsExact(*ctx, "a", u"工"));
    // A minimal empty table with no room for an index slot grows to make it.
    ctx.reset();  // Windows cannot rewrite a mapped file
    std::vector<uint8_t> tiny(dmg::IndexStart, 0);
    initEmptyTable(tiny.data(), dmg::IndexStart, dmg::TypeCodeTable, u"");
    fx.writeFile("main.dmg", tiny);
    ctx = fx.open();
    ASSERT_TRUE(ctx);
    ASSERT_EQ(AddResult::Added, addEntry(*ctx, SlotMain, record("a", u"工")));
    expectConsistent(tableView(*ctx, SlotMain));
}

TEST(AddEntry, ManyInsertionsKeepTheTableSorted) {
    DataFixture fx;
    fx.writeMain({{"m", u"中", 0}});
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    std::mt19937 rng(5);
    for (int i = 0; i < 120; ++i) {
        std::string code(1 + rng() % 4, 'a');
        for (auto& ch : code) ch = static_cast<char>('a' + rng() % 6);
        std::u16string word(1 + rng() % 3, u'一');
        for (auto& u : word) u = static_cast<char16_t>(0x4E00 + rng() % 50);
        addEntry(*ctx, SlotMain, record(code, word));
    }
    expectConsistent(tableView(*ctx, SlotMain));
}

TEST(TempWords, AgesStayDenseAndThe513thReplacesTheOldest) {
    DataFixture fx;
    fx.writeTemp();
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    auto word = [](int i) { return std::u16string{static_cast<char16_t>(0x4E00 + i / 100), static_cast<char16_t>(0x4E00 + i % 100)}; };
    for (int i = 0; i < 512; ++i) ASSERT_TRUE(addTempWord(*ctx, record("ab", word(i)))) << i;
    CodeTable t = tableView(*ctx, SlotTemp);
    EXPECT_EQ(512u, t.count());
    EXPECT_FALSE(addTempWord(*ctx, record("ab", word(7))));  // already there
    ASSERT_TRUE(addTempWord(*ctx, record("ab", word(512))));
    t = tableView(*ctx, SlotTemp);
    EXPECT_EQ(512u, t.count());
    std::vector<bool> ages(512, false);
    bool oldestGone = true, newestAged511 = false;
    for (uint32_t i = 0; i < t.count(); ++i) {
        EntryView e = t.entry(i);
        ages.at(e.attributes) = true;
        if (e.wordText() == word(0)) oldestGone = false;
        if (e.wordText() == word(512)) newestAged511 = e.attributes == 511;
        if (e.wordText() == word(1)) {
            EXPECT_EQ(0u, e.attributes);
        }
    }
    EXPECT_TRUE(oldestGone);
    EXPECT_TRUE(newestAged511);
    EXPECT_EQ(std::vector<bool>(512, true), ages);
    expectConsistent(t, true);
    EXPECT_TRUE(findsExact(*ctx, "ab", word(512)));
}

TEST(TempWords, RemovalKeepsAgesDenseAndFreesTheSlot) {
    DataFixture fx;
    fx.writeTemp();
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    for (char16_t w : std::u16string(u"甲乙丙丁")) ASSERT_TRUE(addTempWord(*ctx, record("aa", std::u16string(1, w))));
    CodeTable t = tableView(*ctx, SlotTemp);
    uint32_t i = 0;
    while (t.entry(i).wordText() != u"乙") ++i;
    uint32_t freed = t.indexSlot(i);
    ASSERT_TRUE(removeTempWord(*ctx, i));
    t = tableView(*ctx, SlotTemp);
    EXPECT_EQ(3u, t.count());
    EXPECT_EQ(freed, t.indexSlot(3));  // the next free slot
    std::vector<uint32_t> ages;
    for (uint32_t k = 0; k < 3; ++k) ages.push_back(t.entry(k).attributes);
    std::sort(ages.begin(), ages.end());
    EXPECT_EQ((std::vector<uint32_t>{0, 1, 2}), ages);
    EXPECT_TRUE(tempTableUsable(t));
}

TEST(TempWords, DeletedWordsAgeWithoutLosingTheirMark) {
    DataFixture fx;
    fx.writeTemp();
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    auto word = [](int i) { return std::u16string{static_cast<char16_t>(0x5000 + i)}; };
    for (int i = 0; i < 512; ++i) ASSERT_TRUE(addTempWord(*ctx, record("ab", word(i))));
    CodeTable t = tableView(*ctx, SlotTemp);
    for (uint32_t i = 0; i < t.count(); ++i)
        if (t.entry(i).wordText() == word(1)) setEntryDeleted(*ctx, SlotTemp, t.entry(i).offset, true);
    ASSERT_TRUE(addTempWord(*ctx, record("ab", word(600))));
    t = tableView(*ctx, SlotTemp);
    for (uint32_t i = 0; i < t.count(); ++i) {
        EntryView e = t.entry(i);
        if (e.wordText() == word(1)) {
            EXPECT_TRUE(attr::deleted(e.attributes));
            EXPECT_EQ(0u, e.attributes & 0xFFFF);
        }
    }
}

TEST(TempWords, CommittedTemporaryWordBecomesAUserWord) {
    DataFixture fx;
    fx.writeTemp();
    fx.writeMain({{"a", u"工", 0}});
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    ASSERT_TRUE(addTempWord(*ctx, record("wqvb", u"你好")));
    ASSERT_TRUE(findsExact(*ctx, "wqvb", u"你好"));
    ASSERT_EQ(SourceTemp, ctx->candidates.items[0].source);
    ASSERT_TRUE(promoteTempWord(*ctx, 0));
    EXPECT_EQ(0u, tableView(*ctx, SlotTemp).count());
    ASSERT_TRUE(findsExact(*ctx, "wqvb", u"你好"));
    const Candidate& c = ctx->candidates.items[0];
    EXPECT_EQ(SourceMain, c.source);
    EXPECT_EQ(attr::make(1024, CategoryUser), c.attributes);
}

TEST(DeleteLastCommitted, AsksWithTheEntryAndMarksItDeleted) {
    DataFixture fx;
    fx.writeMain({{std::string("a") + char(0x11), u"工", 0}});
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    ASSERT_TRUE(findsExact(*ctx, std::string("a") + char(0x11), u"工"));
    rememberCommittedEntry(*ctx, ctx->candidates.items[0]);
    EXPECT_EQ(u"编码: a１\r\n词条: 工\r\n所属: 主码表\r\n删除后可在码表管理中恢复。", deleteConfirmationText(*ctx));
    fx.services.answer = false;
    EXPECT_FALSE(deleteLastCommitted(*ctx));
    EXPECT_TRUE(findsExact(*ctx, std::string("a") + char(0x11), u"工"));
    fx.services.answer = true;
    EXPECT_TRUE(deleteLastCommitted(*ctx));
    EXPECT_EQ(u"确定删除当前词条？", fx.services.questions.at(2));
    EXPECT_FALSE(findsExact(*ctx, std::string("a") + char(0x11), u"工"));
    // Generated candidates are not remembered as deletable.
    Candidate generated;
    generated.source = SourceGenerated;
    rememberCommittedEntry(*ctx, generated);
    EXPECT_EQ(u"", deleteConfirmationText(*ctx));
}

TEST(SharedTables, AnotherEngineSeesGrowthAfterSync) {
    DataFixture fx;
    fx.writeMain({{"a", u"工", 0}});
    auto writer = fx.open();
    auto reader = fx.open();
    ASSERT_TRUE(writer && reader);
    ASSERT_EQ(AddResult::Added, addEntry(*writer, SlotMain, record("wqvb", u"你好")));
    syncTables(*reader);
    EXPECT_TRUE(findsExact(*reader, "wqvb", u"你好"));
}

#ifndef _WIN32
TEST(SharedTables, AnotherProcessGrowsTheTable) {
    DataFixture fx;
    fx.writeMain({{"a", u"工", 0}});
    auto reader = fx.open();
    ASSERT_TRUE(reader);
    const uint32_t before = reader->file(SlotMain)->size();
    pid_t child = fork();
    if (child == 0) {
        // The other process: its own engine on the same folder adds words.
        auto writer = fx.open();
        bool ok = writer && addEntry(*writer, SlotMain, record("wqvb", u"你好")) == AddResult::Added &&
                  addEntry(*writer, SlotMain, record("khlg", u"中国")) == AddResult::Added;
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(findsExact(*reader, "wqvb", u"你好"));  // the old mapping does not know yet
    syncTables(*reader);
    EXPECT_GT(reader->file(SlotMain)->size(), before);
    EXPECT_TRUE(findsExact(*reader, "wqvb", u"你好"));
    EXPECT_TRUE(findsExact(*reader, "khlg", u"中国"));
}
#endif

// Random damage to every data file: opening, searching, adding and the
// temporary-word operations never crash or touch memory outside the files.
TEST(DamagedFiles, NeverCrashTheDataLayer) {
    std::mt19937 rng(99);
    std::vector<TableEntry> entries;
    for (int i = 0; i < 300; ++i) {
        std::string code(1 + rng() % 4, 'a');
        for (auto& ch : code) ch = static_cast<char>('a' + rng() % 5);
        entries.push_back({code, std::u16string(1 + rng() % 2, static_cast<char16_t>(0x4E00 + rng() % 90)), static_cast<uint32_t>(rng())});
    }
    const auto main = buildCodeTableImage(entries);
    const auto temp = buildEmptyTempImage();
    const auto english = buildWordListImage({{"", u"hello", 1}, {"", u"help", 2}, {"", u"world", 3}});
    const auto dms = buildPairTable({{u"个", u"個"}, {u"板", u"闆"}, {u"一个", u"一個"}});
    auto damage = [&](std::vector<uint8_t> bytes) {
        int hits = 1 + rng() % 30;
        for (int k = 0; k < hits && !bytes.empty(); ++k) bytes[rng() % bytes.size()] = static_cast<uint8_t>(rng());
        if (rng() % 4 == 0 && !bytes.empty()) bytes.resize(rng() % bytes.size());
        return bytes;
    };
    for (int round = 0; round < 60; ++round) {
        DataFixture fx;
        fx.writeFile("main.dmg", round % 2 ? damage(main) : main);
        fx.writeFile("temp.dmg", damage(temp));
        fx.writeFile("engl.dmg", damage(english));
        fx.writeFile("traditional.dms", damage(dms));
        fx.writeFile("danzi.dmi", damage(dms));
        if (round % 5 == 0) fx.config = damage(fx.config);
        auto ctx = fx.open();
        if (!ctx) continue;
        for (const char* code : {"a", "ab", "abc", "abcd"}) findsExact(*ctx, code, u"x");
        ctx->candidates.clear();
        searchWordList(*ctx, u"he", WordEnglish);
        orderCandidates(*ctx, false);
        addEntry(*ctx, SlotMain, record("eee", u"新"));
        addTempWord(*ctx, record("eeee", u"新词"));
        if (tableView(*ctx, SlotTemp).count()) removeTempWord(*ctx, 0);
        if (ctx->isOpen(SlotTraditional))
            PairTable(ctx->file(SlotTraditional)->data(), ctx->file(SlotTraditional)->size()).lookup(u"个");
    }
}

}  // namespace
}  // namespace zv
