#include "config/win32/single_instance.h"

#include <windows.h>

#include <string>

namespace zv::config::win32 {

namespace {
constexpr wchar_t kDialogClass[] = L"#32770";
}

bool raiseOpenWindow(std::u16string_view title) {
    if (title.empty()) return false;
    const std::wstring text(title.begin(), title.end());
    HWND window = FindWindowW(kDialogClass, text.c_str());
    if (!window) return false;
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    constexpr UINT kKeepPlace = SWP_NOMOVE | SWP_NOSIZE;
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kKeepPlace);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, kKeepPlace);
    SetForegroundWindow(window);
    return true;
}

}  // namespace zv::config::win32
