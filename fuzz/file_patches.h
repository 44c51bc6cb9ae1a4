#pragma once
// A large file of fixed layout told as changes to a template of it, so that
// an input stays a few hundred bytes where the file is hundreds of
// kilobytes (temp.dmg is 201,356 bytes, most of them an empty prefix index
// and unused slots). An input is a run of patches, each
//
//   offset (3 bytes, little-endian, taken modulo the file size)
//   length (1 byte)
//   that many bytes, written at the offset (cut at the end of the file)
//
// and a last patch cut short by the end of the input writes what it has.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace zv::fuzz {

constexpr size_t PatchHeaderSize = 4;
constexpr size_t PatchMaxLength = 255;

// Writes the patches of the input over the file in place.
inline void applyPatches(const uint8_t* in, size_t inSize, uint8_t* file, uint32_t fileSize) {
    if (!fileSize) return;
    const uint8_t* p = in;
    const uint8_t* const end = in + inSize;
    while (static_cast<size_t>(end - p) >= PatchHeaderSize) {
        const uint32_t offset = (uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16) % fileSize;
        const size_t length = std::min<size_t>(p[3], static_cast<size_t>(end - p) - PatchHeaderSize);
        p += PatchHeaderSize;
        std::memcpy(file + offset, p, std::min<size_t>(length, fileSize - offset));
        p += length;
    }
}

// The patches that turn the template into the file (of the same size):
// every stretch that differs, with short equal gaps taken along.
inline std::vector<uint8_t> patchesBetween(const std::vector<uint8_t>& base, const std::vector<uint8_t>& file) {
    constexpr size_t kGapTaken = 8;
    std::vector<uint8_t> out;
    const size_t n = std::min(base.size(), file.size());
    for (size_t i = 0; i < n;) {
        if (base[i] == file[i]) {
            ++i;
            continue;
        }
        size_t last = i;  // the last differing byte of this stretch
        for (size_t j = i + 1; j < n && j - last <= kGapTaken && j - i < PatchMaxLength; ++j)
            if (base[j] != file[j]) last = j;
        const size_t length = last - i + 1;
        out.push_back(static_cast<uint8_t>(i));
        out.push_back(static_cast<uint8_t>(i >> 8));
        out.push_back(static_cast<uint8_t>(i >> 16));
        out.push_back(static_cast<uint8_t>(length));
        out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(i),
                   file.begin() + static_cast<std::ptrdiff_t>(i + length));
        i += length;
    }
    return out;
}

}  // namespace zv::fuzz
