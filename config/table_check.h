#pragma once
// Integrity check of the data files: headers, bounds of every offset and
// record, sort order, the prefix index against a rebuild, temp.dmg's slot
// layout, and the offset lists of the pair tables. Each function returns one
// line per problem (without the file name); an empty list means sound.

#include <cstdint>
#include <string>
#include <vector>

namespace zv::config {

enum class TableKind {
    Code,      // main.dmg: type 1, records in the record area
    Temp,      // temp.dmg: type 1 in 512 fixed slots, ages as attributes
    WordList,  // sysl.dmg, engl.dmg: type 5
};

// At most this many problems are listed per file; a last line counts the rest.
constexpr size_t MaxProblemsPerFile = 50;

// Without the prefix index: whether the header, the index and the records
// can be trusted, which is what an operation that rewrites the index needs.
std::vector<std::u16string> checkTable(const uint8_t* data, uint32_t size, TableKind kind, bool prefixIndex = true);
std::vector<std::u16string> checkPairTable(const uint8_t* data, uint32_t size);
std::vector<std::u16string> checkConfigStore(const uint8_t* data, uint32_t size);

// Checks every data file of a folder (path ending in a separator): config.dsc
// and main.dmg must exist; the others are checked when present. Each line is
// "<file>: <problem>".
std::vector<std::u16string> checkDataFolder(std::u16string_view folder);

}  // namespace zv::config
