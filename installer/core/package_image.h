#pragma once
// The self-contained package: the installer's program image followed by a
// ZIP archive. The PE optional header's LoaderFlags field (0 in an
// ordinary program) holds the offset at which the archive starts, which is
// the size of the program part.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zv::installer {

// Where the LoaderFlags field of a PE image lies, or nothing when the bytes
// are not a PE image (32- or 64-bit) whose headers fit inside them.
std::optional<size_t> loaderFlagsOffset(std::span<const uint8_t> image);

struct PackageParts {
    std::span<const uint8_t> program;  // the installer itself
    std::span<const uint8_t> archive;  // the appended ZIP
};

// The split a package's LoaderFlags gives; nothing when the value is 0,
// lies inside the headers or at or beyond the end of the file.
std::optional<PackageParts> splitPackage(std::span<const uint8_t> file);

// Marks a program image as a package's first part: LoaderFlags = its size.
// False when it is not a PE image.
bool markProgramImage(std::vector<uint8_t>& image);

}  // namespace zv::installer
