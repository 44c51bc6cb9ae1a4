#include "engine/default_store.h"
#include "engine/key_table.h"
#include "engine/rules.h"
#include "engine/set_command.h"
#include "engine/settings_text.h"
#include "platform/services.h"
#include "platform/utf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace zv {
namespace {

using I = ImeSettings;
using D = DmeSettings;
using S = SkinSettings;

struct Store {
    std::vector<uint8_t> bytes;
    SettingsBlocks blocks;
    explicit Store(std::vector<uint8_t> b) : bytes(std::move(b)) {
        blocks = findBlocks(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    Store() : Store(shippedConfigStore()) {}
};

std::string utf8(std::u16string_view s) { return utf16ToUtf8(s); }

size_t symbolEntry(int index) { return I::Symbols + I::SymbolSize * static_cast<size_t>(index); }

bool noBindingsRulesOrSymbols(const SettingsBlocks& b) {
    for (int slot = 0; slot < 512; ++slot)
        if (b.dme.keyMask(slot)) return false;
    for (int n = 0; n <= 30; ++n)
        if (b.dme.ruleElement(n, 0)) return false;
    for (int i = 0; i < 256; ++i)
        if (b.ime.u16(symbolEntry(i))) return false;
    return b.dme.comboCount() == 0;
}

// ---------------------------------------------------------------------------
// The shipped store

TEST(ShippedStore, HoldsEveryShippedValue) {
    Store s;
    EXPECT_TRUE(readSettingsText(s.blocks, defaultSettingsText()).empty());
    const ImeSettings& ime = s.blocks.ime;
    EXPECT_EQ(I::A_CommitCodeOnSwitch | I::A_NonCodeKeyCommits | I::A_NoHotKeys | I::A_EmbedStatusBar |
                  I::A_CapitalStartsEnglish | I::A_StyleEmbedCode | I::A_MainTable | I::A_AuxTable,
              ime.a());
    EXPECT_EQ(I::C_SpaceClears | I::C_HideSameWordOtherCode | I::C_CommandDirect | I::C_CustomInitialState |
                  I::C_Framework,
              ime.c());
    EXPECT_EQ(4u << I::B_PageSizeShift, ime.b());
    EXPECT_EQ(0x3Fu, ime.e());
    EXPECT_EQ(0x400u, ime.u32(I::InitialMode));
    EXPECT_EQ(SymbolText, ime.u16(symbolEntry('!')));
    EXPECT_EQ(u"！", ime.text(symbolEntry('!') + 2, 11));
    EXPECT_EQ(u"￥", ime.text(symbolEntry('$') + 2, 11));
    EXPECT_EQ(u"《〈", ime.text(symbolEntry('<') + 2, 11));
    EXPECT_EQ(u"〉》", ime.text(symbolEntry('>') + 2, 11));
    EXPECT_EQ(u"……", ime.text(symbolEntry('^') + 2, 11));
    EXPECT_EQ(u"、", ime.text(symbolEntry('\\') + 2, 11));
    EXPECT_EQ(u"。", ime.text(symbolEntry('.') + 2, 11));
    for (int key : {'"', '\''}) {
        EXPECT_EQ(SymbolPair, ime.u16(symbolEntry(key)));
        EXPECT_EQ(key == '"' ? u"“" : u"‘", ime.text(symbolEntry(key) + 2, 5));
        EXPECT_EQ(key == '"' ? u"”" : u"’", ime.text(symbolEntry(key) + 12, 5));
    }
    for (int i = 128; i < 256; ++i) EXPECT_EQ(SymbolNone, ime.u16(symbolEntry(i)));
    EXPECT_EQ(SymbolNone, ime.u16(symbolEntry('a')));

    const DmeSettings& dme = s.blocks.dme;
    EXPECT_EQ(D::D_Progressive | D::D_ProgressiveWhenEmpty | D::D_QueryRepeat | D::D_QuerySingleOnly, dme.d());
    EXPECT_EQ(0x04040400u, dme.u32(D::Lengths));
    EXPECT_EQ('z', dme.u8(D::QueryChar));
    EXPECT_EQ('\'', dme.u8(D::TempEnglishLead));
    EXPECT_EQ('/', dme.u8(D::AuxLead));
    EXPECT_EQ('`', dme.u8(D::SecondaryLead));
    for (int b = 0; b < 256; ++b) {
        uint8_t expected = 0;
        if (b >= 'a' && b <= 'z') expected = D::ClassCode | D::ClassCodeOrFunction;
        if (b == '(' || b == ')') expected = D::ClassCodeOrFunction;
        if (b == ',' || b == '.') expected = D::ClassEnglishAfterDigit;
        EXPECT_EQ(expected, dme.charClass(static_cast<uint8_t>(b))) << b;
    }
    using rule::element;
    EXPECT_EQ((std::vector<uint16_t>{element(1, 1), element(1, 2), element(2, 1), element(2, 2)}), ruleElements(dme, 2));
    EXPECT_EQ((std::vector<uint16_t>{element(1, 1), element(2, 1), element(3, 1), element(3, 2)}), ruleElements(dme, 3));
    for (int n = 4; n <= 9; ++n)
        EXPECT_EQ((std::vector<uint16_t>{element(1, 1), element(2, 1), element(3, 1), element(n, 1)}),
                  ruleElements(dme, n));
    for (int n = 10; n <= 30; ++n) EXPECT_TRUE(ruleElements(dme, n).empty());

    uint64_t keys[512] = {};
    auto commit = [](int i) { return keyfn::withIndex(keyfn::Commit, i); };
    keys[0x08] = keyfn::DeleteBefore;
    keys[0x0D] = commit(keyfn::IndexEnglish);
    keys[0x1B] = keyfn::ClearInput;
    keys[0x20] = commit(keyfn::IndexHighlighted);
    keys[0x21] = keys[0xBD] = keys[0xDB] = keyfn::PagePrevious;
    keys[0x22] = keys[0xBB] = keys[0xDD] = keyfn::PageNext;
    keys[0x23] = keyfn::CursorEnd;
    keys[0x24] = keyfn::CursorHome;
    keys[0x25] = keyfn::CursorLeft;
    keys[0x27] = keyfn::CursorRight;
    keys[0x26] = keyfn::HighlightPrevious;
    keys[0x28] = keyfn::HighlightNext;
    keys[0x2E] = keyfn::DeleteAfter;
    for (int digit = 0; digit <= 9; ++digit) keys[0x30 + digit] = commit(digit == 0 ? 10 : digit);
    keys[0xBA] = commit(2);
    keys[0xDE] = commit(3);
    keys[0xA0] = keys[0xA1] = keyfn::ToggleIme;
    for (int slot = 0; slot < 512; ++slot) EXPECT_EQ(keys[slot], dme.keyMask(slot)) << slot;
    EXPECT_EQ(0, dme.comboCount());

    const SkinSettings& skin = s.blocks.skin;
    EXPECT_EQ(0x0Fu, skin.option());
    EXPECT_EQ(u"skin.col", skin.text(S::SkinFile, 40));

    const SoftSettings& soft = s.blocks.soft;
    using F = SoftSettings;
    EXPECT_EQ(u"五笔输入法（标准86版）", soft.text(F::DisplayName, 40));
    EXPECT_EQ(u"五笔 - 标准86版", soft.text(F::ShortName, 40));
    EXPECT_EQ(u"VoraZerevo86", soft.text(F::Identifier, 40));
    EXPECT_EQ(u"VoraZerevo\\ZU86", soft.text(F::Folder, 40));
    EXPECT_EQ(u"_ime_zoruraved", soft.text(F::ServiceGuid + 16, 40));
    EXPECT_EQ(0x6F3A8E21u, soft.u32(F::ServiceGuid));
    EXPECT_EQ(0x0804, soft.u16(F::Language));
    EXPECT_EQ(u"0.18", soft.text(F::Version, 40));
    const std::pair<int, std::u16string_view> names[] = {
        {0, u"五笔"}, {1, u"一简"}, {2, u"自造词"}, {3, u"生僻字"}, {4, u"拼音"}, {5, u""}, {15, u""},
        {16, u"二简"}, {17, u"三简(除二简)"}, {18, u"常用(除简码)"}, {19, u"三简(二简字)"}, {20, u"词组"},
        {21, u"常用(一简字)"}, {22, u"常用(二简字)"}, {23, u"常用(三简字)"}, {24, u"符号"}, {25, u""},
    };
    for (const auto& [category, name] : names) EXPECT_EQ(name, soft.categoryName(category)) << category;
    for (int category = 0; category < 32; ++category) {
        uint32_t expected = 0;
        if (category == 1 || category == 3 || category == 4 || (category >= 16 && category <= 24)) expected = 2;
        if (category == 2) expected = 3;
        EXPECT_EQ(expected, soft.categoryRights(category)) << category;
    }
}

// ---------------------------------------------------------------------------
// Writing and reading back

TEST(SettingsText, ShippedStoreReadsBackUnchanged) {
    Store shipped;
    Store fresh(newConfigStore());
    writeShippedStoredValues(fresh.blocks);
    auto problems = readSettingsText(fresh.blocks, writeSettingsText(shipped.blocks));
    EXPECT_TRUE(problems.empty()) << utf8(problems.empty() ? u"" : problems[0].text);
    EXPECT_EQ(shipped.bytes, fresh.bytes);
}

// Random settings made through the options themselves, so that every one
// is a state the text can express.
struct RandomSettings {
    std::mt19937 rng;
    explicit RandomSettings(unsigned seed) : rng(seed) {}

    int below(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
    template <typename T>
    const T& pick(const std::vector<T>& v) { return v[static_cast<size_t>(below(static_cast<int>(v.size())))]; }

    std::u16string characters(std::u16string_view pool, int max) {
        std::u16string out;
        for (int i = below(max + 1); i > 0; --i) {
            char16_t c = pool[static_cast<size_t>(below(static_cast<int>(pool.size())))];
            if (out.find(c) == std::u16string::npos) out += c;
        }
        return out;
    }

    void apply(SettingsBlocks& b) {
        using V = std::vector<std::u16string>;
        const V yesNo = {u"是", u"否", u"切换", u"其他"};
        struct Option {
            int section;
            std::u16string key;
            V values;
        };
        const std::vector<Option> options = {
            {SectionIme, u"编码窗口样式", {u"TSF-嵌入编码", u"TSF-嵌入首选", u"TSF-传统样式", u"IME-传统样式"}},
            {SectionIme, u"英文状态时空格行为", {u"上屏英文", u"上屏英文+空格", u"清屏", u"?"}},
            {SectionIme, u"初始化转换状态",
             {u"与系统转换状态一致", u"自定义：中文标点+全角+输入法关闭", u"自定义：英文标点+半角+输入法打开",
              u"全角", u"乱写"}},
            {SectionIme, u"候选窗口位置", {u"固定位置", u"跟随状态栏", u"跟随光标", u"?"}},
            {SectionIme, u"候选列表排序依据", {u"单字先见", u"按编码排序", u"单字先见,按编码排序,", u"码表原始序"}},
            {SectionIme, u"候选列表显示个数", {u"1", u"2", u"5", u"9", u"10", u"0", u"15", u"x"}},
            {SectionIme, u"词频调整", {u"一次到顶", u"逐渐调整", u"累加上屏数", u"禁止调整", u"?"}},
            {SectionIme, u"输入方案", {u"主+辅", u"主", u"辅", u"?"}},
            {SectionSkin, u"使用皮肤名称", {u"skin.col", u"切换", u"my skin.col", u"a=b.col"}},
            {SectionSkin, u"窗口布局", {u"合并编码框与候选框", u"分离的右侧候选框", u"分离的下方候选框"}},
            {SectionSkin, u"候选列表排列样式", {u"横排", u"竖排", u"左起纵向"}},
            {SectionSkin, u"光标样式", {u"竖线", u"横线", u"不显示"}},
            {SectionSkin, u"光标宽度", {u"1", u"2"}},
        };
        for (const auto& o : options) applyOption(b, o.section, o.key, pick(o.values));
        // Every yes/no option, found as the writer lists it.
        const std::u16string written = writeSettingsText(b);
        int section = SectionUnknown;
        for (size_t at = 0, end; (end = written.find(u"\r\n", at)) != written.npos; at = end + 2) {
            std::u16string_view line(written.data() + at, end - at);
            if (line.substr(0, 2) == u"[-") section = sectionId(line);
            size_t eq = line.find(u'=');
            if (eq != line.npos && (line.substr(eq) == u"=是" || line.substr(eq) == u"=否"))
                applyOption(b, section, line.substr(0, eq), pick(yesNo));
        }

        const std::u16string codeChars = u" !\"#$%&'()*+,-./0123456789:;<=>?@AZ[\\]^_`az{|}~＊＋－．／０９";
        for (auto key : {u"候选唯一自动上屏码长", u"空码自动清除码长", u"智能动态上屏码长", u"显示码表词语码长"}) {
            std::string n = std::to_string(below(256));
            applyOption(b, SectionDme, key, std::u16string(n.begin(), n.end()));
        }
        for (auto key : {u"查询输入字符", u"临时英文引导字符", u"临时辅码引导字符", u"临时次显引导字符"})
            applyOption(b, SectionDme, key, characters(codeChars, 1));
        for (auto key : {u"上屏引导键", u"编码截止键", u"数字后英文标点"})
            applyOption(b, SectionDme, key, characters(codeChars, 8));

        const std::u16string symbolChars = u"，。！？、“”‘’《》【】（）…—·～￥〈〉「」";
        for (int i = below(40); i > 0; --i) {
            std::u16string key;
            if (below(3) == 0) key = u"小";
            key += static_cast<char16_t>(0x20 + below(0x5F));
            std::u16string value = characters(symbolChars, 10);
            if (below(2)) value = characters(symbolChars, 4) + u"," + characters(symbolChars, 4);
            applyOption(b, SectionSymbols, key, value);
        }

        const std::vector<std::u16string> functions = {
            u"输入法开关", u"英文联想输入开关", u"清除输入", u"重复输入", u"撤销输入", u"前翻页", u"后翻页",
            u"首选上屏", u"第3候选上屏", u"英文上屏", u"倒数第1候选上屏", u"光标至头", u"编码后删", u"首选前移",
            u"第10候选调频", u"第2候选删除", u"输入方案主/辅切换", u"检索范围主/次切换", u"配置 - 关于",
            u"在线删词", u"显示|关闭界面", u"上屏转换 - 繁体", u"软键盘切换",
        };
        auto someFunctions = [&] {
            std::u16string text;
            for (int i = 1 + below(3); i > 0; --i) text += pick(functions) + u",";
            return text;
        };
        std::vector<uint32_t> slots;
        for (uint32_t slot = 0; slot < 512; ++slot)
            if (singleKeySlot((slot & 0xFF) | (slot >= 256 ? keycode::Shift : 0)) == static_cast<int>(slot))
                slots.push_back(slot);
        for (int i = below(60); i > 0; --i) {
            uint32_t slot = pick(slots);
            bindKeyText(b.dme, keyText((slot & 0xFF) | (slot >= 256 ? keycode::Shift : 0)), someFunctions());
        }
        const std::vector<uint32_t> modifiers = {
            keycode::Ctrl, keycode::Alt, keycode::Ctrl | keycode::Alt, keycode::Ctrl | keycode::LeftCtrl,
            keycode::Alt | keycode::RightAlt | keycode::Shift, keycode::Ctrl | keycode::Shift | keycode::LeftShift,
            keycode::Shift | keycode::RightShift,
        };
        for (int i = below(36); i > 0; --i) {
            uint32_t code = (pick(slots) & 0xFF) | pick(modifiers);
            bindKeyText(b.dme, keyText(code), someFunctions());
        }

        for (int n = 2; n <= 30; ++n) {
            if (below(2)) continue;
            std::string line = "P";
            line += std::to_string(n);
            line += '=';
            for (int e = below(6) == 0 ? below(128) : below(6); e > 0; --e) {
                bool right = below(2);
                int k = right ? 1 + below(n < 30 ? n : 30) : 1 + below(30);
                line += right ? 'R' : 'L';
                line += std::to_string(k);
                line += below(2) ? 'F' : 'B';
                line += std::to_string(below(128));
                if (below(2)) line += '+';
            }
            if (!line.empty() && line.back() == '+') line.pop_back();
            parseRule(b.dme, std::u16string(line.begin(), line.end()));
        }
    }
};

TEST(SettingsText, RandomSettingsReadBackUnchanged) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        Store original;
        RandomSettings(seed).apply(original.blocks);
        const std::u16string text = writeSettingsText(original.blocks);
        // Read into a store that differs: the shipped one.
        Store copy;
        auto problems = readSettingsText(copy.blocks, text);
        EXPECT_TRUE(problems.empty()) << seed << ": line " << (problems.empty() ? 0 : problems[0].line) << " "
                                      << utf8(problems.empty() ? u"" : problems[0].text);
        ASSERT_EQ(original.bytes, copy.bytes) << "seed " << seed << "\n" << utf8(text);
        EXPECT_EQ(text, writeSettingsText(copy.blocks));
    }
}

// ---------------------------------------------------------------------------
// Reading

TEST(SettingsText, ReadingClearsKeysRulesAndSymbolsFirst) {
    Store s;
    const uint32_t a = s.blocks.ime.a(), c = s.blocks.ime.c();
    auto problems = readSettingsText(s.blocks, u"[-IME设置-]\r\n词频调整=一次到顶\r\n");
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(1u, s.blocks.ime.b() & I::B_FreqMask);
    EXPECT_EQ(a, s.blocks.ime.a());
    EXPECT_EQ(c, s.blocks.ime.c());
    EXPECT_TRUE(noBindingsRulesOrSymbols(s.blocks));
    // Character classes and the DME options are not part of that clearing.
    EXPECT_EQ('z', s.blocks.dme.u8(D::QueryChar));
    EXPECT_EQ(D::ClassEnglishAfterDigit, s.blocks.dme.charClass(','));

    readSettingsText(s.blocks, u"");
    EXPECT_TRUE(noBindingsRulesOrSymbols(s.blocks));
}

TEST(SettingsText, CommentsQuotesAndSections) {
    Store s;
    const std::u16string text =
        u"\uFEFF词频调整=逐渐调整\r\n"  // before the first section: ignored
        u"[-生成器选项-]\n"
        u"词频调整=逐渐调整\n"
        u"[-IME设置-]\r"
        u"词频调整=一次到顶// 行尾注释\r\n"
        u"/* 块注释里的设置不算：\r\n"
        u"词频调整=禁止调整 */\r\n"
        u"候选列表显示个数=/*7*/8\r\n"
        u"候选列表排序依据=\"单字先见,按编码排序\"后面不算\r\n"
        u"[-SKIN设置-]\n"
        u"使用皮肤名称=\"蓝色.col\"\n"
        u"[-DME设置-]\n"
        u"临时英文引导字符=\"\n"  // a lone quote is the character itself
        u"上屏引导键=\"\n"
        u"[-非编码符号转义定义表-]\n"
        u"\"=“,”\n"
        u"===\n"
        u"小==＝\n"
        u"[-按键功能-]\n"
        u"==后翻页\n"
        u"=+键Ctrl=前翻页\n"
        u"[-构词规则定义-]\n"
        u"P1=L1B1\n"
        u"P31=L1B1\n"
        u"P2=L1F1+L2F1\n";
    auto problems = readSettingsText(s.blocks, text);
    const ImeSettings& ime = s.blocks.ime;
    EXPECT_EQ(1u, ime.b() & I::B_FreqMask);
    EXPECT_EQ(8, ime.pageSize());
    EXPECT_EQ(I::B_SingleFirst | I::B_ByCode, ime.b() & (I::B_SingleFirst | I::B_ByCode));
    EXPECT_EQ(u"蓝色.col", s.blocks.skin.text(S::SkinFile, 40));
    EXPECT_EQ('"', s.blocks.dme.u8(D::TempEnglishLead));
    EXPECT_EQ(D::ClassCommitLead, s.blocks.dme.charClass('"'));
    EXPECT_EQ(SymbolPair, ime.u16(symbolEntry('"')));
    EXPECT_EQ(u"=", ime.text(symbolEntry('=') + 2, 11));
    EXPECT_EQ(u"＝", ime.text(symbolEntry(128 + '=') + 2, 11));
    EXPECT_EQ(keyfn::PageNext, s.blocks.dme.keyMask(0xBB));
    ASSERT_EQ(1, s.blocks.dme.comboCount());
    EXPECT_EQ(0x4BBu, s.blocks.dme.comboKey(0));
    EXPECT_EQ((std::vector<uint16_t>{0x8101, 0x8201}), ruleElements(s.blocks.dme, 2));
    EXPECT_TRUE(ruleElements(s.blocks.dme, 3).empty());
    // The rule lines for lengths 1 and 31 are the only lines without effect.
    ASSERT_EQ(2u, problems.size());
    EXPECT_EQ(OptionResult::UnknownKey, problems[0].result);
    EXPECT_EQ(u"P1=L1B1", problems[0].text);
}

TEST(SettingsText, ProblemsAreReportedAndChangeNothing) {
    Store s;
    const std::u16string text =
        u"[-IME设置-]\r\n"
        u"词频调整=一次到顶\r\n"
        u"没有这个设置=是\r\n"
        u"是否嵌入状态栏窗口\r\n"
        u"词频调整=累加上屏数\r\n"  // lines of one section are applied in text order
        u"[-DME设置-]\r\n"
        u"查询输入字符=太长\r\n"
        u"[-不认识的节-]\r\n"
        u"词频调整=逐渐调整\r\n"
        u"[-按键功能-]\r\n"
        u"中=前翻页\r\n"
        u"a=没有功能\r\n" +
        (u"b=前翻页" + std::u16string(MaxSettingsLine, u'x')) + u"\r\n";
    auto problems = readSettingsText(s.blocks, text);
    EXPECT_EQ(4u, s.blocks.ime.b() & I::B_FreqMask);
    EXPECT_EQ('z', s.blocks.dme.u8(D::QueryChar));
    EXPECT_EQ(0u, s.blocks.dme.keyMask(0x42));
    std::vector<std::pair<int, OptionResult>> seen;
    for (const auto& p : problems) seen.emplace_back(p.line, p.result);
    std::sort(seen.begin(), seen.end());
    const std::vector<std::pair<int, OptionResult>> expected = {
        {3, OptionResult::UnknownKey}, {4, OptionResult::UnknownKey}, {7, OptionResult::BadValue},
        {8, OptionResult::UnknownSection}, {11, OptionResult::UnknownKey}, {12, OptionResult::BadValue},
        {13, OptionResult::BadValue},
    };
    EXPECT_EQ(expected, seen);
}

// ---------------------------------------------------------------------------
// The set command

struct RecordingShell : platform::Shell {
    struct Run {
        std::u16string program, arguments;
        bool hidden;
    };
    std::vector<Run> runs;
    bool open(std::u16string_view) override { return true; }
    bool showHelp(std::u16string_view, std::u16string_view) override { return true; }
    bool run(std::u16string_view program, std::u16string_view arguments, bool hidden) override {
        runs.push_back({std::u16string(program), std::u16string(arguments), hidden});
        return true;
    }
};

TEST(SetCommand, PartsQuotesAndSeparators) {
    auto c = parseSetCommand(u"set([-IME设置-],词频调整=一次到顶)");
    ASSERT_TRUE(c);
    EXPECT_EQ(u"[-IME设置-]", c->section);
    EXPECT_EQ(u"词频调整", c->key);
    EXPECT_EQ(u"一次到顶", c->value);
    c = parseSetCommand(u" set(\"[-IME设置-]\",\"候选列表排序依据\"=\"单字先见,按编码排序)\") ");
    ASSERT_TRUE(c);
    EXPECT_EQ(u"候选列表排序依据", c->key);
    EXPECT_EQ(u"单字先见,按编码排序)", c->value);
    for (auto bad : {
             u"set([-IME设置-] 词频调整=一次到顶)", u"set([-IME设置-],词频调整 一次到顶)",
             u"set([-IME设置-],词频调整=一次到顶", u"set(\"[-IME设置-]\"词频调整=一次到顶)",
             u"set(\"[-IME设置-],词频调整=一次到顶)", u"set(,词频调整=一次到顶)", u"set([-IME设置-],=一次到顶)",
             u"set([-IME设置-],词频调整=)", u"set([-IME设置-],词频调整=\"\")", u"Set([-IME设置-],词频调整=一次到顶)",
             u"set([-IME设置-],词频调整=一次到顶)x", u"set(", u"", u"set([-IME设置-],词频调整=一次到顶))",
         })
        EXPECT_FALSE(parseSetCommand(bad)) << utf8(bad);
    // A key binding may have no functions: that unbinds the key.
    for (auto unbind : {u"set([-按键功能-],键Enter=)", u"set([-按键功能-],键Enter=\"\")"}) {
        c = parseSetCommand(unbind);
        ASSERT_TRUE(c) << utf8(unbind);
        EXPECT_EQ(u"", c->value);
    }
    EXPECT_FALSE(parseSetCommand(u"set([-按键功能-],=输入法开关)"));
}

TEST(SetCommand, UnbindsAKeyAndRefusesAnUnknownFunction) {
    Store s;
    RecordingShell shell;
    InstallerLaunch launch{&shell, u"C:\\Zorvan\\", u"{GUID}"};
    s.blocks.dme.setKeyMask(0x0D, keyfn::withIndex(keyfn::Commit, keyfn::IndexEnglish));
    EXPECT_EQ(OptionResult::BadValue, runSetCommand(s.blocks, u"set([-按键功能-],键Enter=英文上平)", launch).result);
    EXPECT_NE(0u, s.blocks.dme.keyMask(0x0D));
    EXPECT_EQ(OptionResult::Applied, runSetCommand(s.blocks, u"set([-按键功能-],键Enter=)", launch).result);
    EXPECT_EQ(0u, s.blocks.dme.keyMask(0x0D));
}

TEST(SetCommand, AppliesInPlaceOrChangesNothing) {
    Store s;
    RecordingShell shell;
    InstallerLaunch launch{&shell, u"C:\\Zorvan\\", u"{GUID}"};
    auto out = runSetCommand(s.blocks, u"set([-IME设置-],候选列表排序依据=\"单字先见,按编码排序\")", launch);
    EXPECT_TRUE(out.valid);
    EXPECT_EQ(OptionResult::Applied, out.result);
    EXPECT_EQ(I::B_SingleFirst | I::B_ByCode, s.blocks.ime.b() & (I::B_SingleFirst | I::B_ByCode));

    const auto before = s.bytes;
    for (auto text : {u"set([-IME设置-],输入法框架=否)", u"set([-DME设置-],使用调试模式=是)"}) {
        out = runSetCommand(s.blocks, text, launch);
        EXPECT_TRUE(out.valid && out.refused) << utf8(text);
    }
    out = runSetCommand(s.blocks, u"set(IME设置,词频调整=一次到顶)", launch);
    EXPECT_EQ(OptionResult::UnknownSection, out.result);
    out = runSetCommand(s.blocks, u"set([-未知-],词频调整=一次到顶)", launch);
    EXPECT_EQ(OptionResult::UnknownSection, out.result);
    out = runSetCommand(s.blocks, u"set([-IME设置-],词频调整)", launch);
    EXPECT_FALSE(out.valid);
    EXPECT_FALSE(setOutcomeText(out).empty());
    out = runSetCommand(s.blocks, u"set([-DME设置-],查询输入字符=中)", launch);
    EXPECT_EQ(OptionResult::BadValue, out.result);
    EXPECT_EQ(before, s.bytes);
    EXPECT_TRUE(shell.runs.empty());

    // Other sections reach their own parsers.
    runSetCommand(s.blocks, u"set([-按键功能-],\"键F5+键Ctrl\"=配置 - 帮助)", launch);
    EXPECT_EQ(0x474u, s.blocks.dme.comboKey(0));
    runSetCommand(s.blocks, u"set([-构词规则定义-],P10=L1B1+L2B1+L3B1+R1B1)", launch);
    EXPECT_EQ(4u, ruleElements(s.blocks.dme, 10).size());
    runSetCommand(s.blocks, u"set([-非编码符号转义定义表-],@=\"＠,@\")", launch);
    EXPECT_EQ(SymbolPair, s.blocks.ime.u16(symbolEntry('@')));
}

TEST(SetCommand, InstallerRunsOnlyBetweenTraditionalAndServiceStyles) {
    Store s;
    RecordingShell shell;
    InstallerLaunch launch{&shell, u"C:\\Zorvan", u"{GUID}"};
    auto set = [&](std::u16string_view style) {
        return runSetCommand(s.blocks, u"set([-IME设置-],编码窗口样式=" + std::u16string(style) + u")", launch);
    };
    ASSERT_EQ(I::A_StyleEmbedCode, s.blocks.ime.a() & I::A_StyleMask);
    EXPECT_FALSE(set(u"TSF-嵌入首选").installerStarted);
    EXPECT_FALSE(set(u"TSF-嵌入首选").installerStarted);
    EXPECT_TRUE(shell.runs.empty());
    EXPECT_TRUE(set(u"IME-传统样式").installerStarted);
    EXPECT_FALSE(set(u"IME-传统样式").installerStarted);
    EXPECT_TRUE(set(u"TSF-传统样式").installerStarted);
    runSetCommand(s.blocks, u"set([-IME设置-],词频调整=一次到顶)", launch);
    ASSERT_EQ(2u, shell.runs.size());
    EXPECT_EQ(u"C:\\Zorvan\\installer.exe", shell.runs[0].program);
    EXPECT_EQ(u"/EMMODE=0 /GUID={GUID}", shell.runs[0].arguments);
    EXPECT_TRUE(shell.runs[0].hidden);
    EXPECT_EQ(u"/EMMODE=1 /GUID={GUID}", shell.runs[1].arguments);

    // Without the framework the style cannot change, so nothing is started.
    s.blocks.ime.setBit(I::OptionC, I::C_Framework, false);
    EXPECT_FALSE(set(u"IME-传统样式").installerStarted);
    EXPECT_EQ(2u, shell.runs.size());
}

// ---------------------------------------------------------------------------
// Damaged input

TEST(SettingsText, RandomTextsAndCommandsStayInsideTheBlocks) {
    const std::vector<std::u16string> fragments = {
        u"[-IME设置-]", u"[-DME设置-]", u"[-SKIN设置-]", u"[-按键功能-]", u"[-构词规则定义-]",
        u"[-非编码符号转义定义表-]", u"[-软件选项-]", u"[-", u"-]", u"=", u"==", u"\"", u",", u")", u"set(",
        u"//", u"/*", u"*/", u"\r\n", u"\n", u"\r", u"小", u"键", u"+键Ctrl", u"+键左Alt", u"键F1", u"A",
        u"P", u"p", u"L", u"R", u"B", u"F", u"+", u"0", u"2", u"31", u"99999999999", u"是", u"切换",
        u"词频调整", u"候选列表显示个数", u"查询输入字符", u"上屏引导键", u"使用皮肤名称", u".col",
        u"编码窗口样式", u"TSF-嵌入编码", u"第1候选上屏", u"倒数第1候选上屏", std::u16string(1, char16_t(0xD800)), std::u16string(1, char16_t(0xDC00)),
        std::u16string(1, u'\0'), u"\uFFFF", u"１", u"＊", u" ", u"\t", u"\uFEFF",
    };
    std::mt19937 rng(7);
    Store s;
    std::vector<uint8_t> headers;
    auto sectionHeaders = [&] {
        std::vector<uint8_t> h;
        for (const SettingsBlock* b : {static_cast<const SettingsBlock*>(&s.blocks.ime), static_cast<const SettingsBlock*>(&s.blocks.dme),
                                       static_cast<const SettingsBlock*>(&s.blocks.skin), static_cast<const SettingsBlock*>(&s.blocks.soft)})
            h.insert(h.end(), b->base, b->base + section::Fields);
        return h;
    };
    headers = sectionHeaders();
    RecordingShell shell;
    InstallerLaunch launch{&shell, u"dir", u"name"};
    for (int round = 0; round < 300; ++round) {
        std::u16string text;
        for (int i = static_cast<int>(rng() % 400); i > 0; --i) {
            if (rng() % 4 == 0) {
                text += static_cast<char16_t>(rng() % 0x10000);
            } else {
                text += fragments[rng() % fragments.size()];
            }
        }
        readSettingsText(s.blocks, text);
        runSetCommand(s.blocks, text, launch);
        runSetCommand(s.blocks, u"set(" + text.substr(0, 60) + u")", launch);
        parseKeyText(text.substr(0, 12));
        parseFunctionText(text);
        parseRule(s.blocks.dme, text.substr(0, 80));
        ASSERT_EQ(headers, sectionHeaders());
        ASSERT_TRUE(findBlocks(s.bytes.data(), static_cast<uint32_t>(s.bytes.size())).complete());
    }
    // Whatever was read, the blocks can be written and read back.
    Store copy;
    readSettingsText(copy.blocks, writeSettingsText(s.blocks));
    EXPECT_EQ(writeSettingsText(s.blocks), writeSettingsText(copy.blocks));
}

}  // namespace
}  // namespace zv
