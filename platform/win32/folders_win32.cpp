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

std::vector<FolderEntry> listFolder(std::u16string_view folder) {
    std::vector<FolderEntry> out;
    std::wstring pattern(folder.begin(), folder.end());
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern.push_back(L'\\');
    pattern.push_back(L'*');
    WIN32_FIND_DATAW data{};
    HANDLE h = FindFirstFileW(pattern.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
        FolderEntry e;
        for (const wchar_t* p = data.cFileName; *p; ++p) e.name.push_back(static_cast<char16_t>(*p));
        e.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        out.push_back(std::move(e));
    } while (FindNextFileW(h, &data));
    FindClose(h);
    return out;
}

int64_t fileSize(std::u16string_view path) {
    std::wstring p(path.begin(), path.end());
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(p.c_str(), GetFileExInfoStandard, &data)) return -1;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
    return static_cast<int64_t>(uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow);
}

}  // namespace zv::platform
