// What the installer's registration takes away from an earlier one and
// what it registers: only this input method's layouts and the users' list
// values naming them, and a profile that is on exactly when a
// text-service style is installed.

#include "installer/core/keyboard_layouts.h"
#include "installer/core/package_settings.h"
#include "engine/config_store.h"

#include <gtest/gtest.h>

namespace zv::installer {
namespace {

TEST(KeyboardLayoutCleanup, OnlyTheLayoutsOfThisFileAndTheValuesNamingThemAreRemoved) {
    EXPECT_EQ(u"E0200804", layoutText(0xE0200804u));
    EXPECT_EQ(u"00000409", layoutText(0x409u));
    // "Ime File" holds the bare name on Windows, a path where the file was given as one.
    EXPECT_TRUE(namesImeFile(u"VoraZerevo86.ime", u"VoraZerevo86.ime"));
    EXPECT_TRUE(namesImeFile(u"VORAZEREVO86.IME", u"VoraZerevo86.ime"));
    EXPECT_TRUE(namesImeFile(u"C:\\windows\\system32\\VoraZerevo86.ime", u"VoraZerevo86.ime"));
    // Another input method whose name ends the same way is not ours.
    EXPECT_FALSE(namesImeFile(u"XVoraZerevo86.ime", u"VoraZerevo86.ime"));
    EXPECT_FALSE(namesImeFile(u"C:\\x\\XVoraZerevo86.ime", u"VoraZerevo86.ime"));
    EXPECT_FALSE(namesImeFile(u"ime", u"VoraZerevo86.ime"));
    EXPECT_FALSE(namesImeFile(u"", u""));

    const std::vector<std::u16string> ours = {u"E0200804", u"e0210804"};
    const std::vector<NamedText> substitutes = {
        {u"d0010804", u"E0200804"},  // stands for ours
        {u"00000804", u"00000409"},  // the user's own
    };
    EXPECT_EQ(std::vector<std::u16string>{u"d0010804"}, substitutesToRemove(substitutes, ours));
    const std::vector<NamedText> preload = {
        {u"1", u"00000804"},  // the user's keyboard, substituted by another: stays
        {u"2", u"e0200804"},  // ours, other letter case
        {u"3", u"D0010804"},  // ours through its substitute
        {u"4", u"E0220804"},  // another input method's
        {u"5", u"E0210804"},  // ours, a second registration
    };
    EXPECT_EQ((std::vector<std::u16string>{u"2", u"3", u"5"}), preloadToRemove(preload, substitutes, ours));
    EXPECT_TRUE(preloadToRemove(preload, substitutes, {}).empty());
}

TEST(ProfileState, EnabledExactlyWhenATextServiceStyleIsInstalled) {
    PackageSettings p;
    p.framework = true;
    p.style = 0;  // IME-传统样式
    // Before Windows 8 the traditional style stays and the profile is off.
    EXPECT_EQ(0u, installedStyle(p, false));
    EXPECT_FALSE(profileEnabled(p, false));
    // Windows 8 and later install it as "TSF-嵌入编码", with the profile on.
    EXPECT_EQ(uint32_t(ImeSettings::A_StyleEmbedCode), installedStyle(p, true));
    EXPECT_TRUE(profileEnabled(p, true));
    // Every text-service style is kept and enables the profile.
    for (uint32_t style : {ImeSettings::A_StyleEmbedFirst, ImeSettings::A_StyleTsfClassic}) {
        p.style = style;
        EXPECT_EQ(style, installedStyle(p, true));
        EXPECT_TRUE(profileEnabled(p, false));
    }
    // An engine without the framework never enables it.
    p.framework = false;
    EXPECT_FALSE(profileEnabled(p, true));
    p.style = 0;
    EXPECT_EQ(0u, installedStyle(p, true));
}

}  // namespace
}  // namespace zv::installer
