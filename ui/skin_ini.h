#pragma once
// "skin.ini": the text that describes a skin. Sections, keys and value forms
// are the skin authors' interface and are read exactly as they write them.

#include "ui/skin.h"

#include <cstdint>
#include <span>
#include <string>

namespace zv::ui {

// Larger descriptions are refused: a real one is a few kilobytes.
inline constexpr size_t MaxSkinIniBytes = 256 * 1024;

// The text of "skin.ini": UTF-16LE or UTF-16BE or UTF-8 after their marks;
// without a mark UTF-8 when it is well-formed and not plain ASCII, else the
// system's ANSI code page. The text ends at the first NUL.
std::u16string decodeSkinText(std::span<const uint8_t> bytes);

// Fills info from "skin.ini" (fields whose keys are absent keep their
// values). True when the text decoded and a skin name was found.
bool parseSkinIni(std::span<const uint8_t> bytes, SkinInfo& info);

}  // namespace zv::ui
