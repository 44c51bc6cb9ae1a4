#include "frontends/keys/scan_codes.h"

#include <cstring>

namespace zv::keys {

uint32_t scanCodeOf(int vk, bool* extended) {
    static const char* row1 = "1234567890";
    static const uint8_t letterScan[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                                           0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    bool ext = false;
    uint32_t s = 0;
    if (vk >= 'A' && vk <= 'Z') s = letterScan[vk - 'A'];
    else if (vk >= '0' && vk <= '9') s = static_cast<uint32_t>(std::strchr(row1, vk) - row1) + 2;
    else if (vk >= 0x70 && vk <= 0x79) s = 0x3B + (vk - 0x70);
    else if (vk == 0x7A || vk == 0x7B) s = 0x57 + (vk - 0x7A);
    else if (vk >= 0x60 && vk <= 0x69) {
        static const uint8_t pad[10] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
        s = pad[vk - 0x60];
    } else {
        switch (vk) {
        case 0x08: s = 0x0E; break;
        case 0x09: s = 0x0F; break;
        case 0x0D: s = 0x1C; break;
        case 0x14: s = 0x3A; break;
        case 0x1B: s = 0x01; break;
        case 0x20: s = 0x39; break;
        case 0x21: s = 0x49, ext = true; break;
        case 0x22: s = 0x51, ext = true; break;
        case 0x23: s = 0x4F, ext = true; break;
        case 0x24: s = 0x47, ext = true; break;
        case 0x25: s = 0x4B, ext = true; break;
        case 0x26: s = 0x48, ext = true; break;
        case 0x27: s = 0x4D, ext = true; break;
        case 0x28: s = 0x50, ext = true; break;
        case 0x2E: s = 0x53, ext = true; break;
        case 0x6A: s = 0x37; break;
        case 0x6B: s = 0x4E; break;
        case 0x6D: s = 0x4A; break;
        case 0x6E: s = 0x53; break;
        case 0x6F: s = 0x35, ext = true; break;
        case 0xBA: s = 0x27; break;
        case 0xBB: s = 0x0D; break;
        case 0xBC: s = 0x33; break;
        case 0xBD: s = 0x0C; break;
        case 0xBE: s = 0x34; break;
        case 0xBF: s = 0x35; break;
        case 0xC0: s = 0x29; break;
        case 0xDB: s = 0x1A; break;
        case 0xDC: s = 0x2B; break;
        case 0xDD: s = 0x1B; break;
        case 0xDE: s = 0x28; break;
        default: break;
        }
    }
    if (extended) *extended = ext;
    return s;
}

}  // namespace zv::keys
