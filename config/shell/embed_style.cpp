#include "config/shell/embed_style.h"

#include "engine/settings_options.h"

namespace zv::config {

namespace {

using I = ImeSettings;

constexpr std::u16string_view kStyleOption = u"编码窗口样式";
constexpr std::u16string_view kAmbiguousOption = u"仅重码时显示候选窗口";
constexpr std::u16string_view kHideFirstOption = u"隐藏嵌入的首候选";

// The style option's values, in the order of EmbedStyle.
constexpr std::u16string_view kStyleValues[] = {u"IME-传统样式", u"TSF-嵌入编码", u"TSF-嵌入首选", u"TSF-传统样式"};

std::u16string_view yesNo(bool on) { return on ? u"是" : u"否"; }

}  // namespace

EmbedChoice currentEmbedChoice(const ImeSettings& ime) {
    EmbedChoice c;
    const uint32_t style = ime.a() & I::A_StyleMask;
    if (style & I::A_StyleEmbedCode) {
        c.style = EmbedStyle::EmbedCode;
    } else if (style & I::A_StyleEmbedFirst) {
        c.style = EmbedStyle::EmbedFirst;
    } else if (style & I::A_StyleTsfClassic) {
        c.style = EmbedStyle::TsfClassic;
    }
    c.onlyWhenAmbiguous = ime.bit(I::OptionC, I::C_OnlyShowWhenAmbiguous);
    c.hideEmbeddedFirst = ime.bit(I::OptionC, I::C_HideEmbeddedFirst);
    return c;
}

EmbedOptionsEnabled embedOptionsEnabled(EmbedStyle style) {
    return {style != EmbedStyle::Traditional, style == EmbedStyle::EmbedFirst};
}

std::u16string_view embedStyleCaption(EmbedStyle style, int major, int minor) {
    switch (style) {
    case EmbedStyle::Traditional:
        return major > 6 || (major == 6 && minor > 1) ? u"传统样式(&I)  ※不可用于Metro模式" : u"传统样式(&I)  ";
    case EmbedStyle::EmbedCode: return u"嵌入编码(&K)";
    case EmbedStyle::EmbedFirst: return u"嵌入首选(&D)";
    case EmbedStyle::TsfClassic: return u"TSF-传统样式(&T)";
    }
    return {};
}

EmbedApplied applyEmbedChoice(ImeSettings& ime, const EmbedChoice& choice, const InstallerLaunch& launch) {
    EmbedApplied out;
    const uint32_t before = ime.a();
    if (applyImeOption(ime, kStyleOption, kStyleValues[static_cast<int>(choice.style)]) != OptionResult::Applied)
        return out;
    applyImeOption(ime, kAmbiguousOption, yesNo(choice.onlyWhenAmbiguous));
    applyImeOption(ime, kHideFirstOption, yesNo(choice.hideEmbeddedFirst));
    out.written = true;
    if (styleSwitchNeedsInstaller(before, ime.a())) out.installerStarted = startStyleInstaller(launch, ime.a());
    return out;
}

}  // namespace zv::config
