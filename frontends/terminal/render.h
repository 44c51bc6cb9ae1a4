#pragma once
// Pictures of what the user sees after a key script: the candidate window
// (with the composition box in the separate layouts), the status bar and a
// soft-keyboard layout, made by the same layout, placement and painting code
// as the windows and written as PNG files.
//
// The windows are placed on a fixed screen: a 1920 x 1040 work area at
// (0, 0) with the text caret at (800, 400), 21 pixels high. A picture shows
// the windows that placement puts there, cut out with 8 pixels of a light
// desktop around them; where no window shows, it is only that desktop.

#include "engine/host.h"
#include "ui/draw.h"
#include "ui/placement.h"
#include "ui/skin_loader.h"
#include "ui/text.h"

#include <memory>
#include <string>

namespace zv::term {

inline constexpr ui::Rect RenderWorkArea{0, 0, 1920, 1040};
inline constexpr ui::Caret RenderCaret{800, 400, 21};
inline constexpr ui::Rgba RenderDesktop = ui::rgb(0xF3F4F6);
inline constexpr int32_t RenderMargin = 8;

// The pictures a zvtype run asks for (an empty file name: not asked).
struct RenderRequest {
    std::string candidates;    // --render FILE.png
    std::string statusBar;     // --render-status FILE.png
    std::string softKeyboard;  // --render-softkbd N FILE.png
    int softKeyboardLayout = 0;
    bool any() const { return !candidates.empty() || !statusBar.empty() || !softKeyboard.empty(); }
};

// Takes the render option at argv[i] together with its values, moving i to
// the last of them. False when argv[i] is no render option; true otherwise,
// with `error` set when the values are missing or wrong.
bool takeRenderOption(int argc, char** argv, int& i, RenderRequest& request, std::string& error);

// The text renderer pictures are drawn with; null when this build has none
// or no font can be found.
std::unique_ptr<ui::TextRenderer> pictureTextRenderer();

// The skin the engine's settings name, found in its installation folder.
// Loading never changes the settings. False with a message when no package
// loads.
bool loadRenderSkin(const EngineContext& ctx, ui::LoadedSkin& skin, std::string& error);

// The candidate window and composition box for the engine's state and
// settings, as the text service shows them (the IMM32 front end with
// 编码窗口样式 IME-传统样式).
ui::SkinImage renderCandidateWindows(EngineContext& ctx, const ui::LoadedSkin& skin, ui::TextRenderer& text,
                                     bool capsLock);
// The status bar for the engine's modes, also when the settings hide it or
// embed it in the language bar.
ui::SkinImage renderStatusBar(EngineContext& ctx, const ui::LoadedSkin& skin, bool capsLock);
// The soft keyboard showing layout 1..13.
ui::SkinImage renderSoftKeyboard(ui::TextRenderer& text, int layout);

// Writes a picture as PNG. A failed write leaves an existing file as it was.
bool writePicture(const std::string& file, const ui::SkinImage& picture, std::string& error);

// Makes and writes every picture asked for. False with a message on the
// first that cannot be made or written.
bool writeRenders(EngineContext& ctx, const RenderRequest& request, bool capsLock, std::string& error);

}  // namespace zv::term
