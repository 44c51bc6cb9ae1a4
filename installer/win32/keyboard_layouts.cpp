#include "installer/win32/keyboard_layouts.h"

#include "installer/core/keyboard_layouts.h"
#include "installer/win32/registry.h"
#include "installer/win32/wide.h"

#include <imm.h>

#include <cwchar>

namespace zv::installer::win32 {

namespace {

constexpr const wchar_t* kLayoutRoots[] = {
    L"SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts",
    L"SYSTEM\\ControlSet001\\Control\\Keyboard Layouts",
};
constexpr wchar_t kPreloadChanged[] = L"HKEY_CURRENT_USER\\Keyboard Layout\\Preload";
// Each try waits this long for every window; a hung one is skipped.
constexpr UINT kBroadcastTimeoutMs = 100;
constexpr int kBroadcastTries = 5;
constexpr int kMostLoadedLayouts = 256;

// The text values of a list key; longer values are not layout names.
std::vector<NamedText> textValuesOf(HKEY key) {
    std::vector<NamedText> out;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256], data[64] = {};
        DWORD nameSize = 256, dataSize = sizeof data - sizeof(wchar_t), type = 0;
        const LONG r = RegEnumValueW(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS || type != REG_SZ) continue;
        data[dataSize / sizeof(wchar_t)] = 0;
        out.push_back({utf16(std::wstring(name, nameSize)), utf16(data)});
    }
    return out;
}

// One user's "Keyboard Layout" lists cleaned of the layouts.
bool cleanUserLists(HKEY user, const std::wstring& prefix, const std::vector<std::u16string>& layouts) {
    RegistryKey preload = RegistryKey::open(user, prefix + L"Keyboard Layout\\Preload", 0, KEY_READ | KEY_SET_VALUE);
    RegistryKey substitutes =
        RegistryKey::open(user, prefix + L"Keyboard Layout\\Substitutes", 0, KEY_READ | KEY_SET_VALUE);
    const std::vector<NamedText> standIns = substitutes ? textValuesOf(substitutes.get()) : std::vector<NamedText>{};
    bool changed = false;
    if (preload)
        for (const std::u16string& name : preloadToRemove(textValuesOf(preload.get()), standIns, layouts))
            changed = preload.deleteValue(wide(name).c_str()) || changed;
    if (substitutes)
        for (const std::u16string& name : substitutesToRemove(standIns, layouts))
            changed = substitutes.deleteValue(wide(name).c_str()) || changed;
    return changed;
}

std::vector<HKL> loadedLayouts() {
    HKL list[kMostLoadedLayouts];
    const int n = GetKeyboardLayoutList(kMostLoadedLayouts, list);
    return std::vector<HKL>(list, list + (n > 0 ? n : 0));
}

std::wstring fileOfLoaded(HKL layout) {
    wchar_t file[MAX_PATH] = {};
    const UINT n = ImmGetIMEFileNameW(layout, file, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(file, n) : std::wstring();
}

std::wstring textOf(HKL layout) {
    return wide(layoutText(static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(layout))));
}

}  // namespace

HKL layoutHandle(const std::wstring& layout) {
    return reinterpret_cast<HKL>(static_cast<UINT_PTR>(std::wcstoul(layout.c_str(), nullptr, 16)));
}

std::vector<std::wstring> layoutsOf(const std::wstring& imeFile) {
    // Without a name before ".ime" no file is named.
    constexpr size_t kExtensionUnits = 4;
    if (imeFile.size() <= kExtensionUnits) return {};
    std::vector<std::u16string> found;
    auto add = [&](const std::wstring& layout) {
        if (!isOneOf(utf16(layout), found)) found.push_back(utf16(layout));
    };
    for (const wchar_t* root : kLayoutRoots) {
        RegistryKey layouts = RegistryKey::open(HKEY_LOCAL_MACHINE, root);
        if (!layouts) continue;
        for (const std::wstring& name : layouts.subkeyNames()) {
            RegistryKey layout = RegistryKey::open(layouts.get(), name);
            const auto file = layout.readText(L"Ime File");
            if (file && namesImeFile(utf16(*file), utf16(imeFile))) add(name);
        }
    }
    for (HKL loaded : loadedLayouts())
        if (namesImeFile(utf16(fileOfLoaded(loaded)), utf16(imeFile))) add(textOf(loaded));
    std::vector<std::wstring> out;
    for (const std::u16string& l : found) out.push_back(wide(l));
    return out;
}

bool removeKeyboardLayouts(const std::wstring& imeFile) {
    const std::vector<std::wstring> found = layoutsOf(imeFile);
    if (found.empty()) return false;
    std::vector<std::u16string> layouts;
    for (const std::wstring& l : found) layouts.push_back(utf16(l));
    // The current user's lists, then those of every user whose hive is loaded.
    cleanUserLists(HKEY_CURRENT_USER, L"", layouts);
    if (RegistryKey users = RegistryKey::open(HKEY_USERS, L""))
        for (const std::wstring& sid : users.subkeyNames()) cleanUserLists(HKEY_USERS, sid + L"\\", layouts);
    for (const wchar_t* root : kLayoutRoots)
        for (const std::wstring& layout : found) deleteKeyTree(HKEY_LOCAL_MACHINE, std::wstring(root) + L"\\" + layout);
    for (HKL loaded : loadedLayouts())
        if (isOneOf(utf16(textOf(loaded)), layouts)) UnloadKeyboardLayout(loaded);
    for (int i = 0; i < kBroadcastTries; ++i) {
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(kPreloadChanged),
                                SMTO_ABORTIFHUNG, kBroadcastTimeoutMs, &answer))
            break;
    }
    return true;
}

HKL installKeyboardLayout(const std::wstring& imePath, const std::wstring& layoutText) {
    return ImmInstallIMEW(imePath.c_str(), layoutText.c_str());
}

}  // namespace zv::installer::win32
