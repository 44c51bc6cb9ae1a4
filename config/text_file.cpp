#include "config/text_file.h"

#include "platform/codepage.h"
#include "platform/mapped_file.h"
#include "platform/utf.h"

#include <cstdint>

namespace zv::config {

bool isWellFormedUtf8(std::string_view s) {
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        uint8_t c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t need;
        uint8_t lo = 0x80, hi = 0xBF;  // range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            need = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            need = 2;
            if (c == 0xE0) lo = 0xA0;        // no overlong forms
            else if (c == 0xED) hi = 0x9F;   // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            need = 3;
            if (c == 0xF0) lo = 0x90;
            else if (c == 0xF4) hi = 0x8F;   // nothing above U+10FFFF
        } else {
            return false;
        }
        if (n - i <= need) return false;
        if (p[i + 1] < lo || p[i + 1] > hi) return false;
        for (size_t k = 2; k <= need; ++k)
            if ((p[i + k] & 0xC0) != 0x80) return false;
        i += need + 1;
    }
    return true;
}

namespace {

std::u16string fromUtf16(std::string_view s, bool bigEndian) {
    std::u16string out(s.size() / 2, u'\0');
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    for (size_t i = 0; i < out.size(); ++i) {
        uint8_t a = p[2 * i], b = p[2 * i + 1];
        out[i] = static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
    }
    return out;
}

bool isAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

DecodedText decodeText(std::string_view bytes) {
    DecodedText d;
    auto starts = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    if (starts("\xEF\xBB\xBF")) {
        d.encoding = TextEncoding::Utf8WithMark;
        d.text = utf8ToUtf16(bytes.substr(3));
    } else if (starts("\xFF\xFE")) {
        d.encoding = TextEncoding::Utf16Le;
        d.text = fromUtf16(bytes.substr(2), false);
    } else if (starts("\xFE\xFF")) {
        d.encoding = TextEncoding::Utf16Be;
        d.text = fromUtf16(bytes.substr(2), true);
    } else if (isAscii(bytes)) {
        // Plain ASCII reads the same in every code page.
        d.encoding = TextEncoding::Ansi;
        d.text.assign(bytes.begin(), bytes.end());
    } else if (isWellFormedUtf8(bytes)) {
        d.encoding = TextEncoding::Utf8;
        d.text = utf8ToUtf16(bytes);
    } else {
        d.encoding = TextEncoding::Ansi;
        d.text = platform::ansiToUtf16(bytes);
    }
    return d;
}

bool readTextFile(std::u16string_view path, DecodedText& out) {
    std::string bytes;
    if (!platform::readWholeFile(path, bytes)) return false;
    // Positions in a text are 32-bit throughout the tools.
    if (bytes.size() > MaxTextFileBytes) return false;
    out = decodeText(bytes);
    return true;
}

bool isPlainText(std::u16string_view text) { return text.find(u'\0') == std::u16string_view::npos; }

std::string encodeUtf16File(std::u16string_view text) {
    std::string out;
    out.resize(2 + 2 * text.size());
    out[0] = '\xFF';
    out[1] = '\xFE';
    for (size_t i = 0; i < text.size(); ++i) {
        out[2 + 2 * i] = static_cast<char>(text[i] & 0xFF);
        out[3 + 2 * i] = static_cast<char>(text[i] >> 8);
    }
    return out;
}

bool writeTextFile(std::u16string_view path, std::u16string_view text) {
    std::string bytes = encodeUtf16File(text);
    return platform::writeWholeFile(path, bytes.data(), bytes.size());
}

}  // namespace zv::config
