// Font names read from the bytes of generated fonts: the name the system's
// font list shows, and damaged or hostile files refused without reading
// outside them.

#include "installer/core/font_names.h"
#include "tests/installer/generated_font.h"

#include <gtest/gtest.h>

namespace zv::installer {
namespace {

using namespace zv::test_fonts;

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
