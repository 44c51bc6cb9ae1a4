#include "engine/bytes.h"
#include "platform/folders.h"
#include "platform/mapped_file.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/ui_fixture.h"
#include "ui/menus.h"
#include "ui/skin_ini.h"
#include "ui/skin_loader.h"
#include "ui/skin_package.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace zv::ui {
namespace {

using test::skinPackage;

bool load(const std::vector<uint8_t>& bytes, SkinInfo& info, SkinImages& images) {
    return loadSkinPackageBytes(bytes, u"test.col", info, images);
}

bool loads(const std::vector<uint8_t>& bytes) {
    SkinInfo info;
    SkinImages images;
    return load(bytes, info, images);
}

TEST(SkinPackage, TheShippedSkinsLoad) {
    test::TempDir dir;
    for (const char* name : {"default", "night"}) {
        ASSERT_TRUE(test::writeShippedPackage(name, dir.file("s.col"))) << name;
        SkinInfo info;
        SkinImages images;
        ASSERT_TRUE(loadSkinPackage(dir.file("s.col"), info, images)) << name;
        EXPECT_EQ(dir.file("s.col"), info.packagePath);
        EXPECT_FALSE(images.background(Background::StatusBar).empty());
        for (ButtonKind k : {ButtonKind::Chinese, ButtonKind::English, ButtonKind::PreviousPage, ButtonKind::NextPage,
                             ButtonKind::Menu, ButtonKind::SoftKeyboardOn}) {
            EXPECT_FALSE(images.button(k).normal.empty());
            EXPECT_FALSE(images.button(k).first.empty());
            EXPECT_FALSE(images.button(k).second.empty());
        }
        EXPECT_TRUE(images.button(ButtonKind::Extension1).normal.empty());
        EXPECT_EQ(6, info.statusBar.defaultPosition);
        EXPECT_EQ(-16, info.text.candidate.height);
    }
}

TEST(SkinPackage, EntriesAreFoundWithoutCaseStoredOrDeflated) {
    for (bool deflate : {false, true}) {
        std::vector<ZipEntry> entries = {{"SKIN.INI", test::utf16leWithMark(u"[-皮肤信息-]\n名称=x\n")}};
        for (const char* name : {"candfl_comp.png", "CANDFL_CAND.PNG", "candFL_cand_shu.png", "candHB.png",
                                 "candHB_shu.png", "candQR.png", "CandQR_Shu.png", "Cn_1.PNG", "readme.txt"})
            entries.push_back({name, test::pngOf(test::solidImage(4, 4, 0xFF000000))});
        SkinInfo info;
        SkinImages images;
        ASSERT_TRUE(load(writeZip(entries, deflate), info, images));
        EXPECT_EQ(4, images.button(ButtonKind::Chinese).first.width);
        EXPECT_TRUE(images.button(ButtonKind::Chinese).normal.empty());
    }
}

TEST(SkinPackage, EntryNamesPickTheirOwnSlotOnly) {
    SkinImages images;
    const SkinImages& shown = images;
    // Stems that begin another stem ("en", "en_biaodian") and the state suffixes.
    EXPECT_EQ(&images.buttons[static_cast<size_t>(ButtonKind::English)].normal, images.slotFor("EN.png"));
    EXPECT_EQ(&images.buttons[static_cast<size_t>(ButtonKind::English)].second, images.slotFor("en_2.PNG"));
    EXPECT_EQ(&images.buttons[static_cast<size_t>(ButtonKind::EnglishPunctuation)].first,
              images.slotFor("En_Biaodian_1.png"));
    EXPECT_EQ(&images.backgrounds[static_cast<size_t>(Background::StatusBar)], shown.slotFor("Bar.png"));
    for (const char* name : {"en", "en_", "en.pn", "en.pngx", "en_3.png", "en_1_1.png", "_1.png", ".png", "xen.png",
                             "bar_1.png", "en_biaodian", ""})
        EXPECT_EQ(nullptr, shown.slotFor(name)) << name;
}

TEST(SkinPackage, IncompletePackagesFailWithEmptySlots) {
    EXPECT_TRUE(loads(skinPackage(u"[-皮肤信息-]\n名称=ok\n")));
    // No name, even with every image.
    SkinInfo info;
    SkinImages images;
    EXPECT_FALSE(load(skinPackage(u"[-皮肤信息-]\n描述=no name\n"), info, images));
    EXPECT_TRUE(images.background(Background::Merged).empty());
    // A required image missing or undecodable.
    std::vector<ZipEntry> entries = {{"skin.ini", test::utf16leWithMark(u"[-皮肤信息-]\n名称=x\n")}};
    for (const char* name : {"candFL_comp.png", "candFL_cand.png", "candFL_cand_shu.png", "candHB.png",
                             "candHB_shu.png", "candQR.png"})
        entries.push_back({name, test::pngOf(test::solidImage(4, 4, 0xFF000000))});
    EXPECT_FALSE(loads(writeZip(entries, false)));
    entries.push_back({"candQR_shu.png", {0x89, 'P', 'N', 'G', 0, 0}});
    EXPECT_FALSE(loads(writeZip(entries, false)));
    entries.back().data = test::hugePng();
    EXPECT_FALSE(loads(writeZip(entries, false)));
    // Entries with names longer than 63 bytes are passed over.
    entries.back() = {"candQR_shu.png", test::pngOf(test::solidImage(4, 4, 0))};
    entries.push_back({std::string(300, 'x'), {1, 2, 3}});
    EXPECT_TRUE(loads(writeZip(entries, false)));
    EXPECT_FALSE(loads({}));
    EXPECT_FALSE(loadSkinPackage(u"/nonexistent/skin.col", info, images));
}

TEST(SkinPackage, HostilePackagesFailCleanly) {
    const std::vector<uint8_t> good = skinPackage(u"[-皮肤信息-]\n名称=ok\n", true, true);
    ASSERT_TRUE(loads(good));
    // Truncated anywhere.
    for (size_t cut = 0; cut < good.size(); cut += 97) EXPECT_FALSE(loads({good.begin(), good.begin() + cut})) << cut;
    // Zip bombs: 40 MB of zeros deflated into kilobytes, declared as such or
    // declared as 100 bytes in both headers.
    std::vector<ZipEntry> bomb = {{"skin.ini", std::vector<uint8_t>(40u << 20, 0)}};
    std::vector<uint8_t> bombZip = writeZip(bomb, true);
    ASSERT_LT(bombZip.size(), 1u << 20);
    EXPECT_TRUE(readZip(bombZip).empty());
    EXPECT_FALSE(loads(bombZip));
    for (size_t i = 0; i + 4 <= bombZip.size(); ++i) {
        const uint32_t sig = rd32(bombZip.data() + i);
        if (sig == 0x04034b50) wr32(bombZip.data() + i + 22, 100);
        if (sig == 0x02014b50) wr32(bombZip.data() + i + 24, 100);
    }
    EXPECT_TRUE(readZip(bombZip).empty());
    // A 10 MB "skin.ini", and one just over the description limit.
    std::u16string big = u"[-皮肤信息-]\n名称=big\n" + std::u16string(5u << 20, u';');
    EXPECT_FALSE(loads(skinPackage(big)));
    EXPECT_FALSE(loads(skinPackage(u"[-皮肤信息-]\n名称=big\n" + std::u16string(MaxSkinIniBytes / 2, u';'))));
    // Random damage anywhere in a deflated package never crashes.
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bad = good;
        for (int k = 0; k < 4; ++k) bad[rng() % bad.size()] = static_cast<uint8_t>(rng());
        loads(bad);
    }
}

// An installation folder with packages in its skin folder.
struct Install {
    test::TempDir dir;
    std::vector<uint8_t> store = newConfigStore();
    SkinSettings settings = findBlocks(store.data(), static_cast<uint32_t>(store.size())).skin;
    LoadedSkin skin;

    Install() { std::filesystem::create_directories(dir.path() / "zoruraved"); }
    void package(const std::string& file, const std::u16string& name) {
        dir.write("zoruraved/" + file, skinPackage(u"[-皮肤信息-]\n名称=" + name + u"\n"));
    }
    void setSkin(std::u16string_view name) { settings.setText(SkinSettings::SkinFile, SkinSettings::NameUnits, name); }
    std::u16string setting() const { return settings.text(SkinSettings::SkinFile, SkinSettings::NameUnits); }
};

TEST(SkinFolder, ListsPackageFilesOnly) {
    Install in;
    in.package("b.col", u"b");
    in.package("a.icc", u"a");
    in.package(".hidden.col", u"h");
    in.package("x.COL", u"upper");
    in.package("readme.txt", u"t");
    in.dir.write("zoruraved/.col", {});
    in.package(std::string(40, 'n') + ".col", u"long");
    std::filesystem::create_directories(in.dir.path() / "zoruraved" / "dir.col");
    const std::u16string folder = in.dir.folder() + u"zoruraved";
    std::vector<std::u16string> files = listSkinFiles(folder);
    std::sort(files.begin(), files.end());
    EXPECT_EQ((std::vector<std::u16string>{u"a.icc", u"b.col"}), files);
    EXPECT_TRUE(listSkinFiles(in.dir.folder() + u"missing").empty());
}

TEST(SkinFolder, TheNamedSkinElseTheFirstElseTheInstalledOne) {
    Install in;
    in.package("a.col", u"皮肤A");
    in.package("b.col", u"皮肤B");
    in.setSkin(u"none.col");  // not there: the first package of the folder
    ASSERT_TRUE(loadCurrentSkin(in.dir.folder(), in.settings, in.skin));
    EXPECT_EQ(listSkinFiles(in.dir.folder() + u"zoruraved")[0], in.setting());
    in.setSkin(u"b.col");
    ASSERT_TRUE(loadCurrentSkin(in.dir.folder(), in.settings, in.skin));
    EXPECT_EQ(u"皮肤B", in.skin.info.name);
    EXPECT_EQ(u"b.col", in.settings.text(SkinSettings::LastSkinFile, SkinSettings::NameUnits));

    Install empty;
    empty.setSkin(u"skin.col");
    EXPECT_FALSE(loadCurrentSkin(empty.dir.folder(), empty.settings, empty.skin));
    EXPECT_FALSE(empty.skin.loaded());
    empty.dir.write("skin.col", skinPackage(u"[-皮肤信息-]\n名称=installed\n"));
    ASSERT_TRUE(loadCurrentSkin(empty.dir.folder(), empty.settings, empty.skin));
    EXPECT_EQ(u"installed", empty.skin.info.name);
}

TEST(SkinFolder, SwitchTakesTheNextPackageAndWritesItsName) {
    Install in;
    in.package("a.col", u"a.col");
    in.package("b.col", u"b.col");
    in.package("c.col", u"c.col");
    const std::vector<std::u16string> files = listSkinFiles(in.dir.folder() + u"zoruraved");
    ASSERT_EQ(3u, files.size());
    // The current skin is the last one listed: the first one comes next.
    std::u16string last = files[2];
    for (char16_t& c : last) c = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
    in.settings.setText(SkinSettings::LastSkinFile, SkinSettings::NameUnits, last);
    in.setSkin(SwitchSkin);
    ASSERT_TRUE(loadCurrentSkin(in.dir.folder(), in.settings, in.skin));
    EXPECT_EQ(files[0], in.skin.info.name);
    EXPECT_EQ(files[0], in.setting());
    in.setSkin(SwitchSkin);
    ASSERT_TRUE(loadCurrentSkin(in.dir.folder(), in.settings, in.skin));
    EXPECT_EQ(files[1], in.skin.info.name);
}

TEST(SkinFolder, ReloadOnlyWhenTheSettingChanged) {
    Install in;
    in.package("a.col", u"A");
    in.package("b.col", u"B");
    in.setSkin(u"a.col");
    EXPECT_FALSE(reloadSkinIfChanged(in.dir.folder(), in.settings, in.skin));  // nothing loaded yet
    ASSERT_TRUE(loadCurrentSkin(in.dir.folder(), in.settings, in.skin));
    in.settings.setI32(SkinSettings::StatusPos, 500);
    in.settings.setI32(SkinSettings::StatusPos + 4, 600);
    in.setSkin(u"A.col");
    EXPECT_FALSE(reloadSkinIfChanged(in.dir.folder(), in.settings, in.skin));
    EXPECT_EQ(500, in.settings.i32(SkinSettings::StatusPos));
    in.setSkin(u"b.col");
    EXPECT_TRUE(reloadSkinIfChanged(in.dir.folder(), in.settings, in.skin));
    EXPECT_EQ(u"B", in.skin.info.name);
    EXPECT_EQ(0, in.settings.i32(SkinSettings::StatusPos));
    EXPECT_EQ(0, in.settings.i32(SkinSettings::StatusPos + 4));
}

TEST(SkinFolder, SkinMenuListAndChoice) {
    Install in;
    in.package("a.col", u"A");
    in.dir.write("zoruraved/broken.col", {1, 2, 3});
    in.package("c.col", u"C");
    SkinList list;
    ASSERT_EQ(2u, loadSkinList(in.dir.folder(), list));
    const size_t c = list.entries[0].info.name == u"C" ? 0 : 1;
    EXPECT_EQ(u"C", list.entries[c].info.name);
    in.setSkin(u"a.col");
    ASSERT_TRUE(loadCurrentSkin(in.dir.folder(), in.settings, in.skin));
    in.settings.setI32(SkinSettings::StatusPos, 500);
    // Choosing the current skin does nothing.
    EXPECT_FALSE(chooseSkin(list, 1 - c, in.dir.folder(), in.settings, in.skin));
    EXPECT_EQ(500, in.settings.i32(SkinSettings::StatusPos));
    EXPECT_TRUE(chooseSkin(list, c, in.dir.folder(), in.settings, in.skin));
    EXPECT_EQ(u"C", in.skin.info.name);
    EXPECT_EQ(u"c.col", in.setting());
    EXPECT_EQ(0, in.settings.i32(SkinSettings::StatusPos));
    EXPECT_FALSE(chooseSkin(list, 7, in.dir.folder(), in.settings, in.skin));
    // Without packages in the folder the installed "skin.col" is the only entry.
    Install bare;
    bare.dir.write("skin.col", skinPackage(u"[-皮肤信息-]\n名称=installed\n"));
    EXPECT_EQ(1u, loadSkinList(bare.dir.folder(), list));
}

TEST(SkinFolder, ShippedSkinsInstallIntoTheFolders) {
    test::TempDir dir;
    const std::u16string install = dir.file("install");
    ASSERT_TRUE(installSkinPackages(test::sourcePath("resources/skins"), install));
    EXPECT_TRUE(platform::fileExists(dir.file("install/skin.col")));
    std::vector<std::u16string> files = listSkinFiles(dir.file("install/zoruraved"));
    std::sort(files.begin(), files.end());
    EXPECT_EQ((std::vector<std::u16string>{u"night.col", u"skin.col"}), files);
    EXPECT_FALSE(installSkinPackages(dir.file("nothing"), install));
}

}  // namespace
}  // namespace zv::ui
