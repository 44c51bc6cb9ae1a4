#include "config/table_clear.h"

#include "config/prefix_index.h"
#include "config/table_check.h"
#include "engine/bytes.h"
#include "engine/code_table.h"
#include "engine/folder_write.h"
#include "engine/write_journal.h"

#include <cstring>
#include <vector>

namespace zv::config {

namespace {

// Saves what a clear rewrites; false when it cannot be saved (nothing may
// change then).
bool journalOf(platform::MappedFile& f, WriteJournal& journal, uint32_t length) {
    journal.keep(f.data(), 0, length);
    return journal.seal(f.size());
}

}  // namespace

ClearStatus clearTable(platform::MappedFile& table) {
    FolderWrite hold(table);
    if (!table.isOpen() || table.isHeapCopy() || table.size() < dmg::IndexStart) return ClearStatus::DamagedTable;
    WriteJournal journal(table.path());
    if (!journalOf(table, journal, dmg::IndexStart)) return ClearStatus::TempFailed;
    uint8_t* b = table.data();
    wr32(b, table.size());
    wr32(b + 4, 0);
    std::memset(b + dmg::PrefixStart, 0, 4 * dmg::PrefixSlotCount);
    table.flush();
    journal.finish();
    return ClearStatus::Ok;
}

ClearStatus clearTempTable(platform::MappedFile& temp) {
    FolderWrite hold(temp);
    if (!temp.isOpen() || temp.isHeapCopy() || temp.size() != dmg::TempFileSize) return ClearStatus::DamagedTable;
    WriteJournal journal(temp.path());
    if (!journalOf(temp, journal, temp.size())) return ClearStatus::TempFailed;
    resetTempTable(temp.data(), temp.size());
    temp.flush();
    journal.finish();
    return ClearStatus::Ok;
}

ClearStatus clearCategory(platform::MappedFile& main, int category, std::u16string_view tempFolder, uint32_t* removed,
                          const Progress& progress) {
    if (removed) *removed = 0;
    FolderWrite hold(main);
    if (!main.isOpen() || main.isHeapCopy() || !checkTable(main.data(), main.size(), TableKind::Code, false).empty())
        return ClearStatus::DamagedTable;
    CodeTable t(main.data(), main.size());
    const uint32_t count = t.count();
    std::vector<uint32_t> kept;
    kept.reserve(count);
    uint64_t bytes = 0;
    for (uint32_t i = 0; i < count; ++i) {
        EntryView e = t.entry(i);
        if (attr::category(e.attributes) == category) continue;
        kept.push_back(i);
        bytes += e.recordSize();
    }
    const uint32_t keptCount = static_cast<uint32_t>(kept.size());
    // Records that overlap would not fit back; such a table is damaged.
    if (dmg::IndexStart + 4 + 4 * uint64_t(keptCount) + bytes > main.size()) return ClearStatus::DamagedTable;

    // The kept records are packed anew over the old ones: all of the table
    // is saved first.
    WriteJournal journal(main.path());
    if (!journalOf(main, journal, main.size())) return ClearStatus::TempFailed;
    uint8_t* b = main.data();
    const uint32_t size = main.size();
    const uint32_t low = size - static_cast<uint32_t>(bytes);
    if (bytes > 0) {
        // The kept records, in index order, set aside in the temporary file.
        const std::u16string tempPath = std::u16string(tempFolder) + std::u16string(ClearTempName);
        platform::MappedFile temp;
        if (!temp.create(tempPath, static_cast<uint32_t>(bytes))) return ClearStatus::TempFailed;
        uint32_t at = 0;
        for (uint32_t k = 0; k < keptCount; ++k) {
            if ((k & 0x3FFF) == 0) report(progress, k, 2ull * keptCount);
            EntryView e = t.entry(kept[k]);
            std::memcpy(temp.data() + at, b + e.offset, e.recordSize());
            at += e.recordSize();
        }
        // Back at the end of main.dmg, packed.
        std::memcpy(b + low, temp.data(), bytes);
        temp.discard();
        platform::removeFile(tempPath);
        at = low;
        for (uint32_t k = 0; k < keptCount; ++k) {
            if ((k & 0x3FFF) == 0) report(progress, keptCount + k, 2ull * keptCount);
            wr32(b + dmg::IndexStart + 4 * k, at);
            at += b[at + 4] + 2u * b[at + 5 + b[at + 4]] + 6;
        }
    }
    wr32(b, low);
    wr32(b + 4, keptCount);
    CodeTable cleared(b, size);
    recomputePrefixIndex(cleared);
    main.flush();
    journal.finish();
    if (removed) *removed = count - keptCount;
    report(progress, 1, 1);
    return ClearStatus::Ok;
}

}  // namespace zv::config
