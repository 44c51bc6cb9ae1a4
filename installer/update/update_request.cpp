#include "installer/update/update_request.h"

#include "installer/update/md5.h"

#include <array>
#include <cstdio>

namespace zv::installer {
namespace {

char16_t asciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c; }

bool startsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (asciiUpper(text[i]) != asciiUpper(prefix[i])) return false;
    return true;
}

struct Placeholder {
    std::u16string_view name;
    const std::u16string RequestValues::*value;
};

}  // namespace

std::u16string compactGuid(std::u16string_view guid) {
    std::u16string out;
    for (char16_t c : guid)
        if (c != u'{' && c != u'}' && c != u'-') out += asciiUpper(c);
    return out;
}

std::string hardwareAddressText(const std::vector<HardwareAddress>& adapters) {
    std::string out;
    for (const auto& address : adapters)
        for (uint8_t byte : address) {
            char two[3];
            std::snprintf(two, sizeof two, "%2x", byte);
            out += two;
        }
    return out;
}

std::u16string adapterDigest(const std::vector<HardwareAddress>& adapters) {
    if (adapters.empty()) return {};
    std::string hex = md5Hex(hardwareAddressText(adapters));
    return std::u16string(hex.begin(), hex.end());
}

std::u16string expandUpdateUrl(std::u16string_view urlTemplate, const RequestValues& values) {
    RequestValues filled = values;
    if (filled.version.empty()) filled.version = UnknownVersion;
    filled.guid = compactGuid(values.guid);
    static constexpr std::array<Placeholder, 3> kPlaceholders = {{
        {u"{version}", &RequestValues::version},
        {u"{guid}", &RequestValues::guid},
        {u"{macaddr}", &RequestValues::macDigest},
    }};
    std::u16string out;
    size_t at = 0;
    while (at < urlTemplate.size()) {
        bool replaced = false;
        for (const auto& p : kPlaceholders) {
            if (urlTemplate.substr(at, p.name.size()) != p.name) continue;
            out += filled.*p.value;
            at += p.name.size();
            replaced = true;
            break;
        }
        if (!replaced) out += urlTemplate[at++];
    }
    return out;
}

std::u16string downloadAddress(std::u16string_view url) {
    for (std::u16string_view scheme : {u"http://", u"https://", u"ftp://"})
        if (startsWithNoCase(url, scheme)) return std::u16string(url);
    return u"http://" + std::u16string(url);
}

}  // namespace zv::installer
