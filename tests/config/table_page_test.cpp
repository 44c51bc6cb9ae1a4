// The 码表 page's rows and rules, and its operations as the page runs them:
// a picked file that is no text leaves the tables alone, and a category
// exported, cleared and imported again comes back as it was.

#include "config/table_page.h"
#include "config/table_tasks.h"
#include "config/text_file.h"
#include "engine/table_image.h"
#include "tests/config/table_fixture.h"

#include <gtest/gtest.h>

#include <fstream>

namespace zv::config {
namespace {

struct Page {
    test::DataFolder& folder;
    std::vector<uint8_t> config;
    TaskFolder tasks;
    explicit Page(test::DataFolder& f) : folder(f), config(f.dir.read("config.dsc")) {
        tasks.dataDir = f.folder();
        tasks.tempDir = f.temp();
        tasks.documentsDir = f.temp();
        tasks.imeName = u"Zorvan";
        tasks.blocks = findBlocks(config.data(), static_cast<uint32_t>(config.size()));
    }
    std::vector<TableRow> rows() {
        std::vector<uint8_t> main = folder.dir.read("main.dmg");
        return tableRows(tasks.blocks.soft, countCategories(CodeTable(main.data(), static_cast<uint32_t>(main.size()))),
                         {});
    }
    TableRow row(int category) {
        for (const TableRow& r : rows())
            if (r.table == PageTable::Main && r.category == category) return r;
        ADD_FAILURE() << "no row for category " << category;
        return {};
    }
};

TEST(CodeTablePage, RowsFollowTheNamedCategoriesWithTheirCountsAndRights) {
    test::DataFolder f({{"a", u"工", attr::make(9, 1)},
                        {"b", u"了", attr::make(9, 1)},
                        {"c", u"以", attr::make(9, 2)},
                        {"d", u"在", attr::make(9, 16)},
                        {"e", u"有", attr::make(9, 40)}});  // no such category: counted in the whole only
    Page page(f);
    const std::vector<TableRow> rows = page.rows();
    std::vector<std::u16string> labels;
    for (const TableRow& r : rows) labels.push_back(r.label);
    const std::vector<std::u16string> want = {u"输入编码表",    u"    五笔 - 一简",   u"    五笔 - 二简",
                                              u"    五笔 - 三简", u"    五笔 - 生僻字", u"    五笔 - 自造词",
                                              u"    拼音",       u"临时词表",        u"联想码表",
                                              u"英文码表"};
    EXPECT_EQ(want, labels);
    EXPECT_EQ(5u, rows[0].entries);
    EXPECT_EQ(2u, rows[1].entries);
    EXPECT_EQ(1u, rows[2].entries);
    EXPECT_EQ(1u, rows[5].entries);
    EXPECT_TRUE(rows[1].writable && rows[1].inUse);
    EXPECT_TRUE(!rows[3].writable && rows[3].inUse);  // 三简: in use, not editable
    EXPECT_TRUE(rows[5].writable);                    // the user's words may always be edited
}

TEST(CodeTablePage, CommandsFollowTheSelectedRow) {
    test::DataFolder f;
    Page page(f);
    const std::vector<TableRow> rows = page.rows();
    const SoftSettings& soft = page.tasks.blocks.soft;
    const RowCommands none = rowCommands(nullptr, soft);
    EXPECT_FALSE(none.view || none.import || none.exportTable || none.replace || none.clear);

    const RowCommands whole = rowCommands(&rows[0], soft);  // slot 0 may not be edited here
    EXPECT_TRUE(whole.view);
    EXPECT_FALSE(whole.import || whole.exportTable || whole.replace || whole.clear);
    EXPECT_EQ(u"查看(&E)", whole.viewCaption);

    const RowCommands system = rowCommands(&rows[1], soft);
    EXPECT_TRUE(system.view && system.import && system.exportTable && system.replace && system.clear);
    EXPECT_EQ(u"编辑(&E)", system.viewCaption);

    const RowCommands temp = rowCommands(&rows[7], soft);
    EXPECT_TRUE(temp.view && temp.clear);
    EXPECT_FALSE(temp.import || temp.exportTable || temp.replace);
    EXPECT_EQ(u"查看(&V)", temp.viewCaption);

    const RowCommands list = rowCommands(&rows[8], soft);
    EXPECT_TRUE(list.import && list.exportTable && list.replace && list.clear);
}

TEST(CodeTablePage, TheInUseCellFlipsOnlyForCategoryRows) {
    test::DataFolder f;
    Page page(f);
    TableRow system = page.row(1);
    ASSERT_TRUE(system.inUse);
    EXPECT_TRUE(toggleInUse(page.tasks.blocks.soft, system));
    EXPECT_FALSE(page.row(1).inUse);
    EXPECT_TRUE(page.row(1).writable);  // the other right stays
    EXPECT_FALSE(toggleInUse(page.tasks.blocks.soft, page.row(0)));
    EXPECT_FALSE(toggleInUse(page.tasks.blocks.soft, page.rows().back()));
}

TEST(CodeTablePage, APickedFileThatIsNoTextChangesNothing) {
    test::DataFolder f({{"a", u"工", attr::make(9, 1)}, {"b", u"了", attr::make(9, 1)}});
    Page page(f);
    const std::vector<uint8_t> before = f.dir.read("main.dmg");
    // A table file picked by mistake, and a file that is not there.
    f.dir.write("picked.dmg", before);
    for (const std::u16string& source : {f.dir.file("picked.dmg"), f.dir.file("missing.txt")}) {
        for (int category : {0, 1}) {
            TaskOutcome replaced = replaceTable(page.tasks, page.row(category), source, {});
            EXPECT_TRUE(replaced.failed);
            EXPECT_NE(std::u16string::npos, replaced.message.find(u"码表未作改动"));
            TaskOutcome imported = importTable(page.tasks, page.row(category), source, {});
            EXPECT_TRUE(imported.failed);
        }
        EXPECT_EQ(before, f.dir.read("main.dmg"));
    }
}

TEST(CodeTablePage, ACategoryExportedClearedAndImportedAgainComesBack) {
    test::DataFolder f({{"a", u"工", attr::make(9, 1)},
                        {"aa", u"式", attr::make(700, 1, true)},
                        {"b", u"了", attr::make(9, 3)},
                        {"c", u"以", attr::make(1200, 16)}});
    Page page(f);
    const std::vector<test::Entry> before = f.main();
    const TableRow classified = page.row(16);

    TaskOutcome exported = exportRow(page.tasks, classified, {});
    ASSERT_FALSE(exported.failed) << std::string(exported.message.begin(), exported.message.end());
    ASSERT_FALSE(exported.exportedPath.empty());

    TaskOutcome cleared = clearRow(page.tasks, classified, {});
    ASSERT_FALSE(cleared.failed);
    EXPECT_EQ(0u, page.row(16).entries);
    EXPECT_EQ(3u, page.row(0).entries);

    TaskOutcome imported = importTable(page.tasks, classified, exported.exportedPath, {});
    ASSERT_FALSE(imported.failed);
    EXPECT_EQ(u"批量加词完成，成功添加词条数: 1", imported.message);
    EXPECT_EQ(before, f.main());

    // Replacing the category with the same file leaves it as it was too.
    TaskOutcome replaced = replaceTable(page.tasks, classified, exported.exportedPath, {});
    ASSERT_FALSE(replaced.failed);
    EXPECT_EQ(before, f.main());
}

TEST(CodeTablePage, AProtectedCategoryIsNeitherClearedNorReplaced) {
    test::DataFolder f({{"a", u"工", attr::make(9, 17)}});
    Page page(f);
    const std::vector<uint8_t> before = f.dir.read("main.dmg");
    const std::string words = "\xEF\xBB\xBF\xE6\x96\xB0\tx\r\n";
    f.dir.write("words.txt", std::vector<uint8_t>(words.begin(), words.end()));
    EXPECT_EQ(u"当前分类的词条未被授权修改，所以您不能清空此类内容！", clearRow(page.tasks, page.row(17), {}).message);
    EXPECT_TRUE(replaceTable(page.tasks, page.row(17), f.dir.file("words.txt"), {}).failed);
    EXPECT_TRUE(importTable(page.tasks, page.row(0), f.dir.file("words.txt"), {}).failed);  // slot 0 protected
    EXPECT_EQ(before, f.dir.read("main.dmg"));
}

}  // namespace
}  // namespace zv::config
