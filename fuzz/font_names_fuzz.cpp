// A font file from a package: the faces' names read from its table
// directory and name tables, and the name the font list records.

#include "installer/core/font_names.h"

#include <span>

using namespace zv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (const auto names = installer::readFontNames(std::span<const uint8_t>(data, size)))
        installer::fontValueName(*names);
    return 0;
}
