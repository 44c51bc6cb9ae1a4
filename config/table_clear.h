#pragma once
// Clearing a table, or one category of main.dmg.

#include "config/progress.h"
#include "platform/mapped_file.h"

#include <string>
#include <string_view>

namespace zv::config {

constexpr std::u16string_view ClearTempName = u"_zorvan.tempdmg";

enum class ClearStatus {
    Ok,
    DamagedTable,  // nothing was changed
    TempFailed,    // the kept entries could not be set aside: nothing was changed
};

// A code table or word list emptied in place: count 0, the record area
// starts at the end of the file, the prefix index is zero. The file keeps
// its size and type.
ClearStatus clearTable(platform::MappedFile& table);
// temp.dmg back to its empty fixed-slot layout.
ClearStatus clearTempTable(platform::MappedFile& temp);
// Removes every entry of one category from main.dmg: the others go through
// "_zorvan.tempdmg" in tempFolder and come back packed at the end of the
// file, whose size does not change; returns the number removed in *removed.
ClearStatus clearCategory(platform::MappedFile& main, int category, std::u16string_view tempFolder,
                          uint32_t* removed = nullptr, const Progress& progress = {});

}  // namespace zv::config
