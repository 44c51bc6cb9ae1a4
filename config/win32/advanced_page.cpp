#include "config/win32/advanced_page.h"

#include "config/win32/embed_dialog.h"
#include "config/win32/resource_ids.h"
#include "config/win32/settings_editor_dialog.h"
#include "engine/settings_options.h"

#include <string>

namespace zv::config::win32 {

namespace {

using I = ImeSettings;

constexpr int kMainCategory = 0, kSecondaryCategory = 3, kAuxCategory = 4;
constexpr std::u16string_view kMainFallback = u"主码表";

std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

Program& programOf(HWND page) { return *reinterpret_cast<Program*>(GetWindowLongPtrW(page, DWLP_USER)); }

void show(HWND page, int id, bool shown) { ShowWindow(GetDlgItem(page, id), shown ? SW_SHOW : SW_HIDE); }
bool checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
std::u16string_view yesNo(bool on) { return on ? u"是" : u"否"; }

void updateSecondaryWhenEmpty(HWND page) {
    EnableWindow(GetDlgItem(page, ZV_ADVANCED_SECONDARY_WHEN_EMPTY), checked(page, ZV_ADVANCED_SKIP_SECONDARY));
}

void fill(HWND page, Program& program) {
    const ImeSettings& ime = program.folder.blocks.ime;
    const SoftSettings& soft = program.folder.blocks.soft;
    CheckDlgButton(page, ZV_ADVANCED_NO_HOT_KEYS, ime.bit(I::OptionA, I::A_NoHotKeys) ? BST_CHECKED : BST_UNCHECKED);

    std::u16string main = soft.categoryName(kMainCategory);
    if (main.empty()) main = kMainFallback;
    const std::u16string aux = soft.categoryName(kAuxCategory);
    SetDlgItemTextW(page, ZV_ADVANCED_SCHEME_MAIN, wide(main).c_str());
    SetDlgItemTextW(page, ZV_ADVANCED_SCHEME_AUX, wide(aux).c_str());
    SetDlgItemTextW(page, ZV_ADVANCED_SCHEME_BOTH, wide(main + u"+" + aux).c_str());
    const bool mainOn = ime.bit(I::OptionA, I::A_MainTable), auxOn = ime.bit(I::OptionA, I::A_AuxTable);
    const int scheme = mainOn && auxOn ? ZV_ADVANCED_SCHEME_BOTH : auxOn ? ZV_ADVANCED_SCHEME_AUX : ZV_ADVANCED_SCHEME_MAIN;
    CheckRadioButton(page, ZV_ADVANCED_SCHEME_MAIN, ZV_ADVANCED_SCHEME_BOTH, scheme);
    for (int id : {ZV_ADVANCED_SCHEME_GROUP, ZV_ADVANCED_SCHEME_MAIN, ZV_ADVANCED_SCHEME_AUX, ZV_ADVANCED_SCHEME_BOTH})
        show(page, id, !aux.empty());

    const std::u16string secondary = soft.categoryName(kSecondaryCategory);
    SetDlgItemTextW(page, ZV_ADVANCED_SEARCH_SECONDARY, wide(u"检索" + secondary).c_str());
    SetDlgItemTextW(page, ZV_ADVANCED_SKIP_SECONDARY, wide(u"不检索" + secondary).c_str());
    CheckRadioButton(page, ZV_ADVANCED_SEARCH_SECONDARY, ZV_ADVANCED_SKIP_SECONDARY,
                     ime.bit(I::OptionA, I::A_SearchSecondary) ? ZV_ADVANCED_SEARCH_SECONDARY : ZV_ADVANCED_SKIP_SECONDARY);
    CheckDlgButton(page, ZV_ADVANCED_SECONDARY_WHEN_EMPTY,
                   ime.bit(I::OptionA, I::A_SecondaryWhenEmpty) ? BST_CHECKED : BST_UNCHECKED);
    updateSecondaryWhenEmpty(page);
    for (int id : {ZV_ADVANCED_SEARCH_GROUP, ZV_ADVANCED_SEARCH_SECONDARY, ZV_ADVANCED_SKIP_SECONDARY,
                   ZV_ADVANCED_SECONDARY_WHEN_EMPTY})
        show(page, id, !secondary.empty());

    // The embedded styles need the text-service framework.
    const bool framework = ime.bit(I::OptionC, I::C_Framework);
    show(page, ZV_ADVANCED_EMBEDDED, framework);
    show(page, ZV_ADVANCED_EMBEDDED_LABEL, framework);
}

void command(HWND page, Program& program, int id) {
    ImeSettings& ime = program.folder.blocks.ime;
    switch (id) {
    case ZV_ADVANCED_NO_HOT_KEYS: applyImeOption(ime, u"禁用组合快捷键", yesNo(checked(page, id))); break;
    case ZV_ADVANCED_SCHEME_MAIN: applyImeOption(ime, u"输入方案", u"主"); break;
    case ZV_ADVANCED_SCHEME_AUX: applyImeOption(ime, u"输入方案", u"辅"); break;
    case ZV_ADVANCED_SCHEME_BOTH: applyImeOption(ime, u"输入方案", u"主+辅"); break;
    case ZV_ADVANCED_SEARCH_SECONDARY:
    case ZV_ADVANCED_SKIP_SECONDARY:
        applyImeOption(ime, u"检索次显码表", yesNo(id == ZV_ADVANCED_SEARCH_SECONDARY));
        updateSecondaryWhenEmpty(page);
        break;
    case ZV_ADVANCED_SECONDARY_WHEN_EMPTY: applyImeOption(ime, u"空码时检索次显码表", yesNo(checked(page, id))); break;
    case ZV_ADVANCED_EMBEDDED: runEmbedDialog(GetAncestor(page, GA_ROOT), program); break;
    case ZV_ADVANCED_EDITOR: {
        // The editor changes what the pages show: the main window waits hidden.
        HWND main = GetAncestor(page, GA_ROOT);
        ShowWindow(main, SW_HIDE);
        runSettingsEditor(nullptr, program);
        fill(page, program);
        ShowWindow(main, SW_SHOW);
        SetForegroundWindow(main);
        break;
    }
    default: break;
    }
}

INT_PTR CALLBACK advancedProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(page, DWLP_USER, lParam);
        fill(page, *reinterpret_cast<Program*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && GetWindowLongPtrW(page, DWLP_USER)) {
            command(page, programOf(page), LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

HWND createAdvancedPage(HWND parent, Program& program) {
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ZV_DIALOG_ADVANCED_PAGE), parent,
                              advancedProc, reinterpret_cast<LPARAM>(&program));
}

}  // namespace zv::config::win32
