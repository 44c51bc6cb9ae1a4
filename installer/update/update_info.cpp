#include "installer/update/update_info.h"

#include "installer/update/small_xml.h"

#include <array>

namespace zv::installer {
namespace {

constexpr int kVersionParts = 4;
constexpr uint32_t kMaxVersionPart = 0xFFFF;

char16_t asciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; }

bool equalsNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

std::u16string_view trimmed(std::u16string_view s) {
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

std::u16string decimal(unsigned v) {
    std::string s = std::to_string(v);
    return std::u16string(s.begin(), s.end());
}

// The first `units` units of a text, without splitting a surrogate pair.
std::u16string_view cut(std::u16string_view s, size_t units) {
    if (s.size() <= units) return s;
    if (units > 0 && s[units - 1] >= 0xD800 && s[units - 1] <= 0xDBFF) --units;
    return s.substr(0, units);
}

}  // namespace

std::optional<uint64_t> parseVersion(std::u16string_view text) {
    text = trimmed(text);
    if (text.empty()) return std::nullopt;
    std::array<uint32_t, kVersionParts> parts{};
    int part = 0;
    bool digitSeen = false;
    for (char16_t c : text) {
        if (c == u'.') {
            if (!digitSeen || ++part >= kVersionParts) return std::nullopt;
            digitSeen = false;
        } else if (c >= u'0' && c <= u'9') {
            parts[part] = parts[part] * 10 + (c - u'0');
            if (parts[part] > kMaxVersionPart) return std::nullopt;
            digitSeen = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digitSeen) return std::nullopt;
    uint64_t v = 0;
    for (uint32_t p : parts) v = v << 16 | p;
    return v;
}

uint64_t installedVersion(std::u16string_view text) { return parseVersion(text).value_or(0); }

std::u16string formatVersion(uint64_t version) {
    std::u16string out;
    for (int shift = 48; shift >= 0; shift -= 16) {
        out += decimal(static_cast<unsigned>(version >> shift & kMaxVersionPart));
        if (shift) out += u'.';
    }
    return out;
}

std::optional<UpdateInfo> parseUpdateInfo(std::string_view bytes) {
    if (bytes.size() > MaxUpdateInfoBytes) return std::nullopt;
    auto text = decodeXmlBytes(bytes);
    if (!text) return std::nullopt;
    auto root = parseXmlDocument(*text);
    if (!root || !equalsNoCase(root->name, u"UpdateInfo")) return std::nullopt;
    UpdateInfo info;
    for (const XmlElement& child : root->children) {
        if (child.name == u"version") {
            if (trimmed(child.text).empty()) continue;
            info.version = parseVersion(child.text);
            if (!info.version) return std::nullopt;
        } else if (child.name == u"url") {
            std::u16string_view url = trimmed(child.text);
            if (url.size() > MaxDownloadAddressUnits) return std::nullopt;
            info.url = url;
        } else if (child.name == u"log") {
            info.log = cut(child.text, MaxChangeLogUnits);
        }
    }
    return info;
}

std::u16string displayedLog(std::u16string_view log) {
    std::u16string out;
    for (size_t i = 0; i < log.size(); ++i) {
        if (log.substr(i, 3) == u"[r]") {
            out += u" \r\n";
            i += 2;
        } else if (log[i] == u'\r' || log[i] == u'\n') {
            if (log[i] == u'\r' && i + 1 < log.size() && log[i + 1] == u'\n') ++i;
            out += u"\r\n";
        } else {
            out += log[i];
        }
    }
    return out;
}

}  // namespace zv::installer
