#include "engine/bytes.h"
#include "engine/config_store.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

TEST(ConfigStore, NewStoreHasFourShippedSections) {
    auto store = newConfigStore();
    ASSERT_EQ(20u + 11236 + 13216 + 732 + 4296, store.size());
    EXPECT_EQ(4u, rd32(store.data()));
    SettingsBlocks b = findBlocks(store.data(), static_cast<uint32_t>(store.size()));
    ASSERT_TRUE(b.complete());
    EXPECT_EQ(store.data() + 20, b.ime.base);
    EXPECT_EQ(11236u, b.ime.u32(0));
    EXPECT_EQ(1, b.ime.u16(4));
    EXPECT_EQ(u"zv_dme_config_data_default", b.dme.text(6, 65));
    EXPECT_EQ(4, b.soft.u16(4));
}

TEST(ConfigStore, FieldsAreWrittenInPlace) {
    auto store = newConfigStore();
    SettingsBlocks b = findBlocks(store.data(), static_cast<uint32_t>(store.size()));
    b.ime.setU32(ImeSettings::OptionB, 0x40000004);
    EXPECT_EQ(0x40000004u, rd32(store.data() + 20 + 144));
    EXPECT_EQ(4, b.ime.pageSize());
    b.skin.setText(SkinSettings::SkinFile, SkinSettings::NameUnits, u"skin.col");
    EXPECT_EQ(u"skin.col", b.skin.text(SkinSettings::SkinFile, 40));
    // A text field keeps its terminator: 40 units hold 39 characters.
    b.skin.setText(SkinSettings::SkinFile, 40, std::u16string(50, u'x'));
    EXPECT_EQ(39u, b.skin.text(SkinSettings::SkinFile, 40).size());
}

TEST(ConfigStore, DamagedStoresLoseTheirBlocks) {
    auto store = newConfigStore();
    auto size = static_cast<uint32_t>(store.size());
    // A section declared larger than the file is not used.
    auto bad = store;
    wr32(bad.data() + 20, size);
    EXPECT_FALSE(findBlocks(bad.data(), size).ime);
    // A section smaller than its block is not used.
    bad = store;
    wr32(bad.data() + 20, 100);
    EXPECT_FALSE(findBlocks(bad.data(), size).ime);
    // An offset past the end, a count larger than the list, a short file.
    bad = store;
    wr32(bad.data() + 4, 0xFFFFFFF0u);
    EXPECT_FALSE(findBlocks(bad.data(), size).ime);
    EXPECT_TRUE(findBlocks(bad.data(), size).dme);
    bad = store;
    bad[0] = 0xFF;
    EXPECT_TRUE(findBlocks(bad.data(), size).complete());
    EXPECT_FALSE(findBlocks(store.data(), 30).complete());
    EXPECT_FALSE(findBlocks(store.data(), 0).complete());
}

}  // namespace
}  // namespace zv
