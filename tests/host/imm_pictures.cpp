// Shows the input method's windows under wine for scripts/windows-pictures:
// the candidate window for wq over an application window, the status bar,
// the Greek soft keyboard and the mode indicator's tip; prints where each is ("window CLASS x y
// width height"), then "ready", and keeps them up while the script takes
// its screenshots.

#include "engine/key_functions.h"
#include "tests/host/installed_ime.h"
#include "ui/win32/gdi_text.h"
#include "ui/win32/tip_popup.h"

#include <windows.h>

#include <cstdio>

namespace {

LRESULT CALLBACK application(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EndPaint(w, &ps);
        return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

void settle() {
    MSG m;
    for (int round = 0; round < 10; ++round) {
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        Sleep(20);
    }
}

void report(const wchar_t* className) {
    HWND w = FindWindowExW(nullptr, nullptr, className, nullptr);
    RECT r = {};
    if (w && IsWindowVisible(w) && GetWindowRect(w, &r))
        std::printf("window %ls %ld %ld %ld %ld\n", className, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace

int main() {
    using namespace zv;
    test::InstalledIme ime(application);
    // F8 switches the soft keyboard on, then to its next layout (Greek).
    SettingsBlocks b = ime.fx.blocks();
    b.dme.setKeyMask(VK_F8, keyfn::SoftKeyboard);
    test::overwrite(ime.fx, "config.dsc", ime.fx.config);
    HMODULE library = nullptr;
    HIMC himc = ImmCreateContext();
    library = GetModuleHandleW(test::kImeFile);
    if (!ime.window || !himc || !library) {
        std::printf("imm_pictures: the input method could not be loaded\n");
        return 1;
    }
    SetWindowPos(ime.window, nullptr, 0, 0, 900, 560, SWP_NOZORDER | SWP_SHOWWINDOW);
    ImmAssociateContext(ime.window, himc);
    SetFocus(ime.window);
    settle();
    using ProcessKeyFn = BOOL(WINAPI*)(HIMC, UINT, LPARAM, const BYTE*);
    using ToAsciiExFn = UINT(WINAPI*)(UINT, UINT, const BYTE*, void*, UINT, HIMC);
    auto processKey = reinterpret_cast<ProcessKeyFn>(reinterpret_cast<void*>(GetProcAddress(library, "ImeProcessKey")));
    auto toAscii = reinterpret_cast<ToAsciiExFn>(reinterpret_cast<void*>(GetProcAddress(library, "ImeToAsciiEx")));
    HWND ui = CreateWindowW(L"ZORVAN3UI", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, library, nullptr);
    if (!processKey || !toAscii || !ui) return 1;
    SetWindowLongPtrW(ui, 0, reinterpret_cast<LONG_PTR>(himc));
    // The caret where the text would be, so that the window goes below it.
    CreateCaret(ime.window, nullptr, 2, 20);
    SetCaretPos(120, 80);
    auto press = [&](UINT vk) {
        BYTE state[256] = {};
        const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
        state[vk] = 0x80;
        if (processKey(himc, vk, 1 | (static_cast<LPARAM>(scan) << 16), state)) toAscii(vk, scan, state, nullptr, 0, himc);
        state[vk] = 0;
        const LPARAM up = 1 | (static_cast<LPARAM>(scan) << 16) | static_cast<LPARAM>(0xC0000000u);
        if (processKey(himc, vk, up, state)) toAscii(vk, scan | 0x8000, state, nullptr, 0, himc);
    };
    press('W');
    press('Q');
    press(VK_F8);
    press(VK_F8);
    SendMessageW(ui, WM_IME_NOTIFY, IMN_OPENSTATUSWINDOW, 0);
    SendMessageW(ui, WM_IME_NOTIFY, IMN_OPENCANDIDATE, 1);
    // The mode indicator, as the text service shows it after a switch (it
    // goes by itself after three seconds).
    struct NoHost : ui::win32::PopupHost {
        void command(int, int) override {}
        void menu(ui::MouseRequest, int, ui::Point, HWND) override {}
    } noHost;
    ui::win32::GdiTextRenderer text;
    ui::win32::TipPopup tip(GetModuleHandleW(nullptr), noHost, text);
    ui::win32::registerWindowClasses(GetModuleHandleW(nullptr));
    tip.show(ui::Point{620, 140}, 0, u"中", SkinSettings{}, ime.window);
    settle();
    report(L"ZORURAVED_TIPS");
    report(L"ZORURAVED_COMP");
    report(L"ZORURAVED_CAND");
    report(L"ZORURAVED_STATUS");
    report(L"ZORURAVED_SKBD");
    std::printf("ready\n");
    std::fflush(stdout);
    for (int i = 0; i < 100; ++i) {
        settle();
        Sleep(50);
    }
    DestroyWindow(ui);
    ImmDestroyContext(himc);
    return 0;
}
