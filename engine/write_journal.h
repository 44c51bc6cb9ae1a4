#pragma once
// The undo journal of a change to a data file. A change that moves or
// rewrites what makes a table readable (its header, prefix windows, index
// or records in use) first saves those bytes as they are in a journal
// beside the file ("main.dmg.journal"), and removes the journal when the
// change is complete. Whoever next takes the folder's write lock or opens
// the folder finds a journal left by a writer that died part-way and puts
// the saved bytes back: the table is again as it was before the change, and
// every entry stored before it is there. Bytes a change writes beyond the
// saved ones (new records in free room or past the old end) are not read
// by the restored table and need no saving.
//
// Journal layout (little-endian): "ZVJ1", the file's size before the
// change, the number of saved stretches, then each stretch as offset,
// length and its bytes, then an FNV-1a checksum of everything before it. A
// journal cut short by a crash while it was written fails its checksum and
// is dropped: the table had not been touched yet.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

class WriteJournal {
public:
    // For the data file at `path`; nothing is written until seal().
    explicit WriteJournal(std::u16string_view path);
    // An unfinished sealed journal puts the saved bytes back (a change that
    // failed part-way undoes itself).
    ~WriteJournal();
    WriteJournal(const WriteJournal&) = delete;
    WriteJournal& operator=(const WriteJournal&) = delete;

    // Saves [offset, offset + length) of the file as `base` shows it now.
    void keep(const uint8_t* base, uint32_t offset, uint32_t length);
    // Writes the journal; only after it returns true may the file change.
    bool seal(uint32_t fileSize);
    // The change is complete: the journal goes.
    void finish();

private:
    std::u16string path_;
    std::vector<uint8_t> bytes_;
    uint32_t stretches_ = 0;
    bool sealed_ = false;
};

// The journal's path for a data file.
std::u16string journalPath(std::u16string_view path);

// Puts back what a journal left by an interrupted change saved, then
// removes the journal; the caller holds the folder's write lock. True when
// there was one to roll back. A journal that does not fit the file (or is
// damaged) is removed without touching the file.
bool rollBackJournal(std::u16string_view path);

}  // namespace zv
