// The PNG images of a skin package, decoded and cut into the regions and
// stretched pieces the windows draw.

#include "ui/image.h"

#include <span>

using namespace zv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ui::SkinImage image = ui::decodePng(std::span<const uint8_t>(data, size));
    if (image.width <= 0 || image.height <= 0 || image.width > 512 || image.height > 512) return 0;
    ui::regionFromAlpha(image);
    ui::stretchImage(image, image.width * 2, image.height + 3, image.width / 3, image.width * 2 / 3,
                     image.height / 3, image.height * 2 / 3);
    return 0;
}
