#pragma once
// Which skin is current: the package named in the settings, found in the
// skin folder "zoruraved" below the installation folder, else the first
// package there, else "skin.col" of the installation folder.

#include "engine/config_store.h"
#include "ui/skin.h"

#include <string>
#include <string_view>
#include <vector>

namespace zv::ui {

// The skin of one engine instance (the UI work area holds one).
struct LoadedSkin {
    SkinInfo info;
    SkinImages images;
    bool loaded() const { return !info.packagePath.empty(); }
};

// Skin names longer than this cannot be stored in the settings.
inline constexpr size_t MaxSkinNameUnits = 39;
inline constexpr size_t MaxSkinFiles = 64;

// The setting value that asks for the next skin of the folder.
inline constexpr std::u16string_view SwitchSkin = u"切换";

// The folder path with a separator appended when it has none.
std::u16string withSeparator(std::u16string_view folder);
// The part of a path after its last separator.
std::u16string fileNamePart(std::u16string_view path);

// Package file names of a folder in listing order: no dot files, no folders,
// ending exactly in ".col" or ".icc", at most 64.
std::vector<std::u16string> listSkinFiles(std::u16string_view folder);

// Loads the skin the settings name into `skin` (replacing what it held) and
// writes the real file name back as both the skin name and the last loaded
// skin. False when no package loads: the skin is then empty and no window
// is shown.
bool loadCurrentSkin(std::u16string_view installFolder, SkinSettings settings, LoadedSkin& skin);

// After the skin-name setting changed (another process, the skin menu):
// loads the newly named skin, resets the stored status-bar position so that
// the bar goes to the new skin's default place, and returns true; the
// windows must then lay themselves out again. False when nothing changed or
// no skin was loaded to begin with.
bool reloadSkinIfChanged(std::u16string_view installFolder, SkinSettings settings, LoadedSkin& skin);

// Every loadable package of the skin folder (at most 64), for the skin menu;
// "skin.col" of the installation folder when none loads.
struct SkinList {
    std::vector<LoadedSkin> entries;
};
size_t loadSkinList(std::u16string_view installFolder, SkinList& list);

}  // namespace zv::ui
