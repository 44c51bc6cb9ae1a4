#pragma once
// The names a TrueType font or font collection gives its faces, read from
// each face's 'name' table, and the value name the system's font list
// records it under. The file comes from a package and is untrusted: every
// offset, count and length is checked against the bytes, and a file that
// does not hold a readable name for every face is no font to install.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zv::installer {

struct FontNames {
    bool collection = false;           // a ".ttc": several faces in one file
    std::vector<std::u16string> faces;  // each face's full name, in file order
};

// Nothing when the bytes are no font, are cut short, or a face has no name
// that can stand in the system's font list.
std::optional<FontNames> readFontNames(std::span<const uint8_t> bytes);

// "<name> (TrueType)"; a collection's faces joined by " & " and
// " (TrueType-C)".
std::u16string fontValueName(const FontNames& names);

}  // namespace zv::installer
