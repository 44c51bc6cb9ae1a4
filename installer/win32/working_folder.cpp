#include "installer/win32/working_folder.h"

#include "installer/win32/files.h"
#include "installer/win32/wide.h"

#include <windows.h>

namespace zv::installer::win32 {

namespace {

constexpr DWORD kRemovalWaitMs = 1000;
constexpr int kRemovalTries = 2;
// The name every working folder ends in; nothing else is ever handed to
// "rmdir /s /q".
constexpr wchar_t kFolderName[] = L"$zorvanInstaller$";

std::wstring withoutBackslash(std::wstring path) {
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

bool isWorkingFolder(const std::wstring& folder) {
    const std::wstring name = kFolderName;
    return folder.size() > name.size() + 3 && folder.compare(folder.size() - name.size(), name.size(), name) == 0;
}

// The command interpreter's "rmdir", started suspended at idle priority
// and let go while this program runs at high priority, so that it takes
// the folder only once this program has stopped using it. Waits up to
// `waitMs` for it.
bool startRemoval(const std::wstring& folder, const wchar_t* delay, DWORD waitMs) {
    wchar_t comspec[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(L"COMSPEC", comspec, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    const std::wstring target = withoutBackslash(shortPath(folder));
    std::wstring command = format(L"\"%ls\" /c %lsrmdir \"%ls\" /s /q", comspec, delay, target.c_str());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED | CREATE_NO_WINDOW | IDLE_PRIORITY_CLASS, nullptr, nullptr, &si, &pi))
        return false;
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
    ResumeThread(pi.hThread);
    if (waitMs) WaitForSingleObject(pi.hProcess, waitMs);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

}  // namespace

bool removeWorkingFolder(const std::wstring& folder) {
    const std::wstring path = withoutBackslash(folder);
    if (!isWorkingFolder(path)) return false;
    const DWORD priority = GetPriorityClass(GetCurrentProcess());
    for (int i = 0; i < kRemovalTries && folderExists(path); ++i)
        if (!startRemoval(path, L"", kRemovalWaitMs)) break;
    if (priority) SetPriorityClass(GetCurrentProcess(), priority);
    // Without a command interpreter the folder is still removed.
    return !folderExists(path) || removeTree(path);
}

void removeWorkingFolderAfterExit(const std::wstring& folder) {
    const std::wstring path = withoutBackslash(folder);
    if (!isWorkingFolder(path) || !folderExists(path)) return;
    // Three echo requests a second apart: about two seconds for this
    // program to end.
    startRemoval(path, L"ping -n 3 127.0.0.1 >nul & ", 0);
}

}  // namespace zv::installer::win32
