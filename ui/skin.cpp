#include "ui/skin.h"

#include "ui/no_case.h"

#include <string>
#include <utility>

namespace zv::ui {

namespace {

constexpr std::string_view BackgroundNames[] = {"bar.png",          "candFL_comp.png", "candFL_cand.png",
                                                "candFL_cand_shu.png", "candHB.png",   "candHB_shu.png",
                                                "candQR.png",       "candQR_shu.png"};
static_assert(std::size(BackgroundNames) == static_cast<size_t>(Background::Count));

constexpr std::string_view ButtonStems[] = {"flag",  "en",   "cn",  "capslock", "en_biaodian", "cn_biaodian",
                                            "quan",  "ban",  "fan", "jian",     "key2",        "key1",
                                            "menu",  "up",   "down", "extern1", "extern2"};
static_assert(std::size(ButtonStems) == static_cast<size_t>(ButtonKind::Count));

}  // namespace

SkinImage* SkinImages::slotFor(std::string_view entryName) {
    return const_cast<SkinImage*>(std::as_const(*this).slotFor(entryName));
}

const SkinImage* SkinImages::slotFor(std::string_view entryName) const {
    for (size_t i = 0; i < std::size(BackgroundNames); ++i)
        if (equalNoCase(entryName, BackgroundNames[i])) return &backgrounds[i];
    // A button's three names are its stem and a suffix: compared in place,
    // since every entry of every package opened is looked up here.
    for (size_t i = 0; i < std::size(ButtonStems); ++i) {
        const std::string_view stem = ButtonStems[i];
        if (entryName.size() <= stem.size() || !equalNoCase(entryName.substr(0, stem.size()), stem)) continue;
        const std::string_view suffix = entryName.substr(stem.size());
        if (equalNoCase(suffix, ".png")) return &buttons[i].normal;
        if (equalNoCase(suffix, "_1.png")) return &buttons[i].first;
        if (equalNoCase(suffix, "_2.png")) return &buttons[i].second;
    }
    return nullptr;
}

bool SkinImages::hasRequired() const {
    // Every background but the status bar's is required.
    for (size_t i = 1; i < backgrounds.size(); ++i)
        if (backgrounds[i].empty()) return false;
    return true;
}

void SkinImages::clear() { *this = SkinImages{}; }

const SkinImage* buttonImage(const ButtonImages& images, int state, ButtonRule rule) {
    if (images.normal.empty() || state == StateHidden) return nullptr;
    const SkinImage* chosen = &images.normal;
    if (rule == ButtonRule::Mode) {
        if (state == StateHover) chosen = &images.first;
        else if (state == StatePressed) chosen = &images.second;
    } else {
        if (state == StateHover || state == StatePressed) chosen = &images.first;
        else if (state == StateDisabled) chosen = &images.second;
    }
    return chosen->empty() ? &images.normal : chosen;
}

}  // namespace zv::ui
