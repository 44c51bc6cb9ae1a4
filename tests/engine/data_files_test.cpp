#include "engine/bytes.h"
#include "engine/data_files.h"
#include "engine/pair_table.h"
#include "tests/support/data_fixture.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

using test::DataFixture;

TEST(DataFiles, OpensWithConfigAndMainOnly) {
    DataFixture fx;
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    EXPECT_TRUE(ctx->isOpen(SlotConfig));
    EXPECT_TRUE(ctx->isOpen(SlotMain));
    EXPECT_FALSE(ctx->isOpen(SlotTemp));
    EXPECT_FALSE(ctx->isOpen(SlotEnglish));
    EXPECT_TRUE(ctx->blocks.complete());
    EXPECT_EQ(DataFixture::Name, ctx->imeName);
    ASSERT_FALSE(ctx->installDir.empty());
    EXPECT_TRUE(ctx->installDir.back() == u'/' || ctx->installDir.back() == u'\\');
}

TEST(DataFiles, RequiredFilesRegistryValuesAndBlocks) {
    {
        DataFixture fx;
        fx.writeConfig();
        std::filesystem::remove(fx.dir.path() / "main.dmg");
        EngineContext ctx;
        ctx.platform = fx.platform();
        EXPECT_FALSE(openData(ctx, DataFixture::Name));
        EXPECT_FALSE(ctx.isOpen(SlotConfig));  // everything closed again
    }
    {
        DataFixture fx;
        fx.registerInstance(fx.dir.folder().substr(0, fx.dir.folder().size() - 1));  // no trailing separator
        EXPECT_FALSE(fx.open());
    }
    {
        DataFixture fx;
        fx.registry.deleteKey(platform::Hive::LocalMachine, instanceKey(DataFixture::Name));
        EXPECT_FALSE(fx.open());
    }
    {
        DataFixture fx;
        auto b = fx.blocks();
        b.skin.setU16(section::Name, u'X');  // the skin block is no longer found
        EXPECT_FALSE(fx.open());
    }
    {
        DataFixture fx;
        fx.writeConfig();
        fx.writeFile("main.dmg", std::vector<uint8_t>(1000, 0xAB));  // not a code table
        EXPECT_FALSE(fx.open());
    }
}

TEST(DataFiles, UnusableOptionalFilesTurnTheirFeatureOff) {
    DataFixture fx;
    fx.writeFile("temp.dmg", std::vector<uint8_t>(5000, 0));
    fx.writeFile("engl.dmg", buildCodeTableImage({{"a", u"x", 0}}));  // a code table, not a word list
    fx.writeFile("sysl.dmg", buildWordListImage({{"", u"中国", 1}}));
    fx.writeFile("danzi.dmi", {0xFF, 0xFF, 0xFF, 0x0F});
    fx.writeFile("traditional.dms", buildPairTable({{u"个", u"個"}}));
    auto ctx = fx.open();
    ASSERT_TRUE(ctx);
    EXPECT_FALSE(ctx->isOpen(SlotTemp));
    EXPECT_FALSE(ctx->isOpen(SlotEnglish));
    EXPECT_TRUE(ctx->isOpen(SlotAssociation));
    EXPECT_FALSE(ctx->isOpen(SlotChars));
    EXPECT_TRUE(ctx->isOpen(SlotTraditional));
}

TEST(DataFiles, TemporaryWordsClearedOncePerBoot) {
    DataFixture fx;
    auto b = fx.blocks();
    b.ime.setBit(ImeSettings::OptionA, ImeSettings::A_TempClearOnBoot, true);
    auto temp = buildEmptyTempImage();
    wr32(temp.data() + 4, 1);  // one word in use
    fx.writeFile("temp.dmg", temp);
    fx.clock.set({2026, 5, 7, 12, 0, 0});
    fx.clock.setTick(3600 * 1000);
    {
        auto ctx = fx.open();
        ASSERT_TRUE(ctx);
        EXPECT_EQ(0u, tableView(*ctx, SlotTemp).count());
        uint64_t boot = ctx->blocks.ime.u64(ImeSettings::BootTime);
        EXPECT_EQ(0u, boot & 0xFF);
        EXPECT_NE(0u, boot);
        // Keep the stored boot time for the next opening.
        fx.config.assign(ctx->file(SlotConfig)->data(), ctx->file(SlotConfig)->data() + fx.config.size());
    }
    wr32(temp.data() + 4, 1);
    fx.writeFile("temp.dmg", temp);
    fx.clock.advance(60 * 1000);  // same boot, a minute later
    auto again = fx.open();
    ASSERT_TRUE(again);
    EXPECT_EQ(1u, tableView(*again, SlotTemp).count());
}

TEST(DataFiles, PairTableLookupReturnsEveryTargetInFileOrder) {
    auto image = buildPairTable({{u"板", u"板"}, {u"一个", u"一個"}, {u"板", u"闆"}, {u"个", u"個"}});
    PairTable t(image.data(), static_cast<uint32_t>(image.size()));
    auto hits = t.lookup(u"板");
    ASSERT_EQ(2u, hits.size());
    EXPECT_EQ(u"板", hits[0].second);
    EXPECT_EQ(u"闆", hits[1].second);
    EXPECT_TRUE(t.lookup(u"不").empty());
    EXPECT_EQ(u"一個", t.lookup(u"一个").at(0).second);
}

}  // namespace
}  // namespace zv
