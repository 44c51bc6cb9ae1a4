#pragma once
// A bitmap of a module's resources as a picture the painter takes.

#include "ui/skin.h"

#include <windows.h>

namespace zv::ui::win32 {

// The bitmap resource `id` of `module`, opaque (alpha 255); empty when the
// module holds no such bitmap or it cannot be read.
SkinImage bitmapResource(HINSTANCE module, int id);

}  // namespace zv::ui::win32
