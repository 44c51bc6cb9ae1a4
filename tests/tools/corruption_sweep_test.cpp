// Damaged data folders: every data file of a default folder, truncated, with
// flipped bytes or with two 4 KiB pages swapped, a thousand times each. The
// engine opens each folder (or refuses it), takes the focus, types a few
// codes and commits; the integrity check of zvconfig check reads it. Neither
// may crash or touch a byte outside a file (the sanitizers of the Debug
// build watch), and the check must name damage that it has to see.
//
// ZV_SWEEP_COUNT sets the number of damaged copies per file (default 1000).

#include "config/table_check.h"
#include "engine/host.h"
#include "engine/host_view.h"
#include "platform/clock.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "tests/support/temp_dir.h"
#include "tools/mkdata/data_folder_builder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

namespace zv {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> readFile(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& p, const std::vector<uint8_t>& bytes) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A Haifeng-layout database with a few dozen rows, so that the folder the
// builder makes from it holds every file with a table of some size.
void writeDatabase(const fs::path& path) {
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(path.string().c_str(), &db));
    std::string sql =
        "CREATE TABLE phrases (id INTEGER PRIMARY KEY, tabkeys TEXT, phrase TEXT, freq INTEGER, user_freq INTEGER);"
        "CREATE TABLE pinyin (pinyin TEXT, zi TEXT, freq INTEGER);"
        "CREATE TABLE goucima (zi TEXT PRIMARY KEY, goucima TEXT);"
        "CREATE TABLE suggestion (phrase TEXT, freq INTEGER);"
        "INSERT INTO phrases (tabkeys, phrase, freq, user_freq) VALUES"
        " ('g','一',5000,0), ('ggll','一',5000,0), ('gggg','王',1500,0), ('gggg','一一',900000,0),"
        " ('khlg','中国',2000000,0), ('khk','中',4000,0), ('wqvb','你好',300000,0), ('wq','你',9000,0),"
        " ('vb','好',8000,0), ('vbg','好',100,0), ('a','工',7000,0), ('aa','式',600,0)";
    // More rows under a few first keys, so that a page has pages after it.
    std::mt19937 rng(7);
    for (int i = 0; i < 400; ++i) {
        std::string code(1, "agkw"[i % 4]);
        for (int k = 0; k < 1 + i % 3; ++k) code.push_back(static_cast<char>('a' + rng() % 25));
        const char32_t c = 0x4E00 + rng() % 2000;
        std::string word = {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                            static_cast<char>(0x80 | (c & 0x3F))};
        sql += ", ('" + code + "','" + word + "'," + std::to_string(rng() % 100000) + ",0)";
    }
    sql +=
        ";INSERT INTO pinyin VALUES ('yi!','一',100), ('zhong!','中',90), ('wang@','王',80);"
        "INSERT INTO goucima VALUES ('一','ggll'), ('中','khk'), ('王','gggg'), ('你','wqiy'), ('好','vbg');"
        "INSERT INTO suggestion VALUES ('中国',50), ('中国人',40), ('一一',30), ('你好',20);";
    char* error = nullptr;
    EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error)) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

void press(EngineContext& ctx, int vk, uint32_t scan) {
    const KeyboardState keys;
    for (bool up : {false, true})
        if (testKey(ctx, vk, keyDataFor(scan, false, up), up, keys)) processKey(ctx);
}

// What a user does first in a new text field: a few codes, a page on, a
// commit by Space and by number, an edit of the code, a commit by the host.
void typeAFewKeys(EngineContext& ctx) {
    static const uint8_t letterScan[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                                           0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    auto type = [&](std::string_view keys) {
        for (char c : keys) {
            if (c >= 'a' && c <= 'z') press(ctx, c - 32, letterScan[c - 'a']);
            else if (c == ' ') press(ctx, 0x20, 0x39);
            else if (c == '=') press(ctx, 0xBB, 0x0D);
            else if (c == '2') press(ctx, '2', 0x03);
            else if (c == '\b') press(ctx, 0x08, 0x0E);
        }
    };
    type("wqvb ");
    type("g=2");
    type("khlg\bg ");
    type("a");
    viewOf(ctx);
    commitNow(ctx);
}

enum class Damage { Truncated, Flipped, PagesSwapped };

struct Damaged {
    std::vector<uint8_t> bytes;
    Damage kind;
};

Damaged damage(const std::vector<uint8_t>& good, std::mt19937& rng, int i) {
    Damaged d{good, static_cast<Damage>(i % 3)};
    std::vector<uint8_t>& b = d.bytes;
    if (d.kind == Damage::PagesSwapped && b.size() < 2 * 4096) d.kind = Damage::Flipped;
    switch (d.kind) {
    case Damage::Truncated:
        b.resize(good.empty() ? 0 : rng() % good.size());
        break;
    case Damage::Flipped: {
        // Half of the flips go into the first kilobyte, where the headers,
        // counts and first offsets are.
        const int flips = 1 + static_cast<int>(rng() % 8);
        for (int k = 0; k < flips && !b.empty(); ++k) {
            const size_t at = rng() % 2 ? rng() % std::min<size_t>(b.size(), 1024) : rng() % b.size();
            b[at] ^= static_cast<uint8_t>(1 + rng() % 255);
        }
        break;
    }
    case Damage::PagesSwapped: {
        const size_t pages = b.size() / 4096;
        const size_t p = rng() % pages;
        size_t q = rng() % (pages - 1);
        if (q >= p) ++q;
        std::swap_ranges(b.begin() + p * 4096, b.begin() + (p + 1) * 4096, b.begin() + q * 4096);
        break;
    }
    }
    return d;
}

int sweepCount() {
    const char* v = std::getenv("ZV_SWEEP_COUNT");
    const int n = v ? std::atoi(v) : 0;
    return n > 0 ? n : 1000;
}

TEST(CorruptionSweep, DamagedDataFilesNeverCrashTheEngineOrTheCheck) {
    if (std::system("opencc_dict --help >/dev/null 2>&1") != 0 || !fs::exists("/usr/share/opencc/STPhrases.ocd2"))
        GTEST_SKIP() << "OpenCC is not installed";
    test::TempDir sources;
    writeDatabase(sources.path() / "hf.db");
    std::ofstream(sources.path() / "words") << "apple\nbanana\nhello\nhelp\nworld\nwork\n";
    // Small conversion dictionaries in OpenCC's own format: the shipped ones
    // would make each check of the folder read a hundred thousand pairs.
    const fs::path opencc = sources.path() / "opencc";
    fs::create_directories(opencc);
    const std::pair<const char*, const char*> dictionaries[] = {
        {"STPhrases", "中国\t中國\n后来\t後來\n头发\t頭髮\n"},
        {"STCharacters", "国\t國\n后\t後 后\n发\t發 髮\n个\t個\n"},
        {"TSPhrases", "中國\t中国\n後來\t后来\n"},
        {"TSCharacters", "國\t国\n後\t后\n發\t发\n髮\t发\n個\t个\n"},
    };
    for (const auto& [name, text] : dictionaries) {
        std::ofstream(opencc / (std::string(name) + ".txt")) << text;
        const std::string command = "opencc_dict -i '" + (opencc / name).string() + ".txt' -o '" +
                                    (opencc / name).string() + ".ocd2' -f text -t ocd2 >/dev/null 2>&1";
        ASSERT_EQ(0, std::system(command.c_str())) << command;
    }
    mkdata::FolderSources s;
    s.opencc = opencc.string();
    s.out = (sources.path() / "built").string();
    s.db = (sources.path() / "hf.db").string();
    s.words = (sources.path() / "words").string();
    s.macros = ZV_SOURCE_DIR "/resources/tables/macros.txt";
    std::ostringstream out, err;
    ASSERT_EQ(0, mkdata::buildDataFolder(s, out, err)) << err.str();

    const std::vector<std::string> files = {"config.dsc", "main.dmg",  "temp.dmg",        "sysl.dmg",
                                            "engl.dmg",   "danzi.dmi", "traditional.dms", "simplified.dms"};
    std::map<std::string, std::vector<uint8_t>> good;
    for (const std::string& f : files) {
        good[f] = readFile(fs::path(s.out) / f);
        ASSERT_FALSE(good[f].empty()) << f;
    }
    ASSERT_TRUE(config::checkDataFolder(fs::path(s.out).u16string() + u'/').empty());

    // The damaged folder lives in memory where the system has it: the
    // engine flushes what it learns from a commit, eight thousand times.
    std::error_code ec;
    const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : sources.path();
    const fs::path folder = base / ("zv-sweep-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(folder);
    struct Remove {
        fs::path p;
        ~Remove() {
            std::error_code ec;
            fs::remove_all(p, ec);
        }
    } remove{folder};
    const std::u16string dir = folder.u16string() + u'/';

    platform::ManualClock clock;
    platform::NullServices services;
    platform::MemoryRegistry registry;
    platform::Platform p = services.forAll(&clock);
    p.registry = &registry;

    // A sound folder opens and types.
    for (const std::string& f : files) writeFile(folder / f, good[f]);
    {
        Engine engine = openEngineFolder(dir, dir, p);
        ASSERT_TRUE(engine);
        focusGained(*engine);
        typeAFewKeys(*engine);
    }

    const int count = sweepCount();
    std::mt19937 rng(20261209);
    for (const std::string& f : files) {
        int opened = 0, reported = 0;
        for (int i = 0; i < count; ++i) {
            // The engine writes what it learns: every file it may have
            // changed goes back to its sound state first.
            for (const char* written : {"config.dsc", "main.dmg", "temp.dmg"}) writeFile(folder / written, good[written]);
            const Damaged d = damage(good[f], rng, i);
            writeFile(folder / f, d.bytes);
            bool usable = false;
            {
                Engine engine = openEngineFolder(dir, dir, p);
                usable = engine != nullptr;
                if (engine) {
                    ++opened;
                    focusGained(*engine);
                    typeAFewKeys(*engine);
                    focusLost(*engine);
                }
            }
            const std::vector<std::u16string> problems = config::checkDataFolder(dir);
            if (!problems.empty()) ++reported;
            // What the engine cannot use, the check names.
            if (!usable) {
                ASSERT_FALSE(problems.empty()) << f << " damaged (" << static_cast<int>(d.kind) << ", " << d.bytes.size()
                                               << " bytes) keeps the engine from opening, yet the check is silent";
            }
            // A main table cut short has lost records or its index: the
            // check has to say so.
            if (f == "main.dmg" && d.kind == Damage::Truncated) {
                ASSERT_FALSE(problems.empty()) << "main.dmg cut to " << d.bytes.size() << " bytes";
            }
            writeFile(folder / f, good[f]);
        }
        std::printf("%-16s %d damaged copies: %d opened by the engine, %d reported by the check\n", f.c_str(), count,
                    opened, reported);
        EXPECT_GT(reported, 0) << f;
    }
}

}  // namespace
}  // namespace zv
