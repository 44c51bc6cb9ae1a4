#include "config/table_check.h"
#include "engine/bytes.h"
#include "engine/config_store.h"
#include "engine/pair_table.h"
#include "tests/config/table_fixture.h"

#include <gtest/gtest.h>

namespace zv::config {
namespace {

std::vector<std::u16string> check(const std::vector<uint8_t>& f, TableKind kind = TableKind::Code) {
    return checkTable(f.data(), static_cast<uint32_t>(f.size()), kind);
}

bool mentions(const std::vector<std::u16string>& problems, std::u16string_view what) {
    for (auto& p : problems)
        if (p.find(what) != std::u16string::npos) return true;
    return false;
}

TEST(TableCheck, FindsDamageInCodeTables) {
    const auto good = buildCodeTableImage({{"a", u"工", 1}, {"b", u"了", 1}, {"c", u"以", 1}});
    EXPECT_TRUE(check(good).empty());

    auto f = good;
    wr32(f.data() + 8, 5);
    EXPECT_TRUE(mentions(check(f), u"码表类型"));
    f = good;
    wr32(f.data(), static_cast<uint32_t>(f.size()) + 1);
    EXPECT_TRUE(mentions(check(f), u"记录区起点"));
    EXPECT_TRUE(mentions(check(std::vector<uint8_t>(100)), u"文件过小"));

    f = good;
    wr32(f.data() + dmg::IndexStart + 4, static_cast<uint32_t>(f.size()) - 2);  // record runs off the end
    EXPECT_TRUE(mentions(check(f), u"第 1 条词条的记录"));
    f = good;
    std::swap(f[dmg::IndexStart], f[dmg::IndexStart + 4]);
    EXPECT_TRUE(mentions(check(f), u"排在前一条之前"));
    f = good;
    wr32(f.data() + dmg::IndexStart + 4, rd32(f.data() + dmg::IndexStart));
    EXPECT_TRUE(mentions(check(f), u"与前一条重复"));
    f = good;
    f[rd32(f.data() + dmg::IndexStart) + 5] = 0x05;  // not a code byte
    EXPECT_TRUE(mentions(check(f), u"无效字节"));

    // The prefix index must be what a rebuild gives: a wrong range is found.
    f = good;
    wr32(f.data() + dmg::PrefixStart + 4 * (128 * 'b' + 1), 3);
    EXPECT_TRUE(mentions(check(f), u"前缀索引槽 12545 "));
}

TEST(TableCheck, ZerosWhereABuildComputesNothingAreNoDamage) {
    // A full build computes the prefix index over the characters that occur
    // in the codes and leaves 0 in every other slot.
    const std::string codes[] = {"aa", "ab", "abc", "ka", "kc", "y"};
    std::vector<TableEntry> entries;
    bool occurs[128] = {};
    for (const std::string& c : codes) {
        entries.push_back({c, u"字", 1});
        for (char b : c) occurs[static_cast<uint8_t>(b)] = true;
    }
    auto f = buildCodeTableImage(entries);
    uint32_t zeroed = 0;
    for (uint32_t b = 0; b < 128; ++b) {
        for (uint32_t s = 0; s < 128 && 128 * b + s < dmg::PrefixSlotCount; ++s) {
            const bool computed = occurs[b] && (s <= 1 || occurs[s] || occurs[s - 1]);
            uint8_t* slot = f.data() + dmg::PrefixStart + 4 * (128 * b + s);
            if (!computed && rd32(slot) != 0) {
                wr32(slot, 0);
                ++zeroed;
            }
        }
    }
    ASSERT_GT(zeroed, 1000u);
    EXPECT_TRUE(check(f).empty()) << check(f).size();

    // A computed slot that lost its value is still damage.
    wr32(f.data() + dmg::PrefixStart + 4 * (128 * 'k' + 'c'), 0);
    EXPECT_TRUE(mentions(check(f), u"前缀索引槽 " + std::u16string(u"13795") + u" 为 0"));
}

TEST(TableCheck, TempSlotsAndAges) {
    auto temp = buildEmptyTempImage();
    EXPECT_TRUE(check(temp, TableKind::Temp).empty());
    EXPECT_TRUE(mentions(check(std::vector<uint8_t>(temp.begin(), temp.end() - 4), TableKind::Temp), u"文件大小"));

    // Two entries in slots 0 and 1 with ages 0 and 1, then spoilt.
    RecordBuffer a, b;
    buildCodeRecord(1, "ab", u"词一", a);
    buildCodeRecord(0, "ac", u"词二", b);
    std::copy(a.bytes, a.bytes + a.size, temp.begin() + dmg::TempFirstSlot);
    std::copy(b.bytes, b.bytes + b.size, temp.begin() + dmg::TempFirstSlot + dmg::TempSlotSize);
    wr32(temp.data() + 4, 2);
    EXPECT_TRUE(check(temp, TableKind::Temp).empty());
    auto f = temp;
    wr32(f.data() + dmg::TempFirstSlot + dmg::TempSlotSize, 1);  // both age 1
    EXPECT_TRUE(mentions(check(f, TableKind::Temp), u"年龄"));
    f = temp;
    wr32(f.data() + dmg::IndexStart + 8, dmg::TempFirstSlot);  // a free slot repeats slot 0
    EXPECT_TRUE(mentions(check(f, TableKind::Temp), u"槽位 2"));
}

// The prefix index runs past the two-key slots of the key characters; a
// rebuild and a reset own all of it, so whatever a damaged file held there
// is gone afterwards and the check passes.
TEST(TableCheck, ARebuildOrResetLeavesNoSlotOfThePrefixIndexAsItWas) {
    auto spoil = [](std::vector<uint8_t>& f) {
        for (uint32_t s = 0; s < dmg::PrefixSlotCount; ++s) wr32(f.data() + dmg::PrefixStart + 4 * s, 0x7F000000u + s);
    };
    auto code = buildCodeTableImage({{"a", u"工", 1}, {"ab", u"节", 1}, {"~~", u"～", 1}});
    spoil(code);
    ASSERT_FALSE(check(code).empty());
    CodeTable t(code.data(), static_cast<uint32_t>(code.size()));
    rebuildPrefixIndex(t);
    EXPECT_TRUE(check(code).empty()) << check(code).size();

    auto temp = buildEmptyTempImage();
    RecordBuffer r;
    buildCodeRecord(0, "ab", u"词一", r);
    std::copy(r.bytes, r.bytes + r.size, temp.begin() + dmg::TempFirstSlot);
    wr32(temp.data() + 4, 1);
    spoil(temp);
    CodeTable tt(temp.data(), static_cast<uint32_t>(temp.size()));
    rebuildPrefixIndex(tt);
    EXPECT_TRUE(check(temp, TableKind::Temp).empty());
    spoil(temp);
    resetTempTable(temp.data(), static_cast<uint32_t>(temp.size()));
    EXPECT_TRUE(check(temp, TableKind::Temp).empty());
}

TEST(TableCheck, PairTablesConfigAndTheFolder) {
    auto pairs = buildPairTable({{u"乙", u"b"}, {u"甲", u"a"}});
    EXPECT_TRUE(checkPairTable(pairs.data(), static_cast<uint32_t>(pairs.size())).empty());
    auto f = pairs;
    std::swap(f[4], f[8]);  // offsets out of order
    EXPECT_FALSE(checkPairTable(f.data(), static_cast<uint32_t>(f.size())).empty());
    f = pairs;
    f.resize(f.size() - 2);  // last string unterminated
    EXPECT_FALSE(checkPairTable(f.data(), static_cast<uint32_t>(f.size())).empty());

    auto store = newConfigStore();
    EXPECT_TRUE(checkConfigStore(store.data(), static_cast<uint32_t>(store.size())).empty());
    store[4 + 4 * 3] = 0;  // the soft section can no longer be found
    EXPECT_TRUE(mentions(checkConfigStore(store.data(), static_cast<uint32_t>(store.size())), u"zv_soft_config"));

    test::DataFolder folder({{"a", u"工", 1}});
    EXPECT_TRUE(checkDataFolder(folder.folder()).empty());
    folder.dir.write("danzi.dmi", f);
    std::filesystem::remove(folder.dir.path() / "main.dmg");
    auto problems = checkDataFolder(folder.folder());
    ASSERT_EQ(2u, problems.size());
    EXPECT_EQ(u"main.dmg: 文件缺失", problems[0]);
    EXPECT_EQ(u"danzi.dmi: ", problems[1].substr(0, 11));
}

TEST(TableCheck, ListsAreCut) {
    std::vector<TableEntry> es;
    for (int i = 0; i < 200; ++i) es.push_back({std::string("k").append(std::to_string(1000 + i)), u"词", 1});
    auto f = buildCodeTableImage(es);
    for (int i = 0; i < 200; ++i) wr32(f.data() + dmg::IndexStart + 4 * i, 7);  // all out of bounds
    auto problems = check(f);
    ASSERT_EQ(MaxProblemsPerFile + 1, problems.size());
    EXPECT_EQ(u"另有 150 处问题", problems.back());
}

}  // namespace
}  // namespace zv::config
