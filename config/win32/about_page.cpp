#include "config/win32/about_page.h"

#include "config/win32/browser_control.h"
#include "config/win32/resource_ids.h"

#include <vector>

namespace zv::config::win32 {

namespace {

constexpr int kVersionParts = 4;
constexpr uint64_t kPartMax = 0xFFFF;

// The page owns its browser control.
INT_PTR CALLBACK aboutProc(HWND page, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_NCDESTROY) {
        delete reinterpret_cast<BrowserControl*>(GetWindowLongPtrW(page, DWLP_USER));
        SetWindowLongPtrW(page, DWLP_USER, 0);
    }
    return FALSE;
}

RECT placeOf(HWND page, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(page, id), &r);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

}  // namespace

std::wstring fileVersionText(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<uint8_t> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return {};
    struct Translation {
        WORD language, codePage;
    };
    Translation* translations = nullptr;
    UINT bytes = 0;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &bytes))
        return {};
    for (UINT i = 0; translations && i < bytes / sizeof(Translation); ++i) {
        wchar_t query[64];
        wsprintfW(query, L"\\StringFileInfo\\%04x%04x\\FileVersion", translations[i].language,
                  translations[i].codePage);
        wchar_t* text = nullptr;
        UINT units = 0;
        if (VerQueryValueW(data.data(), query, reinterpret_cast<void**>(&text), &units) && text && units > 0) {
            size_t n = 0;
            while (n < units && text[n]) ++n;
            return std::wstring(text, n);
        }
    }
    return {};
}

uint64_t parseFileVersion(std::wstring_view text) {
    uint64_t parts[kVersionParts] = {};
    int part = 0;
    for (wchar_t c : text) {
        if (c == L'.') {
            if (++part == kVersionParts) break;
        } else if (c >= L'0' && c <= L'9') {
            parts[part] = std::min<uint64_t>(parts[part] * 10 + static_cast<uint64_t>(c - L'0'), kPartMax);
        } else if (c != L' ') {
            break;
        }
    }
    return parts[0] << 48 | parts[1] << 32 | parts[2] << 16 | parts[3];
}

std::wstring fileVersionString(uint64_t v) {
    wchar_t text[48];
    wsprintfW(text, L"%d.%d.%d.%d", static_cast<int>(v >> 48 & kPartMax), static_cast<int>(v >> 32 & kPartMax),
              static_cast<int>(v >> 16 & kPartMax), static_cast<int>(v & kPartMax));
    return text;
}

HWND createAboutPage(HWND parent, Program& program) {
    HWND page = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ZV_DIALOG_ABOUT_PAGE), parent,
                                   aboutProc, 0);
    if (!page) return nullptr;
    const SoftSettings& soft = program.folder.blocks.soft;
    const std::u16string name = soft.text(SoftSettings::DisplayName, (SoftSettings::ShortName - SoftSettings::DisplayName) / 2);
    const std::u16string scheme = soft.text(SoftSettings::Version, (SoftSettings::HomePage - SoftSettings::Version) / 2);
    std::wstring version;
    if (program.library.loaded()) version = fileVersionString(parseFileVersion(fileVersionText(program.library.path())));
    const std::wstring line = wide(name) + L": " + wide(scheme) + L"\u3000\u3000\u3000佐文程序版本: " + version;
    SetDlgItemTextW(page, ZV_ABOUT_TEXT, line.c_str());
    SetDlgItemTextW(page, ZV_ABOUT_TITLE, wide(name.empty() ? program.displayName() : name).c_str());
    const std::wstring about = L"mk:@MSITStore:" + wide(program.folder.info.installDir) + L"main.chm::/About.html";
    auto* browser = new BrowserControl(page, placeOf(page, ZV_ABOUT_BROWSER_PLACE), ZV_ABOUT_BROWSER, about);
    SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(browser));
    return page;
}

}  // namespace zv::config::win32
