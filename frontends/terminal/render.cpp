#include "frontends/terminal/render.h"

#include "engine/config_store.h"
#include "engine/host_view.h"
#include "platform/mapped_file.h"
#include "platform/utf.h"
#include "ui/engine_view.h"
#include "ui/preview.h"
#include "ui/status_bar.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <vector>

namespace zv::term {

namespace {

// A copy of the skin settings for one picture: loading the skin and laying
// out the status bar store what they find, and a picture must leave the
// user's settings alone.
struct ScratchSkinSettings {
    std::vector<uint8_t> bytes;
    SkinSettings settings;

    explicit ScratchSkinSettings(SkinSettings real) : bytes(SkinSettings::Size, 0) {
        if (real) std::copy(real.base, real.base + SkinSettings::Size, bytes.begin());
        settings.base = bytes.data();
    }
};

ui::SkinImage desktopOnly() { return ui::blankImage(2 * RenderMargin, 2 * RenderMargin, RenderDesktop); }

// The text service runs whenever 编码窗口样式 names one of its styles.
bool textServiceStyle(const EngineContext& ctx) {
    const SettingsBlocks& settings = settingsOf(ctx);
    return settings.ime && (settings.ime.a() & ImeSettings::A_StyleMask) != 0;
}

bool parseLayout(const char* text, int& layout) {
    const char* end = text + std::char_traits<char>::length(text);
    auto [rest, ec] = std::from_chars(text, end, layout);
    return ec == std::errc() && rest == end && layout >= 1 && layout <= SoftKeyboardLayouts;
}

std::filesystem::path pathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

bool takeRenderOption(int argc, char** argv, int& i, RenderRequest& request, std::string& error) {
    const std::string option = argv[i];
    auto file = [&](std::string& out) {
        if (i + 1 >= argc || argv[i + 1][0] == '\0') {
            error = option + " needs a PNG file";
            return;
        }
        out = argv[++i];
    };
    if (option == "--render") {
        file(request.candidates);
    } else if (option == "--render-status") {
        file(request.statusBar);
    } else if (option == "--render-softkbd") {
        if (i + 1 >= argc || !parseLayout(argv[i + 1], request.softKeyboardLayout)) {
            error = "--render-softkbd needs a layout number 1..13 and a PNG file";
            return true;
        }
        ++i;
        file(request.softKeyboard);
    } else {
        return false;
    }
    return true;
}

bool loadRenderSkin(const EngineContext& ctx, ui::LoadedSkin& skin, std::string& error) {
    ScratchSkinSettings scratch(settingsOf(ctx).skin);
    if (ui::loadCurrentSkin(installFolder(ctx), scratch.settings, skin)) return true;
    error = "no skin loads from the installation folder " + utf16ToUtf8(installFolder(ctx)) +
            " (zoruraved/ or skin.col)";
    return false;
}

ui::SkinImage renderCandidateWindows(EngineContext& ctx, const ui::LoadedSkin& skin, ui::TextRenderer& text,
                                     bool capsLock) {
    // Without the status bar's background a skin makes none of its windows.
    if (skin.images.background(ui::Background::StatusBar).empty()) return desktopOnly();
    ScratchSkinSettings scratch(settingsOf(ctx).skin);
    const ui::UiView view = ui::viewOf(ctx, capsLock);
    const ui::UiOptions options = ui::uiOptions(settingsOf(ctx), textServiceStyle(ctx));
    const ui::UiFonts fonts = ui::createUiFonts(text, skin.info.text, scratch.settings,
                                                options.listStyle() == ui::ListStyle::Columns);
    // Following the status bar needs the bar where it would be on this screen.
    ui::StatusBarState bar;
    ui::layoutStatusBar(bar, skin.info, skin.images, view, scratch.settings, RenderWorkArea, RenderWorkArea);
    ui::PlacementInput place;
    ui::readPlacementSettings(place, scratch.settings, skin.info, options);
    place.caret = RenderCaret;
    place.workArea = RenderWorkArea;
    ui::SkinImage picture = ui::pictureOfCandidateWindows({view, options, skin.info, skin.images, fonts}, place,
                                                          RenderDesktop, ui::IdOutside, RenderMargin);
    return picture.empty() ? desktopOnly() : picture;
}

ui::SkinImage renderStatusBar(EngineContext& ctx, const ui::LoadedSkin& skin, bool capsLock) {
    ui::SkinImage picture =
        ui::previewStatusBar(skin, ui::viewOf(ctx, capsLock), ui::IdOutside, ui::StateNormal, RenderDesktop,
                             RenderMargin);
    return picture.empty() ? desktopOnly() : picture;
}

ui::SkinImage renderSoftKeyboard(ui::TextRenderer& text, int layout) {
    ui::SoftKeyboardState state;
    state.layout = layout;
    return ui::previewSoftKeyboard(text, state);
}

bool writePicture(const std::string& file, const ui::SkinImage& picture, std::string& error) {
    const std::vector<uint8_t> png = ui::encodePng(picture);
    if (png.empty()) {
        error = "cannot make the picture for " + file;
        return false;
    }
    // Written beside the target and renamed over it, so that a write that
    // fails half way does not destroy a picture that was there.
    const std::filesystem::path target = pathOf(file);
    std::filesystem::path part = target;
    part += ".part";
    std::error_code ec;
    bool written = platform::writeWholeFile(part.u16string(), png.data(), png.size());
    if (written) std::filesystem::rename(part, target, ec);
    if (!written || ec) {
        std::filesystem::remove(part, ec);
        error = "cannot write " + file;
        return false;
    }
    return true;
}

bool writeRenders(EngineContext& ctx, const RenderRequest& request, bool capsLock, std::string& error) {
    if (!request.any()) return true;
    std::unique_ptr<ui::TextRenderer> text = pictureTextRenderer();
    if (!text) {
        error = "cannot draw text for pictures (no FreeType renderer or no font)";
        return false;
    }
    ui::LoadedSkin skin;
    if ((!request.candidates.empty() || !request.statusBar.empty()) && !loadRenderSkin(ctx, skin, error)) return false;
    if (!request.candidates.empty() &&
        !writePicture(request.candidates, renderCandidateWindows(ctx, skin, *text, capsLock), error))
        return false;
    if (!request.statusBar.empty() && !writePicture(request.statusBar, renderStatusBar(ctx, skin, capsLock), error))
        return false;
    if (!request.softKeyboard.empty() &&
        !writePicture(request.softKeyboard, renderSoftKeyboard(*text, request.softKeyboardLayout), error))
        return false;
    return true;
}

}  // namespace zv::term
