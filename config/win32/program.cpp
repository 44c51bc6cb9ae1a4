#include "config/win32/program.h"

#include <windows.h>

namespace zv::config::win32 {

namespace {
constexpr size_t kMaxDisplayNameUnits = 64;
}

WindowsVersion windowsVersion() {
    // RtlGetVersion answers with the true version; GetVersionEx answers as
    // the program's manifest declares.
    struct VersionInfo {
        ULONG size, major, minor, build, platform;
        WCHAR servicePack[128];
    } info{};
    info.size = sizeof(info);
    using RtlGetVersion = LONG(WINAPI*)(VersionInfo*);
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
        if (auto f = reinterpret_cast<RtlGetVersion>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion"))))
            if (f(&info) == 0) return {static_cast<int>(info.major), static_cast<int>(info.minor)};
    }
    return {};
}

host::PageContext Program::pageContext() {
    dataFolder.assign(folder.info.dataDir.begin(), folder.info.dataDir.end());
    installFolder.assign(folder.info.installDir.begin(), folder.info.installDir.end());
    host::PageContext c{};
    c.size = sizeof(c);
    c.config = folder.config.data();
    c.configSize = folder.config.size();
    c.dataFolder = dataFolder.c_str();
    c.installFolder = installFolder.c_str();
    return c;
}

std::u16string Program::displayName() const { return folder.info.displayName.substr(0, kMaxDisplayNameUnits); }

}  // namespace zv::config::win32
