#include "installer/win32/processes.h"

#include <tlhelp32.h>

#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <vector>

namespace zv::installer::win32 {

namespace {

struct Snapshot {
    HANDLE h;
    explicit Snapshot(HANDLE handle) : h(handle) {}
    ~Snapshot() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
    bool ok() const { return h != INVALID_HANDLE_VALUE; }
};

// Paths are compared in their long form, without regard to case: the
// system reports modules the way they were loaded.
std::wstring comparable(const std::wstring& path) {
    std::wstring p = path;
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = GetLongPathNameW(path.c_str(), buffer, MAX_PATH);
    if (n > 0 && n < MAX_PATH) p.assign(buffer, n);
    for (wchar_t& c : p) c = static_cast<wchar_t>(towlower(c));
    return p;
}

bool isOneOf(const std::wstring& path, const std::vector<std::wstring>& wanted) {
    const std::wstring p = comparable(path);
    for (const std::wstring& w : wanted)
        if (p == w) return true;
    return false;
}

std::wstring programOf(DWORD id) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process) return {};
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const bool ok = QueryFullProcessImageNameW(process, 0, path, &size);
    CloseHandle(process);
    return ok ? std::wstring(path, size) : std::wstring();
}

bool loadsOneOf(DWORD id, const std::vector<std::wstring>& wanted) {
    Snapshot modules(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, id));
    if (!modules.ok()) return false;
    MODULEENTRY32W m{};
    m.dwSize = sizeof m;
    for (BOOL more = Module32FirstW(modules.h, &m); more; more = Module32NextW(modules.h, &m))
        if (isOneOf(m.szExePath, wanted)) return true;
    return false;
}

}  // namespace

std::vector<RunningProcess> processesUsing(const std::vector<std::wstring>& files) {
    std::vector<std::wstring> wanted;
    for (const std::wstring& f : files)
        if (!f.empty()) wanted.push_back(comparable(f));
    std::vector<RunningProcess> found;
    if (wanted.empty()) return found;
    Snapshot processes(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!processes.ok()) return found;
    PROCESSENTRY32W p{};
    p.dwSize = sizeof p;
    const DWORD self = GetCurrentProcessId();
    for (BOOL more = Process32FirstW(processes.h, &p); more; more = Process32NextW(processes.h, &p)) {
        if (p.th32ProcessID == self || p.th32ProcessID == 0) continue;
        const std::wstring program = programOf(p.th32ProcessID);
        if ((!program.empty() && isOneOf(program, wanted)) || loadsOneOf(p.th32ProcessID, wanted))
            found.push_back({p.th32ProcessID, program.empty() ? std::wstring(p.szExeFile) : programDescription(program)});
    }
    return found;
}

bool isHeldOpen(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        CloseHandle(f);
        return false;
    }
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_USER_MAPPED_FILE;
}

bool endProcess(DWORD id) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (!process) return false;
    // The files it held are free only once it has really gone.
    constexpr DWORD kEndingMs = 3000;
    const bool ended = TerminateProcess(process, 1) && WaitForSingleObject(process, kEndingMs) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

std::wstring programDescription(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\/");
    const std::wstring fileName = cut == std::wstring::npos ? path : path.substr(cut + 1);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return fileName;
    std::vector<uint8_t> info(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, info.data())) return fileName;
    struct Translation {
        WORD language, codePage;
    };
    Translation* translations = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length) ||
        !translations || length < sizeof(Translation))
        return fileName;
    wchar_t query[64];
    swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\FileDescription", translations[0].language,
             translations[0].codePage);
    wchar_t* text = nullptr;
    if (!VerQueryValueW(info.data(), query, reinterpret_cast<void**>(&text), &length) || !text || length == 0)
        return fileName;
    std::wstring description(text, wcsnlen(text, length));
    return description.empty() ? fileName : description;
}

}  // namespace zv::installer::win32
