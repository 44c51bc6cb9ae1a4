#include "engine/settings_options.h"

#include "platform/utf.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

struct Store {
    std::vector<uint8_t> bytes = newConfigStore();
    SettingsBlocks blocks = findBlocks(bytes.data(), static_cast<uint32_t>(bytes.size()));
    Store() { blocks.ime.setBit(ImeSettings::OptionC, ImeSettings::C_Framework, true); }
    SettingsBlock& block(int section) {
        if (section == SectionIme) return blocks.ime;
        if (section == SectionDme) return blocks.dme;
        return blocks.skin;
    }
    OptionResult apply(int section, std::u16string_view key, std::u16string_view value) {
        return applyOption(blocks, section, key, value);
    }
};

std::string utf8(std::u16string_view s) { return utf16ToUtf8(s); }

struct Storage {
    int section;
    std::u16string_view key, value;
    size_t word;
    uint32_t mask, expected;
};

using I = ImeSettings;
using D = DmeSettings;
using S = SkinSettings;

const Storage kStorage[] = {
    {SectionIme, u"编码窗口样式", u"TSF-嵌入编码", I::OptionA, 0x7000, 0x1000},
    {SectionIme, u"编码窗口样式", u"TSF-嵌入首选", I::OptionA, 0x7000, 0x2000},
    {SectionIme, u"编码窗口样式", u"TSF-传统样式", I::OptionA, 0x7000, 0x4000},
    {SectionIme, u"编码窗口样式", u"IME-传统样式", I::OptionA, 0x7000, 0},
    {SectionIme, u"是否嵌入状态栏窗口", u"是", I::OptionA, 0x200, 0x200},
    {SectionIme, u"英文状态时空格行为", u"上屏英文", I::OptionC, 7, 1},
    {SectionIme, u"英文状态时空格行为", u"上屏英文+空格", I::OptionC, 7, 2},
    {SectionIme, u"英文状态时空格行为", u"清屏", I::OptionC, 7, 4},
    {SectionIme, u"英文状态时空格行为", u"别的", I::OptionC, 7, 2},
    {SectionIme, u"保存自定义的初始化转换状态", u"是", I::OptionC, 0x200, 0x200},
    {SectionIme, u"是否开启命令直通车", u"是", I::OptionC, 0x20, 0x20},
    {SectionIme, u"仅重码时显示候选窗口", u"是", I::OptionC, 0x40, 0x40},
    {SectionIme, u"隐藏嵌入的首候选", u"是", I::OptionC, 0x80, 0x80},
    {SectionIme, u"隐藏词条相同编码不同的后续候选", u"是", I::OptionC, 0x8, 0x8},
    {SectionIme, u"首字母大写开启临时英文输入", u"是", I::OptionA, 0x800, 0x800},
    {SectionIme, u"临时词功能开启", u"是", I::OptionA, 0x80000, 0x80000},
    {SectionIme, u"临时词上屏即存", u"是", I::OptionA, 0x100000, 0x100000},
    {SectionIme, u"临时词重启电脑后清空", u"是", I::OptionA, 0x400000, 0x400000},
    {SectionIme, u"隐藏候选窗口", u"是", I::OptionA, 0x400, 0x400},
    {SectionIme, u"隐藏状态条窗口", u"是", I::OptionA, 0x100, 0x100},
    {SectionIme, u"禁用组合快捷键", u"是", I::OptionA, 0x8, 0x8},
    {SectionIme, u"禁用组合快捷键", u"否", I::OptionA, 0x8, 0},
    {SectionIme, u"候选窗口位置", u"固定位置", I::OptionA, 0xC0, 0x40},
    {SectionIme, u"候选窗口位置", u"跟随状态栏", I::OptionA, 0xC0, 0x80},
    {SectionIme, u"候选窗口位置", u"跟随光标", I::OptionA, 0xC0, 0},
    {SectionIme, u"候选窗口位置", u"别处", I::OptionA, 0xC0, 0},
    {SectionIme, u"是否在上屏时开启词语联想", u"是", I::OptionA, 0x2, 0x2},
    {SectionIme, u"是否打开非编码按键顶屏", u"是", I::OptionA, 0x4, 0x4},
    {SectionIme, u"中英文切换时上屏输入字符", u"是", I::OptionA, 0x1, 0x1},
    {SectionIme, u"候选列表排序依据", u"单字先见,按编码排序,", I::OptionB, 0x18, 0x18},
    {SectionIme, u"候选列表排序依据", u"按编码排序", I::OptionB, 0x18, 0x10},
    {SectionIme, u"候选列表排序依据", u"码表原始序", I::OptionB, 0x18, 0},
    {SectionIme, u"词频调整", u"一次到顶", I::OptionB, 7, 1},
    {SectionIme, u"词频调整", u"逐渐调整", I::OptionB, 7, 2},
    {SectionIme, u"词频调整", u"累加上屏数", I::OptionB, 7, 4},
    {SectionIme, u"词频调整", u"禁止调整", I::OptionB, 7, 0},
    {SectionIme, u"词频调整", u"随便", I::OptionB, 7, 0},
    {SectionIme, u"输入方案", u"主+辅", I::OptionA, 0x18000, 0x18000},
    {SectionIme, u"输入方案", u"主", I::OptionA, 0x18000, 0x8000},
    {SectionIme, u"输入方案", u"辅", I::OptionA, 0x18000, 0x10000},
    {SectionIme, u"输入方案", u"其它", I::OptionA, 0x18000, 0x10000},
    {SectionIme, u"检索次显码表", u"是", I::OptionA, 0x20000, 0x20000},
    {SectionIme, u"空码时检索次显码表", u"是", I::OptionA, 0x40000, 0x40000},
    {SectionDme, u"是否启用编码逐渐提示", u"是", D::OptionD, 0x1, 0x1},
    {SectionDme, u"是否在候选为空时启用编码逐渐提示", u"是", D::OptionD, 0x2, 0x2},
    {SectionDme, u"开启首键查询", u"是", D::OptionD, 0x8, 0x8},
    {SectionDme, u"开启查询键重复输入", u"是", D::OptionD, 0x20, 0x20},
    {SectionDme, u"查询输入只查单字", u"是", D::OptionD, 0x4, 0x4},
    {SectionDme, u"自动上屏忽略输入是否全码", u"是", D::OptionD, 0x80, 0x80},
    {SectionDme, u"显示码表词语码长", u"3", D::OptionD, 0xFF000000, 0x03000000},
    {SectionDme, u"候选唯一自动上屏码长", u"6", D::Lengths, 0xFF000000, 0x06000000},
    {SectionDme, u"空码自动清除码长", u"5", D::Lengths, 0xFF00, 0x0500},
    {SectionDme, u"智能动态上屏码长", u"7", D::Lengths, 0xFF0000, 0x070000},
    {SectionDme, u"查询输入字符", u"?", D::QueryChar, 0xFF, '?'},
    {SectionDme, u"万能键", u"＊", D::QueryChar, 0xFF, 0x0A},
    {SectionDme, u"临时英文引导字符", u"~", D::QueryChar, 0xFF00, '~' << 8},
    {SectionDme, u"临时辅码引导字符", u"１", D::QueryChar, 0xFF0000, 0x11 << 16},
    {SectionDme, u"临时次显引导字符", u"", D::QueryChar, 0xFF000000, 0},
    {SectionSkin, u"候选序号是否可见", u"是", S::Option, 0x1, 0x1},
    {SectionSkin, u"houxuanxuhaoshifoukejian", u"否", S::Option, 0x1, 0},
    {SectionSkin, u"编码提示是否可见", u"是", S::Option, 0x2, 0x2},
    {SectionSkin, u"bianmatishishifoukejian", u"是", S::Option, 0x2, 0x2},
    {SectionSkin, u"界面按钮是否可见", u"是", S::Option, 0x4, 0x4},
    {SectionSkin, u"jiemiananniusihfoukejian", u"是", S::Option, 0x4, 0x4},
    {SectionSkin, u"从右向左的文本", u"是", S::Option, 0x10000, 0x10000},
    {SectionSkin, u"窗口布局", u"合并编码框与候选框", S::Option, 0x1020, 0x20},
    {SectionSkin, u"窗口布局", u"分离的右侧候选框", S::Option, 0x1020, 0x1000},
    {SectionSkin, u"窗口布局", u"分离的下方候选框", S::Option, 0x1020, 0},
    {SectionSkin, u"候选列表排列样式", u"横排", S::Option, 0x18, 0x8},
    {SectionSkin, u"候选列表排列样式", u"竖排", S::Option, 0x18, 0},
    {SectionSkin, u"候选列表排列样式", u"左起纵向", S::Option, 0x18, 0x10},
    {SectionSkin, u"光标样式", u"竖线", S::Option, 0xC00, 0x400},
    {SectionSkin, u"光标样式", u"横线", S::Option, 0xC00, 0x800},
    {SectionSkin, u"光标样式", u"不显示", S::Option, 0xC00, 0},
    {SectionSkin, u"光标宽度", u"1", S::Option, 0x2000, 0x2000},
    {SectionSkin, u"光标宽度", u"2", S::Option, 0x2000, 0},
    {SectionSkin, u"光标宽度", u"1 ", S::Option, 0x2000, 0},
};

TEST(Options, EveryOptionIsStoredWhereItBelongs) {
    for (const auto& row : kStorage) {
        Store s;
        SettingsBlock& block = s.block(row.section);
        // Start from the opposite bits so that clearing is seen as well as setting.
        block.setU32(row.word, (block.u32(row.word) & ~row.mask) | (~row.expected & row.mask));
        const auto before = s.bytes;
        EXPECT_EQ(OptionResult::Applied, s.apply(row.section, row.key, row.value)) << utf8(row.key);
        EXPECT_EQ(row.expected, block.u32(row.word) & row.mask) << utf8(row.key) << "=" << utf8(row.value);
        // Nothing outside the field changes.
        block.setU32(row.word, (block.u32(row.word) & ~row.mask) | (~row.expected & row.mask));
        EXPECT_EQ(before, s.bytes) << utf8(row.key) << "=" << utf8(row.value);
    }
}

TEST(Options, PageSizeTakesTenOrTheFirstDigitElseFive) {
    const std::pair<std::u16string_view, int> cases[] = {
        {u"10", 10}, {u"1", 1}, {u"4", 4}, {u"9", 9}, {u"5", 5}, {u"0", 5}, {u"", 5}, {u"x", 5}, {u"7个", 7}, {u"15", 1},
    };
    for (const auto& [value, expected] : cases) {
        Store s;
        s.blocks.ime.setU32(I::OptionB, 0x0FFFFFFF);
        s.apply(SectionIme, u"候选列表显示个数", value);
        EXPECT_EQ(expected, s.blocks.ime.pageSize()) << utf8(value);
        EXPECT_EQ(0x0FFFFFFFu, s.blocks.ime.b() & 0x0FFFFFFF);
    }
}

TEST(Options, ToggleOnlyWhereTheOptionHasIt) {
    struct Case {
        int section;
        std::u16string_view key;
        size_t word;
        uint32_t bit;
        bool toggles;
    };
    const Case cases[] = {
        {SectionIme, u"是否嵌入状态栏窗口", I::OptionA, 0x200, true},
        {SectionIme, u"仅重码时显示候选窗口", I::OptionC, 0x40, true},
        {SectionIme, u"隐藏嵌入的首候选", I::OptionC, 0x80, true},
        {SectionIme, u"临时词功能开启", I::OptionA, 0x80000, true},
        {SectionIme, u"禁用组合快捷键", I::OptionA, 0x8, true},
        {SectionIme, u"空码时检索次显码表", I::OptionA, 0x40000, true},
        {SectionIme, u"保存自定义的初始化转换状态", I::OptionC, 0x200, false},
        {SectionIme, u"是否开启命令直通车", I::OptionC, 0x20, false},
        {SectionIme, u"隐藏词条相同编码不同的后续候选", I::OptionC, 0x8, false},
        {SectionIme, u"首字母大写开启临时英文输入", I::OptionA, 0x800, false},
        {SectionDme, u"开启首键查询", D::OptionD, 0x8, true},
        {SectionDme, u"自动上屏忽略输入是否全码", D::OptionD, 0x80, true},
        {SectionSkin, u"从右向左的文本", S::Option, 0x10000, true},
        {SectionSkin, u"jiemiananniusihfoukejian", S::Option, 0x4, true},
    };
    for (const auto& c : cases) {
        Store s;
        SettingsBlock& block = s.block(c.section);
        s.apply(c.section, c.key, u"否");
        s.apply(c.section, c.key, u"切换");
        EXPECT_EQ(c.toggles, block.bit(c.word, c.bit)) << utf8(c.key);
        s.apply(c.section, c.key, u"是");
        s.apply(c.section, c.key, u"切换");
        EXPECT_FALSE(block.bit(c.word, c.bit)) << utf8(c.key);
    }
}

TEST(Options, FrameworkOptionsNeedTheFramework) {
    Store s;
    s.blocks.ime.setBit(I::OptionC, I::C_Framework, false);
    s.blocks.ime.setU32(I::OptionA, 0x1000);
    EXPECT_EQ(OptionResult::NeedsFramework, s.apply(SectionIme, u"编码窗口样式", u"IME-传统样式"));
    EXPECT_EQ(OptionResult::NeedsFramework, s.apply(SectionIme, u"是否嵌入状态栏窗口", u"是"));
    EXPECT_EQ(0x1000u, s.blocks.ime.a());
    // Options of the embedded display that do not depend on it still apply.
    EXPECT_EQ(OptionResult::Applied, s.apply(SectionIme, u"隐藏嵌入的首候选", u"是"));
    // A style that is not one of the four is refused even with the framework.
    s.blocks.ime.setBit(I::OptionC, I::C_Framework, true);
    EXPECT_EQ(OptionResult::BadValue, s.apply(SectionIme, u"编码窗口样式", u"TSF"));
    EXPECT_EQ(0x1000u, s.blocks.ime.a());
}

TEST(Options, InitialConversionState) {
    Store s;
    s.apply(SectionIme, u"初始化转换状态", u"自定义：英文标点+全角+输入法关闭");
    EXPECT_EQ(0x108u, s.blocks.ime.u32(I::InitialMode));
    EXPECT_TRUE(s.blocks.ime.bit(I::OptionC, I::C_CustomInitialState));
    s.apply(SectionIme, u"初始化转换状态", u"自定义：中文标点+半角+输入法打开");
    EXPECT_EQ(0x400u, s.blocks.ime.u32(I::InitialMode));
    s.apply(SectionIme, u"初始化转换状态", u"与系统转换状态一致");
    EXPECT_EQ(0x401u, s.blocks.ime.u32(I::InitialMode));
    EXPECT_FALSE(s.blocks.ime.bit(I::OptionC, I::C_CustomInitialState));
}

TEST(Options, CharactersNumbersAndClassLists) {
    Store s;
    DmeSettings& dme = s.blocks.dme;
    dme.setU8(D::QueryChar, 'z');
    EXPECT_EQ(OptionResult::BadValue, s.apply(SectionDme, u"查询输入字符", u"ab"));
    EXPECT_EQ(OptionResult::BadValue, s.apply(SectionDme, u"查询输入字符", u"中"));
    EXPECT_EQ('z', dme.u8(D::QueryChar));

    const std::pair<std::u16string_view, int> numbers[] = {
        {u"12", 12}, {u"", 0}, {u"abc", 0}, {u"300", 255}, {u"１２", 12}, {u"7x", 7}, {u" 3", 3}, {u"-2", 0},
    };
    for (const auto& [value, expected] : numbers) {
        s.apply(SectionDme, u"空码自动清除码长", value);
        EXPECT_EQ(expected, dme.u8(D::EmptyClearLength)) << utf8(value);
    }

    dme.setU8(D::Classes + 'a', D::ClassCode);
    EXPECT_EQ(OptionResult::Applied, s.apply(SectionDme, u"上屏引导键", u"＋;a"));
    EXPECT_EQ(D::ClassCommitLead, dme.charClass(0x0B));
    EXPECT_EQ(D::ClassCommitLead, dme.charClass(';'));
    EXPECT_EQ(D::ClassCode | D::ClassCommitLead, dme.charClass('a'));
    // A list with a character outside the code alphabet changes nothing.
    EXPECT_EQ(OptionResult::BadValue, s.apply(SectionDme, u"上屏引导键", u"；"));
    EXPECT_EQ(D::ClassCommitLead, dme.charClass(';'));
    // Setting the list again first clears the bit everywhere, and only that bit.
    EXPECT_EQ(OptionResult::Applied, s.apply(SectionDme, u"上屏引导键", u""));
    EXPECT_EQ(0, dme.charClass(';'));
    EXPECT_EQ(D::ClassCode, dme.charClass('a'));
}

TEST(Options, SkinFileName) {
    Store s;
    SkinSettings& skin = s.blocks.skin;
    EXPECT_EQ(OptionResult::Applied, s.apply(SectionSkin, u"使用皮肤名称", u"blue.col"));
    EXPECT_EQ(u"blue.col", skin.text(S::SkinFile, 40));
    EXPECT_EQ(OptionResult::Applied, s.apply(SectionSkin, u"shiyongpifumingcheng", u"切换"));
    EXPECT_EQ(u"切换", skin.text(S::SkinFile, 40));
    EXPECT_EQ(OptionResult::BadValue, s.apply(SectionSkin, u"使用皮肤名称", u"blue.zip"));
    // 39 units fit; a longer name would lose its ending and is refused.
    std::u16string longest = std::u16string(35, u'x') + u".col";
    EXPECT_EQ(OptionResult::Applied, s.apply(SectionSkin, u"使用皮肤名称", longest));
    EXPECT_EQ(OptionResult::BadValue, s.apply(SectionSkin, u"使用皮肤名称", u"x" + longest));
    EXPECT_EQ(longest, skin.text(S::SkinFile, 40));
}

TEST(Options, SymbolTableLines) {
    Store s;
    ImeSettings& ime = s.blocks.ime;
    auto entry = [&](int index) { return I::Symbols + I::SymbolSize * static_cast<size_t>(index); };
    EXPECT_EQ(OptionResult::Applied, s.apply(SectionSymbols, u"\"", u"“,”"));
    EXPECT_EQ(SymbolPair, ime.u16(entry('"')));
    EXPECT_EQ(u"“", ime.text(entry('"') + 2, 5));
    EXPECT_EQ(u"”", ime.text(entry('"') + 12, 5));
    ime.setU16(entry('"') + 22, 1);  // the alternation state starts over when the entry is set again
    s.apply(SectionSymbols, u"\"", u"「,」");
    EXPECT_EQ(0, ime.u16(entry('"') + 22));

    EXPECT_EQ(OptionResult::Applied, s.apply(SectionSymbols, u"^", u"……"));
    EXPECT_EQ(SymbolText, ime.u16(entry('^')));
    EXPECT_EQ(u"……", ime.text(entry('^') + 2, 11));
    // An empty text before the comma makes no pair.
    s.apply(SectionSymbols, u"<", u",x");
    EXPECT_EQ(SymbolText, ime.u16(entry('<')));
    EXPECT_EQ(u",x", ime.text(entry('<') + 2, 11));
    EXPECT_EQ(OptionResult::Applied, s.apply(SectionSymbols, u"小5", u"五"));
    EXPECT_EQ(u"五", ime.text(entry(128 + '5') + 2, 11));

    const auto before = s.bytes;
    EXPECT_EQ(OptionResult::BadValue, s.apply(SectionSymbols, u"a", u"一二三四五六七八九十百"));
    EXPECT_EQ(OptionResult::BadValue, s.apply(SectionSymbols, u"a", u"一二三四五,x"));
    EXPECT_EQ(OptionResult::UnknownKey, s.apply(SectionSymbols, u"中", u"x"));
    EXPECT_EQ(OptionResult::UnknownKey, s.apply(SectionSymbols, u"ab", u"x"));
    EXPECT_EQ(OptionResult::UnknownKey, s.apply(SectionSymbols, u"小中", u"x"));
    EXPECT_EQ(before, s.bytes);
    EXPECT_EQ(OptionResult::Applied, s.apply(SectionSymbols, u"a", u"一二三四五六七八九十"));
}

TEST(Options, SectionsByHeader) {
    EXPECT_EQ(SectionIme, sectionId(u"[-IME设置-]"));
    EXPECT_EQ(SectionSymbols, sectionId(u"[-非编码符号转义定义表-]"));
    EXPECT_EQ(SectionSoftware, sectionId(u"[-软件选项-]"));
    EXPECT_EQ(SectionUnknown, sectionId(u"IME设置"));
    for (int id = 0; id <= 11; ++id) {
        if (!sectionHeader(id).empty()) {
            EXPECT_EQ(id, sectionId(sectionHeader(id)));
        }
    }
    Store s;
    EXPECT_EQ(OptionResult::Ignored, s.apply(SectionGenerator, u"a", u"b"));
    EXPECT_EQ(OptionResult::UnknownSection, s.apply(2, u"a", u"b"));
    EXPECT_EQ(OptionResult::UnknownKey, s.apply(SectionIme, u"输入法框架", u"是"));
    EXPECT_EQ(OptionResult::UnknownKey, s.apply(SectionDme, u"不存在", u"是"));
}

TEST(Options, DmeSectionText) {
    Store s;
    DmeSettings& dme = s.blocks.dme;
    dme.setU32(D::OptionD, 0x02000081);
    dme.setU32(D::Lengths, 0x03000500);
    dme.setU8(D::QueryChar, '?');
    dme.setU8(D::AuxLead, 0x0A);
    dme.setU8(D::SecondaryLead, 0x85);  // no character reads back as this byte
    dme.setU8(D::Classes + 0x11, D::ClassCommitLead);
    dme.setU8(D::Classes + ';', D::ClassCommitLead | D::ClassCode);
    dme.setU8(D::Classes + ' ', D::ClassTerminator);
    dme.setU8(D::Classes + ',', D::ClassEnglishAfterDigit);
    dme.setU8(D::Classes + '.', D::ClassEnglishAfterDigit);
    const std::u16string expected =
        u"是否启用编码逐渐提示=是\r\n"
        u"是否在候选为空时启用编码逐渐提示=否\r\n"
        u"\r\n"
        u"候选唯一自动上屏码长=3\r\n"
        u"空码自动清除码长=5\r\n"
        u"智能动态上屏码长=0\r\n"
        u"显示码表词语码长=2\r\n"
        u"\r\n"
        u"//如果开启，编码唯一自动上屏的判断条件将不判断当前输入是否全码\r\n"
        u"自动上屏忽略输入是否全码=是\r\n"
        u"\r\n"
        u"开启首键查询=否\r\n"
        u"开启查询键重复输入=否\r\n"
        u"查询输入只查单字=否\r\n"
        u"\r\n"
        u"//以下内容如无需定义，在 = 后留空。如设定需包含小键盘字符的，请使用全角字符指定，"
        u"如：１２３４５６７８９０＋－＊／．\r\n"
        u"//查询字符即万能键\r\n"
        u"查询输入字符=?\r\n"
        u"\r\n"
        u"//开启临时英文输入状态，此时可使用快捷日期、人民币大写金额输入\r\n"
        u"临时英文引导字符=\r\n"
        u"\r\n"
        u"//如该引导符设为“~”，可使用“~abc”检索辅码中的“abc”开头的编码\r\n"
        u"临时辅码引导字符=＊\r\n"
        u"\r\n"
        u"//如该引导符设为“~”，可使用“~abc”检索次显码表中的“abc”开头的编码\r\n"
        u"临时次显引导字符=\r\n"
        u"\r\n"
        u"//上屏引导键，使用键盘英文字符定义，可多设\r\n"
        u"上屏引导键=１;\r\n"
        u"\r\n"
        u"//编码截止键，使用键盘英文字符定义，可多设\r\n"
        u"编码截止键= \r\n"
        u"\r\n"
        u"//数字后英文标点，使用键盘英文字符定义，可多设\r\n"
        u"数字后英文标点=,.\r\n"
        u"\r\n";
    EXPECT_EQ(utf8(expected), utf8(writeDmeOptions(dme)));
}

TEST(Options, SkinSectionText) {
    Store s;
    s.blocks.skin.setU32(S::Option, 0x10000 | 0x2000 | 0x400 | 0x20 | 0x10 | 0x4);
    s.blocks.skin.setText(S::SkinFile, 40, u"blue.col");
    const std::u16string expected =
        u"候选序号是否可见=否\r\n"
        u"编码提示是否可见=否\r\n"
        u"界面按钮是否可见=是\r\n"
        u"从右向左的文本=是\r\n"
        u"\r\n"
        u"//皮肤文件名，须包含“.col”；设为“切换”时每次载入下一个皮肤\r\n"
        u"使用皮肤名称=blue.col\r\n"
        u"\r\n"
        u"//可选：“合并编码框与候选框”、“分离的右侧候选框”、“分离的下方候选框”之一\r\n"
        u"窗口布局=合并编码框与候选框\r\n"
        u"\r\n"
        u"//可选：“横排”、“竖排”、“左起纵向”之一\r\n"
        u"候选列表排列样式=左起纵向\r\n"
        u"\r\n"
        u"//可选：“竖线”、“横线”、“不显示”之一\r\n"
        u"光标样式=竖线\r\n"
        u"\r\n"
        u"//可选：1、2\r\n"
        u"光标宽度=1\r\n"
        u"\r\n";
    EXPECT_EQ(utf8(expected), utf8(writeSkinOptions(s.blocks.skin)));
}

TEST(Options, ImeTextWithoutTheFramework) {
    Store s;
    s.blocks.ime.setU32(I::OptionA, 0x1000 | 0x200);
    s.blocks.ime.setBit(I::OptionC, I::C_Framework, false);
    std::u16string text = writeImeOptions(s.blocks.ime);
    EXPECT_NE(std::u16string::npos, text.find(u"//未包含TSF框架,此处只能设置为IME-传统样式\r\n编码窗口样式=IME-传统样式\r\n"));
    EXPECT_EQ(std::u16string::npos, text.find(u"是否嵌入状态栏窗口"));
    // A page size outside 1..10 is written as 5.
    EXPECT_NE(std::u16string::npos, text.find(u"候选列表显示个数=5\r\n"));
}

}  // namespace
}  // namespace zv
