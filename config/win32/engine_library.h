#pragma once
// The instance's engine library as the configuration program loads it: the
// 32-bit input-method file "<IMEName>.ime" of the 32-bit system folder (for
// the 64-bit program, of the 64-bit one), and the objects its export
// ZVITFGetObject hands out. A library that is missing or has no such export
// leaves the pages it would host empty.

#include "host/dll/config_objects.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

namespace zv::config::win32 {

// The object's own first function frees it.
struct PageHostRelease {
    void operator()(host::PageHost* p) const noexcept {
        if (p && p->release) p->release(p);
    }
};
using PageHostPtr = std::unique_ptr<host::PageHost, PageHostRelease>;

class EngineLibrary {
public:
    EngineLibrary() = default;
    ~EngineLibrary();
    EngineLibrary(const EngineLibrary&) = delete;
    EngineLibrary& operator=(const EngineLibrary&) = delete;

    // Loads "<system folder>\<imeName>.ime"; false (nothing reported) when
    // it cannot be loaded.
    bool load(std::u16string_view imeName);
    bool loaded() const { return module_ != nullptr; }
    HMODULE module() const { return module_; }
    const std::wstring& path() const { return path_; }

    // A new page host, null without one.
    PageHostPtr pageHost() const;

private:
    HMODULE module_ = nullptr;
    std::wstring path_;
};

// The folder of the 32-bit system files (on a 64-bit Windows its 32-bit
// side) for the 32-bit program, the system folder for the 64-bit one;
// ending in a backslash.
std::wstring engineSystemFolder();

}  // namespace zv::config::win32
