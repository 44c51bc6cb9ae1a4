// Builds without the FreeType renderer (Windows) cannot draw pictures yet:
// the render options say so instead of writing pictures without text.

#include "frontends/terminal/render.h"

namespace zv::term {

std::unique_ptr<ui::TextRenderer> pictureTextRenderer() { return nullptr; }

}  // namespace zv::term
