#include "installer/win32/machine.h"

#include "installer/win32/wide.h"

#include <shlobj.h>

#include <cstdarg>
#include <cwchar>

namespace zv::installer::win32 {

namespace {

std::wstring knownFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return wide(withBackslash(utf16(path)));
}

bool runsUnderWow64() {
    BOOL wow = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow) && wow;
}

}  // namespace

std::wstring format(const wchar_t* pattern, ...) {
    wchar_t buffer[2048];
    va_list args;
    va_start(args, pattern);
    const int n = _vsnwprintf(buffer, 2047, pattern, args);
    va_end(args);
    buffer[2047] = 0;
    return n < 0 ? std::wstring(buffer) : std::wstring(buffer, static_cast<size_t>(n));
}

bool is64BitWindows() { return sizeof(void*) == 8 || runsUnderWow64(); }

MachineFolders machineFolders() {
    MachineFolders m;
    wchar_t path[MAX_PATH] = {};
    if (sizeof(void*) == 8) {
        // The 64-bit program's system folder is the 64-bit one.
        GetSystemDirectoryW(path, MAX_PATH);
        m.system64 = withBackslash(utf16(path));
        GetSystemWow64DirectoryW(path, MAX_PATH);
        m.system32 = withBackslash(utf16(path));
    } else if (runsUnderWow64()) {
        GetSystemWow64DirectoryW(path, MAX_PATH);
        m.system32 = withBackslash(utf16(path));
        // Seen only with redirection off (NativeFileSystem).
        GetWindowsDirectoryW(path, MAX_PATH);
        m.system64 = withBackslash(utf16(path)) + u"System32\\";
    } else {
        GetSystemDirectoryW(path, MAX_PATH);
        m.system32 = withBackslash(utf16(path));
    }
    m.commonData = utf16(knownFolder(CSIDL_COMMON_APPDATA));
    m.programs = utf16(knownFolder(CSIDL_COMMON_PROGRAMS));
    m.programFiles = utf16(knownFolder(CSIDL_PROGRAM_FILES));
    return m;
}

SystemVersion systemVersion() {
    // GetVersionEx answers 6.2 to programs without a compatibility
    // manifest entry; the kernel's own answer does not depend on one.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll"))
        if (auto get = reinterpret_cast<RtlGetVersionFn>(
                reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion"))))
            if (get(&info) == 0) return {info.dwMajorVersion, info.dwMinorVersion};
    return {6, 2};
}

std::wstring temporaryFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, path);
    return wide(withBackslash(utf16(path)));
}

std::wstring windowsFolder() {
    wchar_t path[MAX_PATH] = {};
    GetWindowsDirectoryW(path, MAX_PATH);
    return wide(withBackslash(utf16(path)));
}

std::wstring fontsFolder() { return knownFolder(CSIDL_FONTS); }
std::wstring documentsFolder() { return knownFolder(CSIDL_PERSONAL); }

std::wstring programPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

NativeFileSystem::NativeFileSystem() {
    if (sizeof(void*) == 4 && runsUnderWow64()) off_ = Wow64DisableWow64FsRedirection(&old_);
}

NativeFileSystem::~NativeFileSystem() {
    if (off_) Wow64RevertWow64FsRedirection(old_);
}

}  // namespace zv::installer::win32
