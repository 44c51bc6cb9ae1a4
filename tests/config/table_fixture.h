#pragma once
// Data folders and tables for the tests of the table tools.

#include "engine/code_table.h"
#include "engine/table_image.h"
#include "tests/support/temp_dir.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace zv::test {

// One entry as a table holds it.
struct Entry {
    std::string code;
    std::u16string word;
    uint32_t attributes = 0;
    bool operator==(const Entry&) const = default;
};

// The entries of a table file in index order.
std::vector<Entry> entriesOf(const std::vector<uint8_t>& file);
// Problems that the integrity check finds in a table file of the folder.
std::vector<std::u16string> problemsOf(const std::vector<uint8_t>& file, bool wordList = false);

// config.dsc with category names and the given permission words.
std::vector<uint8_t> configWithRights(std::initializer_list<std::pair<int, uint32_t>> rights);

// A data folder: config.dsc (categories 1, 3 and 16 editable, the others
// not) and main.dmg with the given entries.
struct DataFolder {
    TempDir dir;
    explicit DataFolder(std::vector<TableEntry> mainEntries = {});
    std::u16string folder() const { return dir.folder(); }
    std::u16string temp() const;  // a temporary folder of the test's own
    std::vector<Entry> main() const { return entriesOf(dir.read("main.dmg")); }
};

// Makes a file read-only for this process, root included where the system
// allows it; false when it cannot be done here.
bool makeReadOnly(const std::filesystem::path& p);
void makeWritable(const std::filesystem::path& p);

}  // namespace zv::test
