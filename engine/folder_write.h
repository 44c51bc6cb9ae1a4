#pragma once
// Held around every change this process makes to a data folder's files.
// It takes the folder's write lock (platform/folder_lock.h), so that no
// other process writes at the same time; puts back what a writer that died
// part-way left in a journal (engine/write_journal.h); and, for an engine,
// maps anew whatever another process grew or replaced, so that the change
// is made on the counts and offsets as they are now. It is held only for
// the write itself, never across a key's lookup.
//
// Nested holds on one folder in one thread (a learned word that adds an
// entry and then drops a temporary word; a tool that holds the folder for
// its whole command) take the lock once.

#include "engine/engine_context.h"
#include "engine/write_journal.h"
#include "platform/mapped_file.h"

#include <string>
#include <string_view>

namespace zv {

class FolderWrite {
public:
    // For an engine: lock, roll back, and sync its tables.
    explicit FolderWrite(EngineContext& ctx);
    // For a tool that opens the files itself after taking the lock.
    explicit FolderWrite(std::u16string_view folder);
    // For a tool that mapped a data file before: lock its folder, roll
    // back, and map the file again if another process grew or replaced it.
    explicit FolderWrite(platform::MappedFile& file);
    ~FolderWrite();
    FolderWrite(const FolderWrite&) = delete;
    FolderWrite& operator=(const FolderWrite&) = delete;

    // Saves all of a data file of the folder in a journal the first time a
    // change within the outermost hold touches it (temp.dmg: each learned
    // word rewrites its ages and index, and one commit learns several); the
    // journal goes when the outermost hold ends, so a writer that dies
    // within the hold leaves the file as it was before. False when it could
    // not be saved: nothing may change then.
    bool saveWhole(const platform::MappedFile& file);
    // Whether the outermost hold saved the file whole already (a change
    // within it then needs no journal of its own).
    bool savedWhole(const platform::MappedFile& file) const;
    // Seals the journal of one change of a file, unless the hold saved the
    // file whole already (a journal of its own would then take the whole
    // one's place). False when it could not be written: nothing may change.
    bool seal(WriteJournal& journal, const platform::MappedFile& file) const;

private:
    void enter(std::u16string_view folder);
    std::u16string folder_;
};

// The data files a change may journal.
inline constexpr std::u16string_view kJournaledFiles[] = {u"main.dmg", u"temp.dmg", u"config.dsc", u"engl.dmg",
                                                           u"sysl.dmg"};

// Rolls back the journals an interrupted change left in the folder, taking
// the write lock only when there is one; for a folder being opened.
void recoverFolder(std::u16string_view folder);

}  // namespace zv
