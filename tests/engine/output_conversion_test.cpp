#include "engine/output_conversion.h"

#include "engine/bytes.h"
#include "tests/support/data_fixture.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

class SymbolTable : public ::testing::Test {
protected:
    std::vector<uint8_t> store = newConfigStore();
    ImeSettings ime = findBlocks(store.data(), static_cast<uint32_t>(store.size())).ime;
    PunctuationState state;

    void set(int index, SymbolKind kind, std::u16string_view a, std::u16string_view b = {}) {
        uint8_t* e = ime.symbol(index);
        std::fill(e, e + ImeSettings::SymbolSize, 0);
        wr16(e, kind);
        for (size_t i = 0; i < a.size(); ++i) wr16(e + symbol::TextA + 2 * i, a[i]);
        for (size_t i = 0; i < b.size(); ++i) wr16(e + symbol::TextB + 2 * i, b[i]);
    }
    std::u16string convert(std::u16string_view text) { return convertPunctuation(ime, state, text); }
};

TEST_F(SymbolTable, BookTitleMarksNest) {
    set('<', SymbolText, u"《〈");
    set('>', SymbolText, u"〉》");
    EXPECT_EQ(u"《〈〉》", convert(u"<<>>"));
    EXPECT_EQ(u"《》", convert(u"<>"));
    // Typed one key at a time, as commits arrive.
    EXPECT_EQ(u"《", convert(u"<"));
    EXPECT_EQ(u"〈", convert(u"<"));
    EXPECT_EQ(u"〉", convert(u">"));
    EXPECT_EQ(u"》", convert(u">"));
    // A stray closing mark does not drive the depth below zero.
    EXPECT_EQ(u"》》《", convert(u">><"));
    EXPECT_EQ(1, state.bookTitleDepth);
}

TEST_F(SymbolTable, PairsAlternateAcrossCallsAndResetForANewEngine) {
    set('"', SymbolPair, u"“", u"”");
    EXPECT_EQ(u"“", convert(u"\""));
    EXPECT_EQ(u"”", convert(u"\""));
    EXPECT_EQ(u"“”", convert(u"\"\""));
    EXPECT_EQ(u"“", convert(u"\""));
    // The toggle lives in the settings block, so another view of the same
    // store continues where this one stopped.
    ImeSettings other = findBlocks(store.data(), static_cast<uint32_t>(store.size())).ime;
    EXPECT_EQ(u"”", convertPunctuation(other, state, u"\""));
    convert(u"\"");
    resetSymbolToggles(ime);
    EXPECT_EQ(u"“", convert(u"\""));
}

TEST_F(SymbolTable, TextsUnmappedUnitsAndKeypad) {
    set('^', SymbolText, u"……");
    set('\\', SymbolText, u"、");
    // A single text may use all ten units up to the toggle field.
    set('~', SymbolText, u"0123456789");
    wr16(ime.symbol('~') + symbol::Toggle, u'X');
    EXPECT_EQ(u"……、a中", convert(u"^\\a中"));
    EXPECT_EQ(u"0123456789", convert(u"~"));
    // Keypad units without an entry become ASCII; an entry in the keypad
    // table (128 + the key's character) applies to them.
    EXPECT_EQ(u"1+", convert(u"\x11\x0B"));
    set(128 + '1', SymbolText, u"壹");
    EXPECT_EQ(u"壹", convert(u"\x11"));
    EXPECT_TRUE(punctuationChanges(ime, 0x11));
    EXPECT_TRUE(punctuationChanges(ime, '^'));
    set('-', SymbolText, u"-");
    EXPECT_FALSE(punctuationChanges(ime, '-'));
    EXPECT_FALSE(punctuationChanges(ime, 'a'));
}

TEST(FullWidth, PrintableAsciiAndSpaceOnly) {
    std::u16string s = u"a Z~!\u00A5\x7F中";
    toFullWidth(s);
    EXPECT_EQ(u"ａ\u3000Ｚ～！\u00A5\x7F中", s);
}

class CandidateConversion : public ::testing::Test {
protected:
    std::vector<uint8_t> file = buildPairTable({{u"板", u"板"},
                                                {u"头", u"頭"},
                                                {u"板", u"闆"},
                                                {u"发", u"發"},
                                                {u"发", u"髮"},
                                                {u"𠀀", u"𡀀"},
                                                {u"空", u""}});
    ConversionTable table{file.data(), static_cast<uint32_t>(file.size())};
};

TEST_F(CandidateConversion, EveryWholeTextResultIsItsOwnItem) {
    auto items = convertCandidateText(table, u"板");
    ASSERT_EQ(2u, items.size());
    EXPECT_EQ(u"板(板)", items[0].display);
    EXPECT_EQ(u"板", items[0].output);
    EXPECT_EQ(u"闆(板)", items[1].display);
    EXPECT_EQ(u"闆", items[1].output);
}

TEST_F(CandidateConversion, CharacterByCharacterFallback) {
    auto items = convertCandidateText(table, u"头发中");
    ASSERT_EQ(1u, items.size());
    EXPECT_EQ(u"頭發中", items[0].output);
    EXPECT_EQ(u"頭發中", items[0].display);
    EXPECT_EQ(u"𡀀頭", convertCandidateText(table, u"𠀀头")[0].output);
    // One character without a result, or a text cut short by a broken
    // surrogate, stays as it is.
    EXPECT_EQ(u"中", convertCandidateText(table, u"中")[0].output);
    std::u16string broken = u"头\xD800发";
    EXPECT_EQ(broken, convertCandidateText(table, broken)[0].output);
    // An empty result is no result.
    EXPECT_EQ(u"空", convertCandidateText(table, u"空")[0].output);
    EXPECT_EQ(u"头", convertCandidateText(ConversionTable(), u"头")[0].output);
}

TEST_F(CandidateConversion, LongTextsAreCutAtWholeCharacters) {
    std::u16string word(100, u'头');
    std::vector<uint8_t> f = buildPairTable({{word, std::u16string(100, u'頭')}});
    auto items = convertCandidateText(ConversionTable(f.data(), static_cast<uint32_t>(f.size())), word);
    ASSERT_EQ(1u, items.size());
    EXPECT_EQ(100u, items[0].output.size());
    EXPECT_EQ(kItemTextUnits, items[0].display.size());
    // Cutting never leaves half of a surrogate pair behind.
    std::u16string pairs = u"a", converted = u"a";
    for (int i = 0; i < 70; ++i) pairs += u"𠀀";
    for (int i = 0; i < 63; ++i) converted += u"𡀀";
    EXPECT_EQ(converted, convertCandidateText(table, pairs)[0].output);
}

TEST(ConvertCommand, SwitchesOutputModes) {
    std::vector<uint8_t> store = newConfigStore();
    ImeSettings ime = findBlocks(store.data(), static_cast<uint32_t>(store.size())).ime;
    auto traditional = [&] { return ime.bit(ImeSettings::OptionA, ImeSettings::A_Traditional); };
    auto simplified = [&] { return ime.bit(ImeSettings::OptionA, ImeSettings::A_Simplified); };
    uint32_t modes = 0;

    EXPECT_TRUE(applyConvertCommand(modes, ime, u"繁体输出,打开"));
    EXPECT_TRUE(traditional());
    EXPECT_TRUE(applyConvertCommand(modes, ime, u"全半角,全角"));
    EXPECT_EQ(ModeFullWidth, modes);
    EXPECT_FALSE(traditional());
    applyConvertCommand(modes, ime, u"全半角,x");
    EXPECT_EQ(0u, modes);

    applyConvertCommand(modes, ime, u"简体输出,打开");
    applyConvertCommand(modes, ime, u"繁体输出,切换");
    EXPECT_TRUE(traditional());
    EXPECT_FALSE(simplified());
    applyConvertCommand(modes, ime, u"简体输出,打开");
    EXPECT_TRUE(traditional() && simplified());
    applyConvertCommand(modes, ime, u"繁体输出,关闭");
    applyConvertCommand(modes, ime, u"简体输出,");
    EXPECT_FALSE(traditional() || simplified());

    applyConvertCommand(modes, ime, u"中英文标点,英文");
    EXPECT_EQ(ModeEnglishPunct, modes);
    applyConvertCommand(modes, ime, u"中英文标点,中文");
    EXPECT_EQ(0u, modes);
    applyConvertCommand(modes, ime, u"中英文标点,?");
    EXPECT_EQ(ModeEnglishPunct, modes);

    EXPECT_FALSE(applyConvertCommand(modes, ime, u"全半角"));
    EXPECT_FALSE(applyConvertCommand(modes, ime, u"颜色,红"));
    EXPECT_EQ(ModeEnglishPunct, modes);
}

TEST(HostConversion, FollowsTheModes) {
    EXPECT_EQ(HostSymbol, hostConversionStatus(0));
    EXPECT_EQ(HostSymbol | HostFullShape, hostConversionStatus(ModeFullWidth | ModeTempEnglish));
    EXPECT_EQ(0u, hostConversionStatus(ModeEnglishPunct));
    EXPECT_EQ(HostNoConversion, hostConversionStatus(ModeEnglish | ModeEnglishPunct));
    EXPECT_EQ(HostNoConversion | HostSymbol, hostConversionStatus(ModeEnglishWords));
}

TEST(EngineOpening, ResetsPairTogglesAndFindsTheConversionTable) {
    test::DataFixture f;
    f.writeFile("traditional.dms", buildPairTable({{u"发", u"發"}}));
    uint8_t* quote = f.blocks().ime.symbol('"');
    wr16(quote + symbol::Kind, SymbolPair);
    wr16(quote + symbol::Toggle, 1);
    auto ctx = f.open();
    ASSERT_TRUE(ctx);
    EXPECT_EQ(0, rd16(ctx->blocks.ime.symbol('"') + symbol::Toggle));

    // Traditional output wins over simplified; a missing file turns it off.
    ImeSettings& ime = ctx->blocks.ime;
    auto convert = [&] { return convertCandidateText(activeConversionTable(*ctx), u"发")[0].output; };
    EXPECT_EQ(u"发", convert());
    setSimplifiedOutput(ime, true);
    EXPECT_EQ(u"发", convert());  // simplified.dms is absent
    setTraditionalOutput(ime, true);
    EXPECT_EQ(u"發", convert());
}

}  // namespace
}  // namespace zv
