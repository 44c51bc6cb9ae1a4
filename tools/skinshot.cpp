// Renders the windows of a skin as pictures: the screenshots in docs/ and a
// quick look at a skin being drawn.
//
//   skinshot SKIN OUTDIR [PREFIX]
//
// SKIN is a package (.col) or a skin folder. Each picture shows the window
// on a light and on a dark background.

#include "platform/utf.h"
#include "ui/ft/ft_text.h"
#include "ui/preview.h"
#include "ui/skin_package.h"

#include <cstdio>
#include <filesystem>
#include <string>

using namespace zv;
using namespace zv::ui;

namespace {

bool loadSkin(const std::filesystem::path& source, LoadedSkin& skin) {
    if (std::filesystem::is_directory(source)) {
        const std::filesystem::path zip = std::filesystem::temp_directory_path() / "skinshot-preview.col";
        bool ok = zipSkinFolder(source.u16string(), zip.u16string()) &&
                  loadSkinPackage(zip.u16string(), skin.info, skin.images);
        std::filesystem::remove(zip);
        return ok;
    }
    return loadSkinPackage(source.u16string(), skin.info, skin.images);
}

// Two pictures side by side with a gap of backdrop between them.
SkinImage sideBySide(const SkinImage& a, const SkinImage& b) {
    SkinImage out = blankImage(a.width + b.width, std::max(a.height, b.height), rgb(0xFFFFFF));
    drawWindow(out, a, {0, 0});
    drawWindow(out, b, {a.width, 0});
    return out;
}

void save(const std::filesystem::path& file, const SkinImage& img) {
    std::vector<uint8_t> png = encodePng(img);
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f || std::fwrite(png.data(), 1, png.size(), f) != png.size()) {
        std::fprintf(stderr, "skinshot: cannot write %s\n", file.c_str());
        std::exit(1);
    }
    std::fclose(f);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: skinshot SKIN OUTDIR [PREFIX]\n");
        return 2;
    }
    LoadedSkin skin;
    if (!loadSkin(argv[1], skin)) {
        std::fprintf(stderr, "skinshot: %s does not load as a skin\n", argv[1]);
        return 1;
    }
    auto renderer = makeFreeTypeRenderer();
    if (!renderer) {
        std::fprintf(stderr, "skinshot: no fonts\n");
        return 1;
    }
    const std::filesystem::path out = argv[2];
    const std::string prefix = argc > 3 ? argv[3] : "skin";
    std::filesystem::create_directories(out);
    const Rgba light = rgb(0xF3F4F6), dark = rgb(0x1E1F22);

    const UiView page = samplePage();
    const uint32_t base = SkinSettings::ShowIndex | SkinSettings::ShowHints | SkinSettings::ShowButtons;
    struct Scene {
        const char* name;
        uint32_t skinWord;
        int hover;
    } scenes[] = {
        {"merged-horizontal", base | SkinSettings::LayoutMerged | SkinSettings::LayoutHorizontal, 4},
        {"merged-vertical", base | SkinSettings::LayoutMerged, 4},
        {"separate-horizontal", base | SkinSettings::LayoutHorizontal | SkinSettings::CaretBar, -1},
        {"separate-vertical", base | SkinSettings::LayoutRight | SkinSettings::CaretBar, -1},
    };
    for (const Scene& s : scenes) {
        UiOptions o;
        o.skin = s.skinWord;
        save(out / (prefix + "-" + s.name + ".png"),
             sideBySide(previewCandidateWindows(skin, *renderer, page, o, light, s.hover),
                        previewCandidateWindows(skin, *renderer, page, o, dark, s.hover)));
    }
    UiView chinese;
    UiView english;
    english.modes = ModeEnglish | ModeEnglishPunct | ModeFullWidth | ModeSoftKeyboard;
    save(out / (prefix + "-status-bar.png"),
         sideBySide(sideBySide(previewStatusBar(skin, chinese, -1, StateNormal, light),
                               previewStatusBar(skin, chinese, IdPunctuation, StateHover, dark)),
                    previewStatusBar(skin, english, -1, StateNormal, light)));
    if (prefix == "skin") {
        SoftKeyboardState greek;
        greek.layout = 2;
        greek.stickyShift = true;
        greek.hovered = 17;
        save(out / "soft-keyboard-greek.png", previewSoftKeyboard(*renderer, greek));
        SoftKeyboardState punctuation;
        punctuation.layout = 8;
        save(out / "soft-keyboard-punctuation.png", previewSoftKeyboard(*renderer, punctuation));
    }
    return 0;
}
