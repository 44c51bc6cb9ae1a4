#pragma once
// Runs installer.exe under wine the way a person would: every message box
// and every install, repair or uninstall dialog is answered by window
// messages, and what they showed is kept for the test to read. Also the
// registry and file helpers the installer tests share.

#include "installer/win32/file_conflict.h"
#include "installer/win32/step_dialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <cwctype>
#include <string>
#include <vector>

namespace zv::installer_test {

constexpr wchar_t kGuid[] = L"{6F3A8E21-5C4B-4D97-A1E0-2B7C9D4F8A63}";
constexpr wchar_t kInstanceKey[] = L"Software\\ZorvanIME3\\{6F3A8E21-5C4B-4D97-A1E0-2B7C9D4F8A63}";
constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{6F3A8E21-5C4B-4D97-A1E0-2B7C9D4F8A63}";
constexpr wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{6F3A8E21-5C4B-4D97-A1E0-2B7C9D4F8A63}";
constexpr wchar_t kTipKey[] = L"Software\\Microsoft\\CTF\\TIP\\{6F3A8E21-5C4B-4D97-A1E0-2B7C9D4F8A63}";
constexpr DWORD kWaitMs = 60000;

inline std::wstring folderOfThisProgram() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L"\\/") + 1);
}

inline std::vector<uint8_t> readAll(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeAll(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline bool keyExists(const wchar_t* path, REGSAM view = 0) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

inline std::wstring readText(const std::wstring& path, const wchar_t* name, REGSAM view = 0) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return {};
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t), type = 0;
    const LONG r = RegQueryValueExW(key, name && *name ? name : nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS && type == REG_SZ ? std::wstring(buffer) : std::wstring();
}

// What a run showed: the texts of its message boxes and dialogs, and the
// logs its install, repair or uninstall dialog ended with.
struct Answered {
    std::vector<std::wstring> texts;
    std::vector<std::wstring> logs;
    bool saw(const std::wstring& part) const {
        for (const std::wstring& t : texts)
            if (t.find(part) != std::wstring::npos) return true;
        return false;
    }
    // The lines appear in the log in this order.
    bool logged(const std::vector<std::wstring>& lines) const {
        for (const std::wstring& log : logs) {
            size_t at = 0;
            bool all = true;
            for (const std::wstring& line : lines) {
                at = log.find(line, at);
                if (at == std::wstring::npos) {
                    all = false;
                    break;
                }
                at += line.size();
            }
            if (all) return true;
        }
        return false;
    }
};

inline BOOL CALLBACK collectDialog(HWND w, LPARAM p) {
    auto* found = reinterpret_cast<std::vector<HWND>*>(p);
    wchar_t cls[32] = {};
    GetClassNameW(w, cls, 32);
    if (IsWindowVisible(w) && std::wstring(cls) == L"#32770") found->push_back(w);
    return TRUE;
}

inline std::wstring textOf(HWND w) {
    wchar_t text[8192] = {};
    SendMessageTimeoutW(w, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

inline std::wstring boxText(HWND box) {
    return textOf(box) + L"|" + textOf(GetDlgItem(box, 0xFFFF));  // a message box's text control
}

// How a run's questions are answered.
struct Answers {
    bool backUpUserWords = false;
    std::wstring installFolder;  // typed into the install dialog; the dialog is closed if it turns back
    std::function<void()> beforeRetry = {};  // the file-access-conflict dialog: frees the file, then 重试(&R)
    bool endHolders = false;             // the file-access-conflict dialog: 强制结束(&E)
    DWORD leaveAlone = 0;                // a process of the test's whose windows are not answered
    bool closeIfTurnedBack = false;      // a repair or uninstall that stops before its steps is closed
};

// The install, repair or uninstall dialog: the licence accepted, the button
// clicked once, and "完成(&O)" clicked once the log is complete.
inline void answerStepDialog(HWND dialog, Answered& a, std::vector<HWND>& started, const Answers& answers) {
    using namespace zv::installer::win32;
    const std::wstring shown = textOf(dialog) + L"|" + textOf(GetDlgItem(dialog, StepWelcomeId)) + L"|" +
                               textOf(GetDlgItem(dialog, StepHintId));
    if (a.texts.empty() || a.texts.back() != shown) a.texts.push_back(shown);
    HWND button = GetDlgItem(dialog, StepActionButton);
    if (HWND agree = GetDlgItem(dialog, StepAgreeId);
        agree && SendMessageW(agree, BM_GETCHECK, 0, 0) != BST_CHECKED) {
        EXPECT_FALSE(IsWindowEnabled(button)) << "the button waits for the licence";
        SendMessageTimeoutW(agree, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
        return;
    }
    if (!IsWindowEnabled(button)) return;
    const bool finished = textOf(button) == L"完成(&O)";
    const bool clicked = std::find(started.begin(), started.end(), dialog) != started.end();
    if (finished) {
        a.logs.push_back(textOf(GetDlgItem(dialog, StepLogId)));
    } else if (clicked) {
        // Turned back: the folder can be edited again.
        if ((answers.closeIfTurnedBack ||
             (!answers.installFolder.empty() && IsWindowEnabled(GetDlgItem(dialog, StepFolderId)))) &&
            a.texts.size() > 1)
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    } else {
        if (!answers.installFolder.empty())
            SendMessageTimeoutW(GetDlgItem(dialog, StepFolderId), WM_SETTEXT, 0,
                                reinterpret_cast<LPARAM>(answers.installFolder.c_str()), SMTO_ABORTIFHUNG, 2000, nullptr);
        started.push_back(dialog);
    }
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(StepActionButton, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// Runs installer.exe (or its temporary copy, started by it) and answers
// every box and dialog until `done` holds or the time runs out.
template <class Done>
inline Answered drive(const std::wstring& program, const std::wstring& arguments, Done done, Answers answers = {}) {
    Answered a;
    std::vector<HWND> started;
    std::wstring line = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return a;
    CloseHandle(pi.hThread);
    bool exited = false;
    for (DWORD waited = 0; waited < kWaitMs; waited += 100) {
        std::vector<HWND> found;
        EnumWindows(collectDialog, reinterpret_cast<LPARAM>(&found));
        // The test's own program's windows are neither answered nor waited for.
        found.erase(std::remove_if(found.begin(), found.end(),
                                   [&](HWND w) {
                                       DWORD owner = 0;
                                       GetWindowThreadProcessId(w, &owner);
                                       return answers.leaveAlone && owner == answers.leaveAlone;
                                   }),
                    found.end());
        for (HWND w : found) {
            if (GetDlgItem(w, zv::installer::win32::StepLogId)) {
                answerStepDialog(w, a, started, answers);
                continue;
            }
            if (HWND list = GetDlgItem(w, zv::installer::win32::ConflictListId)) {
                std::wstring shown = textOf(w) + L"|" + textOf(GetDlgItem(w, zv::installer::win32::ConflictTextId));
                const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
                for (LRESULT i = 0; i < count && i < 16; ++i) {
                    wchar_t item[512] = {};
                    if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < 511) SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
                    shown += L"|" + std::wstring(item);
                }
                a.texts.push_back(shown);
                WPARAM answer = zv::installer::win32::ConflictCancelButton;
                if (answers.endHolders) {
                    answer = zv::installer::win32::ConflictEndButton;
                } else if (answers.beforeRetry) {
                    answers.beforeRetry();
                    answer = zv::installer::win32::ConflictRetryButton;
                }
                PostMessageW(w, WM_COMMAND, answer, 0);
                continue;
            }
            const std::wstring text = boxText(w);
            a.texts.push_back(text);
            WPARAM answer = IDOK;
            if (GetDlgItem(w, IDYES))
                answer = text.find(L"备份用户词") == std::wstring::npos || answers.backUpUserWords ? IDYES : IDNO;
            PostMessageW(w, WM_COMMAND, answer, 0);
        }
        if (!exited && WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) exited = true;
        if (exited && found.empty() && done()) break;
        Sleep(100);
    }
    TerminateProcess(pi.hProcess, 9);
    CloseHandle(pi.hProcess);
    Sleep(300);
    return a;
}

inline std::wstring package() { return folderOfThisProgram() + L"zorvan-setup-test.exe"; }
inline std::wstring programFiles() {
    wchar_t path[MAX_PATH] = {};
    GetEnvironmentVariableW(L"ProgramFiles", path, MAX_PATH);
    return path;
}
inline std::wstring installDir() { return programFiles() + L"\\VoraZerevo\\ZU86\\"; }
// A path or registry name in lower case, to compare as Windows does.
inline std::wstring lowered(std::wstring path) {
    for (wchar_t& c : path) c = static_cast<wchar_t>(towlower(c));
    return path;
}

inline std::wstring systemFolder(bool sixtyFour) {
    wchar_t path[MAX_PATH] = {};
    if (sixtyFour) GetSystemDirectoryW(path, MAX_PATH); else GetSystemWow64DirectoryW(path, MAX_PATH);
    return std::wstring(path) + L"\\";
}

// A variant of the package written beside this program.
inline std::wstring variant(const wchar_t* name, const std::vector<uint8_t>& bytes) {
    const std::wstring path = folderOfThisProgram() + name;
    writeAll(path, bytes);
    return path;
}


}  // namespace zv::installer_test
