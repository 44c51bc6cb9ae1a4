#include "installer/win32/windows_files.h"

#include "installer/core/archive.h"
#include "installer/core/install_plan.h"
#include "installer/win32/files.h"
#include "installer/win32/machine.h"
#include "installer/win32/registry.h"
#include "installer/win32/wide.h"

#include <windows.h>

#include <vector>

namespace zv::installer::win32 {

namespace {

// Below an instance key: each added file's path below the Windows folder.
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
    std::vector<std::wstring> files;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD length = 16384;
        if (RegEnumValueW(record.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        files.emplace_back(name, length);
    }
    for (const std::wstring& rel : files) {
        // Only a path that stays inside the Windows folder was recorded.
        const auto safe = safeEntryPath(utf16(rel));
        if (!safe || wide(*safe) != rel) continue;
        DeleteFileW((windows + rel).c_str());
        // The folders the tree brought go when they are left empty.
        for (size_t cut = rel.find_last_of(L'\\'); cut != std::wstring::npos && cut > 0;
             cut = rel.find_last_of(L'\\', cut - 1)) {
            const std::wstring folder = windows + rel.substr(0, cut);
            if (!folderIsEmpty(folder) || !RemoveDirectoryW(folder.c_str())) break;
        }
    }
    deleteKeyTree(HKEY_LOCAL_MACHINE, recordKey(guid));
}

}  // namespace zv::installer::win32
