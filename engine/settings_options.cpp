#include "engine/settings_options.h"

#include "engine/code_table.h"
#include "engine/key_table.h"
#include "engine/rules.h"

#include <cstring>
#include <string>

namespace zv {
namespace {

constexpr std::u16string_view kYes = u"是";
constexpr std::u16string_view kNo = u"否";
constexpr std::u16string_view kToggle = u"切换";

struct Header {
    int id;
    std::u16string_view text;
};
constexpr Header kHeaders[] = {
    {SectionGenerator, u"[-生成器选项-]"},   {SectionKeys, u"[-按键功能-]"},
    {SectionIme, u"[-IME设置-]"},            {SectionDme, u"[-DME设置-]"},
    {SectionSkin, u"[-SKIN设置-]"},          {SectionRules, u"[-构词规则定义-]"},
    {SectionSymbols, u"[-非编码符号转义定义表-]"}, {SectionOtherFiles, u"[-其他安装文件-]"},
    {SectionSoftware, u"[-软件选项-]"},
};

std::u16string decimal(unsigned v) {
    std::string s = std::to_string(v);
    return std::u16string(s.begin(), s.end());
}

// "是" sets a flag; "切换" toggles it where the option allows that;
// anything else clears it.
bool flagValue(bool current, std::u16string_view value, bool toggle) {
    if (value == kYes) return true;
    if (toggle && value == kToggle) return !current;
    return false;
}

// A yes/no option stored as one bit of a 32-bit option word.
struct Flag {
    std::u16string_view key;
    std::u16string_view alias;  // empty when the option has none
    size_t word;
    uint32_t bit;
    bool toggle;
    bool framework;  // accepted only when the text-service framework is present
};

// An option with a fixed set of values stored in a field of an option word.
struct Choice {
    std::u16string_view name;
    uint32_t bits;
};
struct ChoiceOption {
    std::u16string_view key;
    size_t word;
    uint32_t mask;
    Choice choices[4];
    int count;
    int fallback;   // the choice any other value selects; -1: other values are refused
    int unmatched;  // the choice written when the stored bits match none
    bool framework;
};

using I = ImeSettings;
constexpr Flag kImeFlags[] = {
    {u"是否嵌入状态栏窗口", {}, I::OptionA, I::A_EmbedStatusBar, true, true},
    {u"保存自定义的初始化转换状态", {}, I::OptionC, I::C_SaveInitialState, false, false},
    {u"是否开启命令直通车", {}, I::OptionC, I::C_CommandDirect, false, false},
    {u"仅重码时显示候选窗口", {}, I::OptionC, I::C_OnlyShowWhenAmbiguous, true, false},
    {u"隐藏嵌入的首候选", {}, I::OptionC, I::C_HideEmbeddedFirst, true, false},
    {u"隐藏词条相同编码不同的后续候选", {}, I::OptionC, I::C_HideSameWordOtherCode, false, false},
    {u"首字母大写开启临时英文输入", {}, I::OptionA, I::A_CapitalStartsEnglish, false, false},
    {u"临时词功能开启", {}, I::OptionA, I::A_TempWords, true, false},
    {u"临时词上屏即存", {}, I::OptionA, I::A_TempSaveOnCommit, true, false},
    {u"临时词重启电脑后清空", {}, I::OptionA, I::A_TempClearOnBoot, true, false},
    {u"隐藏候选窗口", {}, I::OptionA, I::A_HideCandidates, true, false},
    {u"隐藏状态条窗口", {}, I::OptionA, I::A_HideStatusBar, true, false},
    {u"禁用组合快捷键", {}, I::OptionA, I::A_NoHotKeys, true, false},
    {u"是否在上屏时开启词语联想", {}, I::OptionA, I::A_Association, true, false},
    {u"是否打开非编码按键顶屏", {}, I::OptionA, I::A_NonCodeKeyCommits, true, false},
    {u"中英文切换时上屏输入字符", {}, I::OptionA, I::A_CommitCodeOnSwitch, true, false},
    {u"检索次显码表", {}, I::OptionA, I::A_SearchSecondary, true, false},
    {u"空码时检索次显码表", {}, I::OptionA, I::A_SecondaryWhenEmpty, true, false},
};

constexpr ChoiceOption kImeChoices[] = {
    {u"编码窗口样式", I::OptionA, I::A_StyleMask,
     {{u"TSF-嵌入编码", I::A_StyleEmbedCode}, {u"TSF-嵌入首选", I::A_StyleEmbedFirst},
      {u"TSF-传统样式", I::A_StyleTsfClassic}, {u"IME-传统样式", 0}},
     4, -1, 3, true},
    {u"英文状态时空格行为", I::OptionC, I::C_EnglishSpaceMask,
     {{u"上屏英文", I::C_SpaceCommitsEnglish}, {u"上屏英文+空格", I::C_SpaceCommitsEnglishAndSpace},
      {u"清屏", I::C_SpaceClears}},
     3, 1, 1, false},
    {u"候选窗口位置", I::OptionA, I::A_CandidatePosMask,
     {{u"固定位置", I::A_CandidatePosFixed}, {u"跟随状态栏", I::A_CandidatePosStatusBar}, {u"跟随光标", 0}},
     3, 2, 2, false},
    {u"词频调整", I::OptionB, I::B_FreqMask,
     {{u"一次到顶", I::B_FreqToTop}, {u"逐渐调整", I::B_FreqGradual}, {u"累加上屏数", I::B_FreqCount},
      {u"禁止调整", 0}},
     4, 3, 3, false},
    {u"输入方案", I::OptionA, I::A_MainTable | I::A_AuxTable,
     {{u"主+辅", I::A_MainTable | I::A_AuxTable}, {u"主", I::A_MainTable}, {u"辅", I::A_AuxTable}},
     3, 2, 1, false},
};

using D = DmeSettings;
constexpr Flag kDmeFlags[] = {
    {u"是否启用编码逐渐提示", {}, D::OptionD, D::D_Progressive, true, false},
    {u"是否在候选为空时启用编码逐渐提示", {}, D::OptionD, D::D_ProgressiveWhenEmpty, true, false},
    {u"开启首键查询", {}, D::OptionD, D::D_QueryFirstKey, true, false},
    {u"开启查询键重复输入", {}, D::OptionD, D::D_QueryRepeat, true, false},
    {u"查询输入只查单字", {}, D::OptionD, D::D_QuerySingleOnly, true, false},
    {u"自动上屏忽略输入是否全码", {}, D::OptionD, D::D_IgnoreFullCode, true, false},
};

// Numbers stored in one byte of the block.
struct ByteOption {
    std::u16string_view key;
    std::u16string_view alias;
    size_t offset;
};
// "显示码表词语码长" is bits 24..31 of option word D, its highest byte.
constexpr size_t kWordLengthByte = D::OptionD + 3;
constexpr ByteOption kDmeNumbers[] = {
    {u"候选唯一自动上屏码长", {}, D::UniqueCommitLength},
    {u"空码自动清除码长", {}, D::EmptyClearLength},
    {u"智能动态上屏码长", {}, D::SmartCommitLength},
    {u"显示码表词语码长", {}, kWordLengthByte},
};
constexpr ByteOption kDmeCharacters[] = {
    {u"查询输入字符", u"万能键", D::QueryChar},
    {u"临时英文引导字符", {}, D::TempEnglishLead},
    {u"临时辅码引导字符", {}, D::AuxLead},
    {u"临时次显引导字符", {}, D::SecondaryLead},
};
struct ClassOption {
    std::u16string_view key;
    std::u16string_view comment;
    uint8_t bit;
};
constexpr ClassOption kDmeClasses[] = {
    {u"上屏引导键", u"//上屏引导键，使用键盘英文字符定义，可多设", D::ClassCommitLead},
    {u"编码截止键", u"//编码截止键，使用键盘英文字符定义，可多设", D::ClassTerminator},
    {u"数字后英文标点", u"//数字后英文标点，使用键盘英文字符定义，可多设", D::ClassEnglishAfterDigit},
};

using S = SkinSettings;
constexpr Flag kSkinFlags[] = {
    {u"候选序号是否可见", u"houxuanxuhaoshifoukejian", S::Option, S::ShowIndex, true, false},
    {u"编码提示是否可见", u"bianmatishishifoukejian", S::Option, S::ShowHints, true, false},
    {u"界面按钮是否可见", u"jiemiananniusihfoukejian", S::Option, S::ShowButtons, true, false},
    {u"从右向左的文本", {}, S::Option, S::RightToLeft, true, false},
};
constexpr std::u16string_view kSkinNameKey = u"使用皮肤名称", kSkinNameAlias = u"shiyongpifumingcheng";
constexpr std::u16string_view kCaretWidthKey = u"光标宽度";
constexpr ChoiceOption kSkinChoices[] = {
    {u"窗口布局", S::Option, S::LayoutWindowMask,
     {{u"合并编码框与候选框", S::LayoutMerged}, {u"分离的右侧候选框", S::LayoutRight}, {u"分离的下方候选框", 0}},
     3, -1, 2, false},
    {u"候选列表排列样式", S::Option, S::LayoutListMask,
     {{u"横排", S::LayoutHorizontal}, {u"竖排", 0}, {u"左起纵向", S::LayoutLeftColumns}},
     3, -1, 1, false},
    {u"光标样式", S::Option, S::CaretMask,
     {{u"竖线", S::CaretBar}, {u"横线", S::CaretLine}, {u"不显示", 0}},
     3, -1, 2, false},
};

bool matches(const Flag& f, std::u16string_view key) { return key == f.key || (!f.alias.empty() && key == f.alias); }
bool matches(const ByteOption& o, std::u16string_view key) {
    return key == o.key || (!o.alias.empty() && key == o.alias);
}

bool frameworkPresent(const SettingsBlock& block) {
    // Only ImeSettings options need the framework; their word C says whether it is there.
    return block.bit(I::OptionC, I::C_Framework);
}

template <size_t N>
bool applyFlag(SettingsBlock& block, const Flag (&flags)[N], std::u16string_view key, std::u16string_view value,
               OptionResult& result) {
    for (const auto& f : flags) {
        if (!matches(f, key)) continue;
        if (f.framework && !frameworkPresent(block)) {
            result = OptionResult::NeedsFramework;
        } else {
            block.setBit(f.word, f.bit, flagValue(block.bit(f.word, f.bit), value, f.toggle));
            result = OptionResult::Applied;
        }
        return true;
    }
    return false;
}

template <size_t N>
bool applyChoice(SettingsBlock& block, const ChoiceOption (&options)[N], std::u16string_view key,
                 std::u16string_view value, OptionResult& result) {
    for (const auto& o : options) {
        if (key != o.key) continue;
        if (o.framework && !frameworkPresent(block)) {
            result = OptionResult::NeedsFramework;
            return true;
        }
        int chosen = o.fallback;
        for (int i = 0; i < o.count; ++i)
            if (value == o.choices[i].name) chosen = i;
        if (chosen < 0) {
            result = OptionResult::BadValue;
            return true;
        }
        block.setU32(o.word, (block.u32(o.word) & ~o.mask) | o.choices[chosen].bits);
        result = OptionResult::Applied;
        return true;
    }
    return false;
}

std::u16string_view choiceName(const SettingsBlock& block, const ChoiceOption& o) {
    uint32_t bits = block.u32(o.word) & o.mask;
    for (int i = 0; i < o.count; ++i)
        if (o.choices[i].bits == bits) return o.choices[i].name;
    return o.choices[o.unmatched].name;
}

// Lines of option text: key, "=", value, CR LF.
struct Lines {
    std::u16string text;
    void line(std::u16string_view key, std::u16string_view value) {
        text += key;
        text += u'=';
        text += value;
        text += u"\r\n";
    }
    void comment(std::u16string_view c) {
        text += c;
        text += u"\r\n";
    }
    void blank() { text += u"\r\n"; }
    void flag(const SettingsBlock& block, const Flag& f) { line(f.key, block.bit(f.word, f.bit) ? kYes : kNo); }
    template <size_t N>
    void flag(const SettingsBlock& block, const Flag (&flags)[N], std::u16string_view key) {
        for (const auto& f : flags)
            if (f.key == key) flag(block, f);
    }
    template <size_t N>
    void choice(const SettingsBlock& block, const ChoiceOption (&options)[N], std::u16string_view key) {
        for (const auto& o : options)
            if (o.key == key) line(o.key, choiceName(block, o));
    }
};

// The character a code byte is written as; empty when the byte has no
// character that reads back as the same byte.
std::u16string codeCharacter(uint8_t b) {
    if (!b) return {};  // no character: the option is off
    char16_t u = unitFromCodeByte(b);
    if (!u || codeByteFromUnit(u) != b) return {};
    return std::u16string(1, u);
}

// Text fields with their terminators: a single text of 10 units, a pair of
// texts of 4 units each.
constexpr size_t kSymbolTextUnits = symbol::TextUnits + 1;
constexpr size_t kPairTextUnits = symbol::PairUnits;

}  // namespace

int sectionId(std::u16string_view header) {
    for (const auto& h : kHeaders)
        if (header == h.text) return h.id;
    return SectionUnknown;
}

std::u16string_view sectionHeader(int section) {
    for (const auto& h : kHeaders)
        if (h.id == section) return h.text;
    return {};
}

std::u16string_view optionResultText(OptionResult r) {
    switch (r) {
    case OptionResult::Applied: return u"设置已生效";
    case OptionResult::Ignored: return u"此节的设置不由输入法处理";
    case OptionResult::UnknownSection: return u"未知的设置节";
    case OptionResult::UnknownKey: return u"未知的设置项";
    case OptionResult::BadValue: return u"设置值无效，未作更改";
    case OptionResult::NeedsFramework: return u"未包含TSF框架，此项不能设置";
    case OptionResult::CombinationListFull: return u"组合按键空间用尽，您最多能定义32组组合键。";
    }
    return {};
}

int parseOptionNumber(std::u16string_view value) {
    size_t i = 0;
    while (i < value.size() && (value[i] == u' ' || value[i] == u'\t')) ++i;
    int n = 0;
    for (; i < value.size(); ++i) {
        char16_t c = value[i];
        int digit;
        if (c >= u'0' && c <= u'9') {
            digit = c - u'0';
        } else if (c >= u'０' && c <= u'９') {
            digit = c - u'０';
        } else {
            break;
        }
        n = n * 10 + digit;
        if (n > 255) n = 255;  // a byte field: large numbers mean "as long as it gets"
    }
    return n;
}

OptionResult applyImeOption(ImeSettings& ime, std::u16string_view key, std::u16string_view value) {
    OptionResult r = OptionResult::UnknownKey;
    if (applyFlag(ime, kImeFlags, key, value, r) || applyChoice(ime, kImeChoices, key, value, r)) return r;
    if (key == u"初始化转换状态") {
        if (value == u"与系统转换状态一致") {
            ime.setU32(I::InitialMode, 0x401);
            ime.setBit(I::OptionC, I::C_CustomInitialState, false);
        } else {
            uint32_t mode = 0;
            if (value.find(u"中文标点") != std::u16string_view::npos) mode |= 0x400;
            if (value.find(u"全角") != std::u16string_view::npos) mode |= 0x8;
            if (value.find(u"输入法关闭") != std::u16string_view::npos) mode |= 0x100;
            ime.setU32(I::InitialMode, mode);
            ime.setBit(I::OptionC, I::C_CustomInitialState, true);
        }
        return OptionResult::Applied;
    }
    if (key == u"候选列表排序依据") {
        ime.setBit(I::OptionB, I::B_SingleFirst, value.find(u"单字先见") != std::u16string_view::npos);
        ime.setBit(I::OptionB, I::B_ByCode, value.find(u"按编码排序") != std::u16string_view::npos);
        return OptionResult::Applied;
    }
    if (key == u"候选列表显示个数") {
        uint32_t n = 5;
        if (value == u"10") {
            n = 10;
        } else if (!value.empty() && value[0] >= u'1' && value[0] <= u'9') {
            n = value[0] - u'0';
        }
        ime.setU32(I::OptionB, (ime.b() & 0x0FFFFFFF) | (n << I::B_PageSizeShift));
        return OptionResult::Applied;
    }
    return r;
}

OptionResult applyDmeOption(DmeSettings& dme, std::u16string_view key, std::u16string_view value) {
    OptionResult r = OptionResult::UnknownKey;
    if (applyFlag(dme, kDmeFlags, key, value, r)) return r;
    for (const auto& o : kDmeNumbers) {
        if (!matches(o, key)) continue;
        dme.setU8(o.offset, static_cast<uint8_t>(parseOptionNumber(value)));
        return OptionResult::Applied;
    }
    for (const auto& o : kDmeCharacters) {
        if (!matches(o, key)) continue;
        if (value.empty()) {
            dme.setU8(o.offset, 0);
            return OptionResult::Applied;
        }
        uint8_t b = value.size() == 1 ? codeByteFromUnit(value[0]) : 0;
        if (!b) return OptionResult::BadValue;
        dme.setU8(o.offset, b);
        return OptionResult::Applied;
    }
    for (const auto& o : kDmeClasses) {
        if (key != o.key) continue;
        // Check every character before the old set is cleared.
        for (char16_t c : value)
            if (!codeByteFromUnit(c)) return OptionResult::BadValue;
        for (int b = 0; b < 256; ++b) dme.setU8(D::Classes + b, dme.u8(D::Classes + b) & ~o.bit);
        for (char16_t c : value) {
            size_t at = D::Classes + codeByteFromUnit(c);
            dme.setU8(at, dme.u8(at) | o.bit);
        }
        return OptionResult::Applied;
    }
    return r;
}

OptionResult applySkinOption(SkinSettings& skin, std::u16string_view key, std::u16string_view value) {
    OptionResult r = OptionResult::UnknownKey;
    if (applyFlag(skin, kSkinFlags, key, value, r) || applyChoice(skin, kSkinChoices, key, value, r)) return r;
    if (key == kSkinNameKey || key == kSkinNameAlias) {
        if (value != kToggle && value.find(u".col") == std::u16string_view::npos) return OptionResult::BadValue;
        // A name that does not fit would lose its ending; keep the old one.
        if (value.size() > S::NameUnits - 1) return OptionResult::BadValue;
        skin.setText(S::SkinFile, S::NameUnits, value);
        return OptionResult::Applied;
    }
    if (key == kCaretWidthKey) {
        skin.setBit(S::Option, S::CaretWidthOne, value == u"1");
        return OptionResult::Applied;
    }
    return r;
}

void clearSymbols(ImeSettings& ime) { std::memset(ime.base + I::Symbols, 0, 256 * I::SymbolSize); }

OptionResult applySymbol(ImeSettings& ime, std::u16string_view key, std::u16string_view value) {
    int index;
    if (key.size() == 1 && key[0] < 128) {
        index = key[0];
    } else if (key.size() == 2 && key[0] == u'小' && key[1] < 128) {
        index = 128 + key[1];
    } else {
        return OptionResult::UnknownKey;
    }
    const size_t entry = I::Symbols + I::SymbolSize * static_cast<size_t>(index);
    size_t comma = value.find(u',');
    if (comma != std::u16string_view::npos && comma > 0) {
        auto first = value.substr(0, comma), second = value.substr(comma + 1);
        if (first.size() >= kPairTextUnits || second.size() >= kPairTextUnits) return OptionResult::BadValue;
        for (size_t i = 0; i < I::SymbolSize; ++i) ime.setU8(entry + i, 0);
        ime.setU16(entry, SymbolPair);
        ime.setText(entry + symbol::TextA, kPairTextUnits, first);
        ime.setText(entry + symbol::TextB, kPairTextUnits, second);
        return OptionResult::Applied;
    }
    if (value.size() >= kSymbolTextUnits) return OptionResult::BadValue;
    for (size_t i = 0; i < I::SymbolSize; ++i) ime.setU8(entry + i, 0);
    ime.setU16(entry, SymbolText);
    ime.setText(entry + symbol::TextA, kSymbolTextUnits, value);
    return OptionResult::Applied;
}

OptionResult applyOption(SettingsBlocks& blocks, int section, std::u16string_view key, std::u16string_view value) {
    switch (section) {
    case SectionIme: return applyImeOption(blocks.ime, key, value);
    case SectionDme: return applyDmeOption(blocks.dme, key, value);
    case SectionSkin: return applySkinOption(blocks.skin, key, value);
    case SectionSymbols: return applySymbol(blocks.ime, key, value);
    case SectionKeys:
        switch (bindKeyText(blocks.dme, key, value)) {
        case BindResult::Single:
        case BindResult::Combination: return OptionResult::Applied;
        case BindResult::InvalidKey: return OptionResult::UnknownKey;
        case BindResult::NoFunction: return OptionResult::BadValue;
        case BindResult::ListFull: return OptionResult::CombinationListFull;
        }
        return OptionResult::BadValue;
    case SectionRules: {
        std::u16string line(key);
        line += u'=';
        line += value;
        switch (parseRule(blocks.dme, line)) {
        case RuleResult::Applied: return OptionResult::Applied;
        case RuleResult::LengthIgnored: return OptionResult::UnknownKey;
        case RuleResult::Rejected: return OptionResult::BadValue;
        }
        return OptionResult::BadValue;
    }
    case SectionGenerator:
    case SectionOtherFiles:
    case SectionSoftware: return OptionResult::Ignored;
    default: return OptionResult::UnknownSection;
    }
}

std::u16string writeImeOptions(const ImeSettings& ime) {
    Lines out;
    auto flag = [&](std::u16string_view key) {
        out.flag(ime, kImeFlags, key);
        out.blank();
    };
    auto choice = [&](std::u16string_view key) {
        out.choice(ime, kImeChoices, key);
        out.blank();
    };
    out.comment(u"//可选：“上屏英文”、“上屏英文+空格”、“清屏”之一");
    choice(u"英文状态时空格行为");

    out.comment(u"//每次打开输入法时的标点符号状态、全角/半角状态和输入法开关状态");
    out.comment(u"//可选：“与系统转换状态一致”，或“自定义：”后接“中文标点”或“英文标点”、“全角”或“半角”、"
                u"“输入法关闭”或“输入法打开”，以“+”相连");
    if (ime.bit(I::OptionC, I::C_CustomInitialState)) {
        uint32_t mode = ime.u32(I::InitialMode);
        std::u16string v = u"自定义：";
        v += (mode & 0x400) ? u"中文标点+" : u"英文标点+";
        v += (mode & 0x8) ? u"全角+" : u"半角+";
        v += (mode & 0x100) ? u"输入法关闭" : u"输入法打开";
        out.line(u"初始化转换状态", v);
    } else {
        out.line(u"初始化转换状态", u"与系统转换状态一致");
    }
    out.blank();

    out.comment(u"//关闭输入法时是否把当时的转换状态保存为自定义的初始化转换状态");
    out.comment(u"//仅在“初始化转换状态”为“自定义：”时有效");
    flag(u"保存自定义的初始化转换状态");

    if (frameworkPresent(ime)) {
        out.comment(u"//可选：“TSF-嵌入编码”、“TSF-嵌入首选”、“TSF-传统样式”、“IME-传统样式”之一");
        choice(u"编码窗口样式");
        flag(u"是否嵌入状态栏窗口");
        flag(u"隐藏嵌入的首候选");
        flag(u"仅重码时显示候选窗口");
    } else {
        out.comment(u"//未包含TSF框架,此处只能设置为IME-传统样式");
        out.line(u"编码窗口样式", u"IME-传统样式");
        out.blank();
    }

    out.comment(u"//可选：“固定位置”、“跟随状态栏”、“跟随光标”之一");
    choice(u"候选窗口位置");
    for (auto key : {u"隐藏候选窗口", u"隐藏状态条窗口", u"隐藏词条相同编码不同的后续候选", u"是否打开非编码按键顶屏",
                     u"中英文切换时上屏输入字符", u"是否开启命令直通车", u"禁用组合快捷键",
                     u"首字母大写开启临时英文输入", u"是否在上屏时开启词语联想", u"临时词功能开启", u"临时词上屏即存",
                     u"临时词重启电脑后清空"})
        flag(key);

    out.comment(u"//可选：“主+辅”、“主”、“辅”之一");
    choice(u"输入方案");

    out.comment(u"//检索范围仅限定次显码表，当“检索次显码表为否”时,“候选为空时检索次显码表”有效");
    flag(u"检索次显码表");
    flag(u"空码时检索次显码表");

    out.comment(u"//可选：“单字先见”、“按编码排序”、“码表原始序”之一");
    std::u16string order;
    if (ime.bit(I::OptionB, I::B_SingleFirst)) order += u"单字先见,";
    if (ime.bit(I::OptionB, I::B_ByCode)) order += u"按编码排序,";
    out.line(u"候选列表排序依据", order.empty() ? u"码表原始序" : order);
    out.blank();

    out.comment(u"//可选：1~10之间整数");
    unsigned pageSize = ime.b() >> I::B_PageSizeShift;
    out.line(u"候选列表显示个数", decimal(pageSize >= 1 && pageSize <= 10 ? pageSize : 5));
    out.blank();

    out.comment(u"//可选：“一次到顶”、“逐渐调整”、“累加上屏数”、“禁止调整”之一");
    choice(u"词频调整");
    return std::move(out.text);
}

std::u16string writeDmeOptions(const DmeSettings& dme) {
    Lines out;
    auto number = [&](std::u16string_view key) {
        for (const auto& o : kDmeNumbers)
            if (o.key == key) out.line(o.key, decimal(dme.u8(o.offset)));
    };
    auto character = [&](std::u16string_view key) {
        for (const auto& o : kDmeCharacters)
            if (o.key == key) out.line(o.key, codeCharacter(dme.u8(o.offset)));
    };
    out.flag(dme, kDmeFlags, u"是否启用编码逐渐提示");
    out.flag(dme, kDmeFlags, u"是否在候选为空时启用编码逐渐提示");
    out.blank();
    number(u"候选唯一自动上屏码长");
    number(u"空码自动清除码长");
    number(u"智能动态上屏码长");
    number(u"显示码表词语码长");
    out.blank();
    out.comment(u"//如果开启，编码唯一自动上屏的判断条件将不判断当前输入是否全码");
    out.flag(dme, kDmeFlags, u"自动上屏忽略输入是否全码");
    out.blank();
    out.flag(dme, kDmeFlags, u"开启首键查询");
    out.flag(dme, kDmeFlags, u"开启查询键重复输入");
    out.flag(dme, kDmeFlags, u"查询输入只查单字");
    out.blank();
    out.comment(u"//以下内容如无需定义，在 = 后留空。如设定需包含小键盘字符的，请使用全角字符指定，"
                u"如：１２３４５６７８９０＋－＊／．");
    out.comment(u"//查询字符即万能键");
    character(u"查询输入字符");
    out.blank();
    out.comment(u"//开启临时英文输入状态，此时可使用快捷日期、人民币大写金额输入");
    character(u"临时英文引导字符");
    out.blank();
    out.comment(u"//如该引导符设为“~”，可使用“~abc”检索辅码中的“abc”开头的编码");
    character(u"临时辅码引导字符");
    out.blank();
    out.comment(u"//如该引导符设为“~”，可使用“~abc”检索次显码表中的“abc”开头的编码");
    character(u"临时次显引导字符");
    out.blank();
    for (const auto& o : kDmeClasses) {
        std::u16string chars;
        for (int b = 0; b < 256; ++b)
            if (dme.charClass(static_cast<uint8_t>(b)) & o.bit) chars += codeCharacter(static_cast<uint8_t>(b));
        out.comment(o.comment);
        out.line(o.key, chars);
        out.blank();
    }
    return std::move(out.text);
}

std::u16string writeSkinOptions(const SkinSettings& skin) {
    Lines out;
    for (const auto& f : kSkinFlags) out.flag(skin, f);
    out.blank();
    out.comment(u"//皮肤文件名，须包含“.col”；设为“切换”时每次载入下一个皮肤");
    out.line(kSkinNameKey, skin.text(S::SkinFile, S::NameUnits));
    out.blank();
    out.comment(u"//可选：“合并编码框与候选框”、“分离的右侧候选框”、“分离的下方候选框”之一");
    out.choice(skin, kSkinChoices, u"窗口布局");
    out.blank();
    out.comment(u"//可选：“横排”、“竖排”、“左起纵向”之一");
    out.choice(skin, kSkinChoices, u"候选列表排列样式");
    out.blank();
    out.comment(u"//可选：“竖线”、“横线”、“不显示”之一");
    out.choice(skin, kSkinChoices, u"光标样式");
    out.blank();
    out.comment(u"//可选：1、2");
    out.line(kCaretWidthKey, skin.bit(S::Option, S::CaretWidthOne) ? u"1" : u"2");
    out.blank();
    return std::move(out.text);
}

std::u16string writeSymbols(const ImeSettings& ime) {
    std::u16string out;
    for (int index = 0; index < 256; ++index) {
        const char16_t c = static_cast<char16_t>(index & 0x7F);
        // A control character cannot stand at the start of a line.
        if (c < 0x20 || c == 0x7F) continue;
        const size_t entry = I::Symbols + I::SymbolSize * static_cast<size_t>(index);
        uint16_t kind = ime.u16(entry);
        if (kind != SymbolText && kind != SymbolPair) continue;
        if (index >= 128) out += u'小';
        out += c;
        out += u'=';
        if (kind == SymbolText) {
            out += ime.text(entry + symbol::TextA, kSymbolTextUnits);
        } else {
            out += ime.text(entry + symbol::TextA, kPairTextUnits);
            out += u',';
            out += ime.text(entry + symbol::TextB, kPairTextUnits);
        }
        out += u"\r\n";
    }
    return out;
}

}  // namespace zv
