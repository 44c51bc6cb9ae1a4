// installer.exe's registration with the system under wine: the classic
// layout before Windows 8 and the text service everywhere, each removed
// and registered afresh so that nothing is there twice; the style switch
// that keeps the classic layout; the traditional style on Windows 8 and
// later; a framework that cannot be reached; and an install followed by
// an uninstall that leaves the registry and the disks as they were.

#include "engine/config_store.h"
#include "host/imm/ime_api.h"
#include "installer/core/package_image.h"
#include "tests/installer/installer_driver.h"
#include "ui/skin_package.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <imm.h>

#include <set>
#include <string>
#include <vector>

namespace {

using namespace zv::installer_test;

constexpr wchar_t kImeFile[] = L"VoraZerevo86.ime";
constexpr wchar_t kLayouts[] = L"SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";
constexpr wchar_t kProfileKey[] =
    L"Software\\Microsoft\\CTF\\TIP\\{6F3A8E21-5C4B-4D97-A1E0-2B7C9D4F8A63}\\LanguageProfile\\0x00000804\\"
    L"{6F3A8E21-5C4B-4D97-A1E0-2B7C9D4F8A63}";
constexpr wchar_t kImmersiveSupport[] = L"{13A016DF-560B-46CD-947A-4C3AF1E0E35D}";
constexpr wchar_t kSystraySupport[] = L"{25504FB4-7BAB-4BC1-9C69-CF81890F0EF5}";
constexpr wchar_t kSecureMode[] = L"{49D2F9CE-1F5E-11D7-A6D3-00065B84435C}";
constexpr wchar_t kComless[] = L"{364215D9-75BC-11D7-A6EF-00065B84435C}";
constexpr wchar_t kTipKeyboard[] = L"{34745C63-B2F0-4784-8B67-5E12C8701A31}";
constexpr wchar_t kPreload[] = L"Keyboard Layout\\Preload";
constexpr wchar_t kSubstitutes[] = L"Keyboard Layout\\Substitutes";
constexpr wchar_t kComFailure[] = L"COM初始化错误，操作无法继续";

std::wstring userText(const wchar_t* path, const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    wchar_t buffer[256] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t), type = 0;
    const LONG r = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS && type == REG_SZ ? std::wstring(buffer) : std::wstring();
}

void setUserText(const wchar_t* path, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void deleteUserValue(const wchar_t* path, const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, name);
    RegCloseKey(key);
}

// A setting of wine's for the installer alone (the package as it is
// started, and its copies named installer.exe), taken back with the object.
class InstallerSetting {
public:
    InstallerSetting(const wchar_t* key, const wchar_t* name, const wchar_t* value) : key_(key), name_(name) {
        for (const wchar_t* program : kPrograms) setUserText(keyOf(program).c_str(), name_.c_str(), value);
    }
    ~InstallerSetting() {
        for (const wchar_t* program : kPrograms) {
            deleteUserValue(keyOf(program).c_str(), name_.c_str());
            RegDeleteKeyW(HKEY_CURRENT_USER, keyOf(program).c_str());
            RegDeleteKeyW(HKEY_CURRENT_USER, (std::wstring(L"Software\\Wine\\AppDefaults\\") + program).c_str());
        }
    }

private:
    static constexpr const wchar_t* kPrograms[] = {L"installer.exe", L"zorvan-setup-test.exe", L"traditional.exe"};
    std::wstring keyOf(const wchar_t* program) const {
        return std::wstring(L"Software\\Wine\\AppDefaults\\") + program + key_;
    }
    std::wstring key_, name_;
};

// The layouts whose input-method file is ours.
std::vector<std::wstring> ourLayouts() {
    std::vector<std::wstring> out;
    HKEY root = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kLayouts, 0, KEY_READ, &root) != ERROR_SUCCESS) return out;
    wchar_t name[64];
    for (DWORD i = 0;; ++i) {
        DWORD size = 64;
        if (RegEnumKeyExW(root, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        const std::wstring file = lowered(readText(std::wstring(kLayouts) + L"\\" + name, L"Ime File"));
        const std::wstring ours = lowered(kImeFile);
        if (file.size() >= ours.size() && file.compare(file.size() - ours.size(), ours.size(), ours) == 0)
            out.push_back(name);
    }
    RegCloseKey(root);
    return out;
}

// The user's choice of the profile: 1 on, 0 off, -1 not registered.
int profileState() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kProfileKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    DWORD value = 0, size = sizeof value, type = 0;
    const LONG r = RegQueryValueExW(key, L"Enable", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS ? static_cast<int>(value) : -1;
}

bool categoryRegistered(const wchar_t* category) {
    return keyExists((std::wstring(kTipKey) + L"\\Category\\Category\\" + category).c_str());
}

// The composition-window style of the installed config.dsc.
uint32_t installedStyle() {
    std::vector<uint8_t> config = readAll(readText(kInstanceKey, L"DataLocation") + L"config.dsc");
    const zv::SettingsBlocks blocks = zv::findBlocks(config.data(), static_cast<uint32_t>(config.size()));
    return blocks.ime ? blocks.ime.a() & zv::ImeSettings::A_StyleMask : 0xFFFFFFFFu;
}

// The package with its config.dsc set to the traditional style.
std::wstring traditionalPackage() {
    const std::vector<uint8_t> good = readAll(package());
    const auto parts = zv::installer::splitPackage(good);
    if (!parts) return {};
    std::vector<zv::ui::ZipEntry> entries = zv::ui::readZip(parts->archive);
    for (zv::ui::ZipEntry& e : entries) {
        if (lowered(std::wstring(e.name.begin(), e.name.end())).find(L"config.dsc") == std::wstring::npos) continue;
        zv::SettingsBlocks blocks = zv::findBlocks(e.data.data(), static_cast<uint32_t>(e.data.size()));
        if (blocks.ime)
            blocks.ime.setU32(zv::ImeSettings::OptionA, blocks.ime.a() & ~uint32_t(zv::ImeSettings::A_StyleMask));
    }
    std::vector<uint8_t> bytes(parts->program.begin(), parts->program.end());
    const std::vector<uint8_t> zip = zv::ui::writeZip(entries, true);
    bytes.insert(bytes.end(), zip.begin(), zip.end());
    return variant(L"traditional.exe", bytes);
}

Answered install(const std::wstring& program) {
    return drive(program, L"", [] { return true; });
}

std::wstring workingFolderPath() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    return std::wstring(temp) + L"$zorvanInstaller$";
}

Answered uninstall() {
    const Answered a = drive(installDir() + L"installer.exe", std::wstring(L"/n ") + kGuid + L" /u",
                             [] { return !keyExists(kUninstallKey) && !keyExists(kInstanceKey); });
    // The temporary copy's folder goes once the copy has ended.
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring work = std::wstring(temp) + L"$zorvanInstaller$";
    for (int i = 0; i < 100 && exists(work); ++i) Sleep(100);
    return a;
}

void switchStyle(int mode) {
    drive(installDir() + L"installer.exe", std::wstring(L"/GUID=") + kGuid + L" /EMMODE=" + std::to_wstring(mode),
          [] { return true; });
}

TEST(InstallerSystem, OnWindows10TheTraditionalStyleIsInstalledEmbeddedWithItsProfileOn) {
    const std::wstring traditional = traditionalPackage();
    ASSERT_FALSE(traditional.empty());
    // Wine 8 reports Windows 7 unless told otherwise.
    const InstallerSetting windows10(L"", L"Version", L"win10");
    install(traditional);
    ASSERT_TRUE(keyExists(kInstanceKey));
    EXPECT_EQ(uint32_t(zv::ImeSettings::A_StyleEmbedCode), installedStyle());
    EXPECT_EQ(1, profileState());
    EXPECT_TRUE(ourLayouts().empty()) << "no classic layout on Windows 8 and later";
    for (const wchar_t* c : {kTipKeyboard, kSecureMode, kComless, kImmersiveSupport}) EXPECT_TRUE(categoryRegistered(c)) << c;
    EXPECT_FALSE(categoryRegistered(kSystraySupport));
    uninstall();
    EXPECT_FALSE(keyExists(kTipKey));
    EXPECT_EQ(-1, profileState());
}

TEST(InstallerSystem, BeforeWindows8TheClassicLayoutIsRegisteredOnceAndLeavesWithEveryTrace) {
    const std::wstring traditional = traditionalPackage();
    ASSERT_FALSE(traditional.empty());
    const InstallerSetting windows7(L"", L"Version", L"win7");
    // A keyboard of the user's own in the list, which must stay.
    setUserText(kPreload, L"90", L"00000409");
    install(traditional);
    ASSERT_TRUE(keyExists(kInstanceKey));
    std::vector<std::wstring> layouts = ourLayouts();
    ASSERT_EQ(1u, layouts.size());
    // The traditional style stays, and the profile is registered but off.
    EXPECT_EQ(0u, installedStyle());
    EXPECT_EQ(0, profileState());
    EXPECT_FALSE(categoryRegistered(kImmersiveSupport));
    EXPECT_TRUE(categoryRegistered(kTipKeyboard));

    // The system lists the layout for the user, directly and through a
    // substitute; a repair registers afresh and nothing is there twice.
    setUserText(kPreload, L"91", layouts[0]);
    setUserText(kSubstitutes, L"d0ff0804", layouts[0]);
    setUserText(kPreload, L"92", L"d0ff0804");
    // The repair runs in a copy of its own: done once the file it restores is back.
    DeleteFileW((installDir() + L"config.exe").c_str());
    drive(installDir() + L"installer.exe", std::wstring(L"/n ") + kGuid + L" /r",
          [] { return exists(installDir() + L"config.exe"); });
    EXPECT_EQ(1u, ourLayouts().size());
    EXPECT_EQ(L"", userText(kPreload, L"91"));
    EXPECT_EQ(L"", userText(kPreload, L"92"));
    EXPECT_EQ(L"", userText(kSubstitutes, L"d0ff0804"));
    EXPECT_EQ(L"00000409", userText(kPreload, L"90"));
    EXPECT_TRUE(keyExists(kTipKey));

    // The switch to the classic style takes the text service away and
    // keeps the classic layout; back, and again, there is one of each.
    layouts = ourLayouts();
    switchStyle(0);
    EXPECT_FALSE(keyExists(kTipKey));
    EXPECT_FALSE(keyExists(kClassKey));
    EXPECT_EQ(layouts, ourLayouts());
    switchStyle(1);
    switchStyle(1);
    EXPECT_TRUE(keyExists(kTipKey));
    EXPECT_EQ(1, profileState());
    EXPECT_EQ(layouts, ourLayouts());

    uninstall();
    EXPECT_TRUE(ourLayouts().empty());
    EXPECT_FALSE(keyExists(kTipKey));
    EXPECT_EQ(L"00000409", userText(kPreload, L"90"));
    deleteUserValue(kPreload, L"90");
}

TEST(InstallerSystem, AFrameworkThatCannotBeReachedStopsTheInstallWithItsMessage) {
    {
        const InstallerSetting noFramework(L"\\DllOverrides", L"msctf", L"");
        const Answered a = install(package());
        EXPECT_TRUE(a.logged({L"  2.设置软件运行环境...", kComFailure}))
            << (a.logs.empty() ? std::wstring(L"no log") : a.logs.back()).size();
        EXPECT_FALSE(keyExists(kTipKey));
        EXPECT_FALSE(keyExists(kUninstallKey)) << "the steps after it do not run";
    }
    uninstall();
    EXPECT_FALSE(keyExists(kInstanceKey));
}

// Every key and value name below a root, and every file of a folder tree.
void collectKeys(HKEY root, const std::wstring& path, std::set<std::wstring>& out) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return;
    out.insert(path);
    std::vector<std::wstring> children;
    wchar_t name[16384];
    for (DWORD i = 0;; ++i) {
        DWORD size = 16384;
        if (RegEnumValueW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        out.insert(path + L" : " + std::wstring(name, size));
    }
    for (DWORD i = 0;; ++i) {
        DWORD size = 16384;
        if (RegEnumKeyExW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.emplace_back(name, size);
    }
    RegCloseKey(key);
    for (const std::wstring& c : children) collectKeys(root, path.empty() ? c : path + L"\\" + c, out);
}

void collectFiles(const std::wstring& folder, std::set<std::wstring>& out) {
    WIN32_FIND_DATAW f;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &f);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = f.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        out.insert(lowered(path));
        if ((f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(f.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            collectFiles(path, out);
    } while (FindNextFileW(h, &f));
    FindClose(h);
}

std::set<std::wstring> snapshot() {
    std::set<std::wstring> all;
    std::set<std::wstring> keys;
    collectKeys(HKEY_LOCAL_MACHINE, L"", keys);
    for (const std::wstring& k : keys) all.insert(L"HKLM\\" + k);
    keys.clear();
    collectKeys(HKEY_USERS, L"", keys);
    for (const std::wstring& k : keys) all.insert(L"HKU\\" + k);
    void* redirection = nullptr;
    const bool off = Wow64DisableWow64FsRedirection(&redirection);
    collectFiles(L"C:", all);
    if (off) Wow64RevertWow64FsRedirection(redirection);
    return all;
}

TEST(InstallerSystem, InstallAndUninstallLeaveTheRegistryAndTheDisksAsTheyWere) {
    CoInitialize(nullptr);
    const InstallerSetting windows7(L"", L"Version", L"win7");
    const std::set<std::wstring> before = snapshot();
    install(package());
    ASSERT_TRUE(keyExists(kInstanceKey));
    // The snapshot sees what the install wrote: the instance key, the
    // classic layout, the system folder's library.
    const std::set<std::wstring> during = snapshot();
    size_t added = 0;
    for (const std::wstring& entry : during) {
        const std::wstring e = lowered(entry);
        if (!before.count(entry) && (e.find(L"zorvanime3") != std::wstring::npos ||
                                     e.find(L"keyboard layouts\\e0") != std::wstring::npos ||
                                     e.find(L"system32\\vorazerevo86.ime") != std::wstring::npos))
            ++added;
    }
    EXPECT_GE(added, 3u);
    switchStyle(0);
    switchStyle(1);
    uninstall();
    const std::set<std::wstring> after = snapshot();
    std::vector<std::wstring> left;
    for (const std::wstring& entry : after)
        if (!before.count(entry) && lowered(entry).find(L"\\software\\wine\\appdefaults") == std::wstring::npos)
            left.push_back(entry);
    for (const std::wstring& entry : left) ADD_FAILURE() << "left behind: " << std::string(entry.begin(), entry.end());
    CoUninitialize();
}

// An application's edit control, typed into through the layout the
// installer registered: the system loads the installed library for it,
// and each key goes to that library the way imm32 hands it on. It runs in
// a process of its own (this program, started again with kTypingRun), so
// that the installed library can leave with that process.
LRESULT CALLBACK plainWindow(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

constexpr wchar_t kTypingRun[] = L"--type-into-an-edit-control";
// Set by the application once it has typed (and still holds the library);
// set by the test when the application may end.
constexpr wchar_t kTypedEvent[] = L"Local\\ZvInstalledLayoutTyped";
constexpr wchar_t kEndEvent[] = L"Local\\ZvInstalledLayoutMayEnd";

TEST(InstalledApplication, TypesIntoAnEditControl) {
    if (!wcsstr(GetCommandLineW(), kTypingRun)) GTEST_SKIP() << "only as the application of the walkthrough";
    const std::vector<std::wstring> layouts = ourLayouts();
    ASSERT_EQ(1u, layouts.size());
    const HKL layout = reinterpret_cast<HKL>(static_cast<UINT_PTR>(wcstoul(layouts[0].c_str(), nullptr, 16)));
    WNDCLASSW wc = {};
    wc.lpfnWndProc = plainWindow;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZvInstalledApplication";
    RegisterClassW(&wc);
    HWND frame = CreateWindowW(wc.lpszClassName, L"application", WS_OVERLAPPEDWINDOW, 0, 0, 300, 120, nullptr,
                               nullptr, wc.hInstance, nullptr);
    ASSERT_NE(nullptr, frame) << "no window (is there a display?)";
    // The layout first, then the focus: the context is set active for it.
    ActivateKeyboardLayout(layout, 0);
    HWND edit = CreateWindowW(L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 280, 24, frame, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(nullptr, edit);
    SetFocus(edit);
    HMODULE ime = GetModuleHandleW(kImeFile);
    ASSERT_NE(nullptr, ime) << "the system did not load the installed library";
    using ProcessKeyFn = BOOL(WINAPI*)(HIMC, UINT, LPARAM, const BYTE*);
    using ToAsciiExFn = UINT(WINAPI*)(UINT, UINT, const BYTE*, TRANSMSGLIST*, UINT, HIMC);
    auto processKey = reinterpret_cast<ProcessKeyFn>(reinterpret_cast<void*>(GetProcAddress(ime, "ImeProcessKey")));
    auto toAscii = reinterpret_cast<ToAsciiExFn>(reinterpret_cast<void*>(GetProcAddress(ime, "ImeToAsciiEx")));
    ASSERT_TRUE(processKey && toAscii);
    const HIMC himc = ImmGetContext(edit);
    ASSERT_NE(nullptr, himc);
    ImmSetOpenStatus(himc, TRUE);
    for (char c : std::string("ggll ")) {
        const UINT vk = c == ' ' ? VK_SPACE : static_cast<UINT>(c - 'a' + 'A');
        BYTE state[256] = {};
        state[vk] = 0x80;
        const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
        const LPARAM data = 1 | (static_cast<LPARAM>(scan) << 16);
        if (processKey(himc, vk, data, state)) toAscii(vk, scan, state, nullptr, 0, himc);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    wchar_t text[64] = {};
    GetWindowTextW(edit, text, 64);
    EXPECT_EQ(std::wstring(L"一"), std::wstring(text).substr(0, 1)) << std::wstring(text).size();
    ImmReleaseContext(edit, himc);
    // The library stays loaded while the test tries to uninstall.
    HANDLE typed = OpenEventW(EVENT_MODIFY_STATE, FALSE, kTypedEvent);
    HANDLE mayEnd = OpenEventW(SYNCHRONIZE, FALSE, kEndEvent);
    ASSERT_TRUE(typed && mayEnd);
    SetEvent(typed);
    WaitForSingleObject(mayEnd, kWaitMs);
    CloseHandle(typed);
    CloseHandle(mayEnd);
    DestroyWindow(frame);
}

TEST(InstallerSystem, TheInstalledLayoutTypesIntoAnEditControlAndLeavesWithTheApplication) {
    const InstallerSetting windows7(L"", L"Version", L"win7");
    install(package());
    ASSERT_TRUE(keyExists(kInstanceKey));
    HANDLE typed = CreateEventW(nullptr, TRUE, FALSE, kTypedEvent);
    HANDLE mayEnd = CreateEventW(nullptr, TRUE, FALSE, kEndEvent);
    ASSERT_TRUE(typed && mayEnd);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\" --gtest_filter=InstalledApplication.* " + kTypingRun;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION application{};
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &application));
    CloseHandle(application.hThread);
    const HANDLE either[2] = {typed, application.hProcess};
    const bool holding = WaitForMultipleObjects(2, either, FALSE, kWaitMs) == WAIT_OBJECT_0;
    EXPECT_TRUE(holding) << "the application ended or hung before it had typed";
    if (holding) {
        // The application has the library loaded: the uninstall stops
        // before its steps and says why.
        Answers loaded;
        loaded.closeIfTurnedBack = true;
        const Answered refused = drive(installDir() + L"installer.exe", std::wstring(L"/n ") + kGuid + L" /u",
                                       [] { return !exists(workingFolderPath()); }, loaded);
        EXPECT_TRUE(
            refused.saw(L"提示信息|由于存在载入输入法的进程，卸载操作无法继续。请重新启动计算机后重新运行卸载程序。"));
        EXPECT_TRUE(keyExists(kInstanceKey));
    }
    SetEvent(mayEnd);
    if (WaitForSingleObject(application.hProcess, kWaitMs) != WAIT_OBJECT_0) TerminateProcess(application.hProcess, 9);
    DWORD code = 9;
    GetExitCodeProcess(application.hProcess, &code);
    EXPECT_EQ(0u, code) << "the application's typing failed";
    CloseHandle(application.hProcess);
    CloseHandle(typed);
    CloseHandle(mayEnd);
    // With the application gone, the uninstall takes the library too.
    uninstall();
    EXPECT_FALSE(keyExists(kInstanceKey));
    EXPECT_TRUE(ourLayouts().empty());
    EXPECT_FALSE(exists(systemFolder(true) + kImeFile));
    EXPECT_FALSE(exists(systemFolder(false) + kImeFile));
}

}  // namespace
