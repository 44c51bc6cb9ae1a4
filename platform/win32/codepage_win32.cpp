#include "platform/codepage.h"

#include <windows.h>

namespace zv::platform {

std::u16string ansiToUtf16(std::string_view bytes) {
    std::u16string out;
    if (bytes.empty()) return out;
    // Convert in pieces so that very large files need no int-sized length,
    // ending each piece on an ASCII byte so that no character is split.
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.size() - pos > (1u << 24) ? pos + (1u << 24) : bytes.size();
        while (end < bytes.size() && end > pos + 1 && static_cast<unsigned char>(bytes[end - 1]) >= 0x80) --end;
        int n = static_cast<int>(end - pos);
        int units = MultiByteToWideChar(CP_ACP, 0, bytes.data() + pos, n, nullptr, 0);
        if (units > 0) {
            size_t at = out.size();
            out.resize(at + static_cast<size_t>(units));
            MultiByteToWideChar(CP_ACP, 0, bytes.data() + pos, n, reinterpret_cast<wchar_t*>(&out[at]), units);
        }
        pos = end;
    }
    return out;
}

}  // namespace zv::platform
