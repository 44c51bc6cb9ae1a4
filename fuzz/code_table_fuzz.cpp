// A main.dmg or a word list from outside: the header, the prefix index, the
// entry index and the records, read through the same view and lookups that
// a keystroke runs, and the integrity check of the configuration program.
// temp.dmg, always 201,356 bytes, has a target of its own (temp_table).

#include "config/table_check.h"
#include "engine/code_table.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/table_reads.h"

using namespace zv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFF0u) return 0;
    const auto fileSize = static_cast<uint32_t>(size);
    // Reading never writes: the views and the checks work on the input itself.
    CodeTable table(const_cast<uint8_t*>(data), fileSize);
    fuzz::readAsTyping(table);
    const bool sound = config::checkTable(data, fileSize, config::TableKind::Code).empty();
    config::checkTable(data, fileSize, config::TableKind::Temp);
    config::checkTable(data, fileSize, config::TableKind::WordList);
    // Operations that rewrite the prefix index trust a table that passes the
    // check without it; rebuilding must then stay inside the file. A table
    // that passes the whole check already has the index a rebuild writes.
    if (table.valid() && !table.isWordList() && !sound &&
        config::checkTable(data, fileSize, config::TableKind::Code, false).empty()) {
        fuzz::WritableCopy copy(data, size);
        CodeTable writable(copy.data(), fileSize);
        rebuildPrefixIndex(writable);
    }
    return 0;
}
