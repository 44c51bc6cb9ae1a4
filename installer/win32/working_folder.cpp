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

// The temporary folder may be given in its short form, the program's path
// in its long one.
std::wstring longPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = GetLongPathNameW(path.c_str(), buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(buffer, n) : path;
}

bool isWorkingFolder(const std::wstring& folder) {
    const std::wstring name = kFolderName;
    return folder.size() > name.size() + 3 && folder.compare(folder.size() - name.size(), name.size(), name) == 0;
}

// Runs the command through the command interpreter, started suspended at
// idle priority and let go while this program runs at high priority, so
// that it works on the folder only once this program has stopped using it.
// Waits up to `waitMs` for it.
bool runCommand(const std::wstring& arguments, DWORD waitMs) {
    wchar_t comspec[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(L"COMSPEC", comspec, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    std::wstring command = format(L"\"%ls\" /c %ls", comspec, arguments.c_str());
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
        if (!runCommand(format(L"rmdir \"%ls\" /s /q", withoutBackslash(shortPath(path)).c_str()), kRemovalWaitMs))
            break;
    if (priority) SetPriorityClass(GetCurrentProcess(), priority);
    // Without a command interpreter the folder is still removed.
    return !folderExists(path) || removeTree(path);
}

void removeWorkingFolderAfterExit(const std::wstring& folder, const std::wstring& program) {
    const std::wstring path = withoutBackslash(folder);
    if (!isWorkingFolder(path) || !folderExists(path)) return;
    // Run with "/f" from anywhere else, the program's file is not ours to
    // delete.
    const std::wstring folderLong = longPath(path), programLong = longPath(program);
    const bool inside = programLong.size() > folderLong.size() + 1 &&
                        _wcsnicmp(programLong.c_str(), folderLong.c_str(), folderLong.size()) == 0 &&
                        programLong[folderLong.size()] == L'\\';
    // Everything but this program goes now. What is left for the command
    // is this program's file and the folder once empty, never "/s": an
    // installer started meanwhile may already be unpacking into a new
    // working folder of the same name.
    removeTree(path);
    if (!inside) return;
    // Three echo requests a second apart: about two seconds for this
    // program to end.
    runCommand(format(L"ping -n 3 127.0.0.1 >nul & del /f /q \"%ls\" & rmdir \"%ls\"", shortPath(program).c_str(),
                      withoutBackslash(shortPath(path)).c_str()),
               0);
}

}  // namespace zv::installer::win32
