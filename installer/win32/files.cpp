#include "installer/win32/files.h"

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>

namespace zv::installer::win32 {

namespace {

// A handle closed on every path out.
struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    explicit Handle(HANDLE handle) : h(handle) {}
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE && h) CloseHandle(h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool ok() const { return h != INVALID_HANDLE_VALUE && h; }
};

struct LocalMemory {
    void* p = nullptr;
    ~LocalMemory() {
        if (p) LocalFree(p);
    }
};

std::wstring joined(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && folder.back() == L'\\') return folder + name;
    return folder + L"\\" + name;
}

void collectFiles(const std::wstring& folder, const std::wstring& relative, std::vector<std::wstring>& out) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(joined(joined(folder, relative), L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            collectFiles(folder, path, out);
        else
            out.push_back(path);
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

}  // namespace

bool fileExists(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool folderExists(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::vector<uint8_t>> readWholeFile(const std::wstring& path) {
    Handle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.ok()) return std::nullopt;
    LARGE_INTEGER size{};
    // The package and its data files are far below this; a larger file is
    // not one of ours.
    constexpr LONGLONG kMostBytes = LONGLONG(1) << 31;
    if (!GetFileSizeEx(f.h, &size) || size.QuadPart < 0 || size.QuadPart > kMostBytes) return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(f.h, bytes.data() + done, want, &n, nullptr) || n == 0) return std::nullopt;
        done += n;
    }
    return bytes;
}

bool writeWholeFile(const std::wstring& path, const uint8_t* data, size_t size) {
    Handle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.ok()) return false;
    size_t done = 0;
    while (done < size) {
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 24));
        if (!WriteFile(f.h, data + done, want, &n, nullptr) || n == 0) return false;
        done += n;
    }
    return true;
}

bool makeFolders(const std::wstring& path) {
    std::wstring p = path;
    while (!p.empty() && (p.back() == L'\\' || p.back() == L'/')) p.pop_back();
    if (p.empty() || folderExists(p)) return !p.empty();
    const size_t cut = p.find_last_of(L"\\/");
    if (cut != std::wstring::npos && cut > 2 && !makeFolders(p.substr(0, cut))) return false;
    return CreateDirectoryW(p.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool removeTree(const std::wstring& path) {
    std::wstring p = path;
    while (!p.empty() && p.back() == L'\\') p.pop_back();
    if (p.size() < 4 || !folderExists(p)) return !folderExists(p);
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((p + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = p + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                    SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(p.c_str());
    return !folderExists(p);
}

std::vector<std::wstring> filesBelow(const std::wstring& folder) {
    std::vector<std::wstring> out;
    collectFiles(folder, L"", out);
    return out;
}

bool folderIsEmpty(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(joined(path, L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return true;
    bool empty = true;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") empty = false;
    } while (empty && FindNextFileW(find, &found));
    FindClose(find);
    return empty;
}

bool grantApplicationAccess(const std::wstring& path) {
    const bool folder = folderExists(path);
    PSID everyone = nullptr, packages = nullptr;
    // "Everyone" and "ALL APPLICATION PACKAGES".
    if (!ConvertStringSidToSidW(L"S-1-1-0", &everyone)) return false;
    LocalMemory freeEveryone{everyone};
    if (!ConvertStringSidToSidW(L"S-1-15-2-1", &packages)) return false;
    LocalMemory freePackages{packages};
    PACL old = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &old, nullptr,
                              &descriptor) != ERROR_SUCCESS)
        return false;
    LocalMemory freeDescriptor{descriptor};
    EXPLICIT_ACCESSW access[2] = {};
    PSID sids[2] = {everyone, packages};
    for (int i = 0; i < 2; ++i) {
        access[i].grfAccessPermissions = GENERIC_READ | GENERIC_EXECUTE;
        access[i].grfAccessMode = GRANT_ACCESS;
        access[i].grfInheritance = folder ? SUB_CONTAINERS_AND_OBJECTS_INHERIT : NO_INHERITANCE;
        access[i].Trustee.TrusteeForm = TRUSTEE_IS_SID;
        access[i].Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
        access[i].Trustee.ptstrName = static_cast<LPWSTR>(sids[i]);
    }
    PACL updated = nullptr;
    if (SetEntriesInAclW(2, access, old, &updated) != ERROR_SUCCESS) return false;
    LocalMemory freeUpdated{updated};
    std::wstring writable = path;
    return SetNamedSecurityInfoW(writable.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, updated,
                                 nullptr) == ERROR_SUCCESS;
}

uint64_t fileVersion(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return 0;
    std::vector<uint8_t> info(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, info.data())) return 0;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
        length < sizeof(VS_FIXEDFILEINFO))
        return 0;
    return (uint64_t(fixed->dwFileVersionMS) << 32) | fixed->dwFileVersionLS;
}

std::wstring shortPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(buffer, n) : path;
}

}  // namespace zv::installer::win32
