#pragma once
// The lock that every process writing a data folder takes around each
// write, so that two writers never interleave: an advisory lock on a lock
// file in the folder on POSIX, a named mutex derived from the folder's path
// on Windows. Taking it waits for the other writer; the system lets go of
// it when its holder dies, so a crashed writer never leaves it held.
//
// Each FolderLock is its own holder: two of them exclude each other even
// within one thread, so code that may nest writes counts its own depth
// (engine/folder_write.h) instead of taking the lock twice.

#include <cstdint>
#include <string>
#include <string_view>

namespace zv::platform {

class FolderLock {
public:
    FolderLock() = default;
    ~FolderLock() { release(); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Waits until this process holds the folder's lock. False when no lock
    // can be made there (a folder that cannot be written): a writer then
    // goes on alone, as the files themselves decide whether it can write.
    bool acquire(std::u16string_view folder);
    void release();
    bool held() const { return handle_ != kNone; }

private:
    static constexpr intptr_t kNone = -1;
    intptr_t handle_ = kNone;  // descriptor or mutex HANDLE
};

// The lock file's name inside a data folder (POSIX).
inline constexpr std::u16string_view kFolderLockName = u"write.lock";

}  // namespace zv::platform
