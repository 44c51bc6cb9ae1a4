#include "platform/folder_lock.h"

#include <windows.h>

namespace zv::platform {

namespace {

// The mutex's name: one per folder for every process of the session, made
// from the folder's path without regard to case or a closing separator.
std::wstring mutexName(std::u16string_view folder) {
    while (!folder.empty() && (folder.back() == u'\\' || folder.back() == u'/')) folder.remove_suffix(1);
    uint64_t h = 14695981039346656037ull;
    for (char16_t c : folder) {
        if (c == u'/') c = u'\\';
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
        h = (h ^ c) * 1099511628211ull;
    }
    wchar_t name[64];
    wsprintfW(name, L"Local\\ZorvanIME3.Write.%08X%08X", static_cast<unsigned>(h >> 32), static_cast<unsigned>(h));
    return name;
}

}  // namespace

bool FolderLock::acquire(std::u16string_view folder) {
    release();
    HANDLE m = CreateMutexW(nullptr, FALSE, mutexName(folder).c_str());
    if (!m) return false;
    // An abandoned mutex is held all the same: its holder died, and the
    // journal it left is rolled back by whoever takes the lock next.
    const DWORD r = WaitForSingleObject(m, INFINITE);
    if (r != WAIT_OBJECT_0 && r != WAIT_ABANDONED) {
        CloseHandle(m);
        return false;
    }
    handle_ = reinterpret_cast<intptr_t>(m);
    return true;
}

void FolderLock::release() {
    if (handle_ == kNone) return;
    HANDLE m = reinterpret_cast<HANDLE>(handle_);
    ReleaseMutex(m);
    CloseHandle(m);
    handle_ = kNone;
}

}  // namespace zv::platform
