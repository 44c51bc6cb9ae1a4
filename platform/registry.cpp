#include "platform/registry.h"
#include "platform/utf.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace zv::platform {

namespace {
char16_t lowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

std::u16string_view hiveName(Hive hive) {
    switch (hive) {
    case Hive::LocalMachine: return u"HKEY_LOCAL_MACHINE";
    case Hive::CurrentUser: return u"HKEY_CURRENT_USER";
    case Hive::ClassesRoot: return u"HKEY_CLASSES_ROOT";
    }
    return u"HKEY_LOCAL_MACHINE";
}

bool startsWithKey(const std::u16string& path, const std::u16string& prefix) {
    if (path.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (lowerAscii(path[i]) != lowerAscii(prefix[i])) return false;
    return path.size() == prefix.size() || path[prefix.size()] == u'\\';
}
}  // namespace

bool RegistryNameLess::operator()(const std::u16string& a, const std::u16string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char16_t x, char16_t y) { return lowerAscii(x) < lowerAscii(y); });
}

std::u16string registryKeyPath(Hive hive, std::u16string_view key) {
    std::u16string path(hiveName(hive));
    while (!key.empty() && key.front() == u'\\') key.remove_prefix(1);
    while (!key.empty() && key.back() == u'\\') key.remove_suffix(1);
    if (!key.empty()) {
        path += u'\\';
        path += key;
    }
    return path;
}

bool MemoryRegistry::keyExists(Hive hive, std::u16string_view key) {
    load();
    std::u16string path = registryKeyPath(hive, key);
    for (auto& [k, v] : keys_)
        if (startsWithKey(k, path)) return true;
    return false;
}

std::optional<std::u16string> MemoryRegistry::readString(Hive hive, std::u16string_view key,
                                                         std::u16string_view name) {
    load();
    auto k = keys_.find(registryKeyPath(hive, key));
    if (k == keys_.end()) return std::nullopt;
    auto v = k->second.find(std::u16string(name));
    if (v == k->second.end() || v->second.isDword) return std::nullopt;
    return v->second.text;
}

std::optional<uint32_t> MemoryRegistry::readDword(Hive hive, std::u16string_view key,
                                                  std::u16string_view name) {
    load();
    auto k = keys_.find(registryKeyPath(hive, key));
    if (k == keys_.end()) return std::nullopt;
    auto v = k->second.find(std::u16string(name));
    if (v == k->second.end() || !v->second.isDword) return std::nullopt;
    return v->second.dword;
}

bool MemoryRegistry::writeString(Hive hive, std::u16string_view key, std::u16string_view name,
                                 std::u16string_view value) {
    // The file store keeps one value per line.
    if (value.find_first_of(u"\r\n") != std::u16string_view::npos ||
        name.find_first_of(u"=\r\n") != std::u16string_view::npos)
        return false;
    load();
    RegistryValue v;
    v.text.assign(value);
    keys_[registryKeyPath(hive, key)][std::u16string(name)] = v;
    return save();
}

bool MemoryRegistry::writeDword(Hive hive, std::u16string_view key, std::u16string_view name,
                                uint32_t value) {
    if (name.find_first_of(u"=\r\n") != std::u16string_view::npos) return false;
    load();
    RegistryValue v;
    v.isDword = true;
    v.dword = value;
    keys_[registryKeyPath(hive, key)][std::u16string(name)] = v;
    return save();
}

bool MemoryRegistry::deleteKey(Hive hive, std::u16string_view key) {
    load();
    std::u16string path = registryKeyPath(hive, key);
    bool any = false;
    for (auto it = keys_.begin(); it != keys_.end();) {
        if (startsWithKey(it->first, path)) {
            it = keys_.erase(it);
            any = true;
        } else {
            ++it;
        }
    }
    return any && save();
}

std::string formatRegistryFile(const RegistryKeys& keys) {
    std::string out;
    for (auto& [path, values] : keys) {
        out += '[';
        out += utf16ToUtf8(path);
        out += "]\n";
        for (auto& [name, v] : values) {
            out += utf16ToUtf8(name) + "=";
            if (v.isDword) {
                char buf[24];
                std::snprintf(buf, sizeof buf, "dword:%08X", v.dword);
                out += buf;
            } else {
                out += utf16ToUtf8(v.text);
            }
            out += "\n";
        }
        out += "\n";
    }
    return out;
}

RegistryKeys parseRegistryFile(std::string_view text) {
    RegistryKeys keys;
    RegistryValues* current = nullptr;
    while (!text.empty()) {
        size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            current = &keys[utf8ToUtf16(line.substr(1, line.size() - 2))];
            continue;
        }
        size_t eq = line.find('=');
        if (!current || eq == std::string_view::npos) continue;
        RegistryValue v;
        std::string_view value = line.substr(eq + 1);
        if (value.substr(0, 6) == "dword:") {
            std::string hex(value.substr(6));
            char* end = nullptr;
            unsigned long n = std::strtoul(hex.c_str(), &end, 16);
            if (hex.empty() || hex.size() > 8 || *end != '\0') continue;
            v.isDword = true;
            v.dword = static_cast<uint32_t>(n);
        } else {
            v.text = utf8ToUtf16(value);
        }
        (*current)[utf8ToUtf16(line.substr(0, eq))] = v;
    }
    return keys;
}

namespace {
// The store's path is UTF-8 text; make it a path without the ANSI code page.
std::filesystem::path nativePath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
}  // namespace

void FileRegistry::load() {
    keys_.clear();
    std::ifstream f(nativePath(path_), std::ios::binary);
    if (!f) return;
    std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    keys_ = parseRegistryFile(text);
}

bool FileRegistry::save() {
    // Write beside the store and rename, so a reader never sees half a file.
    std::string text = formatRegistryFile(keys_);
    std::error_code ec;
    std::filesystem::path target = nativePath(path_);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
    std::filesystem::path tmp = target;
    tmp += ".tmp";
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        if (!f) return false;
        f.write(text.data(), static_cast<std::streamsize>(text.size()));
        f.flush();
        if (!f) {
            f.close();
            std::filesystem::remove(tmp, ec);
            return false;
        }
    }
    std::filesystem::rename(tmp, target, ec);
    if (ec) {
        std::filesystem::remove(tmp, ec);
        return false;
    }
    return true;
}

}  // namespace zv::platform
