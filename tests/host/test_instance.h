#pragma once
// What the Windows test programs share about where they run: the instance
// they register, the folder of the running program, and files of the
// source tree as wine sees them.

#include "platform/utf.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace zv::test {

inline constexpr std::u16string_view kInstance = u"{6F3A8E21-5C4B-4D97-A1E0-2B7C9D4F8A63}";

inline std::wstring folderOfThisProgram() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L"\\/") + 1);
}

// A file of the source tree; under wine the Linux file system is drive Z:.
inline std::u16string sourcePath(const std::string& relative) {
    std::u16string p = u"Z:" + utf8ToUtf16(ZV_SOURCE_DIR "/" + relative);
    for (char16_t& c : p)
        if (c == u'/') c = u'\\';
    return p;
}

}  // namespace zv::test
