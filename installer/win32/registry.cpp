#include "installer/win32/registry.h"

#include "installer/win32/wide.h"

namespace zv::installer::win32 {

RegistryKey::~RegistryKey() {
    if (key_) RegCloseKey(key_);
}

RegistryKey RegistryKey::create(HKEY root, const std::wstring& path, RegistryView view) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE | view, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        key = nullptr;
    return RegistryKey(key);
}

RegistryKey RegistryKey::open(HKEY root, const std::wstring& path, RegistryView view, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, access | view, &key) != ERROR_SUCCESS) key = nullptr;
    return RegistryKey(key);
}

bool RegistryKey::write(const RegistryItem& item) {
    const std::wstring name = wide(item.name);
    if (item.isDword) {
        const DWORD v = item.dword;
        return RegSetValueExW(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v) ==
               ERROR_SUCCESS;
    }
    return writeText(name.c_str(), wide(item.text));
}

bool RegistryKey::writeText(const wchar_t* name, const std::wstring& value) {
    return RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::optional<std::wstring> RegistryKey::readText(const wchar_t* name) const {
    if (!key_) return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    // A value is bounded; a larger one is not ours.
    constexpr DWORD kMostBytes = 8192;
    if (size > kMostBytes) return std::nullopt;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &got) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(got / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

std::optional<DWORD> RegistryKey::readDword(const wchar_t* name) const {
    if (!key_) return std::nullopt;
    DWORD type = 0, v = 0, size = sizeof v;
    if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&v), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return v;
}

bool RegistryKey::deleteValue(const wchar_t* name) { return RegDeleteValueW(key_, name) == ERROR_SUCCESS; }

namespace {
// The longest names the registry allows, in characters with the closing 0.
constexpr DWORD kValueNameUnits = 16384;
constexpr DWORD kKeyNameUnits = 256;

// Names by index until the list ends; a name that does not fit is skipped.
template <class Enumerate>
std::vector<std::wstring> namesOf(HKEY key, DWORD units, Enumerate enumerate) {
    std::vector<std::wstring> names;
    if (!key) return names;
    std::vector<wchar_t> name(units);
    for (DWORD i = 0;; ++i) {
        DWORD length = units;
        const LONG r = enumerate(i, name.data(), &length);
        if (r == ERROR_SUCCESS)
            names.emplace_back(name.data(), length);
        else if (r != ERROR_MORE_DATA)
            break;
    }
    return names;
}
}  // namespace

std::vector<std::wstring> RegistryKey::valueNames() const {
    return namesOf(key_, kValueNameUnits, [this](DWORD i, wchar_t* name, DWORD* length) {
        return RegEnumValueW(key_, i, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

std::vector<std::wstring> RegistryKey::subkeyNames() const {
    return namesOf(key_, kKeyNameUnits, [this](DWORD i, wchar_t* name, DWORD* length) {
        return RegEnumKeyExW(key_, i, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

bool writeItems(HKEY root, const std::wstring& path, const std::vector<RegistryItem>& items, RegistryView view) {
    RegistryKey key = RegistryKey::create(root, path, view);
    if (!key) return false;
    bool ok = true;
    for (const RegistryItem& item : items) ok = key.write(item) && ok;
    return ok;
}

bool deleteKeyTree(HKEY root, const std::wstring& path, RegistryView view) {
    if (!keyExists(root, path, view)) return true;
    {
        RegistryKey key = RegistryKey::open(root, path, view, KEY_ALL_ACCESS);
        if (key) RegDeleteTreeW(key.get(), nullptr);
    }
    RegDeleteKeyExW(root, path.c_str(), view, 0);
    return !keyExists(root, path, view);
}

bool keyExists(HKEY root, const std::wstring& path, RegistryView view) {
    return static_cast<bool>(RegistryKey::open(root, path, view));
}

InstalledInstance readInstance(const std::wstring& guid) {
    InstalledInstance i;
    i.guid = utf16(guid);
    RegistryKey key = RegistryKey::open(HKEY_LOCAL_MACHINE, wide(instanceKeyFor(utf16(guid))));
    if (!key) return i;
    auto text = [&](const wchar_t* name) { return utf16(key.readText(name).value_or(L"")); };
    i.installDir = text(L"InstallLocation");
    i.dataDir = text(L"DataLocation");
    i.imeName = text(L"IMEName");
    i.displayName = text(L"DisplayName");
    i.version = text(L"DisplayVersion");
    i.updateUrl = text(L"URLUpdateInfo");
    i.languageName = text(L"LanguageName");
    const DWORD language = key.readDword(L"LANGID").value_or(DefaultLanguage);
    i.language = language > 0 && language <= 0xFFFF ? static_cast<uint16_t>(language) : DefaultLanguage;
    if (!i.installDir.empty()) i.installDir = withBackslash(i.installDir);
    if (!i.dataDir.empty()) i.dataDir = withBackslash(i.dataDir);
    return i;
}

}  // namespace zv::installer::win32
