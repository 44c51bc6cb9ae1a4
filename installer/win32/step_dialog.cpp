#include "installer/win32/step_dialog.h"

#include "installer/win32/dialog_template.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <memory>
#include <string_view>
#include <vector>

namespace zv::installer::win32 {
namespace {

constexpr wchar_t kFinishButton[] = L"完成(&O)";
constexpr wchar_t kBrowseButton[] = L"浏览(&B)";
constexpr wchar_t kAgree[] = L"接受协议";
constexpr wchar_t kRefuse[] = L"不接受协议";
constexpr wchar_t kChooseFolder[] = L"请选择安装目录...";
constexpr int kProgressSteps = 100;

DialogTemplate stepDialogTemplate(bool choosesFolder) {
    DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 300,
                     220, L"宋体", 9);
    t.add(L"STATIC", StepWelcomeId, SS_LEFT, 7, 7, 286, 14);
    t.add(L"STATIC", StepHintId, SS_LEFT, 7, 24, 286, 12);
    short top = 40;
    if (choosesFolder) {
        t.add(L"EDIT", StepFolderId, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, top, 226, 13);
        t.add(L"BUTTON", StepBrowseId, BS_PUSHBUTTON | WS_TABSTOP, 238, top, 55, 13, kBrowseButton);
        top += 18;
        t.add(L"BUTTON", StepAgreeId, BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 7, top, 80, 12, kAgree);
        t.add(L"BUTTON", StepRefuseId, BS_AUTORADIOBUTTON, 92, top, 80, 12, kRefuse);
        top += 16;
    }
    t.add(PROGRESS_CLASSW, StepProgressId, 0, 7, top, 286, 10);
    top += 14;
    t.add(L"EDIT", StepLogId, ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER, 7, top, 286,
          static_cast<short>(196 - top));
    t.add(L"BUTTON", StepActionButton, BS_DEFPUSHBUTTON | WS_TABSTOP, 213, 200, 80, 14);
    return t;
}

struct FontDeleter {
    void operator()(HFONT f) const { DeleteObject(f); }
};

enum class Phase { Ready, Running, Finished };

struct DialogState final : StepReport {
    const StepDialogSetup* setup = nullptr;
    const StepWork* work = nullptr;
    HWND window = nullptr;
    Phase phase = Phase::Ready;
    int result = 1;
    std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter> welcomeFont;

    void step(int percent, const std::wstring& line) override {
        HWND log = GetDlgItem(window, StepLogId);
        const int end = GetWindowTextLengthW(log);
        SendMessageW(log, EM_SETSEL, end, end);
        std::wstring text = line;
        if (text.size() < 2 || text.compare(text.size() - 2, 2, L"\r\n") != 0) text += L"\r\n";
        SendMessageW(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
        SendDlgItemMessageW(window, StepProgressId, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
        pump();
    }
    void pause(DWORD milliseconds) override {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < milliseconds) {
            pump();
            Sleep(10);
        }
    }
    HWND owner() const override { return window; }
    std::wstring folder() const override {
        HWND edit = GetDlgItem(window, StepFolderId);
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
        return text;
    }

    // The steps run on the dialog's thread; between them the window paints
    // and answers, while the button and the close box stay refused.
    void pump() {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(m.wParam));
                return;
            }
            if (!IsDialogMessageW(window, &m)) {
                TranslateMessage(&m);
                DispatchMessageW(&m);
            }
        }
    }
};

void updateActionButton(DialogState& d) {
    if (d.phase != Phase::Ready) return;
    const bool agreed = !d.setup->choosesFolder || IsDlgButtonChecked(d.window, StepAgreeId) == BST_CHECKED;
    EnableWindow(GetDlgItem(d.window, StepActionButton), agreed);
}

void initDialog(HWND window, DialogState& d) {
    d.window = window;
    const StepDialogSetup& s = *d.setup;
    SetWindowTextW(window, s.title.c_str());
    LOGFONTW font = {};
    font.lfHeight = -14;
    font.lfWeight = FW_BOLD;
    font.lfCharSet = GB2312_CHARSET;
    lstrcpynW(font.lfFaceName, L"宋体", LF_FACESIZE);
    d.welcomeFont.reset(CreateFontIndirectW(&font));
    HWND welcome = GetDlgItem(window, StepWelcomeId);
    if (d.welcomeFont) SendMessageW(welcome, WM_SETFONT, reinterpret_cast<WPARAM>(d.welcomeFont.get()), FALSE);
    SetWindowTextW(welcome, s.welcome.c_str());
    SetDlgItemTextW(window, StepHintId, s.hint.c_str());
    SetDlgItemTextW(window, StepActionButton, s.action.c_str());
    SendDlgItemMessageW(window, StepProgressId, PBM_SETRANGE32, 0, kProgressSteps);
    SendDlgItemMessageW(window, StepLogId, EM_SETLIMITTEXT, 0, 0);
    if (s.choosesFolder) {
        SetDlgItemTextW(window, StepFolderId, s.folder.c_str());
        CheckRadioButton(window, StepAgreeId, StepRefuseId, StepRefuseId);
    }
    updateActionButton(d);
}

int CALLBACK browseCallback(HWND window, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED) SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

void browseForFolder(DialogState& d) {
    const std::wstring current = d.folder();
    BROWSEINFOW info = {};
    info.hwndOwner = d.window;
    info.lpszTitle = kChooseFolder;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = browseCallback;
    info.lParam = reinterpret_cast<LPARAM>(current.c_str());
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (!chosen) return;
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(chosen, path)) {
        std::wstring folder = path;
        if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
        SetDlgItemTextW(d.window, StepFolderId, folder.c_str());
    }
    CoTaskMemFree(chosen);
}

void runSteps(DialogState& d) {
    d.phase = Phase::Running;
    EnableWindow(GetDlgItem(d.window, StepActionButton), FALSE);
    for (int id : {StepFolderId, StepBrowseId, StepAgreeId, StepRefuseId})
        if (HWND c = GetDlgItem(d.window, id)) EnableWindow(c, FALSE);
    StepOutcome outcome = StepOutcome::Failed;
    try {
        outcome = (*d.work)(d);
    } catch (...) {
        outcome = StepOutcome::Failed;
    }
    if (outcome == StepOutcome::NotStarted) {
        d.phase = Phase::Ready;
        for (int id : {StepFolderId, StepBrowseId, StepAgreeId, StepRefuseId})
            if (HWND c = GetDlgItem(d.window, id)) EnableWindow(c, TRUE);
        updateActionButton(d);
        return;
    }
    d.result = outcome == StepOutcome::Done ? 0 : 1;
    d.phase = Phase::Finished;
    if (outcome == StepOutcome::Done && !d.setup->doneHint.empty())
        SetDlgItemTextW(d.window, StepHintId, d.setup->doneHint.c_str());
    SetDlgItemTextW(d.window, StepActionButton, kFinishButton);
    EnableWindow(GetDlgItem(d.window, StepActionButton), TRUE);
}

INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* d = reinterpret_cast<DialogState*>(GetWindowLongPtrW(window, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        initDialog(window, *reinterpret_cast<DialogState*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (!d) return FALSE;
        switch (LOWORD(wParam)) {
        case StepAgreeId:
        case StepRefuseId: updateActionButton(*d); return TRUE;
        case StepBrowseId:
            if (d->phase == Phase::Ready) browseForFolder(*d);
            return TRUE;
        case StepActionButton:
            if (d->phase == Phase::Ready && IsWindowEnabled(GetDlgItem(window, StepActionButton))) runSteps(*d);
            else if (d->phase == Phase::Finished) EndDialog(window, d->result);
            return TRUE;
        case IDCANCEL:
            if (d->phase != Phase::Running) EndDialog(window, d->phase == Phase::Finished ? d->result : 1);
            return TRUE;
        default: return FALSE;
        }
    case WM_CLOSE:
        SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    default: return FALSE;
    }
}

}  // namespace

int runStepDialog(const StepDialogSetup& setup, const StepWork& work) {
    try {
        DialogState state;
        state.setup = &setup;
        state.work = &work;
        DialogTemplate t = stepDialogTemplate(setup.choosesFolder);
        const INT_PTR r = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), nullptr, dialogProc,
                                                  reinterpret_cast<LPARAM>(&state));
        return r == -1 ? 1 : static_cast<int>(r);
    } catch (...) {
        return 1;
    }
}

}  // namespace zv::installer::win32
