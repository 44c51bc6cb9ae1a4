#pragma once
// Fixtures for the UI tests: a small skin with round numbers, the
// fixed-metrics font, packages built in memory, and the shipped skins.

#include "tests/support/fixed_font.h"
#include "ui/candidate_window.h"
#include "ui/skin_loader.h"
#include "ui/skin_package.h"
#include "ui/ui_view.h"

#include <string>
#include <vector>

namespace zv::test {

ui::SkinImage solidImage(int32_t width, int32_t height, uint32_t pixel);

// Fonts: composition -14, candidate -16, label -12, tip -12 (fixed metrics:
// ASCII half as wide as high, CJK square). Every candidate section has the
// same geometry: code at (5, 4), candidates at (5, 24), gaps 2 / 3 / 8,
// line gap 4, margins 6 and 5, stretch ranges 10..20, backgrounds 30 x 30,
// buttons 10 x 10.
ui::LoadedSkin fixtureSkin();

// A page of candidates: 一 [a], 二二 [bc], 三 [] with labels shown.
ui::UiView fixturePage();

// Holds fonts and options so that a LayoutInput can point at them.
struct LayoutRig {
    ui::LoadedSkin skin = fixtureSkin();
    ui::UiView view = fixturePage();
    ui::UiOptions options;
    FixedFontRenderer renderer;
    ui::UiFonts fonts;

    LayoutRig();
    // Fonts for the current options, then the input for a layout.
    ui::LayoutInput input();
};

// "skin.ini" text in UTF-16LE with a mark.
std::vector<uint8_t> utf16leWithMark(std::u16string_view text);
// A package of the given entries; `images` adds the seven required images.
std::vector<uint8_t> skinPackage(std::u16string_view ini, bool images = true, bool deflate = false);
std::vector<uint8_t> pngOf(const ui::SkinImage& image);
// A valid PNG whose header declares 100000 x 100000 pixels.
std::vector<uint8_t> hugePng();

// A path inside the source tree (the shipped skins, golden images).
std::u16string sourcePath(const std::string& relative);

// A package file of a skin folder, written into a temporary folder.
bool writeShippedPackage(const std::string& skin, const std::u16string& packagePath);

}  // namespace zv::test
