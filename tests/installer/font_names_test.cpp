// Font names read from the bytes of generated fonts: the name the system's
// font list shows, and damaged or hostile files refused without reading
// outside them.

#include "installer/core/font_names.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zv::installer {
namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}
void put32(Bytes& b, uint32_t v) {
    put16(b, v >> 16);
    put16(b, v & 0xFFFF);
}
void set32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

struct NameRecord {
    uint16_t platform, encoding, language, id;
    Bytes text;
};

Bytes utf16be(std::u16string_view s) {
    Bytes b;
    for (char16_t c : s) put16(b, c);
    return b;
}
Bytes ascii(std::string_view s) { return Bytes(s.begin(), s.end()); }

NameRecord windows(uint16_t id, std::u16string_view text, uint16_t language = 0x0409) {
    return {3, 1, language, id, utf16be(text)};
}

Bytes nameTable(const std::vector<NameRecord>& records) {
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
Bytes face(const Bytes& name, uint32_t base = 0) {
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

Bytes collection(const std::vector<Bytes>& names) {
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

std::u16string valueOf(const Bytes& font) {
    const auto names = readFontNames(font);
    return names ? fontValueName(*names) : u"<refused>";
}

TEST(FontNames, TheSystemListsAFontUnderItsEnglishFullName) {
    const Bytes font = face(nameTable({
        {1, 0, 0, 4, ascii("Mac Full")},
        windows(1, u"Vora Sans"),
        windows(4, u"沃拉黑体 粗", 0x0804),
        windows(4, u"Vora Sans Bold"),
    }));
    EXPECT_EQ(u"Vora Sans Bold (TrueType)", valueOf(font));
    // Without a full name the family stands in; another language's name
    // serves when there is no English one, Macintosh ASCII when nothing else.
    EXPECT_EQ(u"Vora Sans (TrueType)", valueOf(face(nameTable({windows(2, u"Bold"), windows(1, u"Vora Sans")}))));
    EXPECT_EQ(u"沃拉黑体 (TrueType)", valueOf(face(nameTable({windows(4, u" 沃拉黑体 ", 0x0804)}))));
    EXPECT_EQ(u"Mac Sans (TrueType)", valueOf(face(nameTable({{1, 0, 0, 4, ascii("Mac Sans")}}))));
    // A name outside the plane of 16-bit units, as a surrogate pair.
    EXPECT_EQ(u"Vora \U00020000 (TrueType)", valueOf(face(nameTable({windows(4, u"Vora \U00020000")}))));
}

TEST(FontNames, ACollectionListsEveryFace) {
    const Bytes ttc = collection({nameTable({windows(4, u"Vora Mono")}), nameTable({windows(4, u"Vora Mono P")})});
    const auto names = readFontNames(ttc);
    ASSERT_TRUE(names);
    EXPECT_TRUE(names->collection);
    EXPECT_EQ(u"Vora Mono & Vora Mono P (TrueType-C)", fontValueName(*names));
}

TEST(FontNames, DamagedAndHostileFilesAreRefused) {
    const Bytes good = face(nameTable({windows(4, u"Vora Sans")}));
    ASSERT_EQ(u"Vora Sans (TrueType)", valueOf(good));
    // Cut anywhere, the file is refused, never read past its end.
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_EQ(u"<refused>", valueOf(Bytes(good.begin(), good.begin() + static_cast<long>(n)))) << n;
    const Bytes ttc = collection({nameTable({windows(4, u"A")}), nameTable({windows(4, u"B")})});
    for (size_t n = 0; n < ttc.size(); ++n)
        EXPECT_EQ(u"<refused>", valueOf(Bytes(ttc.begin(), ttc.begin() + static_cast<long>(n)))) << n;

    EXPECT_EQ(u"<refused>", valueOf(Bytes{}));
    EXPECT_EQ(u"<refused>", valueOf(ascii("PK\x03\x04 not a font at all")));
    Bytes b = good;
    b[0] = 0x7F;  // no sfnt version
    EXPECT_EQ(u"<refused>", valueOf(b));
    // The name table's place and size beyond the file, and wrapping round.
    b = good;
    set32(b, 12 + 16 + 8, 0xFFFFFFF0);
    EXPECT_EQ(u"<refused>", valueOf(b));
    b = good;
    set32(b, 12 + 16 + 12, 0xFFFFFFFF);
    EXPECT_EQ(u"<refused>", valueOf(b));
    // A table count far beyond the directory.
    b = good;
    b[4] = b[5] = 0xFF;
    EXPECT_EQ(u"<refused>", valueOf(b));
    // Names that cannot stand in the font list.
    EXPECT_EQ(u"<refused>", valueOf(face(nameTable({windows(4, u"")}))));
    EXPECT_EQ(u"<refused>", valueOf(face(nameTable({windows(4, u"   ")}))));
    EXPECT_EQ(u"<refused>", valueOf(face(nameTable({windows(4, u"Vora\r\nSans")}))));
    EXPECT_EQ(u"<refused>", valueOf(face(nameTable({windows(4, u"Vora \xD800 Sans")}))));
    EXPECT_EQ(u"<refused>", valueOf(face(nameTable({windows(4, std::u16string(300, u'x'))}))));
    EXPECT_EQ(u"<refused>", valueOf(face(nameTable({{3, 1, 0x0409, 4, Bytes{0, 'V', 0}}}))));
    EXPECT_EQ(u"<refused>", valueOf(face(nameTable({{1, 0, 0, 4, Bytes{'V', 0xE9}}}))));
    EXPECT_EQ(u"<refused>", valueOf(face(nameTable({{3, 1, 0x0409, 6, utf16be(u"PostScriptOnly")}}))));
    // A string placed past the table is skipped; a good record still serves.
    Bytes table = nameTable({windows(4, u"Far"), windows(1, u"Near")});
    table[6 + 10] = 0xFF, table[6 + 11] = 0xF0;
    EXPECT_EQ(u"Near (TrueType)", valueOf(face(table)));
    // Collections claiming no faces, a huge number, or a face that is the
    // collection's own header.
    b = ttc;
    set32(b, 8, 0);
    EXPECT_EQ(u"<refused>", valueOf(b));
    b = ttc;
    set32(b, 8, 0x7FFFFFFF);
    EXPECT_EQ(u"<refused>", valueOf(b));
    b = ttc;
    set32(b, 12, 0);
    EXPECT_EQ(u"<refused>", valueOf(b));
    b = ttc;
    set32(b, 16, 0xFFFFFFFE);
    EXPECT_EQ(u"<refused>", valueOf(b));
}

}  // namespace
}  // namespace zv::installer
