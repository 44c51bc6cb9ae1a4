#include "config/table_build.h"
#include "engine/bytes.h"
#include "platform/mapped_file.h"
#include "tests/config/table_fixture.h"

#include <gtest/gtest.h>

namespace zv::config {
namespace {

struct Built {
    BuildResult result;
    std::vector<std::u16string> reports;
    std::vector<uint32_t> invalid;
};

Built build(const test::DataFolder& f, std::u16string text) {
    Built b;
    BuildOptions o;
    o.tempFolder = f.temp();
    o.mainPath = f.dir.file("main.dmg");
    o.report = [&](std::u16string_view l) { b.reports.emplace_back(l); };
    o.invalidLine = [&](uint32_t n, std::u16string_view) { b.invalid.push_back(n); };
    b.result = buildMainTable(std::move(text), o);
    return b;
}

uint16_t orderOf(const std::vector<test::Entry>& es, std::string_view code, std::u16string_view word) {
    for (auto& e : es)
        if (e.code == code && e.word == word) return attr::order(e.attributes);
    ADD_FAILURE() << "no entry " << code;
    return 0;
}

TEST(TableBuild, OrderValuesCountDownPerFirstKeyAndStopAt1024) {
    test::DataFolder f;
    std::u16string text;
    for (int i = 0; i < 15400; ++i) text += u"词\ta" + std::u16string(1, char16_t(u'a' + i % 26)) + u"b" +
                                         std::u16string(1, char16_t(u'a' + i / 26 % 26)) +
                                         std::u16string(1, char16_t(u'a' + i / 676)) + u"\r\n";
    text += u"工\tb\r\n了\tb\r\n";
    Built b = build(f, text);
    ASSERT_EQ(BuildStatus::Ok, b.result.status);
    auto es = f.main();
    ASSERT_EQ(15402u, es.size());
    EXPECT_EQ(16383, orderOf(es, "aabaa", u"词"));
    EXPECT_EQ(16382, orderOf(es, "abbaa", u"词"));
    EXPECT_EQ(1024, orderOf(es, "aobtw", u"词"));  // line 15381: never below 1024
    // Each first key has its own counter; the earlier of equal codes ranks first.
    EXPECT_EQ(16383, orderOf(es, "b", u"工"));
    EXPECT_EQ(16382, orderOf(es, "b", u"了"));
    for (auto& e : es) EXPECT_EQ(CategorySystem, attr::category(e.attributes));
    EXPECT_TRUE(test::problemsOf(f.dir.read("main.dmg")).empty());
}

TEST(TableBuild, DirectivesMarkersAndEscapes) {
    test::DataFolder f;
    Built b = build(f,
                    u"---config@码表分类=主码-次显码表\r\n"
                    u"甲\ta\r\n"
                    u"乙\ta#固#序7\r\n"
                    u"丙\tb#类2\r\n"
                    u"///注释\tc\r\n"
                    u"// 注释\r\n"
                    u"a\\sb\\\\\tc\r\n"
                    u"丁\t１＋\r\n"
                    u"---config@全局排序数值=300\r\n");
    ASSERT_EQ(BuildStatus::Ok, b.result.status);
    std::vector<test::Entry> want = {
        {"\x11\x0b", u"丁", attr::make(300, CategorySecondary)},
        {"a", u"乙", attr::make(7, CategorySecondary, true)},
        {"a", u"甲", attr::make(300, CategorySecondary)},
        {"b", u"丙", attr::make(300, 17)},
        {"c", u"//注释", attr::make(300, CategorySecondary)},
        {"c", u"a b\\", attr::make(300, CategorySecondary)},
    };
    EXPECT_EQ(want, f.main());
}

TEST(TableBuild, InvalidDuplicateAndOverlongLines) {
    test::DataFolder f;
    std::u16string longWord(129, u'字');
    Built b = build(f, u"无编码\r\n甲\ta中\r\n\ta\r\n甲\tab\r\n甲\tab\r\n" + longWord + u"\tab\r\n乙\t" +
                           std::u16string(129, u'x') + u"#序3\r\n");
    ASSERT_EQ(BuildStatus::Ok, b.result.status);
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3}), b.invalid);
    EXPECT_EQ(3u, b.result.invalidLines);
    EXPECT_EQ(1u, b.result.duplicates);
    EXPECT_EQ(2u, b.result.dropped);
    EXPECT_EQ(1u, b.result.uniqueEntries);
    ASSERT_EQ(3u, b.reports.size());
    EXPECT_EQ(u"无法识别的编码定义: ab " + longWord, b.reports[0]);
    EXPECT_EQ(u"无法识别的编码定义: " + std::u16string(129, u'x') + u" 乙", b.reports[1]);
    EXPECT_EQ(u"　　码表信息: \r\n　　  码表大小: 10字节\r\n　　  原始码表行数: 8\r\n　　  有效编码行数: 1", b.reports[2]);
}

TEST(TableBuild, MainNeverShrinksAndKeepsItsHeader) {
    std::vector<TableEntry> many;
    for (int i = 0; i < 500; ++i) many.push_back({std::string("k").append(std::to_string(i)), u"旧词", attr::make(1, 2)});
    test::DataFolder f(many);
    auto before = f.dir.read("main.dmg");
    // A header byte the builder does not own survives.
    before[60] = 0x5A;
    f.dir.write("main.dmg", before);
    ASSERT_EQ(BuildStatus::Ok, build(f, u"新\tx\r\n").result.status);
    auto after = f.dir.read("main.dmg");
    EXPECT_EQ(before.size(), after.size());
    EXPECT_EQ(0x5A, after[60]);
    EXPECT_EQ((std::vector<test::Entry>{{"x", u"新", attr::make(16383, 1)}}), test::entriesOf(after));
    EXPECT_EQ(after.size() - 9, rd32(after.data()));  // the one record sits at the end
    EXPECT_TRUE(test::problemsOf(after).empty());

    // A smaller main.dmg grows to the exact size.
    test::DataFolder g;
    ASSERT_EQ(BuildStatus::Ok, build(g, u"新\tx\r\n旧\ty\r\n").result.status);
    EXPECT_EQ(dmg::IndexStart + 4 * 2 + 4 + 9 + 9, g.dir.read("main.dmg").size());
}

TEST(TableBuild, NothingToBuildOrATempTableInTheWayChangesNothing) {
    test::DataFolder f({{"a", u"工", 5}});
    auto before = f.dir.read("main.dmg");
    EXPECT_EQ(BuildStatus::NoEntries, build(f, u"// 只有注释\r\n坏行\r\n").result.status);
    EXPECT_EQ(before, f.dir.read("main.dmg"));

    // A temporary table that cannot be removed (a folder of that name) stops the build.
    std::filesystem::create_directories(f.dir.path() / "tmp" / "zorvan_temp.dmg" / "x");
    EXPECT_EQ(BuildStatus::TempInaccessible, build(f, u"新\tx\r\n").result.status);
    EXPECT_EQ(before, f.dir.read("main.dmg"));
}

TEST(TableBuild, DamagedMainGetsAFreshHeader) {
    test::DataFolder f;
    f.dir.write("main.dmg", std::vector<uint8_t>(100, 0xEE));
    ASSERT_EQ(BuildStatus::Ok, build(f, u"新\tx\r\n").result.status);
    auto after = f.dir.read("main.dmg");
    EXPECT_EQ(dmg::TypeCodeTable, rd32(after.data() + 8));
    EXPECT_EQ(1u, test::entriesOf(after).size());
    EXPECT_TRUE(test::problemsOf(after).empty());

    // An empty file is made anew.
    f.dir.write("main.dmg", {});
    ASSERT_EQ(BuildStatus::Ok, build(f, u"新\tx\r\n").result.status);
    EXPECT_EQ(1u, f.main().size());
}

}  // namespace
}  // namespace zv::config
