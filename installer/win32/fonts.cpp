#include "installer/win32/fonts.h"

#include "installer/core/font_names.h"
#include "installer/core/install_plan.h"
#include "installer/win32/files.h"
#include "installer/win32/machine.h"
#include "installer/win32/registry.h"
#include "installer/win32/wide.h"

#include <windows.h>

#include <cwctype>
#include <vector>

namespace zv::installer::win32 {

namespace {

constexpr wchar_t kFontList[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
// Below an instance key: font file name = the name it is listed under.
constexpr wchar_t kRecordName[] = L"InstalledFonts";
constexpr DWORD kFontChangeWaitMs = 1000;

std::wstring recordKey(const std::wstring& guid) { return wide(instanceKeyFor(utf16(guid))) + L"\\" + kRecordName; }

// The font list is one for both sides of a 64-bit Windows.
RegistryView fontListView() { return is64BitWindows() ? KEY_WOW64_64KEY : 0; }

std::wstring lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(towlower(c));
    return s;
}

std::wstring fileNameOf(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

bool isFontFile(const std::wstring& name) {
    const size_t dot = name.find_last_of(L'.');
    if (dot == std::wstring::npos) return false;
    const std::wstring extension = lower(name.substr(dot));
    return extension == L".ttf" || extension == L".ttc" || extension == L".otf";
}

// Whether an instance other than `guid` records the font file.
bool recordedByAnother(const std::wstring& guid, const std::wstring& file) {
    RegistryKey product = RegistryKey::open(HKEY_LOCAL_MACHINE, wide(productKey()));
    if (!product) return false;
    for (const std::wstring& other : product.subkeyNames()) {
        if (lower(other) == lower(guid)) continue;
        RegistryKey record = RegistryKey::open(HKEY_LOCAL_MACHINE, recordKey(other));
        if (record && record.readText(file.c_str())) return true;
    }
    return false;
}

bool recordedBy(const std::wstring& guid, const std::wstring& file) {
    RegistryKey record = RegistryKey::open(HKEY_LOCAL_MACHINE, recordKey(guid));
    return record && record.readText(file.c_str()).has_value();
}

bool sameBytes(const std::wstring& a, const std::wstring& b) {
    const auto x = readWholeFile(a);
    const auto y = readWholeFile(b);
    return x && y && *x == *y;
}

void announceFontChange() {
    SendMessageTimeoutW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, kFontChangeWaitMs, nullptr);
}

}  // namespace

bool installFonts(const std::wstring& source, const std::wstring& guid, const LogLine& log) {
    if (!folderExists(source)) return true;
    const std::wstring fonts = fontsFolder();
    if (fonts.empty()) return false;
    RegistryKey list = RegistryKey::create(HKEY_LOCAL_MACHINE, kFontList, fontListView());
    RegistryKey record = RegistryKey::create(HKEY_LOCAL_MACHINE, recordKey(guid));
    if (!list || !record) return false;
    bool ok = true, changed = false;
    for (const std::wstring& rel : filesBelow(source)) {
        const std::wstring file = fileNameOf(rel);
        if (!isFontFile(file)) {
            log(format(L"      跳过非字体文件: %ls", file.c_str()));
            continue;
        }
        const auto bytes = readWholeFile(source + rel);
        const auto names = bytes ? readFontNames(*bytes) : std::nullopt;
        if (!names) {
            log(format(L"      字体文件已损坏，跳过: %ls", file.c_str()));
            continue;
        }
        const std::wstring value = wide(fontValueName(*names));
        const std::wstring target = fonts + file;
        // The name already lists another file: that font stays the system's.
        if (const auto listed = list.readText(value.c_str()); listed && lower(fileNameOf(*listed)) != lower(file)) {
            log(format(L"      已有同名字体，跳过: %ls", value.c_str()));
            continue;
        }
        const bool ours = recordedBy(guid, file) || recordedByAnother(guid, file);
        if (fileExists(target) && !ours) {
            log(format(L"      字体文件已存在，跳过: %ls", file.c_str()));
            continue;
        }
        if (fileExists(target) && !sameBytes(source + rel, target) &&
            !CopyFileW((source + rel).c_str(), target.c_str(), FALSE)) {
            // Our earlier copy, held by the system: it stays until the next start.
            log(format(L"      字体文件正在使用，未更新: %ls", file.c_str()));
        } else if (!fileExists(target) && !CopyFileW((source + rel).c_str(), target.c_str(), TRUE)) {
            ok = false;
            continue;
        }
        if (!list.writeText(value.c_str(), file) || !record.writeText(file.c_str(), value)) {
            ok = false;
            continue;
        }
        // Listed, the font loads at the next logon even when the session
        // cannot load it now.
        if (AddFontResourceW(target.c_str()) == 0) log(format(L"      字体将在重新登录后生效: %ls", value.c_str()));
        changed = true;
    }
    if (changed) announceFontChange();
    return ok;
}

void removeFonts(const std::wstring& guid, const LogLine& log) {
    RegistryKey record = RegistryKey::open(HKEY_LOCAL_MACHINE, recordKey(guid));
    if (!record) return;
    const std::wstring fonts = fontsFolder();
    if (fonts.empty()) return;
    RegistryKey list = RegistryKey::open(HKEY_LOCAL_MACHINE, kFontList, fontListView(), KEY_READ | KEY_WRITE);
    bool changed = false;
    for (const std::wstring& file : record.valueNames()) {
        // Only a plain file name in the fonts folder was ever recorded.
        if (file.empty() || file.find_first_of(L"\\/:") != std::wstring::npos || !isFontFile(file)) continue;
        if (recordedByAnother(guid, file)) continue;
        const std::wstring target = fonts + file;
        const std::wstring value = record.readText(file.c_str()).value_or(L"");
        RemoveFontResourceW(target.c_str());
        if (list && !value.empty())
            if (const auto listed = list.readText(value.c_str()); listed && lower(fileNameOf(*listed)) == lower(file))
                list.deleteValue(value.c_str());
        // A font the system still holds moves aside first: a deletion left
        // pending for its own name would take a later install's copy.
        if (!DeleteFileW(target.c_str()) && fileExists(target)) {
            const std::wstring aside = format(L"%ls.%08lX.old", target.c_str(), GetTickCount());
            if (MoveFileExW(target.c_str(), aside.c_str(), 0))
                MoveFileExW(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
            log(format(L"      字体将在重新启动后删除: %ls", file.c_str()));
        }
        changed = true;
    }
    deleteKeyTree(HKEY_LOCAL_MACHINE, recordKey(guid));
    if (changed) announceFontChange();
}

}  // namespace zv::installer::win32
