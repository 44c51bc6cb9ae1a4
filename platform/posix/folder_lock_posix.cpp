#include "platform/folder_lock.h"
#include "platform/utf.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace zv::platform {

bool FolderLock::acquire(std::u16string_view folder) {
    release();
    std::u16string path(folder);
    if (!path.empty() && path.back() != u'/') path.push_back(u'/');
    path += kFolderLockName;
    const std::string native = utf16ToUtf8(path);
    const int fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    // flock belongs to the open file: a second descriptor of this process
    // waits like another process would.
    while (flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            ::close(fd);
            return false;
        }
    }
    handle_ = fd;
    return true;
}

void FolderLock::release() {
    if (handle_ == kNone) return;
    // Closing the descriptor lets go of the lock.
    ::close(static_cast<int>(handle_));
    handle_ = kNone;
}

}  // namespace zv::platform
