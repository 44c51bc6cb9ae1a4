#include "engine/macros.h"

#include "engine/lookup.h"
#include "platform/clock.h"
#include "tests/support/data_fixture.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

class Placeholders : public ::testing::Test {
protected:
    Placeholders() {
        clock.set({2026, 5, 7, 12, 40, 5, 4});
        sources.clock = &clock;
        sources.clipboard = &services;
        sources.lastOutput = u"上次";
        sources.previousComposition = u"wqvb";
    }
    // Each expansion reads the clock and the clipboard afresh.
    std::u16string expand(std::u16string_view text) {
        const MacroSources fresh{sources.clock, sources.clipboard, sources.lastOutput, sources.previousComposition};
        return expandPlaceholders(text, fresh);
    }

    platform::ManualClock clock;
    test::RecordingServices services;
    MacroSources sources;
};

TEST_F(Placeholders, DateFields) {
    EXPECT_EQ(u"2026|26|26|5|05|7|07", expand(u"<date.yyyy>|<date.yy>|<date.y>|<date.m>|<date.mm>|<date.d>|<date.dd>"));
    EXPECT_EQ(u"二〇二六|二六|五|零五|七|零七", expand(u"<date.YYYY>|<date.Y>|<date.M>|<date.MM>|<date.D>|<date.DD>"));
    EXPECT_EQ(u"星期四 周四", expand(u"<date.z> <date.Z>"));
    EXPECT_EQ(u"2026年5月7日", expand(u"<data.yyyy>年<data.m>月<data.d>日"));
    clock.set({2005, 12, 31, 0, 0, 0, 6});
    EXPECT_EQ(u"05 〇五 十二 三十一 星期六", expand(u"<date.yy> <date.Y> <date.M> <date.D> <date.z>"));
}

TEST_F(Placeholders, TimeFields) {
    EXPECT_EQ(u"12|12|40|40|5|05", expand(u"<time.h>|<time.hh>|<time.m>|<time.mm>|<time.s>|<time.ss>"));
    EXPECT_EQ(u"十二|十二|四十|四十|五|零五", expand(u"<time.H>|<time.HH>|<time.M>|<time.MM>|<time.S>|<time.SS>"));
    clock.set({2026, 5, 7, 9, 0, 31, 4});
    EXPECT_EQ(u"09 零九 零 零零 三十一", expand(u"<time.hh> <time.HH> <time.M> <time.MM> <time.S>"));
}

TEST_F(Placeholders, UnknownFieldsAndNames) {
    // A known name with an unknown field gives "#"; an unknown name, an
    // over-long part or a missing ">" leaves the text as it is.
    EXPECT_EQ(u"# # # #", expand(u"<time.x> <date.q> <time> <date.HH>"));
    EXPECT_EQ(u"<foo.bar> <日期> a<b", expand(u"<foo.bar> <日期> a<b"));
    std::u16string longName = u"<" + std::u16string(21, u'x') + u">";
    EXPECT_EQ(longName, expand(longName));
    std::u16string longField = u"<u16value." + std::u16string(21, u'a') + u">";
    EXPECT_EQ(longField, expand(longField));
    // The placeholder starts at the "<" nearest to its ">".
    EXPECT_EQ(u"<5>", expand(u"<<date.m>>"));
}

TEST_F(Placeholders, LastU16ValueAndClipboard) {
    EXPECT_EQ(u"[上次][wqvb][ ][ ]", expand(u"[<last.1>][<last.2>][<last.3>][<last>]"));
    sources.lastOutput = u"";
    EXPECT_EQ(u"[ ]", expand(u"[<last.1>]"));

    EXPECT_EQ(u"0x20013,", expand(u"<u16value.中>"));
    EXPECT_EQ(u"0x97,0x46,", expand(u"<u16value.a.>"));
    EXPECT_EQ(u"<u16value>", expand(u"<u16value>"));

    EXPECT_EQ(u"<clipboard>", expand(u"<clipboard>"));  // empty clipboard
    services.clipboard = u"剪贴板";
    EXPECT_EQ(u"[剪贴板]", expand(u"[<clipboard>]"));
    services.clipboard = std::u16string(127, u'x') + u"𠀀";
    EXPECT_EQ(std::u16string(127, u'x'), expand(u"<clipboard>"));
}

// One entry reads the time and the clipboard once: its placeholders show one
// moment, even when a second passes while it is expanded.
TEST(MacroEntries, OneEntryReadsTheClockAndTheClipboardOnce) {
    struct TickingClock : platform::ManualClock {
        int reads = 0;
        platform::LocalTime localTime() override {
            ++reads;
            advance(1000);
            return ManualClock::localTime();
        }
    } clock;
    clock.set({2026, 12, 31, 23, 59, 59, 4});
    test::RecordingServices services;
    services.clipboard = u"剪";
    MacroSources sources{&clock, &services, u"", u""};
    const auto m = parseMacroEntry(u"$zvcmd(<date.yyyy><time.ss><clipboard>,<date.d>日<time.s><clipboard>)", sources);
    ASSERT_TRUE(m);
    EXPECT_EQ(u"202700剪", m->output);
    EXPECT_EQ(u"1日0剪", m->display);
    EXPECT_EQ(1, clock.reads);
}

TEST_F(Placeholders, ResultIsCutAt129Units) {
    std::u16string twenty(20, u'中');
    EXPECT_EQ(kMacroTextUnits, expand(u"<u16value." + twenty + u">").size());
    EXPECT_EQ(kMacroTextUnits, expand(std::u16string(300, u'a')).size());
    EXPECT_EQ(kMacroTextUnits, expand(std::u16string(120, u'a') + u"<date.z><date.z><date.z>").size());
}

TEST(EntryEscapes, KnownAndUnknownEscapes) {
    EXPECT_EQ(u"a\\b c\td\r\ne\\x\\", applyEntryEscapes(u"a\\\\b\\sc\\td\\re\\x\\"));
}

TEST_F(Placeholders, MacroEntries) {
    auto m = parseMacroEntry(u"$zvcmd(run(notepad.exe),[记事本])", sources);
    ASSERT_TRUE(m);
    EXPECT_EQ(u"run(notepad.exe)", m->output);
    EXPECT_EQ(u"[记事本]", m->display);

    m = parseMacroEntry(u"$zvcmd(甲,乙,丙丁)", sources);
    ASSERT_TRUE(m);
    EXPECT_EQ(u"甲,乙", m->output);
    EXPECT_EQ(u"丙丁", m->display);

    m = parseMacroEntry(u"$zvcmd(newkey(zzbd),bd(标点符号))", sources);
    EXPECT_EQ(u"newkey(zzbd)", m->output);
    EXPECT_EQ(u"bd(标点符号)", m->display);

    m = parseMacroEntry(u"$zvcmd(<date.yyyy>年<date.m>月<date.d>日 <time.h>时<time.mm>分,<date.m>月<date.d>日)", sources);
    EXPECT_EQ(u"2026年5月7日 12时40分", m->output);
    EXPECT_EQ(u"5月7日", m->display);

    m = parseMacroEntry(u"$zvcmd(没有逗号的宏)", sources);
    EXPECT_EQ(u"没有逗号的宏", m->output);
    EXPECT_EQ(u"没有逗号的宏", m->display);

    // Escapes apply before placeholders.
    m = parseMacroEntry(u"$zvcmd(\\<date.m>\\s<date.d>\\r,x)", sources);
    EXPECT_EQ(u"\\5 7\r\n", m->output);
}

TEST_F(Placeholders, QuotedMacroOutput) {
    auto m = parseMacroEntry(u"$zvcmd(\"a, b\",显示)", sources);
    ASSERT_TRUE(m);
    EXPECT_EQ(u"a, b", m->output);
    EXPECT_EQ(u"显示", m->display);
    m = parseMacroEntry(u"$zvcmd(\"引号内\")", sources);
    EXPECT_EQ(u"引号内", m->output);
    EXPECT_EQ(u"引号内", m->display);
}

TEST_F(Placeholders, TextsThatAreNotMacros) {
    EXPECT_FALSE(parseMacroEntry(u"$zvcmd(a,)", sources));   // ten units
    EXPECT_TRUE(parseMacroEntry(u"$zvcmd(ab,)", sources));  // eleven
    EXPECT_FALSE(parseMacroEntry(u"$zvcmd(abcdef", sources));
    EXPECT_FALSE(parseMacroEntry(u"$zvcmc(abcdef)", sources));
    EXPECT_FALSE(parseMacroEntry(u"普通的词语", sources));
}

std::vector<std::u16string> texts(const std::vector<GeneratedCandidate>& g) {
    std::vector<std::u16string> out;
    for (auto& c : g) out.push_back(c.text);
    return out;
}

TEST(TempEnglish, AmountsOfferMoneyReadingAndDigits) {
    auto g = tempEnglishCandidates(u"123.45");
    ASSERT_EQ(3u, g.size());
    EXPECT_EQ(u"一百二十三点四五", g[0].text);
    EXPECT_EQ(15658734, g[0].score);
    EXPECT_EQ(u"壹佰贰拾叁元肆角伍分", g[1].text);
    EXPECT_EQ(15658743, g[1].score);
    EXPECT_EQ(u"一二三点四五", g[2].text);
    EXPECT_EQ(15658732, g[2].score);

    // Keypad units read as their ASCII characters.
    EXPECT_EQ(texts(g), texts(tempEnglishCandidates(u"\x11\x12\x13\x0E\x14\x15")));

    // Three decimals: no money form; too large: digits only.
    g = tempEnglishCandidates(u"1.234");
    ASSERT_EQ(2u, g.size());
    EXPECT_EQ(15658733, g[1].score);
    g = tempEnglishCandidates(u"1000000000000");
    ASSERT_EQ(1u, g.size());
    EXPECT_EQ(u"一〇〇〇〇〇〇〇〇〇〇〇〇", g[0].text);
    EXPECT_EQ(15658734, g[0].score);
}

TEST(TempEnglish, FullDates) {
    auto g = tempEnglishCandidates(u"2026.5.7");
    ASSERT_EQ(2u, g.size());
    EXPECT_EQ(u"2026年5月7日", g[0].text);
    EXPECT_EQ(15658734, g[0].score);
    EXPECT_EQ(u"二〇二六年五月七日", g[1].text);
    EXPECT_EQ(15658733, g[1].score);

    EXPECT_EQ(std::vector<std::u16string>{u"2026年13月7日"}, texts(tempEnglishCandidates(u"2026.13.7")));
    EXPECT_EQ(std::vector<std::u16string>{u"2026年2月32日"}, texts(tempEnglishCandidates(u"2026.2.32")));
    EXPECT_EQ((std::vector<std::u16string>{u"05年10月31日", u"〇五年十月三十一日"}),
              texts(tempEnglishCandidates(u"05.10.31")));
    // One- and three-digit years have no Chinese form.
    EXPECT_EQ(1u, tempEnglishCandidates(u"5.5.7").size());
    EXPECT_EQ(1u, tempEnglishCandidates(u"202.5.7").size());
    EXPECT_TRUE(tempEnglishCandidates(u".5.7").empty());
}

TEST(TempEnglish, MonthDayAndYearMonth) {
    auto g = tempEnglishCandidates(u"5.7.");
    EXPECT_EQ((std::vector<std::u16string>{u"5月7日", u"五月七日", u"5年7月", u"〇五年七月"}), texts(g));
    for (size_t i = 0; i < g.size(); ++i) EXPECT_EQ(15658734 - static_cast<int>(i), g[i].score);

    // A leading zero means a year; a month above 12 only a year-month.
    EXPECT_EQ((std::vector<std::u16string>{u"五月七日", u"5年7月", u"〇五年七月"}), texts(tempEnglishCandidates(u"05.7.")));
    EXPECT_EQ((std::vector<std::u16string>{u"2026年5月", u"二〇二六年五月"}), texts(tempEnglishCandidates(u"2026.5.")));
    EXPECT_EQ((std::vector<std::u16string>{u"12月31日", u"十二月三十一日"}), texts(tempEnglishCandidates(u"12.31.")));
    EXPECT_TRUE(tempEnglishCandidates(u"13.32.").empty());
}

TEST(TempEnglish, OtherCodesGenerateNothing) {
    for (std::u16string_view code : {u"", u".", u"..", u"12a", u"1.2.3.4", u"1 2", u"中"})
        EXPECT_TRUE(tempEnglishCandidates(code).empty()) << std::string(code.begin(), code.end());
}

TEST(TempEnglish, CandidatesJoinTheList) {
    auto ctx = std::make_unique<EngineContext>();
    EXPECT_EQ(3, generateTempEnglishCandidates(*ctx, u"123.45"));
    ASSERT_EQ(3, ctx->candidates.count);
    EXPECT_EQ(SourceGenerated, ctx->candidates.items[1].source);
    EXPECT_EQ(15658743, ctx->candidates.items[1].score);
    EXPECT_EQ(u"壹佰贰拾叁元肆角伍分", candidateText(*ctx, ctx->candidates.items[1]));
}

}  // namespace
}  // namespace zv
