#include "config/win32/html_window.h"

#include "config/win32/browser_control.h"
#include "config/win32/resource_ids.h"

#include <algorithm>
#include <memory>

namespace zv::config::win32 {

namespace {

constexpr UINT_PTR kTitleTimer = 1;
constexpr UINT kTitleCheckMs = 500;
constexpr wchar_t kCaption[] = L"信息提示窗口";

struct HtmlWindow {
    std::wstring address;
    int width, height;
    std::unique_ptr<BrowserControl> browser;
    std::wstring shownTitle;
};

RECT clientPlace(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return r;
}

void placeWindow(HWND window, int width, int height) {
    if (width < 1 || height < 1) return;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    width = std::min(width, screenWidth);
    height = std::min(height, screenHeight);
    SetWindowPos(window, nullptr, (screenWidth - width) / 2, (screenHeight - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK htmlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* h = reinterpret_cast<HtmlWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        h = reinterpret_cast<HtmlWindow*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        placeWindow(window, h->width, h->height);
        h->browser = std::make_unique<BrowserControl>(window, clientPlace(window), ZV_HTML_BROWSER, h->address);
        if (h->browser->live()) SetTimer(window, kTitleTimer, kTitleCheckMs, nullptr);
        SetWindowTextW(window, kCaption);
        return TRUE;
    case WM_SIZE:
        if (h && h->browser) h->browser->move(clientPlace(window));
        return TRUE;
    case WM_TIMER:
        // The caption follows the title of the page that has loaded.
        if (h && h->browser && wParam == kTitleTimer) {
            const std::wstring title = h->browser->title();
            if (!title.empty() && title != h->shownTitle) {
                h->shownTitle = title;
                SetWindowTextW(window, title.c_str());
            }
        }
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
            KillTimer(window, kTitleTimer);
            if (h) h->browser.reset();
            EndDialog(window, IDOK);
        }
        return TRUE;
    default: return FALSE;
    }
}

}  // namespace

void runHtmlWindow(const std::wstring& address, int width, int height) {
    HtmlWindow h{address, width, height, nullptr, {}};
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ZV_DIALOG_HTML), nullptr, htmlProc,
                    reinterpret_cast<LPARAM>(&h));
}

}  // namespace zv::config::win32
