#pragma once
// The units a code is made of, in one place. Codes are printable ASCII plus
// the keypad keys, which the code buffer and the tables hold as the units
// and bytes 0x0A..0x19, the windows show as their full-width forms
// U+FF0A..U+FF19, and text typed out gives as their ASCII characters.

#include <cstdint>

namespace zv {

constexpr char16_t KeypadFirst = 0x0A, KeypadLast = 0x19;
constexpr char16_t FullWidthBase = 0xFF00;  // a keypad unit's full-width form is this plus the unit
constexpr char16_t AsciiOffset = 0x20;      // and its ASCII character the unit plus this

constexpr bool isKeypadUnit(char16_t u) { return u >= KeypadFirst && u <= KeypadLast; }
constexpr bool isKeypadForm(char16_t u) { return u >= FullWidthBase + KeypadFirst && u <= FullWidthBase + KeypadLast; }

// A unit as the windows show it: keypad keys in their full-width form.
constexpr char16_t shownUnit(char16_t u) { return isKeypadUnit(u) ? static_cast<char16_t>(FullWidthBase + u) : u; }
// A code unit as text typed out gives it: keypad keys as ASCII.
constexpr char16_t typedUnit(char16_t u) { return isKeypadUnit(u) ? static_cast<char16_t>(u + AsciiOffset) : u; }
// A key's text as it is output: keypad keys as ASCII, and any other control
// unit raised into the printable range the same way.
constexpr char16_t printableUnit(char16_t u) { return u < AsciiOffset ? static_cast<char16_t>(u + AsciiOffset) : u; }
// A unit as the code buffer holds it: full-width keypad forms as keypad units.
constexpr char16_t heldUnit(char16_t u) { return isKeypadForm(u) ? static_cast<char16_t>(u - FullWidthBase) : u; }
// A unit of the code buffer as a code byte (ASCII, a keypad unit or its
// full-width form); 0 when it is no code character.
constexpr uint8_t codeByteOf(char16_t u) {
    if (isKeypadUnit(u) || (u >= 0x20 && u < 0x80)) return static_cast<uint8_t>(u);
    if (isKeypadForm(u)) return static_cast<uint8_t>(u - FullWidthBase);
    return 0;
}

// The code alphabet of the tables and settings: printable ASCII plus the
// keypad bytes, which stand for the full-width characters U+FF0A..U+FF19.
// A unit as a code byte; 0 when it is none.
constexpr uint8_t codeByteFromUnit(char16_t u) {
    if (u < AsciiOffset) return 0;
    if (u < 0x80) return static_cast<uint8_t>(u);
    if (isKeypadForm(u)) return static_cast<uint8_t>(u & 0xFF);
    return 0;
}
// A code byte as the unit it stands for; 0 for a byte outside the alphabet.
constexpr char16_t unitFromCodeByte(uint8_t b) {
    if (b < AsciiOffset) return static_cast<char16_t>(FullWidthBase + b);
    if (b >= 0x80) return 0;
    return b;
}

}  // namespace zv
