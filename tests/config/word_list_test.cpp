#include "config/table_export.h"
#include "config/word_list.h"
#include "engine/config_store.h"
#include "engine/bytes.h"
#include "tests/config/table_fixture.h"

#include <gtest/gtest.h>

namespace zv::config {
namespace {

TEST(WordList, OrderValuesCountDownPerFirstUnitInFileOrder) {
    test::TempDir dir;
    std::u16string text = u"//注释\r\n\r\n\n一个\r\n一样\r一个\n三\r\n///斜线\r\n";
    text += std::u16string(130, u'长');  // continues as a second line of three
    WordListResult r = buildWordList(text, dir.file("sysl.dmg"), dir.folder());
    ASSERT_EQ(WordListStatus::Ok, r.status);
    EXPECT_EQ(1u, r.duplicates);
    EXPECT_FALSE(r.separator);
    auto file = dir.read("sysl.dmg");
    EXPECT_TRUE(test::problemsOf(file, true).empty());
    EXPECT_EQ(dmg::TypeWordList, rd32(file.data() + 8));
    std::vector<test::Entry> want = {
        {"", u"//斜线", 65534},
        {"", u"一个", 65534},
        {"", u"一样", 65533},
        {"", u"三", 65534},
        {"", std::u16string(3, u'长'), 65533},
        {"", std::u16string(127, u'长'), 65534},
    };
    EXPECT_EQ(want, test::entriesOf(file));
    EXPECT_EQ(dmg::IndexStart + 4 + 4 * 6 + (5 + 8) + 2 * (5 + 4) + (5 + 2) + (5 + 6) + (5 + 254), file.size());

    // The export lists the words by order value, and reads back the same.
    auto store = newConfigStore();
    CodeTable t(file.data(), static_cast<uint32_t>(file.size()));
    SoftSettings soft = findBlocks(store.data(), static_cast<uint32_t>(store.size())).soft;
    ExportResult ex = exportTable(t, ExportTable::Association, 0, soft);
    ASSERT_EQ(ExportStatus::Ok, ex.status);
    EXPECT_EQ(u"///斜线\r\n一个\r\n三\r\n", ex.text.substr(0, 14));
    ASSERT_EQ(WordListStatus::Ok, buildWordList(ex.text, dir.file("again.dmg"), dir.folder()).status);
    EXPECT_EQ(test::entriesOf(file), test::entriesOf(dir.read("again.dmg")));
}

TEST(WordList, SeparatorFlagAndReplacingALargerList) {
    test::TempDir dir;
    std::u16string many;
    for (int i = 0; i < 300; ++i) {
        many += u"词";
        many += char16_t(u'a' + i % 26);
        many += char16_t(u'a' + i / 26);
        many += u"\r\n";
    }
    ASSERT_EQ(WordListStatus::Ok, buildWordList(many, dir.file("sysl.dmg"), dir.folder()).status);
    const size_t bigger = dir.read("sysl.dmg").size();

    WordListResult r = buildWordList(u"中国#人民\r\n中国#队\r\n", dir.file("sysl.dmg"), dir.folder());
    EXPECT_TRUE(r.separator);
    auto file = dir.read("sysl.dmg");
    EXPECT_EQ(bigger, file.size());  // copied over the start of the file
    EXPECT_EQ(2u, test::entriesOf(file).size());
    EXPECT_TRUE(test::problemsOf(file, true).empty());

    // A text without words leaves the table as it was.
    EXPECT_EQ(WordListStatus::NoWords, buildWordList(u"// 空\r\n\r\n", dir.file("sysl.dmg"), dir.folder()).status);
    EXPECT_EQ(file, dir.read("sysl.dmg"));
}

}  // namespace
}  // namespace zv::config
