#pragma once
// The categories of code-table entries (bits 24..29 of an entry's attribute
// word), which the settings name and the menus show.

#include <cstdint>

namespace zv {

enum EntryCategory : uint8_t {
    CategoryNone = 0,
    CategorySystem = 1,
    CategoryUser = 2,
    CategorySecondary = 3,
    CategoryAuxiliary = 4,
    CategoryClassifiedFirst = 16,
    CategoryClassifiedLast = 31,
};

}  // namespace zv
