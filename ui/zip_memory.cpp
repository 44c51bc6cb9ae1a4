#include "ui/zip_memory.h"

#include <algorithm>
#include <cstring>

namespace zv::ui {

namespace {

voidpf ZCALLBACK memOpen(voidpf opaque, const void*, int) { return opaque; }

uLong ZCALLBACK memRead(voidpf, voidpf stream, void* buf, uLong size) {
    auto* s = static_cast<ZipMemory*>(stream);
    size_t n = std::min<size_t>(size, s->size - s->pos);
    if (n) std::memcpy(buf, (s->out ? s->out->data() : s->data) + s->pos, n);
    s->pos += n;
    return static_cast<uLong>(n);
}

uLong ZCALLBACK memWrite(voidpf, voidpf stream, const void* buf, uLong size) {
    auto* s = static_cast<ZipMemory*>(stream);
    if (!s->out) return 0;
    if (s->pos + size > s->out->size()) s->out->resize(s->pos + size);
    std::memcpy(s->out->data() + s->pos, buf, size);
    s->pos += size;
    s->size = s->out->size();
    return size;
}

ZPOS64_T ZCALLBACK memTell(voidpf, voidpf stream) { return static_cast<ZipMemory*>(stream)->pos; }

long ZCALLBACK memSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* s = static_cast<ZipMemory*>(stream);
    uint64_t base = origin == ZLIB_FILEFUNC_SEEK_SET ? 0 : origin == ZLIB_FILEFUNC_SEEK_CUR ? s->pos : s->size;
    uint64_t target = base + offset;
    if (target > s->size || target < base) return -1;
    s->pos = static_cast<size_t>(target);
    return 0;
}

int ZCALLBACK memClose(voidpf, voidpf) { return 0; }
int ZCALLBACK memError(voidpf, voidpf) { return 0; }

}  // namespace

zlib_filefunc64_def zipMemoryFunctions(ZipMemory* s) {
    zlib_filefunc64_def f{};
    f.zopen64_file = memOpen;
    f.zread_file = memRead;
    f.zwrite_file = memWrite;
    f.ztell64_file = memTell;
    f.zseek64_file = memSeek;
    f.zclose_file = memClose;
    f.zerror_file = memError;
    f.opaque = s;
    return f;
}

}  // namespace zv::ui
