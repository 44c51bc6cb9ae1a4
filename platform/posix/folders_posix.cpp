#include "platform/folders.h"
#include "platform/utf.h"

#include <cstdlib>
#include <filesystem>

namespace zv::platform {

namespace {
std::u16string withSeparator(std::string path) {
    if (path.empty() || path.back() != '/') path.push_back('/');
    return utf8ToUtf16(path);
}
}  // namespace

char16_t pathSeparator() { return u'/'; }

std::u16string tempFolder() {
    const char* t = std::getenv("TMPDIR");
    return withSeparator(t && *t ? t : "/tmp");
}

std::u16string documentsFolder() {
    if (const char* d = std::getenv("XDG_DOCUMENTS_DIR"); d && *d) return withSeparator(d);
    const char* home = std::getenv("HOME");
    return withSeparator(std::string(home && *home ? home : ".") + "/Documents");
}

bool makeDirectories(std::u16string_view path) {
    std::error_code ec;
    std::filesystem::path p(utf16ToUtf8(path));
    std::filesystem::create_directories(p, ec);
    return std::filesystem::is_directory(p, ec);
}

}  // namespace zv::platform
