#include "config/shell/url_text.h"

namespace zv::config {

namespace {

constexpr std::u16string_view kHelpFileScheme = u"mk:@MSITStore";
constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8Escapes(std::u16string& out, char32_t c) {
    unsigned char bytes[4];
    int n;
    if (c < 0x800) {
        bytes[0] = static_cast<unsigned char>(0xC0 | (c >> 6));
        bytes[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        n = 2;
    } else if (c < 0x10000) {
        bytes[0] = static_cast<unsigned char>(0xE0 | (c >> 12));
        bytes[1] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        bytes[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        n = 3;
    } else {
        bytes[0] = static_cast<unsigned char>(0xF0 | (c >> 18));
        bytes[1] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
        bytes[2] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        bytes[3] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        n = 4;
    }
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string escapes;
    for (int i = 0; i < n; ++i) {
        escapes += u'%';
        escapes += kHex[bytes[i] >> 4];
        escapes += kHex[bytes[i] & 0xF];
    }
    // A character whose escapes do not fit is left out whole.
    if (out.size() + escapes.size() <= MaxEscapedUrlUnits) out += escapes;
}

bool isHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

std::u16string escapeUrl(std::u16string_view url) {
    if (url.find(kHelpFileScheme) != std::u16string_view::npos)
        return std::u16string(url.substr(0, MaxEscapedUrlUnits));
    std::u16string out;
    for (size_t i = 0; i < url.size() && out.size() < MaxEscapedUrlUnits; ++i) {
        char16_t u = url[i];
        if (u < 0xFF) {
            out += u;
            continue;
        }
        char32_t c = u;
        if (isHigh(u) && i + 1 < url.size() && isLow(url[i + 1])) {
            c = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (url[i + 1] - 0xDC00);
            ++i;
        } else if (isHigh(u) || isLow(u)) {
            c = kReplacement;
        }
        size_t before = out.size();
        appendUtf8Escapes(out, c);
        if (out.size() == before) break;
    }
    return out;
}

bool isWebAddress(std::u16string_view url) {
    auto startsWith = [&](std::u16string_view scheme) {
        if (url.size() < scheme.size()) return false;
        for (size_t i = 0; i < scheme.size(); ++i) {
            char16_t c = url[i];
            if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
            if (c != scheme[i]) return false;
        }
        return true;
    };
    return startsWith(u"http://") || startsWith(u"https://");
}

std::optional<HelpFilePage> helpFilePage(std::u16string_view url) {
    constexpr std::u16string_view kPrefix = u"mk:@MSITStore:", kSeparator = u"::/";
    if (url.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
    std::u16string_view rest = url.substr(kPrefix.size());
    const size_t at = rest.find(kSeparator);
    if (at == 0 || at == std::u16string_view::npos) return std::nullopt;
    return HelpFilePage{std::u16string(rest.substr(0, at)), std::u16string(rest.substr(at + kSeparator.size()))};
}

}  // namespace zv::config
