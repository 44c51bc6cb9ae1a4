#pragma once
// What every fuzz target shares: the input as the text a user's file would
// give (read the way the configuration program reads text files), and a cap
// on how many records a target walks so that one input stays fast.

#include "config/text_file.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/asan_interface.h>
#define ZV_FUZZ_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define ZV_FUZZ_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#endif
#endif
#ifndef ZV_FUZZ_POISON
#define ZV_FUZZ_POISON(p, n) ((void)(p), (void)(n))
#define ZV_FUZZ_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace zv::fuzz {

inline std::string_view bytesOf(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// UTF-8 with or without a mark, UTF-16 with a mark, else the ANSI code page.
inline std::u16string textOf(const uint8_t* data, size_t size) {
    return config::decodeText(bytesOf(data, size)).text;
}

constexpr uint32_t MaxWalk = 4096;

// A copy of the input for code that writes to a file in place (a mapping
// of its own). The buffer is kept from run to run, so that a file of a few
// hundred kilobytes costs no fresh pages each time; the part beyond the
// copy is poisoned, so that a read past the end of the file still stops
// the run as it would at the end of its own allocation.
class WritableCopy {
public:
    WritableCopy(const uint8_t* data, size_t size) : size_(size) {
        std::vector<uint8_t>& b = buffer();
        if (b.size() < size) {
            ZV_FUZZ_UNPOISON(b.data(), b.size());
            b.resize(size);
        }
        ZV_FUZZ_UNPOISON(b.data(), size);
        if (size) std::memcpy(b.data(), data, size);
        ZV_FUZZ_POISON(b.data() + size, b.size() - size);
    }
    ~WritableCopy() { ZV_FUZZ_UNPOISON(buffer().data(), buffer().size()); }
    WritableCopy(const WritableCopy&) = delete;
    WritableCopy& operator=(const WritableCopy&) = delete;
    uint8_t* data() { return buffer().data(); }
    size_t size() const { return size_; }

private:
    static std::vector<uint8_t>& buffer() {
        static std::vector<uint8_t> b;
        return b;
    }
    size_t size_;
};

}  // namespace zv::fuzz
