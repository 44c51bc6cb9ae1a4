#include "engine/bytes.h"
#include "engine/config_store.h"
#include "platform/utf.h"
#include "tests/config/cli_fixture.h"

#include <gtest/gtest.h>

namespace zv::config::cli {
namespace {

namespace fs = std::filesystem;

TEST(Zvconfig, UsageErrorsAndUnusableFolders) {
    Cli c;
    EXPECT_EQ(ExitUsage, c.run({}));
    EXPECT_EQ(ExitUsage, c.run({"frobnicate"}));
    EXPECT_EQ(ExitUsage, c.run({"build"}));
    EXPECT_EQ(ExitUsage, c.run({"export", "temp"}));
    EXPECT_EQ(ExitUsage, c.run({"clear", "sysl", "--category", "1"}));
    EXPECT_EQ(ExitUsage, c.run({"import", "x.txt", "--category", "5"}));
    EXPECT_EQ(ExitUsage, c.run({"--name", "x", "check"}));  // --data and --name together
    EXPECT_EQ(ExitUsage, c.run({"--data", "/nonexistent/zv", "check"}, false));
    EXPECT_EQ(ExitUsage, c.run({"build", "/nonexistent/x.txt", "--yes"}));
    EXPECT_TRUE(c.says("无法读取文件"));

    c.f.dir.write("config.dsc", std::vector<uint8_t>(64, 7));  // damaged settings
    EXPECT_EQ(ExitUsage, c.run({"export", "main"}));
    EXPECT_TRUE(c.says("非法的软件环境，本程序无法继续。"));
}

TEST(Zvconfig, BuildAsksFirstAndChecksOut) {
    Cli c;
    const auto before = c.f.dir.read("main.dmg");
    std::string file = c.source("src.txt", u"甲\tx\r\n坏行\r\n乙\ty\r\n");
    EXPECT_EQ(ExitRefused, c.run({"build", file}));  // no terminal, no --yes
    EXPECT_TRUE(c.says("--yes"));
    c.terminal = true;
    c.in.str("n\n");
    EXPECT_EQ(ExitRefused, c.run({"build", file}));
    EXPECT_EQ(before, c.f.dir.read("main.dmg"));

    c.in.str("y\n");
    c.in.clear();
    EXPECT_EQ(ExitOk, c.run({"build", file}));
    EXPECT_TRUE(c.says("第 2 行无法识别: 坏行"));
    EXPECT_TRUE(c.says("有效编码行数: 2"));
    EXPECT_EQ(2u, c.f.main().size());
    c.terminal = false;
    EXPECT_EQ(ExitOk, c.run({"check"}));
    EXPECT_EQ("", c.out.str() + c.err.str());

    // A file without any entry is refused and changes nothing.
    auto built = c.f.dir.read("main.dmg");
    EXPECT_EQ(ExitRefused, c.run({"--yes", "build", c.source("empty.txt", u"// 无\r\n")}));
    EXPECT_EQ(built, c.f.dir.read("main.dmg"));
}

TEST(Zvconfig, ImportReportsAndWordLists) {
    Cli c;
    EXPECT_EQ(ExitOk, c.run({"import", c.source("add.txt", u"新\tx\r\n工\ta\r\n")}));
    EXPECT_TRUE(c.says("工 ----------已存在于系统码表"));
    EXPECT_TRUE(c.says("成功添加词条数: 1"));
    EXPECT_TRUE(c.says("无法添加的词条个数为: 1。"));
    EXPECT_TRUE(fs::exists(c.f.dir.path() / "tmp" / u"未能添加的词条.txt"));
    EXPECT_EQ(ExitOk, c.run({"import", c.source("add2.txt", u"又\tz\r\n")}));
    EXPECT_TRUE(c.says("批量加词完成，成功添加词条数: 1"));

    EXPECT_EQ(ExitOk, c.run({"import-list", "sysl", c.source("sysl.txt", u"中国#人民\r\n中国#队\r\n"), "--yes"}));
    EXPECT_TRUE(c.says("词条导入成功。"));
    auto config = c.f.dir.read("config.dsc");
    EXPECT_TRUE(findBlocks(config.data(), static_cast<uint32_t>(config.size())).ime.bit(ImeSettings::OptionC, 0x400));
    EXPECT_EQ(ExitOk, c.run({"import-list", "engl", c.source("engl.txt", u"hello\nworld\n"), "--yes"}));
    EXPECT_EQ(ExitRefused, c.run({"import-list", "engl", c.source("none.txt", u"//\n"), "--yes"}));
    EXPECT_TRUE(c.says("词条导入失败。"));
    EXPECT_EQ(ExitOk, c.run({"check"}));
}

TEST(Zvconfig, ExportAndClearFollowThePermissions) {
    Cli c;  // categories 1, 3 and 16 editable; slot 0 not
    EXPECT_EQ(ExitOk, c.run({"export", "main", "--category", "16"}));
    fs::path exported = c.f.dir.path() / "docs" / "[ Zorvan ]" / u"导出 - 主码 - 二简.txt";
    DecodedText text;
    ASSERT_TRUE(readTextFile(exported.u16string(), text));
    EXPECT_EQ(u"---config@码表分类=主码-1\r\n---config@码表别名=二简\r\n了\tb#序9\r\n", text.text);
    EXPECT_EQ(ExitRefused, c.run({"export", "main", "--category", "17"}));
    EXPECT_TRUE(c.says("该码表未被授权修改！"));
    EXPECT_EQ(ExitUsage, c.run({"export", "sysl"}));  // no sysl.dmg in this folder

    EXPECT_EQ(ExitRefused, c.run({"clear", "main", "--yes"}));
    EXPECT_TRUE(c.says("该码表未被授权修改！"));
    EXPECT_EQ(ExitRefused, c.run({"clear", "main", "--category", "17", "--yes"}));
    EXPECT_TRUE(c.says("当前分类的词条未被授权修改，所以您不能清空此类内容！"));
    EXPECT_EQ(ExitOk, c.run({"clear", "main", "--category", "16", "--yes"}));
    EXPECT_EQ(1u, c.f.main().size());
    EXPECT_EQ(ExitOk, c.run({"import", utf16ToUtf8(exported.u16string()), "--category", "16"}));
    EXPECT_EQ(2u, c.f.main().size());

    c.f.dir.write("temp.dmg", buildEmptyTempImage());
    EXPECT_EQ(ExitOk, c.run({"clear", "temp", "--yes"}));
    EXPECT_EQ(ExitOk, c.run({"check"}));
}

TEST(Zvconfig, DamagedTablesLoseNothing) {
    Cli c;
    auto image = c.f.dir.read("main.dmg");
    wr32(image.data() + dmg::IndexStart, 5);  // an offset inside the header
    c.f.dir.write("main.dmg", image);
    EXPECT_EQ(ExitUsage, c.run({"import", c.source("add.txt", u"新\tx\r\n")}));
    EXPECT_TRUE(c.says("无法获取当前码表内容。"));
    EXPECT_EQ(ExitUsage, c.run({"clear", "main", "--category", "16", "--yes"}));
    EXPECT_EQ(image, c.f.dir.read("main.dmg"));
    EXPECT_EQ(ExitRefused, c.run({"check"}));
    EXPECT_TRUE(c.says("main.dmg: 第 0 条词条的记录"));
}

TEST(Zvconfig, ReadOnlyTablesLoseNothing) {
    Cli r;
    const fs::path main = r.f.dir.path() / "main.dmg";
    const auto before = r.f.dir.read("main.dmg");
    if (!test::makeReadOnly(main)) GTEST_SKIP() << "files cannot be made read-only here";
    EXPECT_EQ(ExitUsage, r.run({"build", r.source("src.txt", u"甲\tx\r\n"), "--yes"}));
    EXPECT_TRUE(r.says("数据文件无法写入"));
    EXPECT_EQ(ExitUsage, r.run({"import", r.source("add.txt", u"新\tx\r\n")}));
    EXPECT_EQ(ExitUsage, r.run({"clear", "main", "--category", "16", "--yes"}));
    test::makeWritable(main);
    EXPECT_EQ(before, r.f.dir.read("main.dmg"));
}

TEST(Zvconfig, NamedInstanceComesFromTheRegistry) {
    Cli c;
    platform::MemoryRegistry registry;
    InstanceInfo info;
    info.name = u"试验";
    info.imeName = u"试验";
    info.dataDir = c.f.folder();
    info.installDir = c.f.folder();
    registerInstance(registry, info);
    std::ostringstream out, err;
    std::istringstream in;
    Io io(out, err, in);
    io.systemRegistry = &registry;
    io.tempFolder = c.f.temp();
    EXPECT_EQ(ExitOk, run({"--name", "试验", "check"}, io));
    EXPECT_EQ(ExitUsage, run({"--name", "别的", "check"}, io));
}

}  // namespace
}  // namespace zv::config::cli
