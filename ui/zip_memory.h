#pragma once
// ZIP archives held in memory: minizip reads and writes through these
// callbacks, so an archive needs no path conversion, every read is bounded
// by the buffer, and its size is known before a byte of it is parsed.

#include <cstddef>
#include <cstdint>
#include <minizip/ioapi.h>
#include <vector>

namespace zv::ui {

struct ZipMemory {
    const uint8_t* data = nullptr;        // reading
    std::vector<uint8_t>* out = nullptr;  // writing
    size_t size = 0;
    size_t pos = 0;
};

// The callbacks for one archive in memory; `s` outlives the open archive.
zlib_filefunc64_def zipMemoryFunctions(ZipMemory* s);

}  // namespace zv::ui
