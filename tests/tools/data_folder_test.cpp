#include "config/table_check.h"
#include "engine/code_table.h"
#include "tests/support/temp_dir.h"
#include "tools/mkdata/data_folder_builder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace zv::mkdata {
namespace {

namespace fs = std::filesystem;

// A database with the Haifeng table's layout and a few rows of our own.
void writeDatabase(const fs::path& path) {
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(path.string().c_str(), &db));
    const char* sql =
        "CREATE TABLE phrases (id INTEGER PRIMARY KEY, tabkeys TEXT, phrase TEXT, freq INTEGER, user_freq INTEGER);"
        "CREATE TABLE pinyin (pinyin TEXT, zi TEXT, freq INTEGER);"
        "CREATE TABLE goucima (zi TEXT PRIMARY KEY, goucima TEXT);"
        "CREATE TABLE suggestion (phrase TEXT, freq INTEGER);"
        "INSERT INTO phrases (tabkeys, phrase, freq, user_freq) VALUES"
        " ('g','一',5000,0), ('ggll','一',5000,0), ('ggll','①',90,0), ('gggg','王',1500,0),"
        " ('gggg','一一',900000,0), ('GGGG','𤣩.',93,0), ('khlg','中国',2000000,0), ('khk','中',4000,0);"
        "INSERT INTO pinyin VALUES ('yi!','一',100), ('zhong!','中',90), ('wang@','王',80);"
        "INSERT INTO goucima VALUES ('一','ggll'), ('中','khk'), ('王','gggg');"
        "INSERT INTO suggestion VALUES ('中国',50), ('中国人',40), ('一一',30);";
    char* error = nullptr;
    EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, sql, nullptr, nullptr, &error)) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

TEST(DataFolderBuilder, EveryFileItWritesPassesTheCheck) {
    if (std::system("opencc_dict --help >/dev/null 2>&1") != 0 || !fs::exists("/usr/share/opencc/STPhrases.ocd2"))
        GTEST_SKIP() << "OpenCC is not installed";
    test::TempDir dir;
    writeDatabase(dir.path() / "hf.db");
    std::ofstream(dir.path() / "words") << "apple\napple's\nbanana\nÅngström\n";
    FolderSources s;
    s.out = (dir.path() / "data").string();
    s.db = (dir.path() / "hf.db").string();
    s.words = (dir.path() / "words").string();
    s.macros = ZV_SOURCE_DIR "/resources/tables/macros.txt";
    s.skins = ZV_SOURCE_DIR "/resources/skins";
    s.keepText = (dir.path() / "main.txt").string();
    std::ostringstream out, err;
    ASSERT_EQ(0, buildDataFolder(s, out, err)) << err.str();
    EXPECT_TRUE(err.str().empty()) << err.str();
    for (const char* f : {"config.dsc", "main.dmg", "temp.dmg", "sysl.dmg", "engl.dmg", "danzi.dmi", "traditional.dms",
                          "simplified.dms"})
        EXPECT_TRUE(fs::exists(dir.path() / "data" / f)) << f;
    EXPECT_TRUE(config::checkDataFolder((dir.path() / "data").u16string() + u'/').empty());
    EXPECT_TRUE(fs::exists(dir.path() / "main.txt"));
    EXPECT_TRUE(fs::exists(dir.path() / "data" / "skin.col"));
    EXPECT_TRUE(fs::exists(dir.path() / "data" / "zoruraved" / "night.col"));
    EXPECT_NE(std::string::npos, out.str().find("engl.dmg: 3 "));  // the possessive form is left out
    EXPECT_FALSE(fs::exists(dir.path() / "data" / ".mkdata"));

    // Building again starts afresh rather than keeping the larger old main.dmg.
    const auto size = fs::file_size(dir.path() / "data" / "main.dmg");
    ASSERT_EQ(0, buildDataFolder(s, out, err));
    EXPECT_EQ(size, fs::file_size(dir.path() / "data" / "main.dmg"));
}

}  // namespace
}  // namespace zv::mkdata
