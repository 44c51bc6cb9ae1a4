#include "platform/folders.h"
#include "platform/utf.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <sys/stat.h>

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

std::vector<FolderEntry> listFolder(std::u16string_view folder) {
    std::vector<FolderEntry> out;
    std::string path = utf16ToUtf8(folder);
    DIR* dir = ::opendir(path.c_str());
    if (!dir) return out;
    if (!path.empty() && path.back() != '/') path.push_back('/');
    while (dirent* e = ::readdir(dir)) {
        FolderEntry entry;
        entry.name = utf8ToUtf16(e->d_name);
        struct stat st {};
        entry.isFolder = ::stat((path + e->d_name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        out.push_back(std::move(entry));
    }
    ::closedir(dir);
    std::sort(out.begin(), out.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return out;
}

int64_t fileSize(std::u16string_view path) {
    struct stat st {};
    if (::stat(utf16ToUtf8(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<int64_t>(st.st_size);
}

}  // namespace zv::platform
