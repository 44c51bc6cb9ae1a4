#pragma once
// Keys and values the installer writes and the engine reads. Windows uses the
// real registry; other systems keep the same keys in a text file; tools and
// tests may use an in-memory store.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zv::platform {

enum class Hive { LocalMachine, CurrentUser, ClassesRoot };

class Registry {
public:
    virtual ~Registry() = default;
    virtual bool keyExists(Hive hive, std::u16string_view key) = 0;
    virtual std::optional<std::u16string> readString(Hive hive, std::u16string_view key,
                                                     std::u16string_view name) = 0;
    virtual std::optional<uint32_t> readDword(Hive hive, std::u16string_view key,
                                              std::u16string_view name) = 0;
    virtual bool writeString(Hive hive, std::u16string_view key, std::u16string_view name,
                             std::u16string_view value) = 0;
    virtual bool writeDword(Hive hive, std::u16string_view key, std::u16string_view name,
                            uint32_t value) = 0;
    // Deletes the key with all its subkeys.
    virtual bool deleteKey(Hive hive, std::u16string_view key) = 0;
};

// One registry value as the portable stores keep it.
struct RegistryValue {
    bool isDword = false;
    uint32_t dword = 0;
    std::u16string text;
};

// Registry names compare without regard to ASCII case, as on Windows.
struct RegistryNameLess {
    bool operator()(const std::u16string& a, const std::u16string& b) const;
};
using RegistryValues = std::map<std::u16string, RegistryValue, RegistryNameLess>;
// Key path (hive name, backslash, key) -> values.
using RegistryKeys = std::map<std::u16string, RegistryValues, RegistryNameLess>;

class MemoryRegistry : public Registry {
public:
    bool keyExists(Hive hive, std::u16string_view key) override;
    std::optional<std::u16string> readString(Hive hive, std::u16string_view key,
                                             std::u16string_view name) override;
    std::optional<uint32_t> readDword(Hive hive, std::u16string_view key,
                                      std::u16string_view name) override;
    bool writeString(Hive hive, std::u16string_view key, std::u16string_view name,
                     std::u16string_view value) override;
    bool writeDword(Hive hive, std::u16string_view key, std::u16string_view name,
                    uint32_t value) override;
    bool deleteKey(Hive hive, std::u16string_view key) override;

    RegistryKeys& keys() { return keys_; }

protected:
    // Hooks for the file store: reload before reading, save after writing.
    virtual void load() {}
    virtual bool save() { return true; }

    RegistryKeys keys_;
};

// The POSIX store: "[HIVE\key path]" sections with "name=value" lines,
// REG_DWORD values written as "dword:XXXXXXXX". Read on every access so that
// a registration made by another process is seen at once.
class FileRegistry : public MemoryRegistry {
public:
    explicit FileRegistry(std::string path) : path_(std::move(path)) {}
    const std::string& path() const { return path_; }

protected:
    void load() override;
    bool save() override;

private:
    std::string path_;
};

std::u16string registryKeyPath(Hive hive, std::u16string_view key);
std::string formatRegistryFile(const RegistryKeys& keys);
RegistryKeys parseRegistryFile(std::string_view text);

// The registry of this system: the real one on Windows; elsewhere the file
// named by $ZORVAN_REGISTRY, else $XDG_CONFIG_HOME/zorvan/registry.ini, else
// ~/.config/zorvan/registry.ini.
std::unique_ptr<Registry> openSystemRegistry();
std::string defaultRegistryFilePath();

}  // namespace zv::platform
