#pragma once
// The registry as the installer uses it: keys of a chosen view (the 32- or
// 64-bit side of a 64-bit Windows), the items of an install plan, and the
// instance key read back for repair, uninstall and the text-service switch.

#include "installer/core/install_plan.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace zv::installer::win32 {

// KEY_WOW64_32KEY or KEY_WOW64_64KEY; 0 is the program's own view.
using RegistryView = REGSAM;

// An open key, closed with the object.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey();
    RegistryKey(RegistryKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    RegistryKey& operator=(RegistryKey&&) = delete;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    static RegistryKey create(HKEY root, const std::wstring& path, RegistryView view = 0);
    static RegistryKey open(HKEY root, const std::wstring& path, RegistryView view = 0, REGSAM access = KEY_READ);

    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }
    bool write(const RegistryItem& item);
    bool writeText(const wchar_t* name, const std::wstring& value);
    std::optional<std::wstring> readText(const wchar_t* name) const;
    std::optional<DWORD> readDword(const wchar_t* name) const;
    bool deleteValue(const wchar_t* name);
    // The names of the key's values and of its subkeys (a name the system
    // reports longer than it allows is passed over).
    std::vector<std::wstring> valueNames() const;
    std::vector<std::wstring> subkeyNames() const;

private:
    explicit RegistryKey(HKEY key) : key_(key) {}
    HKEY key_ = nullptr;
};

bool writeItems(HKEY root, const std::wstring& path, const std::vector<RegistryItem>& items, RegistryView view = 0);
// Deletes a key with everything below it; true when it is gone.
bool deleteKeyTree(HKEY root, const std::wstring& path, RegistryView view = 0);
bool keyExists(HKEY root, const std::wstring& path, RegistryView view = 0);

// The instance key's values.
InstalledInstance readInstance(const std::wstring& guid);

}  // namespace zv::installer::win32
