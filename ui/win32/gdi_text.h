#pragma once
// The windows' text on Windows: GDI fonts measuring and drawing into the
// 32-bit canvas the painter composes (GDI leaves alpha 0 on every pixel it
// draws, which is how the painter finds the text). A vertical font is the
// "@" face of its family turned to run top to bottom.

#include "ui/text.h"

#include <windows.h>

#include <memory>

namespace zv::ui::win32 {

class GdiTextRenderer : public TextRenderer {
public:
    std::unique_ptr<Font> createFont(const FontSpec& spec) override;
    bool hasFace(std::u16string_view face) override;
};

// The LOGFONT a spec asks for (public for the tests).
LOGFONTW logFontOf(const FontSpec& spec);

}  // namespace zv::ui::win32
