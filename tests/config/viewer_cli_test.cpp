// zvconfig's settings and viewer commands on folders of the test's own:
// settings text files, set, list, add, delete, undelete, lookup and
// reverse-lookup, with bad input and after typing.

#include "engine/bytes.h"
#include "engine/data_files.h"
#include "engine/default_store.h"
#include "engine/input.h"
#include "engine/pair_table.h"
#include "engine/set_command.h"
#include "frontends/terminal/key_script.h"
#include "frontends/terminal/session.h"
#include "platform/utf.h"
#include "tests/config/cli_fixture.h"

#include <gtest/gtest.h>

#include <map>

namespace zv::config::cli {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// The shipped settings on a folder of the test.
struct ShippedCli : Cli {
    ShippedCli() { f.dir.write("config.dsc", shippedConfigStore()); }
    std::vector<uint8_t> config() const { return f.dir.read("config.dsc"); }
    SettingsBlocks blocks(std::vector<uint8_t>& bytes) const {
        return findBlocks(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
};

TEST(ZvconfigSettings, TextRoundTripsThroughFilesInEveryEncoding) {
    ShippedCli c;
    const auto shipped = c.config();
    const std::string file = (c.f.dir.path() / "all.zvconfig.txt").string();
    ASSERT_EQ(ExitOk, c.run({"settings", "export", "-o", file}));
    const auto bytes = c.f.dir.read("all.zvconfig.txt");
    ASSERT_GT(bytes.size(), 2u);
    EXPECT_EQ(0xFF, bytes[0]);
    EXPECT_EQ(0xFE, bytes[1]);
    DecodedText text;
    ASSERT_TRUE(readTextFile(fromUtf8(file), text));
    EXPECT_NE(std::u16string::npos, text.text.find(u"[-IME设置-]\r\n"));
    for (size_t i = 0; i < text.text.size(); ++i) {
        const bool bareLf = text.text[i] == u'\n' && (i == 0 || text.text[i - 1] != u'\r');
        ASSERT_FALSE(bareLf) << "at " << i;
    }

    // Other settings, then the export read back: the blocks as shipped.
    ASSERT_EQ(ExitOk, c.run({"set", "set([-IME设置-],候选列表显示个数=9)"}));
    ASSERT_EQ(ExitOk, c.run({"set", "set([-DME设置-],查询输入字符=x)"}));
    ASSERT_NE(shipped, c.config());
    ASSERT_EQ(ExitOk, c.run({"settings", "import", file}));
    EXPECT_EQ(shipped, c.config());

    // The same text as UTF-8 without a mark and as UTF-16BE.
    std::string utf8 = utf16ToUtf8(text.text);
    std::string be = "\xFE\xFF";
    for (char16_t u : text.text) be += {static_cast<char>(u >> 8), static_cast<char>(u & 0xFF)};
    for (const std::string& encoded : {utf8, be}) {
        ASSERT_EQ(ExitOk, c.run({"set", "set([-IME设置-],候选列表显示个数=9)"}));
        c.f.dir.write("other.txt", std::vector<uint8_t>(encoded.begin(), encoded.end()));
        ASSERT_EQ(ExitOk, c.run({"settings", "import", (c.f.dir.path() / "other.txt").string()}));
        EXPECT_EQ(shipped, c.config());
    }

    // Without -o the export goes to the folder of the table exports.
    ASSERT_EQ(ExitOk, c.run({"settings", "export"}));
    EXPECT_TRUE(fs::exists(c.f.dir.path() / "docs" / "[ Zorvan ]" / u"导出全部设置.zvconfig.txt"));
}

TEST(ZvconfigSettings, BadFilesAndCommandsChangeNothing) {
    ShippedCli c;
    const auto before = c.config();
    std::vector<uint8_t> garbage(3000);
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 7919 >> 3);
    c.f.dir.write("garbage.bin", garbage);
    EXPECT_EQ(ExitUsage, c.run({"settings", "import", (c.f.dir.path() / "garbage.bin").string()}));
    EXPECT_TRUE(c.says("文件中没有可识别的设置内容"));
    // A code table, and a settings text in UTF-16 without its mark.
    EXPECT_EQ(ExitUsage, c.run({"settings", "import", c.source("table.txt", u"工\ta\r\n")}));
    std::string noMark;
    for (char c16 : std::string("[-IME设置-]\r\n候选列表显示个数=9\r\n")) noMark += {c16, '\0'};
    c.f.dir.write("nomark.txt", std::vector<uint8_t>(noMark.begin(), noMark.end()));
    EXPECT_EQ(ExitUsage, c.run({"settings", "import", (c.f.dir.path() / "nomark.txt").string()}));
    EXPECT_EQ(ExitUsage, c.run({"settings", "import", "/nonexistent/zv.txt"}));
    EXPECT_TRUE(c.says("无法读取文件"));
    EXPECT_EQ(ExitUsage, c.run({"settings", "frobnicate"}));

    EXPECT_EQ(ExitUsage, c.run({"set", "候选列表显示个数=9"}));
    EXPECT_TRUE(c.says("设置命令格式错误"));
    EXPECT_EQ(ExitRefused, c.run({"set", "set([-DME设置-],查询输入字符=中)"}));
    EXPECT_TRUE(c.says("设置值无效，未作更改"));
    EXPECT_EQ(ExitRefused, c.run({"set", "set([-IME设置-],没有这项=1)"}));
    EXPECT_EQ(before, c.config());

    const fs::path config = c.f.dir.path() / "config.dsc";
    if (test::makeReadOnly(config)) {
        EXPECT_EQ(ExitUsage, c.run({"settings", "import", c.source("ok.txt", u"[-IME设置-]\r\n候选列表显示个数=9\r\n")}));
        EXPECT_TRUE(c.says("数据文件无法写入"));
        EXPECT_EQ(ExitUsage, c.run({"set", "set([-IME设置-],候选列表显示个数=9)"}));
        test::makeWritable(config);
        EXPECT_EQ(before, c.config());
    }
}

TEST(ZvconfigSettings, WindowStyleSwitchStartsTheInstaller) {
    ShippedCli c;  // shipped with TSF-嵌入编码
    ASSERT_EQ(ExitOk, c.run({"set", "set([-IME设置-],编码窗口样式=TSF-嵌入首选)"}));
    EXPECT_TRUE(c.services.runs.empty());
    ASSERT_EQ(ExitOk, c.run({"set", "set([-IME设置-],编码窗口样式=IME-传统样式)"}));
    ASSERT_EQ(1u, c.services.runs.size());
    EXPECT_NE(std::u16string::npos, c.services.runs[0].program.find(u"installer.exe"));
    EXPECT_EQ(u"/EMMODE=0 /GUID=" + std::u16string(kDefaultImeName), c.services.runs[0].arguments);
    ASSERT_EQ(ExitOk, c.run({"settings", "import", c.source("s.txt", u"[-IME设置-]\r\n编码窗口样式=TSF-嵌入编码\r\n")}));
    ASSERT_EQ(2u, c.services.runs.size());
    EXPECT_EQ(u"/EMMODE=1 /GUID=" + std::u16string(kDefaultImeName), c.services.runs[1].arguments);
}

struct ViewerCli : Cli {
    ViewerCli() {
        f.dir.write("main.dmg", buildCodeTableImage({
                                    {"a", u"工", attr::make(9, 1)},
                                    {"aa", u"式", attr::make(7, 16, true)},
                                    {"ab", u"工\t人", attr::make(5, 4)},
                                    {"b", u"了", attr::make(9, 16, false, true)},
                                    {"c", u"以", attr::make(3, 17)},
                                }));
        f.dir.write("sysl.dmg", buildWordListImage({{"", u"中国", 5}, {"", u"中国人", 4}}));
    }
    std::vector<std::string> list(std::vector<std::string> args) {
        args.insert(args.begin(), "list");
        EXPECT_EQ(ExitOk, run(args)) << err.str();
        return lines(out.str());
    }
};

TEST(ZvconfigList, RowsOfTheViewer) {
    ViewerCli c;
    using L = std::vector<std::string>;
    EXPECT_EQ((L{"1\ta\t工\t五笔 - 一简\t9"}), c.list({"--code", "a"}));
    EXPECT_EQ((L{"1\ta\t工\t五笔 - 一简\t9", "2\taa\t式\t五笔 - 二简 固顶\t7", "3\tab\t工\\t人\t拼音\t5"}),
              c.list({"--code", "a", "--prefix"}));
    EXPECT_EQ((L{"1\tb\t了\t五笔 - 二简 已删除\t9"}), c.list({"--deleted"}));
    EXPECT_EQ((L{"1\taa\t式\t五笔 - 二简 固顶\t7"}), c.list({"--fixed", "--category", "17"}));
    EXPECT_EQ((L{"1\tc\t以\t五笔 - 三简\t3"}), c.list({"--category", "17"}));
    EXPECT_EQ((L{"1\t\t中国人\t联想表\t4"}), c.list({"--table", "sysl", "--word", "中国人"}));
    EXPECT_EQ(2u, c.list({"--table", "sysl", "--word", "中", "--prefix"}).size());

    EXPECT_EQ(ExitUsage, c.run({"list", "--table", "sysl", "--category", "1"}));
    EXPECT_EQ(ExitUsage, c.run({"list", "--table", "other"}));
    EXPECT_EQ(ExitUsage, c.run({"list", "--category", "x"}));
    EXPECT_EQ(ExitUsage, c.run({"list", "--code", std::string(129, 'a')}));
    EXPECT_TRUE(c.says("筛选文字过长"));
    EXPECT_EQ(ExitUsage, c.run({"list", "--table", "temp"}));  // no temp.dmg here
    EXPECT_TRUE(c.says("无法获取当前码表内容。"));
}

TEST(ZvconfigEntries, AddDeleteAndUndelete) {
    ViewerCli c;
    // 构词规则 for two characters and the characters' codes.
    auto config = c.f.dir.read("config.dsc");
    DmeSettings dme = findBlocks(config.data(), static_cast<uint32_t>(config.size())).dme;
    const uint16_t rule[] = {0x0101, 0x0102, 0x0201, 0x0202};
    for (int i = 0; i < 4; ++i) dme.setU16(DmeSettings::Rules + 256 * 2 + 2 * i, rule[i]);
    c.f.dir.write("config.dsc", config);
    c.f.dir.write("danzi.dmi", buildPairTable({{u"工", u"aaaa"}, {u"人", u"wwww"}}));

    EXPECT_EQ(ExitOk, c.run({"add", "工人"}));
    EXPECT_TRUE(c.says("已添加词条: 工人\taaww"));
    EXPECT_EQ(ExitOk, c.run({"add", "人工", "wwaa"}));
    EXPECT_EQ((std::vector<std::string>{"1\taaww\t工人\t五笔 - 自造词\t1024", "2\twwaa\t人工\t五笔 - 自造词\t1024"}),
              c.list({"--category", "2"}));
    EXPECT_EQ(ExitRefused, c.run({"add", "工人"}));
    EXPECT_TRUE(c.says("词条已存在"));
    EXPECT_EQ(ExitRefused, c.run({"add", "人", "人"}));
    EXPECT_TRUE(c.says("编码不能非键盘字符"));
    EXPECT_EQ(ExitRefused, c.run({"add", "乙"}));  // no code for 乙
    EXPECT_TRUE(c.says("编码不能为空"));
    EXPECT_EQ(ExitRefused, c.run({"add", std::string(3 * 129, 'x'), "x"}));
    EXPECT_TRUE(c.says("非法的定义"));
    EXPECT_EQ(ExitUsage, c.run({"add"}));

    // Deleting asks first; a user word goes, a protected one is marked.
    const auto before = c.f.dir.read("main.dmg");
    EXPECT_EQ(ExitRefused, c.run({"delete", "aaww", "工人"}));
    EXPECT_TRUE(c.says("--yes"));
    EXPECT_EQ(before, c.f.dir.read("main.dmg"));
    EXPECT_EQ(ExitOk, c.run({"delete", "aaww", "工人", "--yes"}));
    EXPECT_TRUE(c.says("词条已删除。"));
    EXPECT_EQ(1u, c.list({"--category", "2"}).size());
    EXPECT_EQ(ExitOk, c.run({"delete", "c", "以", "--yes"}));
    EXPECT_TRUE(c.says("标记为删除"));
    EXPECT_EQ((std::vector<std::string>{"1\tc\t以\t五笔 - 三简 已删除\t3"}), c.list({"--category", "17"}));
    EXPECT_EQ(ExitRefused, c.run({"delete", "c", "没有", "--yes"}));
    EXPECT_TRUE(c.says("主码表中没有这个词条"));

    EXPECT_EQ(ExitOk, c.run({"undelete", "c", "以"}));
    EXPECT_EQ((std::vector<std::string>{"1\tc\t以\t五笔 - 三简\t3"}), c.list({"--category", "17"}));
    // Adding an entry that exists deleted brings it back.
    EXPECT_EQ(ExitOk, c.run({"add", "了", "b"}));
    EXPECT_TRUE(c.says("取消删除"));
    EXPECT_TRUE(c.list({"--deleted"}).empty());
    EXPECT_EQ(ExitOk, c.run({"check"}));

    // Without a name for the user category there are no user words.
    SoftSettings soft = findBlocks(config.data(), static_cast<uint32_t>(config.size())).soft;
    soft.setText(SoftSettings::CategoryNames + 2 * 9 * CategoryUser, 9, u"");
    c.f.dir.write("config.dsc", config);
    EXPECT_EQ(ExitRefused, c.run({"add", "新", "x"}));
    EXPECT_TRUE(c.says("当前输入法未支持用户词功能！"));
}

TEST(ZvconfigEntries, DamagedAndReadOnlyTablesLoseNothing) {
    ViewerCli c;
    auto image = c.f.dir.read("main.dmg");
    wr32(image.data() + dmg::IndexStart + 4, 70);  // a record inside the header
    c.f.dir.write("main.dmg", image);
    EXPECT_EQ(ExitUsage, c.run({"delete", "a", "工", "--yes"}));
    EXPECT_TRUE(c.says("无法获取当前码表内容。"));
    EXPECT_EQ(ExitUsage, c.run({"add", "新", "x"}));
    EXPECT_EQ(ExitUsage, c.run({"undelete", "a", "工"}));
    EXPECT_EQ(image, c.f.dir.read("main.dmg"));
    EXPECT_EQ(4u, c.list({}).size());  // the damaged record is left out

    wr32(image.data() + 8, 9);  // no code table at all
    c.f.dir.write("main.dmg", image);
    EXPECT_EQ(ExitUsage, c.run({"list"}));
    EXPECT_TRUE(c.says("无法获取当前码表内容。"));
    EXPECT_EQ(ExitUsage, c.run({"lookup", "a"}));

    ViewerCli r;
    const fs::path main = r.f.dir.path() / "main.dmg";
    const auto before = r.f.dir.read("main.dmg");
    if (!test::makeReadOnly(main)) GTEST_SKIP() << "files cannot be made read-only here";
    EXPECT_EQ(ExitUsage, r.run({"add", "新", "x"}));
    EXPECT_TRUE(r.says("数据文件无法写入"));
    EXPECT_EQ(ExitUsage, r.run({"delete", "a", "工", "--yes"}));
    EXPECT_EQ(ExitOk, r.run({"list"}));
    test::makeWritable(main);
    EXPECT_EQ(before, r.f.dir.read("main.dmg"));
}

// The shipped settings with tables of the test, and an engine that types on
// the same folder.
struct TypingCli : ShippedCli {
    platform::ManualClock clock;
    std::unique_ptr<EngineContext> ctx;
    std::unique_ptr<term::Session> session;

    TypingCli() {
        f.dir.write("main.dmg", buildCodeTableImage({
                                    {"ggll", u"一", attr::make(16000, 18)},
                                    {"khk", u"中", attr::make(16000, 17)},
                                    {"lgyi", u"国", attr::make(16000, 18)},
                                    {"wqvb", u"你好", attr::make(16000, 20)},
                                    {"wqvb", u"您好", attr::make(15000, 20)},
                                    {"wqvbx", u"你好吗", attr::make(15000, 20)},
                                    {"wq", u"你", attr::make(16000, 16)},
                                }));
        f.dir.write("temp.dmg", buildEmptyTempImage());
    }
    void startTyping() {
        ctx = std::make_unique<EngineContext>();
        ctx->platform.clock = &clock;
        ctx->platform.shell = &services;
        ASSERT_TRUE(openDataFolder(*ctx, f.folder(), u""));
        InstallerLaunch launch{&services, ctx->installDir, ctx->imeName};
        ASSERT_TRUE(runSetCommand(ctx->blocks, u"set([-IME设置-],临时词功能开启=是)", launch).valid);
        session = std::make_unique<term::Session>(*ctx, clock);
        startInputContext(*ctx);
    }
    void type(std::string_view script) {
        auto strokes = term::parseKeyScript(script);
        ASSERT_TRUE(strokes);
        for (auto& k : *strokes) session->play(k);
    }
};

TEST(ZvconfigLookup, ShowsTheEnginesCandidatesAndChangesNothing) {
    TypingCli c;
    std::map<std::string, std::vector<uint8_t>> files;
    for (auto& e : fs::directory_iterator(c.f.dir.path()))
        if (e.is_regular_file()) files[e.path().filename().string()] = c.f.dir.read(e.path().filename().string());

    ASSERT_EQ(ExitOk, c.run({"lookup", "wqvb"}));
    EXPECT_EQ((std::vector<std::string>{"1\t你好\t", "2\t您好\t", "3\t你好吗\tx"}), lines(c.out.str()));
    ASSERT_EQ(ExitOk, c.run({"lookup", "ggll"}));
    EXPECT_EQ((std::vector<std::string>{"1\t一\t"}), lines(c.out.str()));
    ASSERT_EQ(ExitOk, c.run({"lookup", "wq"}));
    EXPECT_EQ("1\t你\t", lines(c.out.str()).front());
    EXPECT_EQ("2\t你好\tvb", lines(c.out.str())[1]);
    ASSERT_EQ(ExitOk, c.run({"lookup", "yyyy"}));
    EXPECT_EQ("", c.out.str());
    ASSERT_EQ(ExitOk, c.run({"lookup", "zzll"}));  // z is the query key
    EXPECT_EQ("1\t一\t", c.out.str().substr(0, 6));
    for (auto& [name, bytes] : files) EXPECT_EQ(bytes, c.f.dir.read(name)) << name;

    EXPECT_EQ(ExitUsage, c.run({"lookup", "wq中"}));
    EXPECT_EQ(ExitUsage, c.run({"lookup", std::string(129, 'a')}));
    EXPECT_EQ(ExitUsage, c.run({"lookup"}));
}

TEST(ZvconfigLookup, PromotedWordsAndReverseLookupAfterTyping) {
    TypingCli c;
    EXPECT_EQ(ExitRefused, c.run({"reverse-lookup"}));  // nothing committed yet
    c.startTyping();
    c.type("ggllkhk{Space}lgyi");  // forms the temporary word 中国 (khlg)
    c.type("khlg{Space}");         // commits it: a user word now
    EXPECT_EQ(u"一中国中国", c.session->typed());
    ASSERT_EQ(ExitOk, c.run({"list", "--category", "2"}));
    EXPECT_EQ((std::vector<std::string>{"1\tkhlg\t中国\t五笔 - 自造词\t1024"}), lines(c.out.str()));

    c.type("wqvb{Space}");
    ASSERT_EQ(ExitOk, c.run({"reverse-lookup"}));
    EXPECT_EQ((std::vector<std::string>{"1\twqvb\t你好\t五笔 - 词组\t16000"}), lines(c.out.str()));

    c.services.clipboard = u"中国" + std::u16string(200, u'x');
    ASSERT_EQ(ExitOk, c.run({"reverse-lookup", "--clipboard"}));
    EXPECT_EQ("", c.out.str());  // the first 128 units are no word of the table
    c.services.clipboard = u"你好";
    ASSERT_EQ(ExitOk, c.run({"reverse-lookup", "--clipboard"}));
    EXPECT_EQ(1u, lines(c.out.str()).size());
    c.services.clipboard.clear();
    EXPECT_EQ(ExitRefused, c.run({"reverse-lookup", "--clipboard"}));
}

}  // namespace
}  // namespace zv::config::cli
