// The display order is worked out lazily, a score group at a time; whatever
// the pages ask for, it must equal a full de-duplication and sort.

#include "engine/candidates.h"
#include "engine/data_files.h"
#include "engine/lookup.h"
#include "tests/support/data_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

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

TEST(CandidateOrder, LazyOrderEqualsAFullSort) {
    std::mt19937 rng(77);
    for (int round = 0; round < 40; ++round) {
        test::DataFixture fx;
        std::vector<TableEntry> entries;
        const int n = 1 + static_cast<int>(rng() % 400);
        for (int i = 0; i < n; ++i) {
            std::string code = "a";
            for (int k = static_cast<int>(rng() % 4); k > 0; --k) code.push_back(static_cast<char>('a' + rng() % 3));
            // Few distinct words, so that duplicates are common.
            std::u16string word(1 + rng() % 2, u'一');
            for (auto& u : word) u = static_cast<char16_t>(0x4E00 + rng() % 12);
            entries.push_back({code, word, attr::make(static_cast<uint16_t>(rng() % 6), 1, rng() % 7 == 0)});
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

}  // namespace
}  // namespace zv
