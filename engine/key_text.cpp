#include "engine/key_text.h"

#include <array>
#include <string>

namespace zv {

namespace {

struct KeyTexts {
    std::array<std::u16string, 256> plain, shifted;
    KeyTexts() {
        const struct {
            int key;
            const char16_t* text;
        } named[] = {
            {0x08, u"键Backspace"}, {0x09, u"键Tab"},      {0x0D, u"键Enter"},    {0x10, u"键Shift"},
            {0x11, u"键Ctrl"},      {0x12, u"键Alt"},      {0x13, u"键Pause"},    {0x14, u"键CapsLock"},
            {0x1B, u"键Esc"},       {0x21, u"键PageUp"},   {0x22, u"键PageDown"}, {0x23, u"键End"},
            {0x24, u"键Home"},      {0x25, u"键左箭头"},   {0x26, u"键上箭头"},   {0x27, u"键右箭头"},
            {0x28, u"键下箭头"},    {0x2C, u"键PrtSc"},    {0x2D, u"键Insert"},   {0x2E, u"键Delete"},
            {0x90, u"键NumLock"},   {0x91, u"键Scroll"},   {0xA0, u"键左Shift"},  {0xA1, u"键右Shift"},
            {0xA2, u"键左Ctrl"},    {0xA3, u"键右Ctrl"},   {0xA4, u"键左Alt"},    {0xA5, u"键右Alt"},
        };
        for (auto& n : named) plain[n.key] = n.text;
        for (int f = 0; f < 24; ++f) plain[0x70 + f] = u"键F" + toText(f + 1);
        plain[0x20] = u" ";
        const char16_t* shiftedDigits = u")!@#$%^&*(";
        for (int d = 0; d < 10; ++d) {
            plain[0x30 + d] = std::u16string(1, static_cast<char16_t>(u'0' + d));
            shifted[0x30 + d] = std::u16string(1, shiftedDigits[d]);
        }
        for (int c = 0; c < 26; ++c) {
            plain[0x41 + c] = std::u16string(1, static_cast<char16_t>(u'a' + c));
            shifted[0x41 + c] = std::u16string(1, static_cast<char16_t>(u'A' + c));
        }
        for (int k = 0; k < 10; ++k) plain[0x60 + k] = std::u16string(1, static_cast<char16_t>(0x10 + k));
        plain[0x6A] = u"\x0A";
        plain[0x6B] = u"\x0B";
        plain[0x6D] = u"\x0D";
        plain[0x6E] = u"\x0E";
        plain[0x6F] = u"\x0F";
        const char16_t* oem1 = u";=,-./`", *oem1s = u":+<_>?~";
        for (int i = 0; i < 7; ++i) {
            plain[0xBA + i] = std::u16string(1, oem1[i]);
            shifted[0xBA + i] = std::u16string(1, oem1s[i]);
        }
        const char16_t* oem2 = u"[\\]'", *oem2s = u"{|}\"";
        for (int i = 0; i < 4; ++i) {
            plain[0xDB + i] = std::u16string(1, oem2[i]);
            shifted[0xDB + i] = std::u16string(1, oem2s[i]);
        }
        shifted[0x0D] = u"键Enter";
        shifted[0x10] = u"键Shift";
    }
    static std::u16string toText(int n) {
        std::u16string s;
        if (n >= 10) s.push_back(static_cast<char16_t>(u'0' + n / 10));
        s.push_back(static_cast<char16_t>(u'0' + n % 10));
        return s;
    }
};

const KeyTexts& texts() {
    static const KeyTexts t;
    return t;
}

}  // namespace

std::u16string_view keyTextOf(int virtualKey, bool shifted) {
    if (virtualKey < 0 || virtualKey > 255) return {};
    return shifted ? texts().shifted[virtualKey] : texts().plain[virtualKey];
}

}  // namespace zv
