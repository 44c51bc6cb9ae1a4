#include "config/table_clear.h"
#include "config/table_export.h"
#include "config/table_import.h"
#include "engine/config_store.h"
#include "tests/config/table_fixture.h"

#include <gtest/gtest.h>

namespace zv::config {
namespace {

SoftSettings softOf(std::vector<uint8_t>& config) {
    return findBlocks(config.data(), static_cast<uint32_t>(config.size())).soft;
}

ExportResult exportMain(test::DataFolder& f, int category, std::vector<uint8_t>& config) {
    auto image = f.dir.read("main.dmg");
    CodeTable t(image.data(), static_cast<uint32_t>(image.size()));
    return exportTable(t, ExportTable::Main, category, softOf(config));
}

const std::vector<TableEntry> kMixed = {
    {"a", u"工", attr::make(16383, 1)},
    {"a", u"戈", attr::make(200, 16, true)},
    {"a", u"式", attr::make(300, 16)},
    {"ab", u"二\r\n行", attr::make(50, 16, false, true)},
    {"b", u"了", attr::make(10, 2)},
    {"c", u"以\t\\", attr::make(10, 3)},
    {"\x11", u"键", attr::make(10, 17)},  // keypad 1
};

TEST(TableExport, CategoryLinesInOrderWithMarkers) {
    test::DataFolder f(kMixed);
    auto config = test::configWithRights({{16, 3}});
    ExportResult r = exportMain(f, 16, config);
    ASSERT_EQ(ExportStatus::Ok, r.status);
    EXPECT_EQ(u"---config@码表分类=主码-1\r\n"
              u"---config@码表别名=二简\r\n"
              u"戈\ta#固#序200\r\n"
              u"式\ta#序300\r\n"
              u"二\\r行\tab#已删除#序50\r\n",
              r.text);
    EXPECT_EQ(u"导出 - 主码 - 二简.txt", exportFileName(ExportTable::Main, 16, softOf(config)));
    // Other categories than the user's need their permission.
    EXPECT_EQ(ExportStatus::NotAuthorized, exportMain(f, 17, config).status);
    EXPECT_EQ(ExportStatus::Ok, exportMain(f, CategoryUser, config).status);
}

TEST(TableExport, WholeTableTakesTheEditableCategories) {
    test::DataFolder f(kMixed);
    auto config = test::configWithRights({{0, 3}, {1, 3}, {3, 3}, {16, 3}});
    ExportResult r = exportMain(f, 0, config);
    EXPECT_EQ(u"---config@主码别名=五笔\r\n"
              u"---config@主码-系统码表别名=一简\r\n"
              u"---config@主码-用户码表别名=自造词\r\n"
              u"---config@主码-次显码表别名=生僻字\r\n"
              u"---config@主码-分类码表别名1=二简\r\n"
              u"工\ta#序16383\r\n"
              u"了\tb#用#序10\r\n"
              u"以\\t\\\\\tc#次#序10\r\n"
              u"戈\ta#固#类1#序200\r\n"
              u"式\ta#类1#序300\r\n"
              u"二\\r行\tab#已删除#类1#序50\r\n",
              r.text);
    EXPECT_EQ(u"导出 - 全部词条.txt", exportFileName(ExportTable::Main, 0, softOf(config)));
}

TEST(TableExport, ExportClearImportRestoresTheCategory) {
    test::DataFolder f(kMixed);
    const auto before = f.main();
    auto config = test::configWithRights({{16, 3}});
    ExportResult r = exportMain(f, 16, config);
    ASSERT_EQ(ExportStatus::Ok, r.status);

    platform::MappedFile main;
    ASSERT_TRUE(main.open(f.dir.file("main.dmg")));
    const uint32_t size = main.size();
    uint32_t removed = 0;
    ASSERT_EQ(ClearStatus::Ok, clearCategory(main, 16, f.temp(), &removed));
    EXPECT_EQ(3u, removed);
    EXPECT_EQ(size, main.size());
    EXPECT_TRUE(test::problemsOf(f.dir.read("main.dmg")).empty());
    EXPECT_EQ(4u, f.main().size());

    ImportOptions o;
    o.targetCategory = 16;
    ImportResult back = importIntoMainTable(main, r.text, o);
    EXPECT_TRUE(back.report.empty());
    main.close();
    EXPECT_EQ(before, f.main());
    EXPECT_TRUE(test::problemsOf(f.dir.read("main.dmg")).empty());
}

TEST(TableClear, WholeTablesAndTempSlots) {
    test::DataFolder f(kMixed);
    platform::MappedFile main;
    ASSERT_TRUE(main.open(f.dir.file("main.dmg")));
    EXPECT_EQ(ClearStatus::Ok, clearTable(main));
    main.close();
    auto image = f.dir.read("main.dmg");
    EXPECT_TRUE(f.main().empty());
    EXPECT_TRUE(test::problemsOf(image).empty());

    // A temp.dmg with a scrambled slot layout is laid out afresh.
    auto temp = buildEmptyTempImage();
    temp[dmg::IndexStart] = 1;
    f.dir.write("temp.dmg", temp);
    platform::MappedFile t;
    ASSERT_TRUE(t.open(f.dir.file("temp.dmg")));
    EXPECT_EQ(ClearStatus::Ok, clearTempTable(t));
    t.close();
    EXPECT_EQ(buildEmptyTempImage(), f.dir.read("temp.dmg"));
}

}  // namespace
}  // namespace zv::config
