#include "platform/mapped_file.h"
#include "platform/utf.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zv::platform {

namespace {
std::string nativePath(std::u16string_view path) { return utf16ToUtf8(path); }
}  // namespace

MappedFile::~MappedFile() { close(); }

bool MappedFile::open(std::u16string_view path, Pages pages) {
    close();
    path_.assign(path);
    systemPath_ = nativePath(path_);
    pages_ = pages;
    copyOnly_ = false;
    if (mapFile()) return true;
    release();
    return readHeapCopy();
}

bool MappedFile::openCopy(std::u16string_view path) {
    close();
    path_.assign(path);
    systemPath_ = nativePath(path_);
    copyOnly_ = true;
    return readHeapCopy();
}

namespace {
// An open data file, whole, shared and writable. Its page tables are filled
// at once: a table is read all over at key time, and the first touch of each
// of its pages would otherwise cost a fault while a key waits. Files beyond
// any table's size are left to be faulted in as they are read.
void* mapWhole(int fd, size_t n, MappedFile::Pages pages) {
    int flags = MAP_SHARED;
#ifdef MAP_POPULATE
    constexpr size_t kMostPopulated = size_t{64} << 20;
    if (n <= kMostPopulated && pages == MappedFile::Pages::Filled) flags |= MAP_POPULATE;
#endif
    return mmap(nullptr, n, PROT_READ | PROT_WRITE, flags, fd, 0);
}
}  // namespace

bool MappedFile::create(std::u16string_view path, uint32_t n) {
    close();
    path_.assign(path);
    systemPath_ = nativePath(path_);
    if (n == 0) return false;
    int fd = ::open(systemPath_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    file_ = fd;
    if (ftruncate(fd, static_cast<off_t>(n)) != 0) {
        release();
        return false;
    }
    void* p = mmap(nullptr, n, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (p == MAP_FAILED) {
        release();
        return false;
    }
    if (struct stat st {}; fstat(fd, &st) == 0) {
        device_ = static_cast<uint64_t>(st.st_dev);
        fileId_ = static_cast<uint64_t>(st.st_ino);
    }
    view_ = static_cast<uint8_t*>(p);
    size_ = n;
    heap_ = false;
    return true;
}

bool MappedFile::mapFile() {
    int fd = ::open(systemPath_.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    file_ = fd;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
        static_cast<uint64_t>(st.st_size) > 0xFFFFFFF0u)
        return false;
    void* p = mapWhole(fd, static_cast<size_t>(st.st_size), pages_);
    if (p == MAP_FAILED) return false;
    device_ = static_cast<uint64_t>(st.st_dev);
    fileId_ = static_cast<uint64_t>(st.st_ino);
    view_ = static_cast<uint8_t*>(p);
    size_ = static_cast<uint32_t>(st.st_size);
    heap_ = false;
    return true;
}

bool MappedFile::readHeapCopy() {
    int fd = ::open(systemPath_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        static_cast<uint64_t>(st.st_size) > 0xFFFFFF00u) {
        ::close(fd);
        return false;
    }
    size_t n = static_cast<size_t>(st.st_size);
    auto* buf = static_cast<uint8_t*>(std::calloc(n + 10, 1));
    if (!buf) {
        ::close(fd);
        return false;
    }
    size_t got = 0;
    while (got < n) {
        ssize_t r = ::read(fd, buf + got, n - got);
        if (r <= 0) break;
        got += static_cast<size_t>(r);
    }
    ::close(fd);
    if (got != n) {
        std::free(buf);
        return false;
    }
    view_ = buf;
    size_ = static_cast<uint32_t>(n + 10);
    heap_ = true;
    return true;
}

void MappedFile::flush() {
    if (view_ && !heap_) msync(view_, size_, MS_ASYNC);
}

void MappedFile::release() {
    if (view_) {
        if (heap_)
            std::free(view_);
        else
            munmap(view_, size_);
    }
    if (file_ >= 0) ::close(static_cast<int>(file_));
    view_ = nullptr;
    size_ = 0;
    heap_ = false;
    file_ = -1;
    mapping_ = 0;
}

void MappedFile::close() {
    flush();
    release();
}

void MappedFile::discard() { release(); }

bool MappedFile::reopen() {
    std::u16string p = path_;
    close();
    if (!fileExists(p)) return false;
    return copyOnly_ ? openCopy(p) : open(p, pages_);
}

bool MappedFile::resize(uint32_t n) {
    if (heap_ || file_ < 0 || n == 0) return false;
    flush();
    if (view_) munmap(view_, size_);
    view_ = nullptr;
    int fd = static_cast<int>(file_);
    if (ftruncate(fd, static_cast<off_t>(n)) != 0) {
        // Map the old size again so that the table stays usable.
        struct stat st {};
        if (fstat(fd, &st) == 0 && st.st_size > 0) {
            void* p = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
            if (p != MAP_FAILED) {
                view_ = static_cast<uint8_t*>(p);
                size_ = static_cast<uint32_t>(st.st_size);
            }
        }
        return false;
    }
    void* p = mapWhole(fd, n, pages_);
    if (p == MAP_FAILED) {
        size_ = 0;
        return false;
    }
    view_ = static_cast<uint8_t*>(p);
    size_ = n;
    return true;
}

int64_t MappedFile::sizeOnDisk() const {
    struct stat st {};
    if (::stat(systemPath_.c_str(), &st) != 0) return -1;
    return st.st_size;
}

bool MappedFile::isCurrent() const {
    if (!view_ || heap_ || file_ < 0) return false;
    struct stat onDisk {};
    if (::stat(systemPath_.c_str(), &onDisk) != 0) return false;
    return static_cast<uint64_t>(onDisk.st_dev) == device_ && static_cast<uint64_t>(onDisk.st_ino) == fileId_ &&
           onDisk.st_size == size_;
}

bool fileExists(std::u16string_view path) {
    struct stat st {};
    return ::stat(nativePath(path).c_str(), &st) == 0;
}

bool writeWholeFile(std::u16string_view path, const void* data, size_t size, bool waitForDisk) {
    std::string p = nativePath(path);
    int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const auto* b = static_cast<const uint8_t*>(data);
    size_t done = 0;
    while (done < size) {
        ssize_t w = ::write(fd, b + done, size - done);
        if (w <= 0) break;
        done += static_cast<size_t>(w);
    }
    bool ok = done == size && (!waitForDisk || ::fsync(fd) == 0);
    return ::close(fd) == 0 && ok;
}

bool readWholeFile(std::u16string_view path, std::string& out) {
    int fd = ::open(nativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    out.clear();
    struct stat st {};
    if (fstat(fd, &st) == 0 && st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t r = ::read(fd, buf, sizeof buf);
        if (r < 0) {
            ::close(fd);
            return false;
        }
        if (r == 0) break;
        out.append(buf, static_cast<size_t>(r));
    }
    ::close(fd);
    return true;
}

bool removeFile(std::u16string_view path) { return ::unlink(nativePath(path).c_str()) == 0; }

}  // namespace zv::platform
