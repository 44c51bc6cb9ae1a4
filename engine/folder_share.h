#pragma once
// What the engines of one process on one data folder share: the mappings of
// its data files and the heavy lookups kept (lookup_memo.h). An engine that
// opens a folder which another engine of the process has open takes these
// over instead of mapping and searching again, so that an application with
// many text fields opens each in microseconds and keeps one copy.
//
// Engines of one process may run on several threads (a text service runs
// one a thread), so the share is guarded by its lock; a mapping never
// changes once shared (a table that grows is mapped anew, and an engine
// still reading the old mapping keeps it), and a kept lookup never changes
// while an engine reads it.

#include "engine/engine_context.h"

#include <array>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

struct FolderShare {
    std::mutex lock;  // guards everything below
    std::u16string folder;
    // The newest mapping of each data file (a heap copy is never shared).
    std::array<std::shared_ptr<platform::MappedFile>, SlotCount> files;
    // The kept lookups; an engine holds the one its candidate list reads.
    std::vector<std::shared_ptr<LookupMemo>> memos;
    uint64_t memoClock = 0;
};

// This process's share for a data folder: the one its engines on the folder
// use, or a new one when none of them is open.
std::shared_ptr<FolderShare> shareFolder(std::u16string_view folder);

}  // namespace zv
