// The display order is worked out lazily, a score group at a time; whatever
// the pages ask for, it must equal a full de-duplication and sort.

#include "engine/bytes.h"
#include "engine/candidates.h"
#include "engine/data_files.h"
#include "engine/code_search.h"
#include "engine/folder_share.h"
#include "engine/lookup.h"
#include "engine/lookup_memo.h"
#include "engine/table_update.h"
#include "tests/support/data_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <map>
#include <random>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace zv {
namespace {

// The order by its definition: of each text the best (score, then order
// bits), then everything sorted by the candidate comparison.
std::vector<int> referenceOrder(const EngineContext& ctx, bool dedup) {
    const CandidateList& list = ctx.candidates;
    const bool association = (ctx.modeFlags & ModeAssociation) != 0;
    std::vector<int> all;
    for (int i = 0; i < list.count; ++i) all.push_back(i);
    auto before = [&](int a, int b) { return compareCandidates(ctx, list.items[a], list.items[b], association) < 0; };
    if (dedup) {
        std::map<std::u16string, int> best;
        for (int i : all) {
            std::u16string t = candidateText(ctx, list.items[i]);
            auto it = best.find(t);
            if (it == best.end()) {
                best[t] = i;
                continue;
            }
            const Candidate &x = list.items[i], &y = list.items[it->second];
            bool better = x.score != y.score ? x.score > y.score
                          : (x.attributes & 0xFFFFF) != (y.attributes & 0xFFFFF)
                              ? (x.attributes & 0xFFFFF) > (y.attributes & 0xFFFFF)
                              : before(i, it->second);
            if (better) it->second = i;
        }
        all.clear();
        for (auto& [t, i] : best) all.push_back(i);
    }
    std::sort(all.begin(), all.end(), before);
    return all;
}

// Types "a" over a random table of n entries and asks for the display
// order position by position. Some rounds have fixed entries, some none
// (duplicates are then hidden as they are placed), some stray bits above the
// order value; every basis, with and without hiding duplicates.
void expectLazyOrderEqualsAFullSort(std::mt19937& rng, int round, int n, uint32_t words, uint32_t longest) {
    test::DataFixture fx;
    std::vector<TableEntry> entries;
    const int kind = round / 6 % 3;
    for (int i = 0; i < n; ++i) {
        std::string code = "a";
        for (int k = static_cast<int>(rng() % longest); k > 0; --k) code.push_back(static_cast<char>('a' + rng() % 3));
        // Few distinct words, so that duplicates are common.
        std::u16string word(1 + rng() % 2, u'一');
        for (auto& u : word) u = static_cast<char16_t>(0x4E00 + rng() % words);
        uint32_t a = attr::make(static_cast<uint16_t>(rng() % 6), 1, kind == 0 && rng() % 4 == 0);
        if (kind == 2 && rng() % 4 == 0) a |= 0x10000u << (rng() % 4);
        entries.push_back({code, word, a});
    }
    fx.writeMain(entries);
    const bool dedup = round % 2 == 0;
    auto b = fx.blocks();
    b.ime.setBit(ImeSettings::OptionC, ImeSettings::C_HideSameWordOtherCode, dedup);
    const uint32_t basis[] = {ImeSettings::B_SingleFirst, ImeSettings::B_ByCode, 0};
    b.ime.setU32(ImeSettings::OptionB, basis[round % 3]);
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    CodeSearch s;
    s.key = reinterpret_cast<const uint8_t*>("a");
    s.len = 1;
    s.prefix = true;
    s.range = currentSearchRange(*ctx);
    searchCode(*ctx, s);
    const std::vector<int> expected = referenceOrder(*ctx, dedup);
    // Ask for positions in a random order, as paging back and forth does.
    resetPage(*ctx);
    std::vector<int> asked(expected.size() + 3);
    for (size_t i = 0; i < asked.size(); ++i) asked[i] = static_cast<int>(i);
    std::shuffle(asked.begin(), asked.begin() + static_cast<long>(std::min<size_t>(asked.size(), 6)), rng);
    for (int k : asked) {
        const Candidate* c = orderedCandidate(*ctx, k);
        if (k >= static_cast<int>(expected.size())) {
            EXPECT_EQ(nullptr, c) << "round " << round << " position " << k;
        } else {
            ASSERT_NE(nullptr, c) << "round " << round << " position " << k;
            EXPECT_EQ(&ctx->candidates.items[expected[k]], c) << "round " << round << " position " << k;
        }
    }
    EXPECT_EQ(static_cast<int>(expected.size()), orderedCount(*ctx));
}

TEST(CandidateOrder, LazyOrderEqualsAFullSort) {
    std::mt19937 rng(77);
    for (int round = 0; round < 54; ++round)
        expectLazyOrderEqualsAFullSort(rng, round, 1 + static_cast<int>(rng() % 400), 12, 4);
}

// Short lists of few words and codes: equal texts within one score, with
// and without fixed entries, are common there.
TEST(CandidateOrder, ShortListOrderEqualsAFullSort) {
    std::mt19937 rng(78);
    for (int round = 0; round < 180; ++round)
        expectLazyOrderEqualsAFullSort(rng, round, 2 + static_cast<int>(rng() % 15), 3, 2);
}

TEST(CandidateOrder, PlainTextKeepsItsOrderWhenDuplicatesHide) {
    test::DataFixture fx;
    fx.writeMain({{"a", u"一", attr::make(1, 1, false)}});
    fx.blocks().ime.setBit(ImeSettings::OptionC, ImeSettings::C_HideSameWordOtherCode, true);
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    const std::u16string texts[] = {u"zeta", u"alpha", u"mid", u"alpha", u"beta", u"zeta", u"omega"};
    for (const auto& t : texts) addTextCandidate(*ctx, t, SourcePlainText, 0);
    resetPage(*ctx);
    std::vector<std::u16string> shown;
    for (int k = 0; const Candidate* c = orderedCandidate(*ctx, k); ++k) shown.push_back(candidateText(*ctx, *c));
    EXPECT_EQ((std::vector<std::u16string>{u"zeta", u"alpha", u"mid", u"beta", u"omega"}), shown);
}


// A long list is kept for the same code typed again; whatever changes in
// the table in between, in this process or another, the list and its order
// must be those a fresh engine finds.
// A table whose first key holds more entries than a scan takes: the lists
// of such lookups are kept.
void writeLongTable(test::DataFixture& fx) {
    std::mt19937 rng(5);
    std::vector<TableEntry> entries;
    for (int i = 0; i < 1500; ++i) {
        std::string code = "a";
        for (int k = 1 + static_cast<int>(rng() % 3); k > 0; --k) code.push_back(static_cast<char>('a' + rng() % 4));
        std::u16string word(1, static_cast<char16_t>(0x4E00 + rng() % 600));
        entries.push_back({code, word, attr::make(static_cast<uint16_t>(rng() % 50), 1, rng() % 9 == 0)});
    }
    fx.writeMain(entries);
}

// What typing "a" shows: every candidate in display order (record and
// attributes).
std::vector<std::pair<uint32_t, uint32_t>> shownForA(EngineContext& c) {
    c.candidates.clear();
    resetPage(c);
    CodeSearch s;
    s.key = reinterpret_cast<const uint8_t*>("a");
    s.len = 1;
    s.prefix = true;
    s.range = currentSearchRange(c);
    searchCode(c, s);
    sortAndFirstPage(c);
    std::vector<std::pair<uint32_t, uint32_t>> order;
    for (int k = 0; const Candidate* cand = orderedCandidate(c, k); ++k) order.push_back({cand->ref, cand->attributes});
    return order;
}

// What the search for "a" found, in the list's order, hidden duplicates
// too.
std::vector<std::pair<uint32_t, uint32_t>> foundForA(EngineContext& c) {
    shownForA(c);
    std::vector<std::pair<uint32_t, uint32_t>> found;
    for (int k = 0; k < c.candidates.count; ++k) {
        const Candidate& cand = c.candidates.items[k];
        found.push_back({cand.ref, cand.attributes});
    }
    return found;
}

// How the records of main.dmg lie: as a table is built, each code's
// records in index order; in two blocks, the later entries' records first;
// or in the reverse of index order, as a table grown one entry at a time
// may hold them, so that no two records a walk reads lie side by side.
enum class Layout { IndexOrder, TwoBlocks, Reversed };

void layOutRecords(test::DataFixture& fx, Layout layout) {
    if (layout == Layout::IndexOrder) return;
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    uint8_t* base = ctx->file(SlotMain)->data();
    const CodeTable t = tableView(*ctx, SlotMain);
    std::vector<std::vector<uint8_t>> records;
    std::vector<uint32_t> order;
    for (uint32_t i = 0; i < t.count(); ++i) {
        const EntryView e = t.entry(i);
        records.emplace_back(base + e.offset, base + e.offset + e.recordSize());
        order.push_back(i);
    }
    if (layout == Layout::Reversed)
        std::reverse(order.begin(), order.end());
    else
        std::rotate(order.begin(), order.begin() + order.size() / 2, order.end());
    uint32_t at = t.low();
    for (const uint32_t i : order) {
        std::memcpy(base + at, records[i].data(), records[i].size());
        wr32(base + dmg::IndexStart + 4 * i, at);
        at += static_cast<uint32_t>(records[i].size());
    }
}

TEST(CandidateOrder, KeptListsFollowEveryChangeOfTheTable) {
    // Records side by side are checked as stretches of bytes, scattered
    // ones word by word.
    for (const auto& [layout, stretches] :
         {std::pair{Layout::IndexOrder, 1u}, std::pair{Layout::TwoBlocks, 2u}, std::pair{Layout::Reversed, 0u}}) {
        SCOPED_TRACE(stretches);
        test::DataFixture fx;
        writeLongTable(fx);
        fx.writeTemp();  // empty: its scan finds nothing to walk
        layOutRecords(fx, layout);
        fx.blocks().ime.setBit(ImeSettings::OptionC, ImeSettings::C_HideSameWordOtherCode, true);
        auto ctx = fx.open();
        ASSERT_TRUE(ctx);
        // An engine that keeps nothing works the list out afresh.
        auto fresh = [&] {
            auto other = fx.open();
            other->keepsLookups = false;
            return shownForA(*other);
        };
        auto raiseInAnotherEngine = [&](uint32_t record) {
            auto other = fx.open();
            uint8_t* rec = other->file(SlotMain)->data() + record;
            wr32(rec, (rd32(rec) & ~0xFFFFu) | ((rd32(rec) + 1000) & 0xFFFF));
        };
        const auto first = shownForA(*ctx);
        ASSERT_TRUE(ctx->memoInList) << "a list this long is kept";
        const LookupMemo& kept = *ctx->memoInList;
        EXPECT_EQ(stretches, kept.runs[0].size());
        EXPECT_EQ(first, shownForA(*ctx));
        EXPECT_EQ(first, fresh());
        // Past the order kept with it, the order is worked out again.
        ASSERT_TRUE(kept.order);
        EXPECT_GT(first.size(), kept.order->ordered.size());

        // Deleted in place, as the configuration program does.
        ASSERT_TRUE(setEntryDeleted(*ctx, SlotMain, first[1].first, true));
        EXPECT_EQ(fresh(), shownForA(*ctx));
        // Another engine raises order values in place (frequency learning):
        // the first, a middle and the last entry the walk read.
        const std::vector<uint32_t> walked = kept.slots[0];
        for (const uint32_t record : {walked.front(), walked[walked.size() / 2], walked.back()}) {
            const auto before = foundForA(*ctx);
            raiseInAnotherEngine(record);
            const auto after = foundForA(*ctx);
            EXPECT_NE(before, after);
            EXPECT_EQ(foundForA(*fx.open()), after);
            EXPECT_EQ(fresh(), shownForA(*ctx));
        }
        // Another engine adds an entry: this one sees it after syncing.
        {
            auto other = fx.open();
            RecordBuffer rec;
            ASSERT_TRUE(buildCodeRecord(attr::make(0xFFFF, 1, true), "a", u"新", rec));
            ASSERT_NE(AddResult::Failed, addEntry(*other, SlotMain, rec));
        }
        syncTables(*ctx);
        const auto added = shownForA(*ctx);
        EXPECT_EQ(fresh(), added);
        EXPECT_TRUE(std::any_of(added.begin(), added.end(), [&](const auto& e) {
            return candidateText(*ctx, Candidate{e.first, 0, 0, SourceMain, SlotMain, 0xFF}) == u"新";
        }));
    }
}

#ifndef _WIN32
// Another process deletes what a kept list holds, in place and after it
// grew the table (so that this process's mapping is an old one): the next
// lookup never shows the deleted entry, and shows what a fresh engine does.
TEST(CandidateOrder, AKeptListNeverShowsWhatAnotherProcessDeleted) {
    test::DataFixture fx;
    writeLongTable(fx);
    fx.writeTemp();
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    auto inAnotherProcess = [&](auto change) {
        const pid_t child = fork();
        if (child == 0) {
            auto other = fx.open();
            _exit(other && change(*other) ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(child, waitpid(child, &status, 0));
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    };
    auto fresh = [&] {
        auto other = fx.open();
        other->keepsLookups = false;
        return shownForA(*other);
    };
    auto shows = [](const std::vector<std::pair<uint32_t, uint32_t>>& list, uint32_t ref) {
        return std::any_of(list.begin(), list.end(), [&](const auto& e) { return e.first == ref; });
    };
    const auto first = shownForA(*ctx);
    ASSERT_TRUE(ctx->memoInList) << "a list this long is kept";
    ASSERT_GE(first.size(), 3u);

    const uint32_t inPlace = first[0].first;
    inAnotherProcess([&](EngineContext& other) { return setEntryDeleted(other, SlotMain, inPlace, true); });
    const auto afterDelete = shownForA(*ctx);
    EXPECT_FALSE(shows(afterDelete, inPlace));
    EXPECT_EQ(fresh(), afterDelete);

    // Growth first: this engine's mapping no longer covers the file.
    const uint32_t afterGrowth = afterDelete[1].first;
    const uint32_t mappedSize = ctx->file(SlotMain)->size();
    inAnotherProcess([&](EngineContext& other) {
        for (int k = 0; k < 40; ++k) {
            RecordBuffer rec;
            const std::u16string word{static_cast<char16_t>(0x7000 + k), u'长'};
            if (!buildCodeRecord(attr::make(100, 1), "abcd", word, rec) ||
                addEntry(other, SlotMain, rec) != AddResult::Added)
                return false;
        }
        return setEntryDeleted(other, SlotMain, afterGrowth, true);
    });
    const auto afterGrown = shownForA(*ctx);
    EXPECT_GT(ctx->file(SlotMain)->size(), mappedSize) << "the kept lookup mapped the grown table first";
    EXPECT_FALSE(shows(afterGrown, inPlace));
    EXPECT_FALSE(shows(afterGrown, afterGrowth));
    EXPECT_EQ(fresh(), afterGrown);
}
#endif

// Memory for kept lists may be taken ahead: the first heavy lookup of a
// code is kept there instead of in fresh memory. The kept lists belong to
// the folder: a second engine of the process on it finds them.
TEST(CandidateOrder, AHeavyLookupIsKeptInMemoryTakenAheadAndShared) {
    test::DataFixture fx;
    writeLongTable(fx);
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    reserveKeptLists(*ctx, 2);
    ASSERT_EQ(2u, ctx->share->memos.size());
    const Candidate* reserved[2] = {ctx->share->memos[0]->items.data(), ctx->share->memos[1]->items.data()};
    const auto order = shownForA(*ctx);
    ASSERT_TRUE(ctx->memoInList) << "a list this long is kept";
    EXPECT_EQ(2u, ctx->share->memos.size());
    const LookupMemo& kept = *ctx->memoInList;
    EXPECT_TRUE(kept.items.data() == reserved[0] || kept.items.data() == reserved[1]);
    EXPECT_EQ(order, shownForA(*ctx));

    auto second = fx.open();
    ASSERT_TRUE(second);
    EXPECT_EQ(ctx->share, second->share);
    EXPECT_EQ(ctx->file(SlotMain), second->file(SlotMain));
    EXPECT_EQ(order, shownForA(*second));
    EXPECT_EQ(ctx->memoInList, second->memoInList);
}

// A kept list is read in place; whatever adds to the list or changes it
// works on the list's own copy, so the kept list stays as it was.
TEST(CandidateOrder, ASharedListIsCopiedBeforeItChanges) {
    auto list = std::make_unique<CandidateList>();
    std::vector<Candidate> kept = {{100, 129, 7, SourceMain, SlotMain, 0xFF},
                                   {200, 128, 8, SourceMain, SlotMain, 0xFF},
                                   {300, 129, 9, SourceMain, SlotMain, 0xFF}};
    std::vector<int> keptChains = {-1, -1, 0};
    std::array<int, CandidateList::MaxCountedScore + 1> last;
    last.fill(-1);
    last[129] = 2;
    last[128] = 1;
    const std::vector<Candidate> keptBefore = kept;
    list->share(kept.data(), keptChains.data(), 3, last);
    EXPECT_TRUE(list->shared());
    EXPECT_EQ(300u, list->items[list->scoreLast[129]].ref);

    list->push({400, 129, 10, SourceMain, SlotMain, 0xFF});
    EXPECT_FALSE(list->shared());
    ASSERT_EQ(4, list->count);
    // The group of 129 is chained through the copy: 400, 300, 100.
    std::vector<uint32_t> group;
    for (int i = list->scoreLast[129]; i >= 0; i = list->sameScoreBefore[i]) group.push_back(list->items[i].ref);
    EXPECT_EQ((std::vector<uint32_t>{400, 300, 100}), group);
    for (size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(keptBefore[i].ref, kept[i].ref);
        EXPECT_EQ(keptBefore[i].attributes, kept[i].attributes);
    }
    EXPECT_EQ((std::vector<int>{-1, -1, 0}), keptChains);

    list->share(kept.data(), keptChains.data(), 3, last);
    list->clear();
    EXPECT_FALSE(list->shared());
    EXPECT_EQ(0, list->count);
}

// A damaged record whose code length runs past every code the key can
// begin is refused by the scan, whatever its length byte says.
TEST(CandidateOrder, ScanRefusesImpossibleCodeLengths) {
    test::DataFixture fx;
    fx.writeMain({{"a", u"一", attr::make(1, 1, false)}, {"ab", u"二", attr::make(1, 1, false)},
                  {"abc", u"三", attr::make(1, 1, false)}});
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    CodeTable t = tableView(*ctx, SlotMain);
    ASSERT_EQ(3u, t.count());
    t.base()[t.indexSlot(1) + 4] = 0xF0;  // "ab" claims 240 code bytes
    CodeSearch s;
    s.key = reinterpret_cast<const uint8_t*>("a");
    s.len = 1;
    s.prefix = true;
    s.range = currentSearchRange(*ctx);
    EXPECT_EQ(2, searchCode(*ctx, s));
    sortAndFirstPage(*ctx);
    for (int k = 0; const Candidate* c = orderedCandidate(*ctx, k); ++k) EXPECT_GE(c->score, 1);
}

}  // namespace
}  // namespace zv
