// The settings pages the library hosts in the configuration program: 常用
// (dialog 126) and 界面 (dialog 133). Every control writes its setting as
// it changes through the engine's own option names, into the program's
// mapping of config.dsc; the one-character edits and the punctuation list
// are read back when the page goes. One page exists at a time in a process.

#include "host/dll/config_pages.h"

#include "engine/code_units.h"
#include "engine/config_store.h"
#include "engine/settings_options.h"
#include "host/dll/module.h"
#include "host/dll/resource_ids.h"
#include "ui/no_case.h"
#include "ui/skin_loader.h"

#include <windowsx.h>

#include <string>
#include <string_view>

namespace zv::host {

namespace {

using I = ImeSettings;
using D = DmeSettings;
using S = SkinSettings;

constexpr size_t kMaxFolderUnits = 1024;
constexpr int kGeneralPageSize = 600;  // pixels, both ways
constexpr int kLeadShift = 10;         // pixels the lead rows move when the auxiliary lead is hidden
constexpr int kAuxCategory = 4, kSecondaryCategory = 3;
constexpr int kMaxPageSize = 10;

struct PageState {
    HWND window = nullptr;
    int kind = 0;
    SettingsBlocks blocks;
    std::u16string dataFolder, installFolder;
    ui::SkinList skins;     // the installed skins, loaded when the 界面 page first needs them
    bool filling = false;   // the page sets its own controls: no setting changes
    bool auxLeadShown = false, secondaryLeadShown = false;  // their categories have names
};

PageState& state() {
    static PageState s;
    return s;
}

std::u16string boundedText(const wchar_t* text) {
    if (!text) return {};
    size_t n = 0;
    while (n < kMaxFolderUnits && text[n]) ++n;
    return std::u16string(reinterpret_cast<const char16_t*>(text), n);
}

std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

std::u16string controlText(HWND page, int id) {
    wchar_t buffer[260] = {};
    GetDlgItemTextW(page, id, buffer, 260);
    return std::u16string(reinterpret_cast<const char16_t*>(buffer));
}

void apply(int section, std::u16string_view key, std::u16string_view value) {
    applyOption(state().blocks, section, key, value);
}

// A check box and the yes/no option it shows (the word and bit to read it).
struct CheckOption {
    int id;
    int section;
    std::u16string_view key;
    int block;  // 0 ime, 1 dme, 2 skin
    size_t word;
    uint32_t bit;
};

constexpr CheckOption kGeneralChecks[] = {
    {ZV_GENERAL_PROGRESSIVE, SectionDme, u"是否启用编码逐渐提示", 1, D::OptionD, D::D_Progressive},
    {ZV_GENERAL_PROGRESSIVE_EMPTY, SectionDme, u"是否在候选为空时启用编码逐渐提示", 1, D::OptionD,
     D::D_ProgressiveWhenEmpty},
    {ZV_GENERAL_QUERY_SINGLE, SectionDme, u"查询输入只查单字", 1, D::OptionD, D::D_QuerySingleOnly},
    {ZV_GENERAL_ASSOCIATION, SectionIme, u"是否在上屏时开启词语联想", 0, I::OptionA, I::A_Association},
};

constexpr CheckOption kLookChecks[] = {
    {ZV_LOOK_HIDE_CANDIDATES, SectionIme, u"隐藏候选窗口", 0, I::OptionA, I::A_HideCandidates},
    {ZV_LOOK_HIDE_STATUS_BAR, SectionIme, u"隐藏状态条窗口", 0, I::OptionA, I::A_HideStatusBar},
    {ZV_LOOK_SHOW_INDEX, SectionSkin, u"候选序号是否可见", 2, S::Option, S::ShowIndex},
    {ZV_LOOK_SHOW_HINTS, SectionSkin, u"编码提示是否可见", 2, S::Option, S::ShowHints},
    {ZV_LOOK_SHOW_BUTTONS, SectionSkin, u"界面按钮是否可见", 2, S::Option, S::ShowButtons},
};

const SettingsBlock& blockOf(int block) {
    const SettingsBlocks& b = state().blocks;
    return block == 0 ? static_cast<const SettingsBlock&>(b.ime)
                      : block == 1 ? static_cast<const SettingsBlock&>(b.dme) : static_cast<const SettingsBlock&>(b.skin);
}

template <size_t N>
void fillChecks(HWND page, const CheckOption (&checks)[N]) {
    for (const CheckOption& c : checks)
        CheckDlgButton(page, c.id, blockOf(c.block).bit(c.word, c.bit) ? BST_CHECKED : BST_UNCHECKED);
}

template <size_t N>
bool checkClicked(HWND page, const CheckOption (&checks)[N], int id) {
    for (const CheckOption& c : checks) {
        if (c.id != id) continue;
        apply(c.section, c.key, IsDlgButtonChecked(page, id) == BST_CHECKED ? u"是" : u"否");
        return true;
    }
    return false;
}

// A drop-down list: what each item shows and the option value it writes.
struct ChoiceItem {
    std::u16string_view label, value;
};

constexpr ChoiceItem kFrequency[] = {
    {u"一次到顶", u"一次到顶"}, {u"逐渐到顶", u"逐渐调整"}, {u"累加上屏数", u"累加上屏数"}, {u"禁止调整", u"禁止调整"}};
constexpr ChoiceItem kLayout[] = {
    {u"合并窗口", u"合并编码框与候选框"}, {u"左右分离", u"分离的右侧候选框"}, {u"上下分离", u"分离的下方候选框"}};
constexpr ChoiceItem kArrangement[] = {{u"横排样式", u"横排"}, {u"竖排样式", u"竖排"}, {u"左起纵向", u"左起纵向"}};
constexpr ChoiceItem kPosition[] = {{u"跟随光标", u"跟随光标"}, {u"跟随状态栏", u"跟随状态栏"}, {u"固定位置", u"固定位置"}};
constexpr int kLayoutSeparateBelow = 2;

template <size_t N>
void fillChoices(HWND page, int id, const ChoiceItem (&items)[N], int selected) {
    HWND combo = GetDlgItem(page, id);
    ComboBox_ResetContent(combo);
    for (const ChoiceItem& item : items) ComboBox_AddString(combo, wide(item.label).c_str());
    ComboBox_SetCurSel(combo, selected);
}

template <size_t N>
void choose(HWND page, int id, const ChoiceItem (&items)[N], int section, std::u16string_view key) {
    const int i = ComboBox_GetCurSel(GetDlgItem(page, id));
    if (i >= 0 && i < static_cast<int>(N)) apply(section, key, items[i].value);
}

// ---- 常用 --------------------------------------------------------------------

struct LeadEdit {
    int id;
    std::u16string_view key;
    size_t offset;
};
constexpr LeadEdit kLeads[] = {
    {ZV_GENERAL_WILDCARD, u"查询输入字符", D::QueryChar},
    {ZV_GENERAL_ENGLISH_LEAD, u"临时英文引导字符", D::TempEnglishLead},
    {ZV_GENERAL_AUX_LEAD, u"临时辅码引导字符", D::AuxLead},
    {ZV_GENERAL_SECONDARY_LEAD, u"临时次显引导字符", D::SecondaryLead},
};
constexpr std::u16string_view kDigitPunctuationKey = u"数字后英文标点";

void moveControl(HWND page, int id, int dy) {
    HWND control = GetDlgItem(page, id);
    RECT r;
    if (!control || !GetWindowRect(control, &r)) return;
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(control, nullptr, r.left, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void showControl(HWND page, int id, bool shown) { ShowWindow(GetDlgItem(page, id), shown ? SW_SHOW : SW_HIDE); }

int frequencyChoice(uint32_t b) {
    if (b & I::B_FreqToTop) return 0;
    if (b & I::B_FreqGradual) return 1;
    if (b & I::B_FreqCount) return 2;
    return 3;
}

void updateProgressiveWhenEmpty(HWND page) {
    EnableWindow(GetDlgItem(page, ZV_GENERAL_PROGRESSIVE_EMPTY),
                 IsDlgButtonChecked(page, ZV_GENERAL_PROGRESSIVE) != BST_CHECKED);
}

void fillGeneralPage(HWND page) {
    PageState& s = state();
    fillChoices(page, ZV_GENERAL_FREQUENCY, kFrequency, frequencyChoice(s.blocks.ime.b()));
    for (const LeadEdit& lead : kLeads) {
        SendDlgItemMessageW(page, lead.id, EM_LIMITTEXT, 1, 0);
        const char16_t u = unitFromCodeByte(s.blocks.dme.u8(lead.offset));
        const wchar_t text[2] = {static_cast<wchar_t>(u), 0};
        SetDlgItemTextW(page, lead.id, text);
    }
    const std::u16string aux = s.blocks.soft.categoryName(kAuxCategory);
    const std::u16string secondary = s.blocks.soft.categoryName(kSecondaryCategory);
    s.auxLeadShown = !aux.empty();
    s.secondaryLeadShown = !secondary.empty();
    if (aux.empty()) {
        showControl(page, ZV_GENERAL_AUX_LABEL, false);
        showControl(page, ZV_GENERAL_AUX_LEAD, false);
        moveControl(page, ZV_GENERAL_ENGLISH_LEAD_LABEL, kLeadShift);
        moveControl(page, ZV_GENERAL_ENGLISH_LEAD, kLeadShift);
        moveControl(page, ZV_GENERAL_SECONDARY_LABEL, -kLeadShift);
        moveControl(page, ZV_GENERAL_SECONDARY_LEAD, -kLeadShift);
    } else {
        SetDlgItemTextW(page, ZV_GENERAL_AUX_LABEL, wide(aux + u": ").c_str());
    }
    if (secondary.empty()) {
        showControl(page, ZV_GENERAL_SECONDARY_LABEL, false);
        showControl(page, ZV_GENERAL_SECONDARY_LEAD, false);
    } else {
        SetDlgItemTextW(page, ZV_GENERAL_SECONDARY_LABEL, wide(secondary + u": ").c_str());
    }
    fillChecks(page, kGeneralChecks);
    updateProgressiveWhenEmpty(page);
    // Association needs the word list it suggests from.
    const std::wstring wordList = wide(s.dataFolder + u"sysl.dmg");
    showControl(page, ZV_GENERAL_ASSOCIATION, GetFileAttributesW(wordList.c_str()) != INVALID_FILE_ATTRIBUTES);
    std::u16string punctuation;
    for (int b = 0; b < 256; ++b)
        if (s.blocks.dme.charClass(static_cast<uint8_t>(b)) & D::ClassEnglishAfterDigit)
            if (char16_t u = unitFromCodeByte(static_cast<uint8_t>(b))) punctuation += u;
    SetDlgItemTextW(page, ZV_GENERAL_DIGIT_PUNCTUATION, wide(punctuation).c_str());
}

// The edits are read back as the page goes: a lead that is no code
// character is none; a punctuation list with such a character changes
// nothing.
void readGeneralEdits(HWND page) {
    for (const LeadEdit& lead : kLeads) {
        // The lead of a category without a name was not shown: it is kept.
        if ((lead.id == ZV_GENERAL_AUX_LEAD && !state().auxLeadShown) ||
            (lead.id == ZV_GENERAL_SECONDARY_LEAD && !state().secondaryLeadShown))
            continue;
        std::u16string text = controlText(page, lead.id).substr(0, 1);
        if (applyDmeOption(state().blocks.dme, lead.key, text) != OptionResult::Applied)
            applyDmeOption(state().blocks.dme, lead.key, u"");
    }
    applyDmeOption(state().blocks.dme, kDigitPunctuationKey, controlText(page, ZV_GENERAL_DIGIT_PUNCTUATION));
}

void generalCommand(HWND page, int id, int code) {
    if (code == BN_CLICKED && checkClicked(page, kGeneralChecks, id)) {
        if (id == ZV_GENERAL_PROGRESSIVE) updateProgressiveWhenEmpty(page);
    } else if (code == CBN_SELCHANGE && id == ZV_GENERAL_FREQUENCY) {
        choose(page, id, kFrequency, SectionIme, u"词频调整");
    }
}

// ---- 界面 --------------------------------------------------------------------

int layoutChoice(uint32_t option) {
    if (option & S::LayoutMerged) return 0;
    if (option & S::LayoutRight) return 1;
    return kLayoutSeparateBelow;
}
int arrangementChoice(uint32_t option) {
    if (option & S::LayoutHorizontal) return 0;
    if (option & S::LayoutLeftColumns) return 2;
    return 1;
}
int positionChoice(uint32_t a) {
    if (a & I::A_CandidatePosFixed) return 2;
    if (a & I::A_CandidatePosStatusBar) return 1;
    return 0;
}

void fillSkins(HWND page) {
    PageState& s = state();
    if (s.skins.entries.empty()) ui::loadSkinList(s.installFolder, s.skins);
    HWND combo = GetDlgItem(page, ZV_LOOK_SKIN);
    ComboBox_ResetContent(combo);
    const std::u16string current = s.blocks.skin.text(S::SkinFile, S::NameUnits);
    int selected = -1;
    for (size_t i = 0; i < s.skins.entries.size(); ++i) {
        const ui::SkinInfo& info = s.skins.entries[i].info;
        const std::u16string file = ui::fileNamePart(info.packagePath);
        ComboBox_AddString(combo, wide(info.name.empty() ? file : info.name).c_str());
        if (selected < 0 && ui::equalNoCase(file, current)) selected = static_cast<int>(i);
    }
    ComboBox_SetCurSel(combo, selected);
}

void chooseSkin(HWND page) {
    PageState& s = state();
    const int i = ComboBox_GetCurSel(GetDlgItem(page, ZV_LOOK_SKIN));
    if (i < 0 || i >= static_cast<int>(s.skins.entries.size())) return;
    const std::u16string file = ui::fileNamePart(s.skins.entries[static_cast<size_t>(i)].info.packagePath);
    if (file.empty() || file.size() > ui::MaxSkinNameUnits) return;  // would lose its ending
    s.blocks.skin.setText(S::SkinFile, S::NameUnits, file);
    s.blocks.skin.setText(S::LastSkinFile, S::NameUnits, file);
}

void fillAppearancePage(HWND page) {
    PageState& s = state();
    fillChecks(page, kLookChecks);
    fillSkins(page);
    const uint32_t option = s.blocks.skin.option();
    // The embedded styles draw the code in the document: the candidates
    // always stand below it.
    const bool embedded = (s.blocks.ime.a() & (I::A_StyleEmbedCode | I::A_StyleEmbedFirst)) != 0;
    fillChoices(page, ZV_LOOK_WINDOW_LAYOUT, kLayout, embedded ? kLayoutSeparateBelow : layoutChoice(option));
    EnableWindow(GetDlgItem(page, ZV_LOOK_WINDOW_LAYOUT), !embedded);
    showControl(page, ZV_LOOK_EMBEDDED_NOTE, embedded);
    fillChoices(page, ZV_LOOK_ARRANGEMENT, kArrangement, arrangementChoice(option));
    fillChoices(page, ZV_LOOK_CANDIDATE_POSITION, kPosition, positionChoice(s.blocks.ime.a()));
    HWND sizes = GetDlgItem(page, ZV_LOOK_PAGE_SIZE);
    ComboBox_ResetContent(sizes);
    for (int n = 1; n <= kMaxPageSize; ++n) ComboBox_AddString(sizes, std::to_wstring(n).c_str());
    ComboBox_SetCurSel(sizes, s.blocks.ime.pageSize() - 1);
}

void appearanceCommand(HWND page, int id, int code) {
    if (code == BN_CLICKED) {
        checkClicked(page, kLookChecks, id);
        return;
    }
    if (code != CBN_SELCHANGE) return;
    switch (id) {
    case ZV_LOOK_SKIN: chooseSkin(page); break;
    case ZV_LOOK_WINDOW_LAYOUT: choose(page, id, kLayout, SectionSkin, u"窗口布局"); break;
    case ZV_LOOK_ARRANGEMENT: choose(page, id, kArrangement, SectionSkin, u"候选列表排列样式"); break;
    case ZV_LOOK_CANDIDATE_POSITION: choose(page, id, kPosition, SectionIme, u"候选窗口位置"); break;
    case ZV_LOOK_PAGE_SIZE: {
        const int i = ComboBox_GetCurSel(GetDlgItem(page, id));
        if (i < 0 || i >= kMaxPageSize) break;
        const std::string n = std::to_string(i + 1);
        apply(SectionIme, u"候选列表显示个数", std::u16string(n.begin(), n.end()));
        break;
    }
    default: break;
    }
}

// ---- The pages' window ------------------------------------------------------

INT_PTR CALLBACK pageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    PageState& s = state();
    switch (message) {
    case WM_INITDIALOG:
        s.filling = true;
        if (s.kind == PageKindGeneral) fillGeneralPage(page); else fillAppearancePage(page);
        s.filling = false;
        return FALSE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            // Nothing on these pages can be refused: the page may close.
            SetWindowLongPtrW(page, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        if (s.filling || page != s.window) return FALSE;
        if (s.kind == PageKindGeneral) generalCommand(page, id, code); else appearanceCommand(page, id, code);
        return TRUE;
    }
    case WM_DESTROY:
        if (page == s.window && s.kind == PageKindGeneral) readGeneralEdits(page);
        return FALSE;
    case WM_NCDESTROY:
        if (page == s.window) s.window = nullptr;
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

HWND createConfigPage(HWND parent, int kind, const PageContext* context) {
    PageState& s = state();
    if (kind != PageKindGeneral && kind != PageKindAppearance) return s.window;
    if (!context || context->size < sizeof(PageContext) || !context->config) return nullptr;
    SettingsBlocks blocks = findBlocks(context->config, context->configSize);
    if (!blocks.complete()) return nullptr;
    // A second page replaces the remembered one; the first stays the
    // caller's to close.
    s.blocks = blocks;
    s.dataFolder = boundedText(context->dataFolder);
    s.installFolder = boundedText(context->installFolder);
    s.kind = kind;
    s.window = nullptr;
    const int resource = kind == PageKindGeneral ? ZV_DIALOG_GENERAL_PAGE : ZV_DIALOG_APPEARANCE_PAGE;
    // The page is remembered before its controls are filled, so that its
    // own messages know it.
    struct Creating {
        static INT_PTR CALLBACK proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
            if (message == WM_INITDIALOG) state().window = page;
            return pageProc(page, message, wParam, lParam);
        }
    };
    HWND page = CreateDialogParamW(moduleHandle(), MAKEINTRESOURCEW(resource), parent, Creating::proc, 0);
    if (!page) return nullptr;
    s.window = page;
    if (kind == PageKindGeneral) {
        SetWindowPos(page, nullptr, 0, 0, kGeneralPageSize, kGeneralPageSize, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        SetWindowPos(page, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(page, SW_SHOW);
    return page;
}

int closeConfigPage(int apply) {
    PageState& s = state();
    HWND page = s.window;
    if (!page || !IsWindow(page)) {
        s.window = nullptr;
        return 1;
    }
    if (apply && SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0) != 0) return 0;
    ShowWindow(page, SW_HIDE);
    DestroyWindow(page);
    s.window = nullptr;
    return 1;
}

}  // namespace zv::host
