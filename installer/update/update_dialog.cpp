#include "installer/update/update_dialog.h"

#include "installer/update/adapters_win32.h"
#include "installer/update/internet_download_win32.h"
#include "installer/update/update_check.h"
#include "installer/update/update_texts.h"
#include "installer/win32/dialog_template.h"
#include "platform/folders.h"
#include "platform/registry.h"

#include <shellapi.h>

#include <memory>
#include <thread>
#include <vector>

namespace zv::installer {
namespace {

// Messages from the check's thread to the dialog; the dialog's thread does
// everything that touches a window.
enum : UINT {
    MsgAppend = WM_APP + 1,  // lParam: const std::u16string*
    MsgAsk,                  // lParam: const std::u16string*; returns 1 for Yes
    MsgOpen,                 // lParam: const std::u16string*
    MsgInitFailed,
    MsgProgress,  // lParam: const std::u16string*
    MsgDone,
};

std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
std::u16string narrow(std::wstring_view s) { return std::u16string(s.begin(), s.end()); }

struct FontDeleter {
    void operator()(HFONT f) const { DeleteObject(f); }
};

struct DialogState {
    UpdateTarget target;
    std::u16string tempFolder;
    UpdateDialogHooks hooks;
    HWND window = nullptr;
    bool busy = false;
    std::thread worker;
    std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter> bannerFont;

    ~DialogState() {
        if (worker.joinable()) worker.join();
    }
};

// The check's view of the dialog: every call is a message to its window.
class DialogSession : public UpdateSession {
public:
    explicit DialogSession(DialogState& d) : d_(d) {}
    void append(std::u16string_view text) override {
        std::u16string t(text);
        SendMessageW(d_.window, MsgAppend, 0, reinterpret_cast<LPARAM>(&t));
    }
    void reportInitFailure() override { SendMessageW(d_.window, MsgInitFailed, 0, 0); }
    std::u16string adapterDigest() override { return installer::adapterDigest(systemHardwareAddresses()); }
    DownloadResult download(const std::u16string& url) override {
        const std::wstring file = wide(d_.tempFolder) + UpdateListFile;
        return downloadUpdateList(wide(url), file, [this](uint64_t bytes) {
            std::u16string t = progressText(bytes);
            SendMessageW(d_.window, MsgProgress, 0, reinterpret_cast<LPARAM>(&t));
        });
    }
    bool askToDownload(std::u16string_view question) override {
        std::u16string q(question);
        return SendMessageW(d_.window, MsgAsk, 0, reinterpret_cast<LPARAM>(&q)) == 1;
    }
    void openAddress(const std::u16string& address) override {
        SendMessageW(d_.window, MsgOpen, 0, reinterpret_cast<LPARAM>(&address));
    }

private:
    DialogState& d_;
};

void checkInBackground(DialogState* d) {
    try {
        DialogSession session(*d);
        runUpdateCheck(d->target, d->tempFolder, session);
    } catch (...) {
        // Out of memory in the middle of a check: the check ends, the dialog stays.
    }
    PostMessageW(d->window, MsgDone, 0, 0);
}

void appendToLog(HWND dialog, const std::u16string& text) {
    HWND edit = GetDlgItem(dialog, UpdateLogId);
    int end = GetWindowTextLengthW(edit);
    SendMessageW(edit, EM_SETSEL, end, end);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide(text).c_str()));
}

void startCheck(DialogState& d) {
    if (d.busy) return;
    d.busy = true;
    EnableWindow(GetDlgItem(d.window, UpdateCheckButtonId), FALSE);
    if (d.worker.joinable()) d.worker.join();
    try {
        d.worker = std::thread(checkInBackground, &d);
    } catch (...) {
        d.busy = false;
        EnableWindow(GetDlgItem(d.window, UpdateCheckButtonId), TRUE);
        MessageBoxW(d.window, wide(texts::InitFailed).c_str(), wide(texts::ProgramTitle).c_str(), MB_OK | MB_ICONERROR);
    }
}

void initDialog(HWND window, DialogState& d) {
    d.window = window;
    SetWindowTextW(window, wide(formatText(texts::DialogTitleFormat, d.target.displayName)).c_str());
    LOGFONTW font = {};
    font.lfHeight = -16;
    font.lfWeight = FW_BOLD;
    font.lfCharSet = GB2312_CHARSET;
    lstrcpynW(font.lfFaceName, L"宋体", LF_FACESIZE);
    d.bannerFont.reset(CreateFontIndirectW(&font));
    HWND banner = GetDlgItem(window, UpdateBannerId);
    if (d.bannerFont) SendMessageW(banner, WM_SETFONT, reinterpret_cast<WPARAM>(d.bannerFont.get()), FALSE);
    SetWindowTextW(banner, wide(formatText(texts::WelcomeFormat, d.target.displayName)).c_str());
    HWND log = GetDlgItem(window, UpdateLogId);
    SendMessageW(log, EM_SETLIMITTEXT, 0, 0);  // logs of many checks exceed the default limit
    SetWindowTextW(log, wide(formatText(texts::OpeningFormat, d.target.version)).c_str());
    SetWindowTextW(GetDlgItem(window, UpdateCheckButtonId), wide(texts::CheckButton).c_str());
}

INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* d = reinterpret_cast<DialogState*>(GetWindowLongPtrW(window, DWLP_USER));
    auto text = [&] { return *reinterpret_cast<const std::u16string*>(lParam); };
    auto answer = [&](LRESULT r) {
        SetWindowLongPtrW(window, DWLP_MSGRESULT, r);
        return TRUE;
    };
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        initDialog(window, *reinterpret_cast<DialogState*>(lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(window, UpdateBannerId)) {
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
        }
        return FALSE;
    case WM_COMMAND:
        if (!d) return FALSE;
        if (LOWORD(wParam) == UpdateCheckButtonId && HIWORD(wParam) == BN_CLICKED) {
            startCheck(*d);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            if (d->busy) {
                MessageBoxW(window, wide(texts::CannotCancel).c_str(), wide(texts::ProgramTitle).c_str(),
                            MB_OK | MB_ICONINFORMATION);
            } else {
                EndDialog(window, 0);
            }
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    case MsgAppend: appendToLog(window, text()); return answer(0);
    case MsgProgress: SetDlgItemTextW(window, UpdateProgressId, wide(text()).c_str()); return answer(0);
    case MsgAsk:
        return answer(MessageBoxW(window, wide(text()).c_str(), wide(texts::AskTitle).c_str(),
                                  MB_YESNO | MB_ICONQUESTION) == IDYES);
    case MsgOpen: {
        const std::wstring address = wide(text());
        if (d && d->hooks.openAddress) {
            d->hooks.openAddress(address);
        } else {
            ShellExecuteW(window, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        }
        return answer(0);
    }
    case MsgInitFailed:
        MessageBoxW(window, wide(texts::InitFailed).c_str(), wide(texts::ProgramTitle).c_str(), MB_OK | MB_ICONERROR);
        return answer(0);
    case MsgDone:
        if (d) {
            if (d->worker.joinable()) d->worker.join();
            d->busy = false;
            EnableWindow(GetDlgItem(window, UpdateCheckButtonId), TRUE);
        }
        return TRUE;
    default: return FALSE;
    }
}

using win32::DialogTemplate;

DialogTemplate updateDialogTemplate() {
    DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 300,
                     206, L"宋体", 9);
    t.add(L"STATIC", UpdateBannerId, SS_LEFT | SS_CENTERIMAGE, 0, 0, 300, 32);
    t.add(L"EDIT", UpdateLogId, ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 38,
          286, 138);
    t.add(L"STATIC", UpdateProgressId, SS_LEFT, 7, 186, 150, 10);
    t.add(L"BUTTON", UpdateCheckButtonId, BS_DEFPUSHBUTTON | WS_TABSTOP, 213, 183, 80, 16);
    return t;
}

}  // namespace

int runUpdateDialog(HINSTANCE instance, const std::wstring& guid, const UpdateDialogHooks& hooks) {
    try {
        DialogState state;
        auto registry = platform::openSystemRegistry();
        state.target.guid = narrow(guid);
        if (registry) state.target = readUpdateTarget(*registry, state.target.guid);
        state.tempFolder = platform::tempFolder();
        state.hooks = hooks;
        DialogTemplate t = updateDialogTemplate();
        INT_PTR r = DialogBoxIndirectParamW(instance, t.get(), nullptr, dialogProc, reinterpret_cast<LPARAM>(&state));
        return r == -1 ? -1 : 0;
    } catch (...) {
        return -1;
    }
}

int runUpdateDialog(HINSTANCE instance, const std::wstring& guid) { return runUpdateDialog(instance, guid, {}); }

}  // namespace zv::installer
