#include "engine/folder_write.h"

#include "engine/data_files.h"
#include "engine/write_journal.h"
#include "platform/folder_lock.h"
#include "platform/mapped_file.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace zv {

namespace {

// The folders this thread holds, with how deeply.
struct Held {
    std::u16string folder;
    int depth = 0;
    std::unique_ptr<platform::FolderLock> lock;
    // The files saved whole for this hold, and their journals.
    std::vector<std::u16string> saved;
    std::vector<std::unique_ptr<WriteJournal>> journals;
};
thread_local std::vector<Held> held;

// The folder as one spelling: with its closing separator.
std::u16string folderKey(std::u16string_view folder) {
    std::u16string key(folder);
    if (!key.empty() && key.back() != u'/' && key.back() != u'\\') {
#ifdef _WIN32
        key.push_back(u'\\');
#else
        key.push_back(u'/');
#endif
    }
    return key;
}

void rollBackAll(const std::u16string& folder) {
    for (std::u16string_view name : kJournaledFiles) rollBackJournal(folder + std::u16string(name));
}

bool anyJournal(const std::u16string& folder) {
    for (std::u16string_view name : kJournaledFiles)
        if (platform::fileExists(journalPath(folder + std::u16string(name)))) return true;
    return false;
}

}  // namespace

FolderWrite::FolderWrite(EngineContext& ctx) {
    // An engine that leaves its folder untouched changes only its copies:
    // it takes no lock and repairs nothing.
    if (!ctx.leavesDataUntouched) enter(ctx.dataDir);
    // Another process may have grown or replaced a table since this engine
    // last looked: its counts and offsets are read again now.
    syncTables(ctx);
}

FolderWrite::FolderWrite(std::u16string_view folder) { enter(folder); }

FolderWrite::FolderWrite(platform::MappedFile& file) {
    const std::u16string& path = file.path();
    const size_t cut = path.find_last_of(u"/\\");
    enter(cut == std::u16string::npos ? std::u16string_view() : std::u16string_view(path).substr(0, cut + 1));
    if (file.isOpen() && !file.isHeapCopy() && !file.isCurrent()) file.reopen();
}

void FolderWrite::enter(std::u16string_view folder) {
    folder_ = folderKey(folder);
    for (Held& h : held) {
        if (h.folder == folder_) {
            ++h.depth;
            return;
        }
    }
    Held h{folder_, 1, std::make_unique<platform::FolderLock>(), {}, {}};
    h.lock->acquire(folder_);
    // Whatever a writer that died left half done is undone before anything
    // else is read or written.
    rollBackAll(folder_);
    held.push_back(std::move(h));
}

FolderWrite::~FolderWrite() {
    if (folder_.empty()) return;  // nothing was entered
    for (auto it = held.begin(); it != held.end(); ++it) {
        if (it->folder != folder_) continue;
        if (--it->depth == 0) {
            // The hold's changes are complete.
            for (auto& j : it->journals) j->finish();
            held.erase(it);
        }
        return;
    }
}

bool FolderWrite::savedWhole(const platform::MappedFile& file) const {
    for (const Held& h : held)
        if (h.folder == folder_) return std::find(h.saved.begin(), h.saved.end(), file.path()) != h.saved.end();
    return false;
}

bool FolderWrite::seal(WriteJournal& journal, const platform::MappedFile& file) const {
    // A heap copy is never written back: there is nothing on disk to guard.
    return file.isHeapCopy() || savedWhole(file) || journal.seal(file.size());
}

bool FolderWrite::saveWhole(const platform::MappedFile& file) {
    if (file.isHeapCopy()) return true;  // never written back (see seal)
    for (Held& h : held) {
        if (h.folder != folder_) continue;
        if (std::find(h.saved.begin(), h.saved.end(), file.path()) != h.saved.end()) return true;
        auto journal = std::make_unique<WriteJournal>(file.path());
        journal->keep(file.data(), 0, file.size());
        if (!journal->seal(file.size())) return false;
        h.saved.push_back(file.path());
        h.journals.push_back(std::move(journal));
        return true;
    }
    return false;
}

void recoverFolder(std::u16string_view folder) {
    const std::u16string key = folderKey(folder);
    if (anyJournal(key)) FolderWrite hold(key);
}

}  // namespace zv
