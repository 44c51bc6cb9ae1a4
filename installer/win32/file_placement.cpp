#include "installer/win32/file_placement.h"

#include "installer/core/install_plan.h"
#include "installer/core/pending_renames.h"
#include "installer/win32/file_conflict.h"
#include "installer/win32/files.h"
#include "installer/win32/processes.h"
#include "installer/win32/wide.h"

#include <cwctype>

namespace zv::installer::win32 {

namespace {

constexpr wchar_t kOlderFile[] = L"目标文件已存在，并且版本号 低于 安装程序版本，是否替换已有文件？\r\n目标文件: %ls";
constexpr wchar_t kQuestionTitle[] = L"输入法安装";
constexpr wchar_t kPendingDeletion[] =
    L"目标文件将在计算机重新启动时被删除，请重新启动计算机后重新运行安装程序。\r\n目标文件: %ls";
constexpr wchar_t kSessionManager[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
// The list holds a few paths; a larger value is not read.
constexpr DWORD kMostListBytes = 1u << 20;

// The deletions the system will make at its next start.
std::vector<std::u16string> deletionsAtNextStart() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return {};
    std::vector<std::u16string> deletions;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_MULTI_SZ && size > 0 && size <= kMostListBytes) {
        std::u16string list(size / sizeof(char16_t), u'\0');
        if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type, reinterpret_cast<BYTE*>(list.data()),
                             &size) == ERROR_SUCCESS) {
            list.resize(size / sizeof(char16_t));
            deletions = pendingDeletions(list);
        }
    }
    RegCloseKey(key);
    return deletions;
}

bool isLibrary(const std::wstring& path) {
    const size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos) return false;
    std::wstring extension = path.substr(dot);
    for (wchar_t& c : extension) c = static_cast<wchar_t>(towlower(c));
    return extension == L".ime" || extension == L".dll";
}

// A library in use cannot be overwritten but can be renamed: the old file
// moves aside under a name of its own and is deleted at the next start of
// Windows, so no deletion is ever pending for the name the new file takes.
bool replaceLibraryInUse(const std::wstring& source, const std::wstring& target) {
    const std::wstring aside = format(L"%ls.%08lX.old", target.c_str(), GetTickCount());
    if (!MoveFileExW(target.c_str(), aside.c_str(), 0)) return false;
    MoveFileExW(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return CopyFileW(source.c_str(), target.c_str(), FALSE);
}

bool heldByAnother(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_USER_MAPPED_FILE ||
           error == ERROR_ACCESS_DENIED;
}

}  // namespace

bool placeFile(const Placement& how, const std::wstring& source, const std::wstring& target) {
    // Another program's deletion for this very name would take the new
    // file at the next start.
    if (isPendingDeletion(deletionsAtNextStart(), utf16(target))) {
        MessageBoxW(how.owner, format(kPendingDeletion, target.c_str()).c_str(), kQuestionTitle, MB_OK | MB_ICONERROR);
        return false;
    }
    if (fileExists(target) && asksBeforeReplacing(utf16(target), fileVersion(source), fileVersion(target)) &&
        MessageBoxW(how.owner, format(kOlderFile, target.c_str()).c_str(), kQuestionTitle,
                    MB_YESNO | MB_ICONQUESTION) != IDYES)
        return true;
    for (;;) {
        if (CopyFileW(source.c_str(), target.c_str(), FALSE)) return true;
        const DWORD error = GetLastError();
        if (!fileExists(target) || !heldByAnother(error)) return false;
        if (isLibrary(target) && replaceLibraryInUse(source, target)) return true;
        // A file that is read-only rather than held is not a conflict.
        if (error == ERROR_ACCESS_DENIED && !isHeldOpen(target)) return false;
        std::vector<RunningProcess> holders = processesUsing({target});
        if (holders.empty()) holders = processesUsing(how.libraries);
        if (askAboutConflict(how.owner, target, holders) != ConflictAnswer::Retry) return false;
    }
}

bool copyTree(const Placement& how, const std::wstring& from, const std::wstring& to) {
    bool ok = makeFolders(to);
    for (const std::wstring& rel : filesBelow(from)) {
        const std::wstring target = to + rel;
        const size_t cut = target.find_last_of(L'\\');
        ok = makeFolders(target.substr(0, cut)) && placeFile(how, from + rel, target) && ok;
        if (ok) grantApplicationAccess(target);
    }
    return ok;
}

}  // namespace zv::installer::win32
