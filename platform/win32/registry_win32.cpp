#include "platform/registry.h"

#include <vector>
#include <windows.h>

namespace zv::platform {

namespace {

HKEY rootOf(Hive hive) {
    switch (hive) {
    case Hive::LocalMachine: return HKEY_LOCAL_MACHINE;
    case Hive::CurrentUser: return HKEY_CURRENT_USER;
    case Hive::ClassesRoot: return HKEY_CLASSES_ROOT;
    }
    return HKEY_LOCAL_MACHINE;
}

std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

// An open registry key, closed when it goes out of scope.
class Key {
public:
    Key(Hive hive, std::u16string_view path, REGSAM access, bool create) {
        std::wstring p = wide(path);
        LONG r = create ? RegCreateKeyExW(rootOf(hive), p.c_str(), 0, nullptr, 0, access, nullptr, &key_, nullptr)
                        : RegOpenKeyExW(rootOf(hive), p.c_str(), 0, access, &key_);
        if (r != ERROR_SUCCESS) key_ = nullptr;
    }
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

class WindowsRegistry : public Registry {
public:
    bool keyExists(Hive hive, std::u16string_view key) override {
        return static_cast<bool>(Key(hive, key, KEY_READ, false));
    }
    std::optional<std::u16string> readString(Hive hive, std::u16string_view key,
                                             std::u16string_view name) override {
        Key k(hive, key, KEY_READ, false);
        if (!k) return std::nullopt;
        std::wstring n = wide(name);
        DWORD type = 0, bytes = 0;
        if (RegQueryValueExW(k.get(), n.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ) || bytes > 1 << 20)
            return std::nullopt;
        std::vector<wchar_t> buf(bytes / 2 + 2, 0);
        if (RegQueryValueExW(k.get(), n.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &bytes) !=
            ERROR_SUCCESS)
            return std::nullopt;
        std::u16string out;
        for (size_t i = 0; i < bytes / 2 && buf[i]; ++i) out.push_back(static_cast<char16_t>(buf[i]));
        return out;
    }
    std::optional<uint32_t> readDword(Hive hive, std::u16string_view key, std::u16string_view name) override {
        Key k(hive, key, KEY_READ, false);
        if (!k) return std::nullopt;
        DWORD type = 0, value = 0, bytes = sizeof value;
        if (RegQueryValueExW(k.get(), wide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                             &bytes) != ERROR_SUCCESS ||
            type != REG_DWORD)
            return std::nullopt;
        return value;
    }
    bool writeString(Hive hive, std::u16string_view key, std::u16string_view name,
                     std::u16string_view value) override {
        Key k(hive, key, KEY_WRITE, true);
        if (!k) return false;
        std::wstring v = wide(value);
        return RegSetValueExW(k.get(), wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                              static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    bool writeDword(Hive hive, std::u16string_view key, std::u16string_view name, uint32_t value) override {
        Key k(hive, key, KEY_WRITE, true);
        if (!k) return false;
        DWORD v = value;
        return RegSetValueExW(k.get(), wide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v),
                              sizeof v) == ERROR_SUCCESS;
    }
    bool deleteKey(Hive hive, std::u16string_view key) override {
        return RegDeleteTreeW(rootOf(hive), wide(key).c_str()) == ERROR_SUCCESS &&
               RegDeleteKeyW(rootOf(hive), wide(key).c_str()) == ERROR_SUCCESS;
    }
};

}  // namespace

std::string defaultRegistryFilePath() { return {}; }

std::unique_ptr<Registry> openSystemRegistry() { return std::make_unique<WindowsRegistry>(); }

}  // namespace zv::platform
