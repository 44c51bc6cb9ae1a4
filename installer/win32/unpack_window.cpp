#include "installer/win32/unpack_window.h"

#include "installer/win32/dialog_template.h"

#include <commctrl.h>

namespace zv::installer::win32 {

namespace {

constexpr wchar_t kTitle[] = L"正在解开文件";
// The bar counts in these steps, whatever the package's size.
constexpr int kBarSteps = 1000;

INT_PTR CALLBACK unpackProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextW(dialog, kTitle);
        SendDlgItemMessageW(dialog, UnpackProgressId, PBM_SETRANGE32, 0, kBarSteps);
        return TRUE;
    case WM_COMMAND:
    case WM_CLOSE:
        // Unpacking cannot be stopped half way; the window only reports.
        return TRUE;
    }
    return FALSE;
}

}  // namespace

UnpackWindow::UnpackWindow() {
    DialogTemplate t(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 240, 90, L"宋体", 9);
    t.add(PROGRESS_CLASSW, UnpackProgressId, 0, 7, 7, 226, 10);
    t.add(L"EDIT", UnpackLogId, ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER, 7, 22, 226, 61);
    window_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.get(), nullptr, unpackProc, 0);
    if (!window_) return;
    ShowWindow(window_, SW_SHOWNORMAL);
    pump();
}

UnpackWindow::~UnpackWindow() {
    if (window_) DestroyWindow(window_);
}

void UnpackWindow::progress(uint64_t done, uint64_t total) {
    if (!window_) return;
    const uint64_t part = total == 0 ? 0 : (done >= total ? kBarSteps : done * kBarSteps / total);
    SendDlgItemMessageW(window_, UnpackProgressId, PBM_SETPOS, static_cast<WPARAM>(part), 0);
    pump();
}

void UnpackWindow::line(const std::wstring& text) {
    if (!window_) return;
    HWND log = GetDlgItem(window_, UnpackLogId);
    const int end = GetWindowTextLengthW(log);
    SendMessageW(log, EM_SETSEL, end, end);
    const std::wstring withEnd = text + L"\r\n";
    SendMessageW(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(withEnd.c_str()));
    pump();
}

// The window paints and answers between entries.
void UnpackWindow::pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageW(window_, &m)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
    }
}

}  // namespace zv::installer::win32
