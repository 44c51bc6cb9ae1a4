// Pictures on Linux draw their text with FreeType.

#include "frontends/terminal/render.h"
#include "ui/ft/ft_text.h"

namespace zv::term {

std::unique_ptr<ui::TextRenderer> pictureTextRenderer() { return ui::makeFreeTypeRenderer(); }

}  // namespace zv::term
