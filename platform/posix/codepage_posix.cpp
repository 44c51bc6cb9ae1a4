#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace zv::platform {

std::u16string ansiToUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    iconv_t cd = iconv_open("UTF-16LE", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        // Without a converter only ASCII can be trusted.
        for (char c : bytes) out.push_back(static_cast<unsigned char>(c) < 0x80 ? static_cast<char16_t>(c) : u'\xFFFD');
        return out;
    }
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char buf[8192];
    while (inLeft > 0) {
        char* o = buf;
        size_t outLeft = sizeof buf;
        size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
        for (char* p = buf; p + 1 < o; p += 2)
            out.push_back(static_cast<char16_t>(static_cast<uint8_t>(p[0]) | static_cast<uint8_t>(p[1]) << 8));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            // An invalid or truncated sequence: one replacement, then go on.
            out.push_back(u'\xFFFD');
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace zv::platform
