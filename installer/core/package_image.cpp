#include "installer/core/package_image.h"

#include "engine/bytes.h"

namespace zv::installer {

namespace {

constexpr size_t kDosHeaderSize = 64;
constexpr size_t kPeOffsetField = 60;        // e_lfanew
constexpr size_t kCoffHeaderSize = 20;       // after the 4-byte signature
constexpr size_t kOptionalSizeField = 16;    // SizeOfOptionalHeader, within the COFF header
constexpr uint16_t kMagicPe32 = 0x10B;
constexpr uint16_t kMagicPe32Plus = 0x20B;
constexpr size_t kLoaderFlagsPe32 = 88;      // within the optional header
constexpr size_t kLoaderFlagsPe32Plus = 104;

}  // namespace

std::optional<size_t> loaderFlagsOffset(std::span<const uint8_t> image) {
    if (image.size() < kDosHeaderSize || image[0] != 'M' || image[1] != 'Z') return std::nullopt;
    const uint64_t pe = rd32(image.data() + kPeOffsetField);
    if (pe + 4 + kCoffHeaderSize + 2 > image.size()) return std::nullopt;
    const uint8_t* p = image.data() + pe;
    if (p[0] != 'P' || p[1] != 'E' || p[2] != 0 || p[3] != 0) return std::nullopt;
    const uint16_t optionalSize = rd16(p + 4 + kOptionalSizeField);
    const uint64_t optional = pe + 4 + kCoffHeaderSize;
    const uint16_t magic = rd16(image.data() + optional);
    const size_t field = magic == kMagicPe32       ? kLoaderFlagsPe32
                         : magic == kMagicPe32Plus ? kLoaderFlagsPe32Plus
                                                   : 0;
    if (field == 0 || field + 4 > optionalSize || optional + field + 4 > image.size()) return std::nullopt;
    return static_cast<size_t>(optional + field);
}

std::optional<PackageParts> splitPackage(std::span<const uint8_t> file) {
    const auto at = loaderFlagsOffset(file);
    if (!at) return std::nullopt;
    const uint32_t split = rd32(file.data() + *at);
    if (split == 0 || split <= *at + 4 || split >= file.size()) return std::nullopt;
    return PackageParts{file.first(split), file.subspan(split)};
}

bool markProgramImage(std::vector<uint8_t>& image) {
    const auto at = loaderFlagsOffset(image);
    if (!at || image.size() > UINT32_MAX) return false;
    wr32(image.data() + *at, static_cast<uint32_t>(image.size()));
    return true;
}

}  // namespace zv::installer
