#pragma once
// Golden pictures: a render compared with a PNG kept in tests/data/golden,
// each channel within a tolerance that absorbs how FreeType versions hint and
// smooth glyph edges. Run with ZV_UPDATE_GOLDEN=1 to write the pictures anew
// after a deliberate change, and look at them before committing.

#include "ui/image.h"

#include <string>

namespace zv::test {

void expectLooksLike(const ui::SkinImage& render, const std::string& name);

}  // namespace zv::test
