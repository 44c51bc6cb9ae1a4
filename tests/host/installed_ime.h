#pragma once
// The input method as the system loads it, for the programs that drive it
// under wine: its library (beside the program) installed as a keyboard
// layout of its own and made the thread's layout, a data folder with the
// shipped skins registered for its instance, and an application window
// whose messages go to the program's window procedure.

#include "engine/data_files.h"
#include "platform/registry.h"
#include "platform/utf.h"
#include "tests/desktop/desktop_folder.h"
#include "tests/host/test_instance.h"
#include "tests/support/data_fixture.h"
#include "ui/skin_package.h"

#include <windows.h>
#include <imm.h>

#include <cstdio>
#include <memory>
#include <string>

namespace zv::test {

constexpr wchar_t kImeFile[] = L"zorvantsf.dll";

// The input method installed as a layout of its own and made the thread's
// layout, once for the program; a data folder registered for its instance.
class InstalledIme {
public:
    explicit InstalledIme(WNDPROC applicationWindow) {
        writeDesktopFolder(fx);
        ui::installSkinPackages(sourcePath("resources/skins"), fx.dir.folder());
        registry = platform::openSystemRegistry();
        registerFolder();
        const std::wstring path = folderOfThisProgram() + kImeFile;
        layout = findInstalledLayout(path);
        if (!layout) layout = ImmInstallIMEW(path.c_str(), L"佐文五笔");
        if (layout) ActivateKeyboardLayout(layout, 0);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = applicationWindow;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZvImeApplication";
        RegisterClassW(&wc);
        window = CreateWindowW(wc.lpszClassName, L"application", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                               nullptr, wc.hInstance, nullptr);
    }
    ~InstalledIme() {
        if (window) DestroyWindow(window);
        registry->deleteKey(platform::Hive::LocalMachine, instanceKey(kInstance));
    }

    void registerFolder() {
        const std::u16string key = instanceKey(kInstance);
        registry->writeString(platform::Hive::LocalMachine, key, u"IMEName", kInstance);
        registry->writeString(platform::Hive::LocalMachine, key, u"InstallLocation", fx.dir.folder());
        registry->writeString(platform::Hive::LocalMachine, key, u"DataLocation", fx.dir.folder());
    }

    // The layout an earlier run installed for this very file (each
    // installation makes a new layout), if any.
    static HKL findInstalledLayout(const std::wstring& path) {
        HKL layouts[64];
        const int n = GetKeyboardLayoutList(64, layouts);
        for (int i = 0; i < n; ++i) {
            wchar_t file[MAX_PATH] = {};
            if (ImmGetIMEFileNameW(layouts[i], file, MAX_PATH) && _wcsicmp(file, path.c_str()) == 0) return layouts[i];
        }
        return nullptr;
    }

    DataFixture fx;
    std::unique_ptr<platform::Registry> registry;
    HKL layout = nullptr;
    HWND window = nullptr;
};

// Rewrites a data file in place: a file the input method has mapped (the
// window's own context keeps its engine open) cannot be replaced or cut.
inline void overwrite(DataFixture& fx, const std::string& name, const std::vector<uint8_t>& bytes) {
    FILE* f = _wfopen((fx.dir.path() / name).wstring().c_str(), L"r+b");
    if (!f) return;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

}  // namespace zv::test
