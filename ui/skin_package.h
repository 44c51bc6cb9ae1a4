#pragma once
// Skin packages: ZIP archives (".col", also ".icc") holding "skin.ini" and
// PNG images at their root. Packages come from users and the internet, so
// every size in them is bounded before it is trusted.

#include "ui/skin.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zv::ui {

struct ZipEntry {
    std::string name;
    std::vector<uint8_t> data;
};

// Bounds against damaged archives and zip bombs; a skin needs a few hundred
// kilobytes.
inline constexpr size_t MaxPackageBytes = 32u << 20;
inline constexpr size_t MaxEntryBytes = 8u << 20;
inline constexpr size_t MaxUnpackedBytes = 64u << 20;
inline constexpr size_t MaxEntryNameBytes = 63;
inline constexpr size_t MaxPackagePixels = 8u << 20;

// Reads the entries of an archive held in memory whose names `wanted`
// accepts (all when null): names of at most 63 bytes, whole data, within the
// bounds above. An entry that cannot be read completely is left out; reading
// stops at the first entry that cannot be reached. Empty for a non-archive.
std::vector<ZipEntry> readZip(std::span<const uint8_t> archive, bool (*wanted)(std::string_view name) = nullptr);

// A ZIP archive of the entries, stored or deflated; empty on failure.
std::vector<uint8_t> writeZip(const std::vector<ZipEntry>& entries, bool deflate);

// Loads one package: "skin.ini" into info, the images into their slots.
// Succeeds when the skin has a name and the seven required images; on
// failure every image slot is empty.
bool loadSkinPackage(std::u16string_view path, SkinInfo& info, SkinImages& images);
// The same for a package already in memory (path is what info records).
bool loadSkinPackageBytes(std::span<const uint8_t> archive, std::u16string_view path, SkinInfo& info,
                          SkinImages& images);

// Zips the files of a skin folder ("skin.ini" first, then by name; stored,
// as shipped packages are) into a package file. False when the folder has
// no "skin.ini" or the package cannot be written.
bool zipSkinFolder(std::u16string_view folder, std::u16string_view packagePath);

// Writes the shipped packages of a skins source folder (one subfolder per
// skin) into an installation folder: "default" becomes "skin.col" there and
// in the skin folder "zoruraved", every other skin "zoruraved\<name>.col".
bool installSkinPackages(std::u16string_view skinsSource, std::u16string_view installFolder);

}  // namespace zv::ui
