// A .dmi or .dms file from outside: the offset list and the string pairs,
// read through the lookups of output conversion and word formation, and the
// integrity check of the configuration program.

#include "config/table_check.h"
#include "engine/pair_table.h"
#include "fuzz/fuzz_input.h"

#include <algorithm>
#include <string_view>

using namespace zv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFF0u) return 0;
    const auto fileSize = static_cast<uint32_t>(size);
    PairTable table(data, fileSize);
    if (table.valid()) {
        const uint32_t n = std::min(table.count(), fuzz::MaxWalk);
        TextPair pair;
        for (uint32_t i = 0; i < n; ++i) {
            if (table.record(i, pair) && i < 8) table.lookup(pair.first);
        }
        for (std::u16string_view key : {u"", u"中", u"中国", u"后", u"\xFFFF"}) {
            table.lookup(key);
            if (table.count() > 0) table.compareFirst(table.count() - 1, key);
        }
    }
    config::checkPairTable(data, fileSize);
    return 0;
}
