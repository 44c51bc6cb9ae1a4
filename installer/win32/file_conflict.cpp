#include "installer/win32/file_conflict.h"

#include "installer/win32/dialog_template.h"
#include "installer/win32/wide.h"

#include <cwctype>

namespace zv::installer::win32 {

namespace {

constexpr wchar_t kTitle[] = L"文件访问冲突";
constexpr wchar_t kCloseThese[] = L"请关闭下列进程后重试操作:";
constexpr wchar_t kProgramRunning[] = L"%ls\r\n已经运行，请关闭该程序后，单击“重试”按钮。";

struct Conflict {
    const std::wstring* file;
    const std::vector<RunningProcess>* holders;
};

bool isProgram(const std::wstring& path) {
    if (path.size() < 4) return false;
    std::wstring end = path.substr(path.size() - 4);
    for (wchar_t& c : end) c = static_cast<wchar_t>(towlower(c));
    return end == L".exe";
}

INT_PTR CALLBACK conflictProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        const auto* c = reinterpret_cast<const Conflict*>(lParam);
        SetWindowTextW(dialog, kTitle);
        // A program of ours that is running is named; anything else held
        // lists its holders.
        const std::wstring text = isProgram(*c->file) ? format(kProgramRunning, c->file->c_str()) : kCloseThese;
        SetDlgItemTextW(dialog, ConflictTextId, text.c_str());
        HWND list = GetDlgItem(dialog, ConflictListId);
        for (const RunningProcess& p : *c->holders) {
            const std::wstring line = format(L"%u  %ls", static_cast<unsigned>(p.id), p.name.c_str());
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        }
        EnableWindow(GetDlgItem(dialog, ConflictEndButton), !c->holders->empty());
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case ConflictRetryButton: EndDialog(dialog, static_cast<INT_PTR>(ConflictAnswer::Retry)); return TRUE;
        case ConflictCancelButton: EndDialog(dialog, static_cast<INT_PTR>(ConflictAnswer::GiveUp)); return TRUE;
        case ConflictEndButton: {
            const auto* c = reinterpret_cast<const Conflict*>(GetWindowLongPtrW(dialog, DWLP_USER));
            for (const RunningProcess& p : *c->holders) endProcess(p.id);
            EndDialog(dialog, static_cast<INT_PTR>(ConflictAnswer::Retry));
            return TRUE;
        }
        }
        return FALSE;
    }
    return FALSE;
}

}  // namespace

ConflictAnswer askAboutConflict(HWND owner, const std::wstring& file, const std::vector<RunningProcess>& holders) {
    DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 240, 150, L"宋体",
                     9);
    t.add(L"STATIC", ConflictTextId, SS_LEFT, 7, 7, 226, 26);
    t.add(L"LISTBOX", ConflictListId, LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 36, 226, 88);
    t.add(L"BUTTON", ConflictCancelButton, BS_PUSHBUTTON | WS_TABSTOP, 7, 130, 60, 14, L"取消(&C)");
    t.add(L"BUTTON", ConflictEndButton, BS_PUSHBUTTON | WS_TABSTOP, 107, 130, 60, 14, L"强制结束(&E)");
    t.add(L"BUTTON", ConflictRetryButton, BS_DEFPUSHBUTTON | WS_TABSTOP, 173, 130, 60, 14, L"重试(&R)");
    Conflict c{&file, &holders};
    const INT_PTR answer =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), owner, conflictProc, reinterpret_cast<LPARAM>(&c));
    return answer == static_cast<INT_PTR>(ConflictAnswer::Retry) ? ConflictAnswer::Retry : ConflictAnswer::GiveUp;
}

}  // namespace zv::installer::win32
