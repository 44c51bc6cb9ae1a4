// A skin package (.col/.icc) from outside: a ZIP archive of "skin.ini" and
// PNG images, unpacked within the package bounds and loaded as the windows
// would load it.

#include "ui/skin_package.h"

#include <span>

using namespace zv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ui::SkinInfo info;
    ui::SkinImages images;
    ui::loadSkinPackageBytes(std::span<const uint8_t>(data, size), u"/skins/fuzz.col", info, images);
    return 0;
}
