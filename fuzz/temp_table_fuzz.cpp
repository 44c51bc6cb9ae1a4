// A temp.dmg from outside, told as patches over an empty one (see
// file_patches.h): its header, prefix index, entry index and slots, read
// through the same view and lookups that a keystroke runs, and the
// integrity check of the configuration program.

#include "config/table_check.h"
#include "engine/code_table.h"
#include "engine/table_image.h"
#include "fuzz/file_patches.h"
#include "fuzz/table_reads.h"

#include <cstring>
#include <vector>

using namespace zv;

namespace {

const std::vector<uint8_t>& emptyTemp() {
    static const std::vector<uint8_t> image = buildEmptyTempImage();
    return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Exactly the file's size, so that a read past its end stops the run.
    static std::vector<uint8_t> file(dmg::TempFileSize);
    std::memcpy(file.data(), emptyTemp().data(), file.size());
    fuzz::applyPatches(data, size, file.data(), dmg::TempFileSize);

    CodeTable table(file.data(), dmg::TempFileSize);
    fuzz::readAsTyping(table);
    const bool sound = config::checkTable(file.data(), dmg::TempFileSize, config::TableKind::Temp).empty();
    // A temporary word's change sorts the index and rebuilds the prefix
    // index of a table that passes the check without it; the rebuild must
    // stay inside the file and give a table that passes the whole check.
    if (table.valid() && !sound &&
        config::checkTable(file.data(), dmg::TempFileSize, config::TableKind::Temp, false).empty()) {
        rebuildPrefixIndex(table);
        if (!config::checkTable(file.data(), dmg::TempFileSize, config::TableKind::Temp).empty()) __builtin_trap();
    }
    return 0;
}
