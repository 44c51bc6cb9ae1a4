#include "platform/mapped_file.h"

#include <cstdlib>
#include <windows.h>

namespace zv::platform {

namespace {
std::wstring widePath(std::u16string_view p) { return std::wstring(p.begin(), p.end()); }
HANDLE asHandle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }

// An open data file's pages are touched once as it is mapped: a table is
// read all over at key time, and the first touch of each of its pages would
// otherwise cost a fault while a key waits. Files beyond any table's size
// are left to be faulted in as they are read.
void touchPages(const uint8_t* view, uint32_t size) {
    constexpr uint32_t kMostTouched = 64u << 20;
    if (size > kMostTouched) return;
    uint8_t sum = 0;
    for (uint32_t at = 0; at < size; at += 4096) sum ^= static_cast<const volatile uint8_t*>(view)[at];
    (void)sum;
}
}  // namespace

MappedFile::~MappedFile() { close(); }

bool MappedFile::open(std::u16string_view path, Pages pages) {
    close();
    path_.assign(path);
    pages_ = pages;
    copyOnly_ = false;
    if (mapFile()) return true;
    release();
    return readHeapCopy();
}

bool MappedFile::openCopy(std::u16string_view path) {
    close();
    path_.assign(path);
    copyOnly_ = true;
    return readHeapCopy();
}

bool MappedFile::create(std::u16string_view path, uint32_t n) {
    close();
    path_.assign(path);
    if (n == 0) return false;
    HANDLE f = CreateFileW(widePath(path_).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    file_ = reinterpret_cast<intptr_t>(f);
    // A mapping larger than the file extends it with zero bytes.
    HANDLE m = CreateFileMappingW(f, nullptr, PAGE_READWRITE, 0, n, nullptr);
    if (!m) {
        release();
        return false;
    }
    mapping_ = reinterpret_cast<intptr_t>(m);
    void* v = MapViewOfFile(m, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    if (!v) {
        release();
        return false;
    }
    view_ = static_cast<uint8_t*>(v);
    size_ = n;
    heap_ = false;
    return true;
}

bool MappedFile::mapFile() {
    HANDLE f = CreateFileW(widePath(path_).c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    file_ = reinterpret_cast<intptr_t>(f);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(f, &size) || size.QuadPart <= 0 || size.QuadPart > 0xFFFFFFF0LL) return false;
    HANDLE m = CreateFileMappingW(f, nullptr, PAGE_READWRITE, 0, static_cast<DWORD>(size.QuadPart), nullptr);
    if (!m) return false;
    mapping_ = reinterpret_cast<intptr_t>(m);
    void* v = MapViewOfFile(m, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    if (!v) return false;
    view_ = static_cast<uint8_t*>(v);
    size_ = static_cast<uint32_t>(size.QuadPart);
    heap_ = false;
    if (pages_ == Pages::Filled) touchPages(view_, size_);
    return true;
}

bool MappedFile::readHeapCopy() {
    HANDLE f = CreateFileW(widePath(path_).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(f, &size) || size.QuadPart < 0 || size.QuadPart > 0xFFFFFF00LL) {
        CloseHandle(f);
        return false;
    }
    DWORD n = static_cast<DWORD>(size.QuadPart);
    auto* buf = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(n) + 10, 1));
    if (!buf) {
        CloseHandle(f);
        return false;
    }
    DWORD got = 0, total = 0;
    while (total < n && ReadFile(f, buf + total, n - total, &got, nullptr) && got > 0) total += got;
    CloseHandle(f);
    if (total != n) {
        std::free(buf);
        return false;
    }
    view_ = buf;
    size_ = n + 10;
    heap_ = true;
    return true;
}

void MappedFile::flush() {
    if (view_ && !heap_) FlushViewOfFile(view_, 0);
}

void MappedFile::release() {
    if (view_) {
        if (heap_)
            std::free(view_);
        else
            UnmapViewOfFile(view_);
    }
    if (mapping_) CloseHandle(asHandle(mapping_));
    if (file_ != -1) CloseHandle(asHandle(file_));
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
    if (heap_ || file_ == -1 || n == 0) return false;
    flush();
    if (view_) UnmapViewOfFile(view_);
    view_ = nullptr;
    if (mapping_) CloseHandle(asHandle(mapping_));
    mapping_ = 0;
    HANDLE f = asHandle(file_);
    LARGE_INTEGER pos{};
    pos.QuadPart = n;
    bool sized = SetFilePointerEx(f, pos, nullptr, FILE_BEGIN) && SetEndOfFile(f);
    LARGE_INTEGER now{};
    if (!GetFileSizeEx(f, &now) || now.QuadPart <= 0) {
        size_ = 0;
        return false;
    }
    HANDLE m = CreateFileMappingW(f, nullptr, PAGE_READWRITE, 0, static_cast<DWORD>(now.QuadPart), nullptr);
    if (!m) {
        size_ = 0;
        return false;
    }
    mapping_ = reinterpret_cast<intptr_t>(m);
    void* v = MapViewOfFile(m, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    if (!v) {
        size_ = 0;
        return false;
    }
    view_ = static_cast<uint8_t*>(v);
    size_ = static_cast<uint32_t>(now.QuadPart);
    if (pages_ == Pages::Filled) touchPages(view_, size_);
    return sized && size_ == n;
}

int64_t MappedFile::sizeOnDisk() const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(widePath(path_).c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool MappedFile::isCurrent() const {
    if (!view_ || heap_) return false;
    return sizeOnDisk() == static_cast<int64_t>(size_);
}

bool fileExists(std::u16string_view path) {
    return GetFileAttributesW(widePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool writeWholeFile(std::u16string_view path, const void* data, size_t size, bool waitForDisk) {
    HANDLE f = CreateFileW(widePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    const auto* b = static_cast<const uint8_t*>(data);
    size_t done = 0;
    while (done < size) {
        DWORD chunk = static_cast<DWORD>(size - done > 0x40000000 ? 0x40000000 : size - done);
        DWORD w = 0;
        if (!WriteFile(f, b + done, chunk, &w, nullptr) || w == 0) break;
        done += w;
    }
    bool ok = done == size && (!waitForDisk || FlushFileBuffers(f));
    return CloseHandle(f) && ok;
}

bool readWholeFile(std::u16string_view path, std::string& out) {
    HANDLE f = CreateFileW(widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    out.clear();
    char buf[65536];
    DWORD got = 0;
    bool ok = true;
    for (;;) {
        if (!ReadFile(f, buf, sizeof buf, &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        out.append(buf, got);
    }
    CloseHandle(f);
    return ok;
}

bool removeFile(std::u16string_view path) { return DeleteFileW(widePath(path).c_str()) != 0; }

}  // namespace zv::platform
