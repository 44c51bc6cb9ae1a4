#include "config/table_import.h"
#include "config/text_file.h"
#include "engine/config_store.h"
#include "engine/pair_table.h"
#include "tests/config/table_fixture.h"

#include <gtest/gtest.h>

namespace zv::config {
namespace {

struct Importer {
    test::DataFolder& folder;
    std::vector<uint8_t> config = test::configWithRights({});
    std::vector<uint8_t> danzi =
        buildPairTable({{u"工", u"aaaa"}, {u"人", u"wwww"}, {u"中", u"khk"}, {u"\U00020000", u"ggmk"}});

    Importer(test::DataFolder& f) : folder(f) {
        // The Wubi rule for two characters: first two keys of each.
        DmeSettings dme = findBlocks(config.data(), static_cast<uint32_t>(config.size())).dme;
        const uint16_t rule[] = {0x0101, 0x0102, 0x0201, 0x0202};
        for (int i = 0; i < 4; ++i) dme.setU16(DmeSettings::Rules + 256 * 2 + 2 * i, rule[i]);
    }

    ImportResult run(std::u16string_view text, int category = 0) {
        platform::MappedFile main;
        EXPECT_TRUE(main.open(folder.dir.file("main.dmg")));
        CharCodeTable table(danzi.data(), static_cast<uint32_t>(danzi.size()));
        ImportOptions o;
        o.targetCategory = category;
        o.rules = findBlocks(config.data(), static_cast<uint32_t>(config.size())).dme;
        o.danzi = &table;
        o.reportPath = folder.dir.file("report.txt");
        return importIntoMainTable(main, text, o);
    }
};

TEST(TableImport, EveryLineIsAddedOrReportedWithItsReason) {
    test::DataFolder f({{"a", u"工", attr::make(9, 1)}, {"zz", u"旧", attr::make(9, 1, false, true)}});
    Importer im(f);
    std::u16string longWord(31, u'工');
    ImportResult r = im.run(
        u"// 注释\r\n---config@码表别名=x\r\n\r\n"
        u"甲\ta中\r\n\tab\r\n旧\tzz\r\n工\ta\r\n新\tx\r\n新\tx\r\n" +
        longWord + u"\r\n未知\r\n工人\r\n中\U00020000\r\n中\r\n");
    EXPECT_EQ(ImportStatus::Ok, r.status);
    std::vector<std::u16string> want = {
        u"甲 ----------无法创建词条",
        u" ----------无法创建词条",
        u"旧 ----------存在于系统码表，已取消删除标志",
        u"工 ----------已存在于系统码表",
        u"新 ----------重复的定义",
        longWord + u" ----------自动构词长度不能大于30",
        u"未知 ----------无法依据构词规则生成目标编码",
    };
    // Words without code: "工人" by the rule, "中𠀀" with a surrogate pair
    // as one character, "中" alone with its own full code.
    EXPECT_EQ(want, r.report);
    EXPECT_EQ(4u, r.added);
    EXPECT_EQ(want.size(), r.notAdded);
    std::vector<test::Entry> entries = {
        {"a", u"工", attr::make(9, 1)},
        {"aaww", u"工人", attr::make(1024, 1)},
        {"khgg", u"中\U00020000", attr::make(1024, 1)},
        {"khk", u"中", attr::make(1024, 1)},
        {"x", u"新", attr::make(1024, 1)},
        {"zz", u"旧", attr::make(9, 1)},  // deleted bit cleared
    };
    EXPECT_EQ(entries, f.main());
    EXPECT_TRUE(test::problemsOf(f.dir.read("main.dmg")).empty());

    DecodedText report;
    ASSERT_TRUE(readTextFile(f.dir.file("report.txt"), report));
    EXPECT_EQ(TextEncoding::Utf16Le, report.encoding);
    EXPECT_EQ(want[0] + u"\r\n", report.text.substr(0, want[0].size() + 2));
}

TEST(TableImport, CategoriesFollowTheChosenOneAndTheFile) {
    test::DataFolder f;
    Importer im(f);
    ImportResult r = im.run(u"---config@码表分类=主码-1\r\n---config@全局排序数值=700\r\n甲\ta\r\n乙\tb#用\r\n丙\tc#类1#序5\r\n",
                            16);
    EXPECT_EQ((std::vector<std::u16string>{u"乙 ----------与所选分类不匹配的词条类别"}), r.report);
    EXPECT_EQ((std::vector<test::Entry>{{"a", u"甲", attr::make(700, 16)}, {"c", u"丙", attr::make(5, 16)}}), f.main());

    // Without a file category the chosen one applies; without either, system.
    test::DataFolder g;
    Importer ig(g);
    ig.run(u"甲\ta\r\n", CategoryUser);
    ig.run(u"乙\tb\r\n丙\tc#辅\r\n");
    EXPECT_EQ((std::vector<test::Entry>{{"a", u"甲", attr::make(1024, 2)},
                                        {"b", u"乙", attr::make(1024, 1)},
                                        {"c", u"丙", attr::make(1024, 4)}}),
              g.main());
}

TEST(TableImport, GrowsByTheShortfallPlus4096ThenUsesTheRoom) {
    test::DataFolder f({{"m", u"中", 1}, {"n", u"民", 2}});
    const size_t before = f.dir.read("main.dmg").size();  // no room beyond the spare slot
    Importer im(f);
    EXPECT_EQ(1u, im.run(u"新\tx\r\n").added);
    const size_t grown = f.dir.read("main.dmg").size();
    EXPECT_EQ(before + (9 + 4) + 4096, grown);
    EXPECT_EQ(2u, im.run(u"甲\ta\r\n乙\tz\r\n").added);
    EXPECT_EQ(grown, f.dir.read("main.dmg").size());
    auto es = f.main();
    ASSERT_EQ(5u, es.size());
    EXPECT_EQ((test::Entry{"m", u"中", 1}), es[1]);
    EXPECT_TRUE(test::problemsOf(f.dir.read("main.dmg")).empty());
}

TEST(TableImport, ADamagedTableIsLeftAlone) {
    test::DataFolder f({{"a", u"工", 1}, {"b", u"了", 1}});
    auto image = f.dir.read("main.dmg");
    std::swap(image[dmg::IndexStart], image[dmg::IndexStart + 4]);  // index out of order
    f.dir.write("main.dmg", image);
    Importer im(f);
    EXPECT_EQ(ImportStatus::DamagedTable, im.run(u"新\tx\r\n").status);
    EXPECT_EQ(image, f.dir.read("main.dmg"));
}

}  // namespace
}  // namespace zv::config
