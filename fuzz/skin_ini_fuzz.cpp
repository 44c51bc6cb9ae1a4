// The "skin.ini" of a skin package: decoded (marks, UTF-8, ANSI) and read
// into the skin's layout, colours and fonts.

#include "ui/skin_ini.h"

#include <span>

using namespace zv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ui::SkinInfo info;
    ui::parseSkinIni(std::span<const uint8_t>(data, size), info);
    return 0;
}
