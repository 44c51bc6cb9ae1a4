#pragma once
// config.dsc: a count, a list of section offsets, and four named sections
// that hold the settings blocks. A block is used in place: writing a field
// writes the file through its mapping.

#include "engine/bytes.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

// Typed access to one section of config.dsc. The section has been checked to
// lie inside the file and to be large enough for every field, so field
// access needs no further checks.
struct SettingsBlock {
    uint8_t* base = nullptr;

    explicit operator bool() const { return base != nullptr; }
    uint8_t u8(size_t off) const { return base[off]; }
    void setU8(size_t off, uint8_t v) { base[off] = v; }
    uint16_t u16(size_t off) const { return rd16(base + off); }
    void setU16(size_t off, uint16_t v) { wr16(base + off, v); }
    uint32_t u32(size_t off) const { return rd32(base + off); }
    void setU32(size_t off, uint32_t v) { wr32(base + off, v); }
    int32_t i32(size_t off) const { return static_cast<int32_t>(u32(off)); }
    void setI32(size_t off, int32_t v) { setU32(off, static_cast<uint32_t>(v)); }
    uint64_t u64(size_t off) const { return rd64(base + off); }
    void setU64(size_t off, uint64_t v) { wr64(base + off, v); }
    bool bit(size_t off, uint32_t mask) const { return (u32(off) & mask) != 0; }
    void setBit(size_t off, uint32_t mask, bool on) { setU32(off, on ? u32(off) | mask : u32(off) & ~mask); }
    // A zero-terminated UTF-16 text field of `units` units.
    std::u16string text(size_t off, size_t units) const;
    // Stores at most units - 1 units, zero-terminated and zero-padded.
    void setText(size_t off, size_t units, std::u16string_view value);
};

namespace section {
constexpr size_t Size = 0;
constexpr size_t Id = 4;
constexpr size_t Name = 6;
constexpr size_t NameUnits = 65;
constexpr size_t Fields = 136;
}  // namespace section

// Symbol-table entry kinds (ImeSettings symbol table, 24 bytes an entry).
enum SymbolKind : uint16_t { SymbolNone = 0, SymbolText = 1, SymbolPair = 2 };

namespace symbol {
constexpr size_t Kind = 0, TextA = 2, TextB = 12, Toggle = 22;
constexpr size_t TextUnits = 10;  // a single text may run on to offset 21
constexpr size_t PairUnits = 5;   // each text of a pair
}  // namespace symbol

struct ImeSettings : SettingsBlock {
    static constexpr std::u16string_view Name = u"zv_ime_config_data_default";
    static constexpr uint16_t Id = 1;
    static constexpr uint32_t Size = 11236;
    static constexpr size_t OptionA = 136, OptionE = 140, OptionB = 144, OptionC = 148;
    static constexpr size_t Symbols = 152;  // 256 entries of 24 bytes
    static constexpr size_t SymbolSize = 24;
    static constexpr size_t HistoryCount = 6296, History = 6300, HistoryEntrySize = 292;
    static constexpr size_t InitialMode = 10976, BootTime = 10980;

    // Option word A.
    enum FlagA : uint32_t {
        A_CommitCodeOnSwitch = 0x1,      // 中英文切换时上屏输入字符
        A_Association = 0x2,             // 是否在上屏时开启词语联想
        A_NonCodeKeyCommits = 0x4,       // 是否打开非编码按键顶屏
        A_NoHotKeys = 0x8,               // 禁用组合快捷键
        A_Traditional = 0x10,            // 繁体输出
        A_Simplified = 0x20,             // 简体输出
        A_CandidatePosMask = 0xC0,       // 候选窗口位置
        A_CandidatePosFixed = 0x40,
        A_CandidatePosStatusBar = 0x80,
        A_HideStatusBar = 0x100,         // 隐藏状态条窗口
        A_EmbedStatusBar = 0x200,        // 是否嵌入状态栏窗口
        A_HideCandidates = 0x400,        // 隐藏候选窗口
        A_CapitalStartsEnglish = 0x800,  // 首字母大写开启临时英文输入
        A_StyleEmbedCode = 0x1000,       // TSF-嵌入编码
        A_StyleEmbedFirst = 0x2000,      // TSF-嵌入首选
        A_StyleTsfClassic = 0x4000,      // TSF-传统样式
        A_StyleMask = 0x7000,
        A_MainTable = 0x8000,            // 输入方案: 主
        A_AuxTable = 0x10000,            // 输入方案: 辅
        A_SearchSecondary = 0x20000,     // 检索次显码表
        A_SecondaryWhenEmpty = 0x40000,  // 空码时检索次显码表
        A_TempWords = 0x80000,           // 临时词功能开启
        A_TempSaveOnCommit = 0x100000,   // 临时词上屏即存
        A_TempClearOnBoot = 0x400000,    // 临时词重启电脑后清空
    };
    // Option word B.
    enum : uint32_t {
        B_FreqMask = 0x7,
        B_FreqToTop = 1,
        B_FreqGradual = 2,
        B_FreqCount = 4,
        B_SingleFirst = 0x8,    // 单字先见
        B_ByCode = 0x10,        // 按编码排序
        B_PageSizeShift = 28,
    };
    // Option word C.
    enum FlagC : uint32_t {
        C_EnglishSpaceMask = 0x7,  // 英文状态时空格行为
        C_SpaceCommitsEnglish = 1,
        C_SpaceCommitsEnglishAndSpace = 2,
        C_SpaceClears = 4,
        C_HideSameWordOtherCode = 0x8,  // 隐藏词条相同编码不同的后续候选
        C_CommandDirect = 0x20,         // 是否开启命令直通车
        C_OnlyShowWhenAmbiguous = 0x40, // 仅重码时显示候选窗口
        C_HideEmbeddedFirst = 0x80,     // 隐藏嵌入的首候选
        C_CustomInitialState = 0x100,
        C_SaveInitialState = 0x200,     // 保存自定义的初始化转换状态
        C_AssociationSeparator = 0x400,
        C_Framework = 0x1000,           // the text-service framework is present
    };

    uint32_t a() const { return u32(OptionA); }
    uint32_t b() const { return u32(OptionB); }
    uint32_t c() const { return u32(OptionC); }
    uint32_t e() const { return u32(OptionE); }
    uint8_t* symbol(int index) const { return base + Symbols + SymbolSize * static_cast<size_t>(index & 0xFF); }
    uint8_t* historyEntry(int i) const { return base + History + HistoryEntrySize * static_cast<size_t>(i); }
    // The page size stored in the top four bits of B (0 reads as 5).
    int pageSize() const;
};

struct DmeSettings : SettingsBlock {
    static constexpr std::u16string_view Name = u"zv_dme_config_data_default";
    static constexpr uint16_t Id = 2;
    static constexpr uint32_t Size = 13216;
    static constexpr size_t OptionD = 136, Lengths = 140;
    static constexpr size_t EmptyClearLength = 141, SmartCommitLength = 142, UniqueCommitLength = 143;
    static constexpr size_t QueryChar = 144, TempEnglishLead = 145, AuxLead = 146, SecondaryLead = 147,
                            FifthLead = 148;
    static constexpr size_t Classes = 149;  // 256 class bytes
    static constexpr size_t Rules = 406, RuleRowSize = 256, RuleRows = 31;
    static constexpr size_t KeyTable = 8600;  // 512 u64 masks
    static constexpr size_t ComboCount = 12696, Combos = 12704, ComboSize = 16, MaxCombos = 32;

    // Option word D.
    enum FlagD : uint32_t {
        D_Progressive = 0x1,          // 是否启用编码逐渐提示
        D_ProgressiveWhenEmpty = 0x2, // 是否在候选为空时启用编码逐渐提示
        D_QuerySingleOnly = 0x4,      // 查询输入只查单字
        D_QueryFirstKey = 0x8,        // 开启首键查询
        D_WildcardActive = 0x10,      // set by the engine during a wildcard search
        D_QueryRepeat = 0x20,         // 开启查询键重复输入
        D_IgnoreFullCode = 0x80,      // 自动上屏忽略输入是否全码
        D_WordLengthShift = 24,       // 显示码表词语码长
    };
    // Character classes.
    enum : uint8_t {
        ClassCommitLead = 0x01,   // 上屏引导键
        ClassTerminator = 0x02,   // 编码截止键
        ClassEnglishAfterDigit = 0x04,  // 数字后英文标点
        ClassCode = 0x10,
        ClassCodeOrFunction = 0x20,
    };

    uint32_t d() const { return u32(OptionD); }
    uint8_t charClass(uint8_t b) const { return base[Classes + b]; }
    uint64_t keyMask(int slot) const { return u64(KeyTable + 8 * static_cast<size_t>(slot & 511)); }
    void setKeyMask(int slot, uint64_t m) { setU64(KeyTable + 8 * static_cast<size_t>(slot & 511), m); }
    int comboCount() const { return u8(ComboCount) > MaxCombos ? MaxCombos : u8(ComboCount); }
    uint32_t comboKey(int i) const { return u32(Combos + ComboSize * static_cast<size_t>(i)); }
    uint64_t comboMask(int i) const { return u64(Combos + ComboSize * static_cast<size_t>(i) + 8); }
    uint16_t ruleElement(int row, int i) const { return u16(Rules + RuleRowSize * static_cast<size_t>(row) + 2 * static_cast<size_t>(i)); }
};

struct SkinSettings : SettingsBlock {
    static constexpr std::u16string_view Name = u"zv_skin_config_data_default";
    static constexpr uint16_t Id = 3;
    static constexpr uint32_t Size = 732;
    static constexpr size_t Option = 140, SkinFile = 144, LastSkinFile = 240, NameUnits = 40;
    static constexpr size_t StatusPos = 540, StatusSize = 548, SoftKbdPos = 572;
    static constexpr size_t RememberedCompPos = 588, RememberedCandPos = 596, CompPos = 604, CompSize = 612,
                            CandPos = 620, CandSize = 628, CustomFont = 636;

    enum : uint32_t {
        ShowIndex = 0x1,         // 候选序号是否可见
        ShowHints = 0x2,         // 编码提示是否可见
        ShowButtons = 0x4,       // 界面按钮是否可见
        LayoutHorizontal = 0x8,  // 候选列表排列样式: 横排
        LayoutLeftColumns = 0x10,
        LayoutListMask = 0x18,
        LayoutMerged = 0x20,     // 窗口布局: 合并编码框与候选框
        FontDouble = 0x100,
        FontTriple = 0x200,
        CaretBar = 0x400,        // 光标样式: 竖线
        CaretLine = 0x800,       // 横线
        CaretMask = 0xC00,
        LayoutRight = 0x1000,    // 分离的右侧候选框
        LayoutWindowMask = 0x1020,
        CaretWidthOne = 0x2000,
        RightToLeft = 0x10000,
        CustomFontAll = 0x20000,
    };
    uint32_t option() const { return u32(Option); }
};

struct SoftSettings : SettingsBlock {
    static constexpr std::u16string_view Name = u"zv_soft_config_data_default";
    static constexpr uint16_t Id = 4;
    static constexpr uint32_t Size = 4296;
    static constexpr size_t DisplayName = 136, ShortName = 216, Identifier = 296, Folder = 376,
                            ServiceGuid = 456, Language = 552, Author = 618, Version = 698,
                            HomePage = 778, HomePageUnits = 512, UpdateUrl = 1802, UpdateUrlUnits = 891,
                            CategoryNames = 3590, CategoryNameUnits = 9, CategoryRights = 4168;
    std::u16string categoryName(int category) const {
        return text(CategoryNames + 2 * CategoryNameUnits * static_cast<size_t>(category & 31), CategoryNameUnits);
    }
    uint32_t categoryRights(int category) const { return u32(CategoryRights + 4 * static_cast<size_t>(category & 31)); }
};

struct SettingsBlocks {
    ImeSettings ime;
    DmeSettings dme;
    SkinSettings skin;
    SoftSettings soft;
    bool complete() const { return ime && dme && skin && soft; }
};

// Finds the section named `name` by walking the offset list; returns its
// start, or null when it is absent or does not fit the file or is smaller
// than minSize.
uint8_t* findBlock(uint8_t* data, uint32_t size, std::u16string_view name, uint32_t minSize);
SettingsBlocks findBlocks(uint8_t* data, uint32_t size);

// A new config.dsc: the four sections with their shipped names, ids and
// sizes, every field zero.
std::vector<uint8_t> newConfigStore();

}  // namespace zv
