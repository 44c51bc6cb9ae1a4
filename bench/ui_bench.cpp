// Layout plus painting of a five-candidate horizontal window, the work of
// one keystroke's refresh. The baseline copies the window's pixels once,
// which no refresh can avoid; the figures to read are the ratios to it and
// the absolute time (target: well under 1 ms).

#include "bench/ratio_main.h"
#include "tests/support/fixed_font.h"
#include "ui/candidate_window.h"
#include "ui/ft/ft_text.h"
#include "ui/paint.h"
#include "ui/preview.h"
#include "ui/skin_loader.h"
#include "ui/skin_package.h"

#include <cstring>
#include <filesystem>

namespace zv::ui {
namespace {

LoadedSkin& defaultSkin() {
    static LoadedSkin skin = [] {
        LoadedSkin s;
        const std::filesystem::path zip = std::filesystem::temp_directory_path() / "zv-bench-skin.col";
        if (zipSkinFolder(std::filesystem::path(ZV_SOURCE_DIR "/resources/skins/default").u16string(), zip.u16string()))
            loadSkinPackage(zip.u16string(), s.info, s.images);
        std::filesystem::remove(zip);
        return s;
    }();
    return skin;
}

UiOptions horizontalMerged() {
    UiOptions o;
    o.skin = SkinSettings::ShowIndex | SkinSettings::ShowHints | SkinSettings::ShowButtons |
             SkinSettings::LayoutMerged | SkinSettings::LayoutHorizontal;
    return o;
}

void layoutAndPaint(benchmark::State& state, TextRenderer& renderer) {
    LoadedSkin& skin = defaultSkin();
    const UiView view = samplePage();
    const UiOptions options = horizontalMerged();
    const UiFonts fonts = createUiFonts(renderer, skin.info.text, options.skin, nullptr, false);
    const LayoutInput in{view, options, skin.info, skin.images, fonts};
    CandidateWindowState w;
    Canvas out;
    for (auto _ : state) {
        layoutCandidateWindow(w, in);
        paintCandidateWindow(w, skin.images, fonts, out);
        benchmark::DoNotOptimize(out.pixels.data());
    }
    state.counters["width"] = w.width;
    state.counters["height"] = w.height;
}

void Baseline_CopyWindowPixels(benchmark::State& state) {
    LoadedSkin& skin = defaultSkin();
    test::FixedFontRenderer renderer;
    const UiView view = samplePage();
    const UiOptions options = horizontalMerged();
    const UiFonts fonts = createUiFonts(renderer, skin.info.text, options.skin, nullptr, false);
    CandidateWindowState w;
    layoutCandidateWindow(w, {view, options, skin.info, skin.images, fonts});
    std::vector<uint32_t> copy(w.background.pixels.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), w.background.pixels.data(), copy.size() * sizeof(uint32_t));
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Baseline_CopyWindowPixels);

void LayoutAndPaint_FixedFont(benchmark::State& state) {
    test::FixedFontRenderer renderer;
    layoutAndPaint(state, renderer);
}
BENCHMARK(LayoutAndPaint_FixedFont);

void LayoutAndPaint_FreeType(benchmark::State& state) {
    static std::unique_ptr<TextRenderer> renderer = makeFreeTypeRenderer();
    if (!renderer) {
        state.SkipWithError("no fonts");
        return;
    }
    layoutAndPaint(state, *renderer);
}
BENCHMARK(LayoutAndPaint_FreeType);

}  // namespace
}  // namespace zv::ui

ZV_BENCHMARK_MAIN()
