#pragma once
// A data file used in place: a shared read/write mapping of the whole file,
// or a read-only heap copy when the file cannot be mapped for writing.

#include <cstdint>
#include <string>
#include <string_view>

namespace zv::platform {

class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Whether a mapping's pages are made present when it is mapped (a table
    // read all over at key time, whose first touch of each page would
    // otherwise cost a fault while a key waits) or as they are first read
    // (a file a key seldom needs).
    enum class Pages { Filled, OnDemand };
    // Opens an existing file for read and write with read and write sharing
    // and maps all of it. When that fails the file is read into a zeroed heap
    // block of size + 10 bytes whose changes are never written back.
    bool open(std::u16string_view path, Pages pages = Pages::Filled);
    // Reads the file into such a heap copy straight away, without trying to
    // map it: for a user whose data must stay as it is whatever is typed.
    // Opened again (reopen), it is read again.
    bool openCopy(std::u16string_view path);
    // Creates the file (or truncates an existing one) with n zero bytes and
    // maps it read/write; no heap-copy fallback.
    bool create(std::u16string_view path, uint32_t n);
    // Flushes, unmaps and closes; the object can be opened again.
    void close();
    // Unmaps and closes without flushing: for scratch files that are removed
    // right after, where writing the pages back would only cost time.
    void discard();
    // Closes and opens the same path again (used when another process grew it).
    bool reopen();
    // Sets the file size to n bytes and maps it again. Every pointer into the
    // old view is invalid afterwards. A heap copy cannot grow.
    bool resize(uint32_t n);
    // Hands the changed pages to the system to write, as Windows'
    // FlushViewOfFile does, without waiting for the disk: a learned word
    // must not keep a key waiting.
    void flush();

    bool isOpen() const { return view_ != nullptr; }
    bool isHeapCopy() const { return heap_; }
    uint8_t* data() const { return view_; }
    uint32_t size() const { return size_; }
    const std::u16string& path() const { return path_; }

    // Size of the file on disk now (to notice growth by another process);
    // returns -1 when it cannot be read.
    int64_t sizeOnDisk() const;
    // Whether the file at the path is still the one mapped, at the mapped
    // size (no other process grew or replaced it). A heap copy never is.
    bool isCurrent() const;

private:
    bool mapFile();
    bool readHeapCopy();
    void release();

    std::u16string path_;
    std::string systemPath_;  // the path as the system takes it (POSIX: UTF-8), made once
    uint64_t device_ = 0, fileId_ = 0;  // which file is mapped (POSIX: device and inode)
    uint8_t* view_ = nullptr;
    uint32_t size_ = 0;
    bool heap_ = false;
    bool copyOnly_ = false;  // opened with openCopy
    Pages pages_ = Pages::Filled;
    intptr_t file_ = -1;     // descriptor or HANDLE
    intptr_t mapping_ = 0;   // mapping HANDLE on Windows
};

bool fileExists(std::u16string_view path);
// Creates (or truncates) a file with the given bytes; used by the tools.
// With waitForDisk it returns only once the bytes are on the disk.
bool writeWholeFile(std::u16string_view path, const void* data, size_t size, bool waitForDisk = true);
bool readWholeFile(std::u16string_view path, std::string& out);
bool removeFile(std::u16string_view path);

}  // namespace zv::platform
