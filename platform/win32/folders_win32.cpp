#include "platform/folders.h"

#include <windows.h>
#include <shlobj.h>

#include <filesystem>

namespace zv::platform {

namespace {
std::u16string withSeparator(const wchar_t* p) {
    std::u16string s(reinterpret_cast<const char16_t*>(p));
    if (s.empty() || (s.back() != u'\\' && s.back() != u'/')) s.push_back(u'\\');
    return s;
}
}  // namespace

char16_t pathSeparator() { return u'\\'; }

std::u16string tempFolder() {
    wchar_t buf[MAX_PATH + 1] = {};
    DWORD n = GetTempPathW(MAX_PATH + 1, buf);
    return withSeparator(n > 0 && n <= MAX_PATH ? buf : L".");
}

std::u16string documentsFolder() {
    wchar_t buf[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, buf))) return withSeparator(buf);
    return withSeparator(L".");
}

bool makeDirectories(std::u16string_view path) {
    std::error_code ec;
    std::filesystem::path p(std::wstring(path.begin(), path.end()));
    std::filesystem::create_directories(p, ec);
    return std::filesystem::is_directory(p, ec);
}

}  // namespace zv::platform
