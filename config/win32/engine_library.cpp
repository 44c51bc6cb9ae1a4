#include "config/win32/engine_library.h"

namespace zv::config::win32 {

namespace {

constexpr size_t kMaxImeNameUnits = 40;

host::GetConfigObject getObjectFunction(HMODULE module) {
    if (!module) return nullptr;
    return reinterpret_cast<host::GetConfigObject>(
        reinterpret_cast<void*>(GetProcAddress(module, host::GetConfigObjectName)));
}

std::wstring withBackslash(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder;
}

}  // namespace

std::wstring engineSystemFolder() {
    wchar_t buffer[MAX_PATH] = {};
    UINT n = 0;
#if !defined(_WIN64)
    // Present from Windows XP x64 on, absent on older 32-bit systems: looked
    // up rather than linked.
    using Wow64Folder = UINT(WINAPI*)(LPWSTR, UINT);
    if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
        if (auto f = reinterpret_cast<Wow64Folder>(
                reinterpret_cast<void*>(GetProcAddress(kernel, "GetSystemWow64DirectoryW"))))
            n = f(buffer, MAX_PATH);
    }
    if (n == 0 || n >= MAX_PATH)
#endif
        n = GetSystemDirectoryW(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return withBackslash(std::wstring(buffer, n));
}

EngineLibrary::~EngineLibrary() {
    if (module_) FreeLibrary(module_);
}

bool EngineLibrary::load(std::u16string_view imeName) {
    if (module_ || imeName.empty() || imeName.size() > kMaxImeNameUnits) return module_ != nullptr;
    // A name that reaches into another folder is no library of this instance.
    if (imeName.find_first_of(u"\\/:") != std::u16string_view::npos) return false;
    const std::wstring folder = engineSystemFolder();
    if (folder.empty()) return false;
    path_ = folder + std::wstring(imeName.begin(), imeName.end()) + L".ime";
    module_ = LoadLibraryW(path_.c_str());
    return module_ != nullptr;
}

PageHostPtr EngineLibrary::pageHost() const {
    host::GetConfigObject get = getObjectFunction(module_);
    if (!get) return nullptr;
    void* object = nullptr;
    get(host::ObjectPageHost, &object);
    auto* pageHost = static_cast<host::PageHost*>(object);
    if (pageHost && (!pageHost->createPage || !pageHost->closePage)) {
        PageHostRelease{}(pageHost);
        return nullptr;
    }
    return PageHostPtr(pageHost);
}

}  // namespace zv::config::win32
