#include "installer/win32/windows_files.h"

#include "installer/core/archive.h"
#include "installer/core/install_plan.h"
#include "installer/win32/files.h"
#include "installer/win32/machine.h"
#include "installer/win32/registry.h"
#include "installer/win32/wide.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace zv::installer::win32 {

namespace {

// Below an instance key: each added file's path below the Windows folder,
// and each added folder's with a backslash at its end.
constexpr wchar_t kRecordName[] = L"InstalledWindowsFiles";

std::wstring recordKey(const std::wstring& guid) { return wide(instanceKeyFor(utf16(guid))) + L"\\" + kRecordName; }

}  // namespace

bool installWindowsFiles(const Placement& how, const std::wstring& source, const std::wstring& guid) {
    if (!folderExists(source)) return true;
    const std::wstring windows = windowsFolder();
    RegistryKey record = RegistryKey::create(HKEY_LOCAL_MACHINE, recordKey(guid));
    if (windows.size() < 4 || !record) return false;
    bool ok = true;
    for (const std::wstring& rel : filesBelow(source)) {
        const std::wstring target = windows + rel;
        const bool added = !fileExists(target);
        // The folders this file brings, recorded with a backslash at their end.
        for (size_t cut = rel.find(L'\\'); cut != std::wstring::npos; cut = rel.find(L'\\', cut + 1))
            if (!folderExists(windows + rel.substr(0, cut))) record.writeText((rel.substr(0, cut) + L"\\").c_str(), L"");
        const size_t cut = target.find_last_of(L'\\');
        if (!makeFolders(target.substr(0, cut)) || !placeFile(how, source + rel, target)) {
            ok = false;
            continue;
        }
        grantApplicationAccess(target);
        if (added) record.writeText(rel.c_str(), L"");
    }
    return ok;
}

void removeWindowsFiles(const std::wstring& guid) {
    RegistryKey record = RegistryKey::open(HKEY_LOCAL_MACHINE, recordKey(guid));
    const std::wstring windows = windowsFolder();
    if (!record || windows.size() < 4) return;
    const std::vector<std::wstring> files = record.valueNames();
    // Files first, then the folders they brought, deepest first, each
    // only when it is left empty.
    std::vector<std::wstring> folders;
    for (const std::wstring& entry : files) {
        const bool folder = !entry.empty() && entry.back() == L'\\';
        const std::wstring rel = folder ? entry.substr(0, entry.size() - 1) : entry;
        // Only a path that stays inside the Windows folder was recorded.
        const auto safe = safeEntryPath(utf16(rel));
        if (!safe || wide(*safe) != rel) continue;
        if (folder)
            folders.push_back(rel);
        else
            DeleteFileW((windows + rel).c_str());
    }
    std::sort(folders.begin(), folders.end(),
              [](const std::wstring& a, const std::wstring& b) { return a.size() > b.size(); });
    for (const std::wstring& rel : folders)
        if (folderIsEmpty(windows + rel)) RemoveDirectoryW((windows + rel).c_str());
    deleteKeyTree(HKEY_LOCAL_MACHINE, recordKey(guid));
}

}  // namespace zv::installer::win32
