#pragma once
// Little-endian integers in data files, read and written byte-wise so that no
// record is ever cast to a struct.

#include <bit>
#include <cstdint>
#include <cstring>

namespace zv {

inline uint16_t rd16(const uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    } else {
        return static_cast<uint16_t>(p[0] | p[1] << 8);
    }
}

inline uint32_t rd32(const uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    } else {
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
}

inline uint64_t rd64(const uint8_t* p) { return uint64_t(rd32(p)) | uint64_t(rd32(p + 4)) << 32; }

inline void wr16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

inline void wr32(uint8_t* p, uint32_t v) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &v, 4);
    } else {
        for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

inline void wr64(uint8_t* p, uint64_t v) {
    wr32(p, static_cast<uint32_t>(v));
    wr32(p + 4, static_cast<uint32_t>(v >> 32));
}

}  // namespace zv
