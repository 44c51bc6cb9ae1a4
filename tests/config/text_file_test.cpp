#include "config/text_file.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace zv::config {
namespace {

std::string bytes(std::initializer_list<int> b) {
    std::string s;
    for (int c : b) s.push_back(static_cast<char>(c));
    return s;
}

// "码a" in every form a text file may take.
TEST(TextFile, DecodesEveryEncoding) {
    struct Case {
        std::string bytes;
        TextEncoding encoding;
    } cases[] = {
        {bytes({0xEF, 0xBB, 0xBF, 0xE7, 0xA0, 0x81, 'a'}), TextEncoding::Utf8WithMark},
        {bytes({0xE7, 0xA0, 0x81, 'a'}), TextEncoding::Utf8},
        {bytes({0xFF, 0xFE, 0x01, 0x78, 'a', 0}), TextEncoding::Utf16Le},
        {bytes({0xFE, 0xFF, 0x78, 0x01, 0, 'a'}), TextEncoding::Utf16Be},
        {bytes({0xC2, 0xEB, 'a'}), TextEncoding::Ansi},  // GBK
    };
    for (const Case& c : cases) {
        DecodedText d = decodeText(c.bytes);
        EXPECT_EQ(u"码a", d.text) << static_cast<int>(c.encoding);
        EXPECT_EQ(c.encoding, d.encoding);
    }
    EXPECT_EQ(u"abc", decodeText("abc").text);
    EXPECT_EQ(u"", decodeText("").text);
}

TEST(TextFile, OnlyWellFormedUtf8IsTakenForUtf8) {
    EXPECT_TRUE(isWellFormedUtf8("\xF0\x9F\x98\x80"));           // U+1F600
    EXPECT_FALSE(isWellFormedUtf8("\xC0\xAF"));                   // overlong
    EXPECT_FALSE(isWellFormedUtf8("\xED\xA0\x80"));               // surrogate
    EXPECT_FALSE(isWellFormedUtf8("\xF4\x90\x80\x80"));           // above U+10FFFF
    EXPECT_FALSE(isWellFormedUtf8("\xE7\xA0"));                   // cut short
    // GB18030 text that is not UTF-8 is read in the ANSI code page, the
    // four-byte forms included (U+20000 is 0x95 0x32 0x82 0x36).
    DecodedText d = decodeText("\xD6\xD0\x95\x32\x82\x36");
    EXPECT_EQ(TextEncoding::Ansi, d.encoding);
#ifndef _WIN32
    EXPECT_EQ(u"中\U00020000", d.text);
#else
    EXPECT_EQ(u"中", d.text.substr(0, 1));
#endif
    // A byte that the code page cannot read becomes some character (a
    // replacement, or what the system maps it to), never a loss.
    std::u16string odd = decodeText("a\xFF" "b").text;
    ASSERT_EQ(3u, odd.size());
    EXPECT_EQ(u'b', odd[2]);
}

TEST(TextFile, WritesUtf16WithMarkAndReadsItBack) {
    test::TempDir dir;
    ASSERT_TRUE(writeTextFile(dir.file("t.txt"), u"词\tabc\r\n"));
    auto raw = dir.read("t.txt");
    ASSERT_EQ(2u + 2 * 7, raw.size());
    EXPECT_EQ(0xFF, raw[0]);
    EXPECT_EQ(0xFE, raw[1]);
    DecodedText d;
    ASSERT_TRUE(readTextFile(dir.file("t.txt"), d));
    EXPECT_EQ(u"词\tabc\r\n", d.text);
    EXPECT_FALSE(readTextFile(dir.file("missing.txt"), d));
}

}  // namespace
}  // namespace zv::config
