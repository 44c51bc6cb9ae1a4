#pragma once
// Text for the windows through FreeType, with fontconfig resolving face
// names: the renderer of previews and snapshot tests on Linux. A face that
// is not installed falls back to the default CJK face, so that skins made
// for Windows ("微软雅黑", "宋体") render the same on every machine that has
// that face.

#include "ui/text.h"

#include <memory>
#include <string>

namespace zv::ui {

inline constexpr std::u16string_view DefaultCjkFace = u"WenQuanYi Micro Hei";

// Null when FreeType or fontconfig cannot start or no face can be found.
std::unique_ptr<TextRenderer> makeFreeTypeRenderer();

}  // namespace zv::ui
