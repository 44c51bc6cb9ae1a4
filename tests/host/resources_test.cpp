// The library's resources as the system reads them: every icon at the two
// sizes the language bar and the dialogs ask for, the file's own icon, the
// soft keyboard's background, and the context menus, which must hold the
// same items and ids as the menus the windows build from the portable data.

#include "host/dll/resource_ids.h"
#include "platform/utf.h"
#include "ui/menus.h"
#include "ui/soft_keyboard.h"
#include "ui/win32/bitmap_resource.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace zv::test {
namespace {

using ui::MenuItem;

std::wstring libraryPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L"\\/") + 1) + L"zorvantsf.dll";
}

// The library loaded for its resources only, as the configuration program's
// and the shell's readers of icons do.
class Resources : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryExW(libraryPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, module_) << "error " << GetLastError();
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }
    HMODULE module_ = nullptr;
};

const int kIcons[] = {ZV_ICON_HALF_WIDTH,        ZV_ICON_ENGLISH_WORDS,   ZV_ICON_CHINESE_PUNCTUATION,
                      ZV_ICON_ENGLISH_PUNCTUATION, ZV_ICON_CHINESE,      ZV_ICON_MENU,
                      ZV_ICON_FULL_WIDTH,        ZV_ICON_SOFT_KEYBOARD,   ZV_ICON_KEY_FUNCTIONS,
                      ZV_ICON_APPEARANCE,        ZV_ICON_ABOUT,           ZV_ICON_GENERAL,
                      ZV_ICON_CODE_TABLE,        ZV_ICON_CAPS_LOCK,       ZV_ICON_KEYBOARD_CLOSED,
                      ZV_ICON_KEYBOARD_DISABLED};

// The 32-bit pixels of an icon's colour image, top row first.
std::vector<uint32_t> iconPixels(HICON icon, int size) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return {};
    std::vector<uint32_t> pixels(static_cast<size_t>(size) * static_cast<size_t>(size));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = size;
    bi.bmiHeader.biHeight = -size;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC dc = GetDC(nullptr);
    const int rows = GetDIBits(dc, info.hbmColor, 0, static_cast<UINT>(size), pixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    if (rows != size) return {};
    return pixels;
}

// Each icon holds a drawn image of exactly 16 and of 32 pixels (not one
// scaled by the system), with an alpha channel: transparent corners, an
// opaque middle.
TEST_F(Resources, EveryIconHasItsOwnSixteenAndThirtyTwoPixelImagesWithAlpha) {
    for (int id : kIcons) {
        SCOPED_TRACE("icon " + std::to_string(id));
        HRSRC group = FindResourceW(module_, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
        ASSERT_NE(nullptr, group);
        auto* directory = static_cast<BYTE*>(LockResource(LoadResource(module_, group)));
        ASSERT_NE(nullptr, directory);
        for (int size : {16, 32}) {
            SCOPED_TRACE(std::to_string(size) + " pixels");
            const int image = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
            HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(image), MAKEINTRESOURCEW(3));  // RT_ICON
            ASSERT_NE(nullptr, found);
            const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module_, found)));
            ASSERT_NE(nullptr, header);
            EXPECT_EQ(size, header->biWidth);
            EXPECT_EQ(size * 2, header->biHeight);  // colour and mask
            EXPECT_EQ(32, header->biBitCount);

            HICON icon = static_cast<HICON>(LoadImageW(module_, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
            ASSERT_NE(nullptr, icon);
            const std::vector<uint32_t> pixels = iconPixels(icon, size);
            DestroyIcon(icon);
            ASSERT_EQ(static_cast<size_t>(size * size), pixels.size());
            EXPECT_EQ(0u, pixels[0] >> 24);
            EXPECT_EQ(0u, pixels.back() >> 24);
            EXPECT_EQ(255u, pixels[static_cast<size_t>(size / 2 * size + size / 2)] >> 24);
        }
    }
    // Asked for by the system's default size, as the language bar does.
    HICON icon = LoadIconW(module_, MAKEINTRESOURCEW(ZV_ICON_CHINESE));
    EXPECT_NE(nullptr, icon);
}

BOOL CALLBACK firstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) {
    *reinterpret_cast<std::wstring*>(out) = IS_INTRESOURCE(name) ? L"#" : name;
    return FALSE;
}

// The language profile and the file's listing show the file's first icon.
TEST_F(Resources, TheFirstIconOfTheFileIsTheProductIcon) {
    std::wstring first;
    EnumResourceNamesW(module_, MAKEINTRESOURCEW(14), firstName, reinterpret_cast<LONG_PTR>(&first));
    EXPECT_EQ(L"ZORVAN", first);
    HICON icon = ExtractIconW(GetModuleHandleW(nullptr), libraryPath().c_str(), 0);
    EXPECT_NE(nullptr, icon);
    if (icon) DestroyIcon(icon);
}

// The soft keyboard's window is exactly its background bitmap, read top
// row first: the dark title strip above, the grey outline at the bottom.
TEST_F(Resources, SoftKeyboardBitmapIsTheKeyboardTheRightWayUp) {
    const ui::SkinImage keyboard = ui::win32::bitmapResource(module_, ZV_BITMAP_SOFT_KEYBOARD);
    ASSERT_EQ(ui::SoftKeyboardWidth, keyboard.width);
    ASSERT_EQ(ui::SoftKeyboardHeight, keyboard.height);
    for (uint32_t p : keyboard.pixels) ASSERT_EQ(0xFF000000u, p & 0xFF000000u) << "opaque";
    EXPECT_EQ(0xFF3A4658u, keyboard.at(200, 3));
    EXPECT_EQ(0xFF9AA3AEu, keyboard.at(200, ui::SoftKeyboardHeight - 1));
    EXPECT_TRUE(ui::win32::bitmapResource(module_, 999).empty());
}

// One menu item reduced to what both sides hold: text, id, submenu.
struct Entry {
    std::string text;
    uint32_t id = 0;
    bool separator = false;
    std::vector<Entry> items;
};

std::vector<Entry> fromPortable(const std::vector<MenuItem>& menu) {
    std::vector<Entry> out;
    for (const MenuItem& i : menu) {
        Entry e;
        e.separator = i.separator();
        e.text = utf16ToUtf8(i.text);
        if (i.items.empty()) e.id = ui::menuItemId(i.action);
        e.items = fromPortable(i.items);
        out.push_back(std::move(e));
    }
    return out;
}

std::vector<Entry> fromResource(HMENU menu) {
    std::vector<Entry> out;
    const int count = GetMenuItemCount(menu);
    for (int n = 0; n < count; ++n) {
        wchar_t text[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 127;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(n), TRUE, &info)) continue;
        Entry e;
        e.separator = info.fType & MFT_SEPARATOR;
        e.text = utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(text)));
        if (info.hSubMenu)
            e.items = fromResource(info.hSubMenu);
        else
            e.id = info.wID;
        out.push_back(std::move(e));
    }
    return out;
}

// Items whose text the menu takes from the table names when it opens: only
// their ids are the resource's.
bool namedWhenShown(uint32_t id, int menu) {
    if (menu == ZV_MENU_MAIN) return id == 0x2011 || id == 0x2111 || id == 0x2211;
    if (menu == ZV_MENU_CANDIDATE) return id == 0x0802;
    return false;
}

void expectSame(const std::vector<Entry>& portable, const std::vector<Entry>& resource, int menu,
                const std::string& where) {
    ASSERT_EQ(portable.size(), resource.size()) << where;
    for (size_t n = 0; n < portable.size(); ++n) {
        const Entry &p = portable[n], &r = resource[n];
        const std::string at = where + " / " + (p.separator ? "separator" : p.text);
        EXPECT_EQ(p.separator, r.separator) << at;
        if (p.separator) continue;
        EXPECT_EQ(p.id, r.id) << at;
        if (namedWhenShown(p.id, menu))
            EXPECT_FALSE(r.text.empty()) << at;
        else
            EXPECT_EQ(p.text, r.text) << at;
        expectSame(p.items, r.items, menu, at);
    }
}

class Menus : public Resources {
protected:
    std::vector<Entry> load(int id) {
        std::vector<Entry> out;
        HMENU bar = LoadMenuW(module_, MAKEINTRESOURCEW(id));
        EXPECT_NE(nullptr, bar) << "menu " << id;
        if (!bar) return out;
        EXPECT_EQ(1, GetMenuItemCount(bar)) << "menu " << id;
        if (HMENU popup = GetSubMenu(bar, 0)) out = fromResource(popup);
        DestroyMenu(bar);
        return out;
    }
};

// The main menu with everything it can hold; what is appended when it
// opens (skins, the status-bar switch, 取消) is not in the resource.
TEST_F(Menus, MainMenuMatchesThePortableMenu) {
    ui::MenuContext c;
    c.mainName = u"主";
    c.auxiliaryName = u"辅";
    c.secondaryName = u"次";
    c.traditionalOpen = c.simplifiedOpen = true;
    std::vector<MenuItem> portable = ui::buildMainMenu(c);
    ASSERT_EQ(u"取消(&C)", portable.back().text);
    portable.pop_back();
    expectSame(fromPortable(portable), load(ZV_MENU_MAIN), ZV_MENU_MAIN, "main");
}

TEST_F(Menus, CandidateSoftKeyboardAndModeMenusMatchThePortableMenus) {
    const ui::CandidateItem candidate{u"字", u"", ui::CandidateKind::Table, true, false, false};
    expectSame(fromPortable(ui::buildCandidateMenu(0, candidate, u"次")), load(ZV_MENU_CANDIDATE),
               ZV_MENU_CANDIDATE, "candidate");
    expectSame(fromPortable(ui::buildSoftKeyboardMenu(0)), load(ZV_MENU_SOFT_KEYBOARD), ZV_MENU_SOFT_KEYBOARD,
               "soft keyboard");
    expectSame(fromPortable(ui::buildModeMenu(0)), load(ZV_MENU_MODE), ZV_MENU_MODE, "mode");
}

}  // namespace
}  // namespace zv::test
