#pragma once
// The update list fetched with WinINet and written to its file as it
// arrives.

#include "installer/update/update_check.h"

#include <cstdint>
#include <functional>
#include <string>

namespace zv::installer {

inline constexpr wchar_t UpdateAgent[] = L"VuriZA/1.0";
inline constexpr wchar_t UpdateListFile[] = L"update_list.txt";

// Deletes `file`, opens `url` without the cache and, when the server answers
// 200, stores the body in `file`; `progress` sees the bytes received so far.
DownloadResult downloadUpdateList(const std::wstring& url, const std::wstring& file,
                                  const std::function<void(uint64_t)>& progress);

}  // namespace zv::installer
