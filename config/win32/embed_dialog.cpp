#include "config/win32/embed_dialog.h"

#include "config/shell/embed_style.h"
#include "config/win32/resource_ids.h"
#include "platform/services.h"

#include <string>

namespace zv::config::win32 {

namespace {

constexpr int kStyleIds[] = {ZV_EMBEDDED_TRADITIONAL, ZV_EMBEDDED_CODE, ZV_EMBEDDED_FIRST, ZV_EMBEDDED_TSF_CLASSIC};
constexpr EmbedStyle kStyles[] = {EmbedStyle::Traditional, EmbedStyle::EmbedCode, EmbedStyle::EmbedFirst,
                                  EmbedStyle::TsfClassic};

bool checked(HWND d, int id) { return IsDlgButtonChecked(d, id) == BST_CHECKED; }

EmbedStyle chosenStyle(HWND d) {
    for (size_t i = 0; i < std::size(kStyleIds); ++i)
        if (checked(d, kStyleIds[i])) return kStyles[i];
    return EmbedStyle::Traditional;
}

void updateOptions(HWND d) {
    const EmbedOptionsEnabled enabled = embedOptionsEnabled(chosenStyle(d));
    EnableWindow(GetDlgItem(d, ZV_EMBEDDED_ONLY_AMBIGUOUS), enabled.onlyWhenAmbiguous);
    EnableWindow(GetDlgItem(d, ZV_EMBEDDED_HIDE_FIRST), enabled.hideEmbeddedFirst);
}

void fill(HWND d, const Program& program) {
    const std::u16string_view traditional =
        embedStyleCaption(EmbedStyle::Traditional, program.windows.major, program.windows.minor);
    SetDlgItemTextW(d, ZV_EMBEDDED_TRADITIONAL, std::wstring(traditional.begin(), traditional.end()).c_str());
    const EmbedChoice now = currentEmbedChoice(program.folder.blocks.ime);
    CheckRadioButton(d, ZV_EMBEDDED_TRADITIONAL, ZV_EMBEDDED_TSF_CLASSIC, kStyleIds[static_cast<int>(now.style)]);
    CheckDlgButton(d, ZV_EMBEDDED_ONLY_AMBIGUOUS, now.onlyWhenAmbiguous ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(d, ZV_EMBEDDED_HIDE_FIRST, now.hideEmbeddedFirst ? BST_CHECKED : BST_UNCHECKED);
    updateOptions(d);
}

void apply(HWND d, Program& program) {
    EmbedChoice choice;
    choice.style = chosenStyle(d);
    choice.onlyWhenAmbiguous = checked(d, ZV_EMBEDDED_ONLY_AMBIGUOUS);
    choice.hideEmbeddedFirst = checked(d, ZV_EMBEDDED_HIDE_FIRST);
    const InstallerLaunch launch{&platform::systemShell(), program.folder.info.installDir, program.folder.info.name};
    applyEmbedChoice(program.folder.blocks.ime, choice, launch);
}

INT_PTR CALLBACK embedProc(HWND d, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* program = reinterpret_cast<Program*>(GetWindowLongPtrW(d, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(d, DWLP_USER, lParam);
        fill(d, *reinterpret_cast<Program*>(lParam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (program) apply(d, *program);
            EndDialog(d, IDOK);
            return TRUE;
        case IDCANCEL: EndDialog(d, IDCANCEL); return TRUE;
        default:
            if (HIWORD(wParam) == BN_CLICKED) updateOptions(d);
            return FALSE;
        }
    default: return FALSE;
    }
}

}  // namespace

void runEmbedDialog(HWND owner, Program& program) {
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ZV_DIALOG_EMBEDDED), owner, embedProc,
                    reinterpret_cast<LPARAM>(&program));
}

}  // namespace zv::config::win32
