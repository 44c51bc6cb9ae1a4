#pragma once
// TrueType fonts and collections written byte by byte, holding only a
// table directory, a filler table and the name table: enough for what the
// installer reads of a font, and easy to damage on purpose.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv::test_fonts {

using Bytes = std::vector<uint8_t>;

inline void put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}
inline void put32(Bytes& b, uint32_t v) {
    put16(b, v >> 16);
    put16(b, v & 0xFFFF);
}
inline void set32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

struct NameRecord {
    uint16_t platform, encoding, language, id;
    Bytes text;
};

inline Bytes utf16be(std::u16string_view s) {
    Bytes b;
    for (char16_t c : s) put16(b, c);
    return b;
}
inline Bytes ascii(std::string_view s) { return Bytes(s.begin(), s.end()); }

inline NameRecord windows(uint16_t id, std::u16string_view text, uint16_t language = 0x0409) {
    return {3, 1, language, id, utf16be(text)};
}

inline Bytes nameTable(const std::vector<NameRecord>& records) {
    Bytes t;
    put16(t, 0);
    put16(t, static_cast<uint32_t>(records.size()));
    put16(t, static_cast<uint32_t>(6 + 12 * records.size()));
    Bytes strings;
    for (const NameRecord& r : records) {
        for (uint16_t v : {r.platform, r.encoding, r.language, r.id}) put16(t, v);
        put16(t, static_cast<uint32_t>(r.text.size()));
        put16(t, static_cast<uint32_t>(strings.size()));
        strings.insert(strings.end(), r.text.begin(), r.text.end());
    }
    t.insert(t.end(), strings.begin(), strings.end());
    return t;
}

// One face: its table directory at `base` in the finished file, a filler
// table before the name table so that the name table is not the first.
inline Bytes face(const Bytes& name, uint32_t base = 0) {
    const Bytes filler(8, 0xAB);
    Bytes f;
    put32(f, 0x00010000);
    put16(f, 2);
    put16(f, 0), put16(f, 0), put16(f, 0);
    const uint32_t first = base + 12 + 2 * 16;
    put32(f, 0x68656164), put32(f, 0), put32(f, first), put32(f, static_cast<uint32_t>(filler.size()));
    put32(f, 0x6E616D65), put32(f, 0), put32(f, first + static_cast<uint32_t>(filler.size())),
        put32(f, static_cast<uint32_t>(name.size()));
    f.insert(f.end(), filler.begin(), filler.end());
    f.insert(f.end(), name.begin(), name.end());
    return f;
}

inline Bytes collection(const std::vector<Bytes>& names) {
    Bytes c;
    put32(c, 0x74746366);
    put32(c, 0x00010000);
    put32(c, static_cast<uint32_t>(names.size()));
    const size_t directory = c.size();
    for (size_t i = 0; i < names.size(); ++i) put32(c, 0);
    for (size_t i = 0; i < names.size(); ++i) {
        const uint32_t at = static_cast<uint32_t>(c.size());
        set32(c, directory + 4 * i, at);
        const Bytes f = face(names[i], at);
        c.insert(c.end(), f.begin(), f.end());
    }
    return c;
}

}  // namespace zv::test_fonts
