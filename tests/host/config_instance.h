#pragma once
// config.exe as the tests and the pictures start it: a data folder with
// the shipped skins registered for the instance, the library copied into
// the system folder as the instance's input-method file, and the program
// started from beside the test program.

#include "engine/data_files.h"
#include "platform/registry.h"
#include "platform/utf.h"
#include "tests/desktop/desktop_folder.h"
#include "tests/host/test_instance.h"
#include "tests/support/data_fixture.h"
#include "ui/skin_package.h"

#include <windows.h>

#include <memory>
#include <string>

namespace zv::test {

inline constexpr wchar_t kLibraryName[] = L"zvconfigtest";  // the instance's "IMEName"
inline constexpr wchar_t kMainTitle[] = L"使用设置 - 佐文五笔";
inline constexpr DWORD kWaitMs = 20000;

inline std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

inline std::wstring systemFolder() {
    wchar_t buffer[MAX_PATH] = {};
    GetSystemDirectoryW(buffer, MAX_PATH);
    return std::wstring(buffer) + L"\\";
}

// A started config.exe.
struct Started {
    PROCESS_INFORMATION info{};
    bool ok = false;
    explicit Started(const std::wstring& arguments) {
        std::wstring line = L"\"" + folderOfThisProgram() + L"config.exe\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        ok = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
    }
    ~Started() {
        if (!ok) return;
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 3);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD exitCode(DWORD ms = kWaitMs) const {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(info.hProcess, ms) == WAIT_OBJECT_0) GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
};

inline HWND waitForDialog(const wchar_t* title, DWORD ms = kWaitMs) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        if (HWND w = FindWindowW(L"#32770", title)) return w;
        Sleep(50);
    }
    return nullptr;
}

// A control anywhere below a window (the hosted pages sit inside a page).
struct ControlSearch {
    int id;
    HWND found;
};
inline BOOL CALLBACK matchControl(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<ControlSearch*>(p);
    if (GetDlgCtrlID(w) != s->id || !IsWindowVisible(w)) return TRUE;
    s->found = w;
    return FALSE;
}
inline HWND findControl(HWND top, int id) {
    ControlSearch search{id, nullptr};
    EnumChildWindows(top, matchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline HWND waitForControl(HWND top, int id) {
    for (DWORD waited = 0; waited < kWaitMs; waited += 50) {
        if (HWND c = findControl(top, id)) return c;
        Sleep(50);
    }
    return nullptr;
}

// The instance config.exe opens: registered with its display name, its
// library in the system folder; both gone again afterwards.
class ConfigInstance {
public:
    ConfigInstance() {
        writeDesktopFolder(fx);
        ui::installSkinPackages(sourcePath("resources/skins"), fx.dir.folder());
        registry = platform::openSystemRegistry();
        const std::u16string key = instanceKey(kInstance);
        const std::u16string libraryName(kLibraryName, kLibraryName + wcslen(kLibraryName));
        registry->writeString(platform::Hive::LocalMachine, key, u"IMEName", libraryName);
        registry->writeString(platform::Hive::LocalMachine, key, u"InstallLocation", fx.dir.folder());
        registry->writeString(platform::Hive::LocalMachine, key, u"DataLocation", fx.dir.folder());
        registry->writeString(platform::Hive::LocalMachine, key, u"DisplayName", u"佐文五笔");
        library = systemFolder() + kLibraryName + L".ime";
        CopyFileW((folderOfThisProgram() + L"zorvantsf.dll").c_str(), library.c_str(), FALSE);
    }
    ~ConfigInstance() {
        registry->deleteKey(platform::Hive::LocalMachine, instanceKey(kInstance));
        DeleteFileW(library.c_str());
    }
    ConfigInstance(const ConfigInstance&) = delete;
    ConfigInstance& operator=(const ConfigInstance&) = delete;

    static std::wstring instanceArgument() { return L"/n " + wide(kInstance); }

    DataFixture fx;
    std::unique_ptr<platform::Registry> registry;
    std::wstring library;
};

}  // namespace zv::test
