#include "engine/bytes.h"
#include "engine/data_files.h"
#include "engine/code_search.h"
#include "engine/lookup.h"
#include "tests/support/data_fixture.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

using test::DataFixture;

// Searches both tables for a code with the engine's current range.
int search(EngineContext& ctx, const std::string& code, bool prefix) {
    CodeSearch s;
    s.key = reinterpret_cast<const uint8_t*>(code.data());
    s.len = static_cast<uint32_t>(code.size());
    s.prefix = prefix;
    s.range = currentSearchRange(ctx);
    return searchCode(ctx, s);
}

std::vector<std::u16string> texts(const EngineContext& ctx) {
    std::vector<std::u16string> out;
    for (int i = 0; i < ctx.candidates.count; ++i) out.push_back(candidateText(ctx, ctx.candidates.items[i]));
    return out;
}

std::vector<int> scores(const EngineContext& ctx) {
    std::vector<int> out;
    for (int i = 0; i < ctx.candidates.count; ++i) out.push_back(ctx.candidates.items[i].score);
    return out;
}

// The candidate list as its own display order.
std::vector<int> identity(const EngineContext& ctx) {
    std::vector<int> order;
    for (int i = 0; i < ctx.candidates.count; ++i) order.push_back(i);
    return order;
}



TEST(Lookup, ProgressiveScoresRankExactBeforeLongerCodes) {
    DataFixture fx;
    fx.writeMain({{"ab", u"甲", attr::make(100, 1)},
                  {"abc", u"乙", attr::make(9000, 1)},
                  {"abcd", u"丙", attr::make(0xFFFF, 1)},
                  {"abd", u"丁", attr::make(50, 1)},
                  {"ac", u"戊", attr::make(1, 1)}});
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    search(*ctx, "ab", true);
    orderCandidates(*ctx, false);
    EXPECT_EQ((std::vector<std::u16string>{u"甲", u"乙", u"丁", u"丙"}), texts(*ctx));
    EXPECT_EQ((std::vector<int>{129, 128, 128, 127}), scores(*ctx));
    EXPECT_EQ(u"", candidateHint(*ctx, ctx->candidates.items[0]));
    EXPECT_EQ(u"c", candidateHint(*ctx, ctx->candidates.items[1]));
    EXPECT_EQ(u"cd", candidateHint(*ctx, ctx->candidates.items[3]));
    // Without the prefix flag only the exact code scores.
    ctx->candidates.clear();
    search(*ctx, "ab", false);
    EXPECT_EQ((std::vector<std::u16string>{u"甲"}), texts(*ctx));
}

TEST(Lookup, WildcardQueryMatchesPositionsAndFollowsItsOptions) {
    DataFixture fx;
    fx.writeMain({{"abc", u"一", 0},
                  {"axc", u"二", 0},
                  {"axcd", u"三", 0},
                  {"axd", u"四", 0},
                  {"ayc", u"五六", 0},
                  {"ac", u"七", 0},
                  {"azc", u"八", attr::make(0, 1, false, true)}});
    auto b = fx.blocks();
    b.dme.setU32(DmeSettings::OptionD, DmeSettings::D_QuerySingleOnly);
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    const std::string key = std::string("a") + char(dmg::Wildcard) + "c";
    search(*ctx, key, false);
    orderCandidates(*ctx, false);
    EXPECT_EQ((std::vector<std::u16string>{u"一", u"二", u"三"}), texts(*ctx));
    EXPECT_EQ((std::vector<int>{64, 64, 63}), scores(*ctx));
    EXPECT_EQ(u"", candidateHint(*ctx, ctx->candidates.items[0]).substr(2));
    // Words come back when the query is not limited to single characters.
    ctx->blocks.dme.setU32(DmeSettings::OptionD, 0);
    ctx->candidates.clear();
    search(*ctx, key, false);
    EXPECT_EQ(4, ctx->candidates.count);
}

TEST(Lookup, LeadingWildcardTriesEveryCodeCharacter) {
    DataFixture fx;
    fx.writeMain({{"ab", u"一", 0}, {"cb", u"二", 0}, {"b", u"三", 0}, {"cbb", u"四", 0}});
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    const std::string key = std::string(1, char(dmg::Wildcard)) + "b";
    search(*ctx, key, true);
    orderCandidates(*ctx, false);
    // Scored as a query even though each tried key is plain.
    EXPECT_EQ((std::vector<std::u16string>{u"一", u"二", u"四"}), texts(*ctx));
    EXPECT_EQ((std::vector<int>{64, 64, 63}), scores(*ctx));
    // A lone wildcard needs 开启首键查询 and then finds one-key codes only.
    ctx->candidates.clear();
    search(*ctx, std::string(1, char(dmg::Wildcard)), false);
    EXPECT_EQ(0, ctx->candidates.count);
    ctx->blocks.dme.setU32(DmeSettings::OptionD, DmeSettings::D_QueryFirstKey);
    search(*ctx, std::string(1, char(dmg::Wildcard)), false);
    EXPECT_EQ((std::vector<std::u16string>{u"三"}), texts(*ctx));
}

TEST(Lookup, WordsHiddenBelowTheirCodeLengthExceptMacros) {
    DataFixture fx;
    fx.writeMain({{"ab", u"甲", 0}, {"abcd", u"工人", 0}, {"abcd", u"$zvcmd(run(x),[x])", 0}, {"abcd", u"𠀀", 0}});
    auto b = fx.blocks();
    b.dme.setU32(DmeSettings::OptionD, 3u << DmeSettings::D_WordLengthShift);
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    search(*ctx, "ab", true);
    orderCandidates(*ctx, false);
    // The surrogate pair is one character, so it is not a word.
    EXPECT_EQ((std::vector<std::u16string>{u"甲", u"$zvcmd(run(x),[x])", u"𠀀"}), texts(*ctx));
    ctx->candidates.clear();
    search(*ctx, "abc", true);
    EXPECT_EQ(3, ctx->candidates.count);
}

TEST(Lookup, AdmissionByCategoryAndSearchRange) {
    DataFixture fx;
    fx.writeMain({{"aa", u"系", attr::make(0, CategorySystem)},
                  {"aa", u"用", attr::make(0, CategoryUser)},
                  {"aa", u"次", attr::make(0, CategorySecondary)},
                  {"aa", u"辅", attr::make(0, CategoryAuxiliary)},
                  {"aa", u"类", attr::make(0, 20)},
                  {"aa", u"删", attr::make(0, CategorySystem, false, true)}});
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    auto admitted = [&](SearchRange r) {
        ctx->candidates.clear();
        const std::string code = "aa";
        CodeSearch s;
        s.key = reinterpret_cast<const uint8_t*>(code.data());
        s.len = 2;
        s.range = r;
        searchCode(*ctx, s);
        orderCandidates(*ctx, false);
        std::u16string all;
        for (auto& t : texts(*ctx)) all += t;
        return all;
    };
    // Equal scores and order values: table position decides, which is the
    // order the image builder packed them in (sorted by word).
    std::u16string mainAndAux = admitted({true, true, false, false});
    EXPECT_EQ(4u, mainAndAux.size());
    EXPECT_EQ(std::u16string::npos, mainAndAux.find(u'次'));
    EXPECT_EQ(std::u16string::npos, mainAndAux.find(u'删'));
    EXPECT_EQ(3u, admitted({true, false, false, false}).size());        // no auxiliary
    EXPECT_EQ(u"辅", admitted({false, true, false, false}));             // auxiliary only
    EXPECT_EQ(u"次", admitted({true, true, true, false}));               // secondary only
    EXPECT_EQ(u"", admitted({false, true, true, false}));                // secondary needs the main scheme
    EXPECT_EQ(5u, admitted({true, true, false, true}).size());          // secondary beside main
}

TEST(Lookup, CandidateOrderCriteria) {
    DataFixture fx;
    fx.writeMain({{"a", u"工人们", attr::make(900, 1)},
                  {"a", u"戈", attr::make(10, 1)},
                  {"ab", u"工", attr::make(5000, 1)},
                  {"a", u"式", attr::make(10, 1, true)},
                  {"a", u"大家", attr::make(20, 1)},
                  {"a", u"夫", attr::make(10, 1)}});
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    auto ordered = [&](uint32_t basis) {
        ctx->blocks.ime.setU32(ImeSettings::OptionB, basis);
        ctx->candidates.clear();
        search(*ctx, "a", true);
        orderCandidates(*ctx, false);
        return texts(*ctx);
    };
    // Score first; then fixed, then order value, then table position (夫 was
    // packed before 戈 because the builder packs records in index order).
    EXPECT_EQ((std::vector<std::u16string>{u"式", u"工人们", u"大家", u"夫", u"戈", u"工"}), ordered(0));
    // 单字先见: one character before longer words among equal scores.
    EXPECT_EQ((std::vector<std::u16string>{u"式", u"夫", u"戈", u"大家", u"工人们", u"工"}),
              ordered(ImeSettings::B_SingleFirst));
    // Both bits: only the single-character criterion applies.
    EXPECT_EQ(ordered(ImeSettings::B_SingleFirst), ordered(ImeSettings::B_SingleFirst | ImeSettings::B_ByCode));
    // Association ignores the sort basis.
    ctx->candidates.clear();
    search(*ctx, "a", true);
    orderCandidates(*ctx, true);
    EXPECT_EQ(u"式", texts(*ctx)[0]);
    EXPECT_EQ(u"工人们", texts(*ctx)[1]);
}

TEST(Lookup, OrderingByCodeComparesCodesBeforeOrderValues) {
    DataFixture fx;
    fx.writeMain({{"abd", u"一", attr::make(9, 1)}, {"abc", u"二", attr::make(1, 1)}});
    auto b = fx.blocks();
    b.ime.setU32(ImeSettings::OptionB, ImeSettings::B_ByCode);
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    search(*ctx, "ab", true);
    orderCandidates(*ctx, false);
    EXPECT_EQ((std::vector<std::u16string>{u"二", u"一"}), texts(*ctx));
}

struct FrequencyCase {
    FrequencyMode mode;
    std::vector<uint16_t> before;  // order values, candidates in list order
    int chosen;
    std::vector<uint16_t> after;
};

TEST(Lookup, FrequencyAdjustmentModes) {
    const FrequencyCase cases[] = {
        {FreqToTop, {500, 400, 300, 200}, 3, {500, 400, 300, 501}},
        {FreqGradual, {500, 400, 300, 200}, 3, {500, 400, 300, 401}},
        {FreqToTop, {0xFFFF, 400}, 1, {0xFFFE, 0xFFFF}},
        {FreqCount, {500, 400}, 1, {500, 401}},
        {FreqCount, {0xFFFF, 0xFFFF, 0xFFFF}, 2, {0xFFFE, 0xFFFE, 0xFFFF}},
        {FreqNone, {500, 400}, 1, {500, 400}},
    };
    for (const auto& fc : cases) {
        DataFixture fx;
        std::vector<TableEntry> entries;
        const char16_t words[] = u"甲乙丙丁";
        for (size_t i = 0; i < fc.before.size(); ++i)
            entries.push_back({"aa", std::u16string(1, words[i]), attr::make(fc.before[i], 1)});
        fx.writeMain(entries);
        auto ctx = fx.open();
        ASSERT_TRUE(ctx);
        search(*ctx, "aa", false);
        orderCandidates(*ctx, false);
        adjustFrequency(*ctx, identity(*ctx), fc.chosen, fc.mode);
        std::vector<uint16_t> after;
        for (int i = 0; i < ctx->candidates.count; ++i)
            after.push_back(attr::order(candidateEntry(*ctx, ctx->candidates.items[i]).attributes));
        EXPECT_EQ(fc.after, after) << "mode " << fc.mode << " chosen " << fc.chosen;
    }
}

TEST(Lookup, FrequencyAdjustmentLeavesFixedEntriesAlone) {
    DataFixture fx;
    fx.writeMain({{"aa", u"甲", attr::make(10, 1, true)}, {"aa", u"乙", attr::make(500, 1)}, {"aa", u"丙", attr::make(9, 1, true)}});
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    search(*ctx, "aa", false);
    orderCandidates(*ctx, false);
    ASSERT_EQ((std::vector<std::u16string>{u"甲", u"丙", u"乙"}), texts(*ctx));
    // No unfixed candidate above 乙: nothing changes; a fixed one never moves.
    EXPECT_FALSE(adjustFrequency(*ctx, identity(*ctx), 2, FreqToTop));
    EXPECT_FALSE(adjustFrequency(*ctx, identity(*ctx), 1, FreqToTop));
    search(*ctx, "aa", false);
    ctx->candidates.count = 3;
    EXPECT_EQ(500, attr::order(candidateEntry(*ctx, ctx->candidates.items[2]).attributes));
}

TEST(Lookup, WordListSearchLowerThenUpperAndSeparator) {
    DataFixture fx;
    fx.writeFile("engl.dmg", buildWordListImage({{"", u"hello", 1}, {"", u"help", 1}, {"", u"HELLO", 1},
                                                 {"", u"Hello", 1}, {"", u"he", 1}, {"", u"hx", 1}}));
    fx.writeFile("sysl.dmg", buildWordListImage({{"", u"中国#人民", 1}, {"", u"中国人", 1}, {"", u"中#x", 1}}));
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    searchWordList(*ctx, u"He", WordEnglish | WordScored);
    EXPECT_EQ((std::vector<std::u16string>{u"hello", u"help", u"HELLO"}), texts(*ctx));
    EXPECT_EQ((std::vector<int>{126, 127, 126}), scores(*ctx));
    ctx->candidates.clear();
    searchWordList(*ctx, u"he", WordEnglish | WordAllowEqual);
    EXPECT_EQ((std::vector<std::u16string>{u"he", u"hello", u"help", u"HELLO"}), texts(*ctx));
    ctx->candidates.clear();
    searchWordList(*ctx, u"中国", WordSeparator);
    EXPECT_EQ((std::vector<std::u16string>{u"中国#人民"}), texts(*ctx));
    ctx->candidates.clear();
    searchWordList(*ctx, u"中国", 0);
    EXPECT_EQ(4, ctx->candidates.count);  // searched twice: no case to change
}

}  // namespace
}  // namespace zv
