#pragma once
// A text renderer with fixed metrics for layout and painting tests: every
// character is a solid box, half as wide as the font height below U+2E80
// and as wide as the height above. The same on every system.

#include "ui/text.h"

#include <memory>
#include <string>
#include <vector>

namespace zv::test {

class FixedFontRenderer : public ui::TextRenderer {
public:
    std::unique_ptr<ui::Font> createFont(const ui::FontSpec& spec) override;
    bool hasFace(std::u16string_view face) override { return face == u"Fixed"; }
    // The specs of every font made so far, for checks on font creation.
    std::vector<ui::FontSpec> made;
};

// Character height of a font height: -h for negative, h for positive, 16 for 0.
int32_t fixedHeight(int32_t fontHeight);

}  // namespace zv::test
