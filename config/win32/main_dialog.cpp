#include "config/win32/main_dialog.h"

#include "config/win32/about_page.h"
#include "config/win32/advanced_page.h"
#include "config/win32/code_table_page.h"
#include "config/win32/resource_ids.h"
#include "host/dll/resource_ids.h"
#include "platform/mapped_file.h"

#include <commctrl.h>
#include <shlobj.h>

#include <vector>

namespace zv::config::win32 {

namespace {

constexpr int kTabWidth = 92, kTabHeight = 40, kTabIconSize = 32;
constexpr char16_t kFirstDrive = u'c', kLastDrive = u'y';

// The library's icons of the five pages, in tab order.
constexpr int kPageIcons[PageCount] = {ZV_ICON_GENERAL, ZV_ICON_APPEARANCE, ZV_ICON_CODE_TABLE, ZV_ICON_KEY_FUNCTIONS,
                                       ZV_ICON_ABOUT};

std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

struct MainDialog {
    Program& program;
    Page requested;
    HWND window = nullptr;
    HWND tabs = nullptr;
    std::vector<Page> pages;
    HWND page = nullptr;         // the page of the selected tab
    bool pageIsHosted = false;   // the library's page inside an empty page
    bool pageIsCodeTables = false;
    PageHostPtr host;
    HIMAGELIST icons = nullptr;

    MainDialog(Program& p, Page r) : program(p), requested(r) {}
    MainDialog(const MainDialog&) = delete;
    MainDialog& operator=(const MainDialog&) = delete;
    ~MainDialog() {
        if (icons) ImageList_Destroy(icons);
    }
};

INT_PTR CALLBACK emptyPageProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG ? TRUE : FALSE; }

RECT pagePlace(const MainDialog& d) {
    RECT r{};
    HWND place = GetDlgItem(d.window, ZV_MAIN_PAGE_PLACE);
    GetWindowRect(place, &r);
    MapWindowPoints(nullptr, d.window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void closePage(MainDialog& d) {
    if (d.host) {
        d.host->closePage(1);
        d.host.reset();
    }
    if (d.page) {
        ShowWindow(d.page, SW_HIDE);
        DestroyWindow(d.page);
    }
    d.page = nullptr;
    d.pageIsHosted = false;
    d.pageIsCodeTables = false;
}

HWND emptyPage(MainDialog& d) {
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ZV_DIALOG_EMPTY_PAGE), d.window,
                              emptyPageProc, 0);
}

void openPage(MainDialog& d, int tab) {
    closePage(d);
    if (tab < 0 || tab >= static_cast<int>(d.pages.size())) return;
    const Page page = d.pages[static_cast<size_t>(tab)];
    switch (page) {
    case Page::General:
    case Page::Appearance:
        d.page = emptyPage(d);
        d.host = d.program.library.pageHost();
        if (d.page && d.host) {
            const host::PageContext context = d.program.pageContext();
            d.host->createPage(d.page, page == Page::General ? host::PageKindGeneral : host::PageKindAppearance,
                               &context);
            d.pageIsHosted = true;
        }
        break;
    case Page::About: d.page = createAboutPage(d.window, d.program); break;
    case Page::Advanced: d.page = createAdvancedPage(d.window, d.program); break;
    case Page::CodeTable:
        d.page = createCodeTablePage(d.window, d.program);
        d.pageIsCodeTables = d.page != nullptr;
        break;
    }
    if (!d.page) return;
    const RECT r = pagePlace(d);
    SetWindowPos(d.page, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
    ShowWindow(d.page, SW_SHOW);
    if (HWND first = GetNextDlgTabItem(d.page, nullptr, FALSE)) SetFocus(first);
}

void addTabs(MainDialog& d) {
    d.tabs = GetDlgItem(d.window, ZV_MAIN_TABS);
    if (HMODULE library = d.program.library.module()) {
        d.icons = ImageList_Create(kTabIconSize, kTabIconSize, ILC_COLOR32 | ILC_MASK, PageCount, 0);
        for (int icon : kPageIcons) {
            HICON h = static_cast<HICON>(
                LoadImageW(library, MAKEINTRESOURCEW(icon), IMAGE_ICON, kTabIconSize, kTabIconSize, 0));
            ImageList_AddIcon(d.icons, h);
            if (h) DestroyIcon(h);
        }
        TabCtrl_SetImageList(d.tabs, d.icons);
    }
    TabCtrl_SetItemSize(d.tabs, kTabWidth, kTabHeight);
    d.pages = visiblePages(d.program.folder.blocks.ime.e() & 0xFFFF);
    for (size_t i = 0; i < d.pages.size(); ++i) {
        std::wstring name = wide(pageName(d.pages[i]));
        TCITEMW item{};
        item.mask = TCIF_TEXT | (d.icons ? TCIF_IMAGE : 0);
        item.pszText = name.data();
        item.iImage = static_cast<int>(d.pages[i]);
        TabCtrl_InsertItem(d.tabs, static_cast<int>(i), &item);
    }
}

// Input-method instances in browser protected mode read a virtualized copy
// of config.dsc; the first such copy gets the settings as they are now.
void updateVirtualizedCopy(Program& program) {
    wchar_t cache[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_INTERNET_CACHE, nullptr, 0, cache))) return;
    std::u16string base(reinterpret_cast<const char16_t*>(cache));
    if (!base.empty() && base.back() != u'\\') base += u'\\';
    const platform::MappedFile& config = program.folder.config;
    if (!config.isOpen()) return;
    for (char16_t drive = kFirstDrive; drive <= kLastDrive; ++drive) {
        std::u16string path = base + u"Virtualized\\" + drive + u"\\ProgramData\\ZorvanIME3\\" +
                              program.folder.info.imeName + u"\\config.dsc";
        if (!platform::fileExists(path)) continue;
        platform::writeWholeFile(path, config.data(), config.size(), false);
        return;
    }
}

void nextTab(MainDialog& d) {
    const int count = TabCtrl_GetItemCount(d.tabs);
    if (count <= 0) return;
    const int next = (TabCtrl_GetCurSel(d.tabs) + 1) % count;
    TabCtrl_SetCurSel(d.tabs, next);
    openPage(d, next);
}

INT_PTR CALLBACK mainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* d = reinterpret_cast<MainDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        d = reinterpret_cast<MainDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        d->window = window;
        if (HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ZV_PROGRAM_ICON))) {
            SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
            SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        }
        addTabs(*d);
        const int tab = tabForPage(d->program.folder.blocks.ime.e() & 0xFFFF, d->requested);
        TabCtrl_SetCurSel(d->tabs, tab);
        openPage(*d, tab);
        // The title last: a second start finds the window only when it is whole.
        SetWindowTextW(window, wide(mainDialogTitle(d->program.displayName())).c_str());
        return FALSE;  // the page has the focus
    }
    case WM_NOTIFY: {
        const auto* n = reinterpret_cast<const NMHDR*>(lParam);
        if (d && n->idFrom == ZV_MAIN_TABS && n->code == TCN_SELCHANGE) openPage(*d, TabCtrl_GetCurSel(d->tabs));
        return FALSE;
    }
    case WM_COMMAND:
        if (!d) return FALSE;
        // A table operation ends before the window does.
        if ((LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) && d->pageIsCodeTables &&
            codeTablePageBusy(d->page))
            return TRUE;
        if (LOWORD(wParam) == IDOK) {
            closePage(*d);  // the page writes what it still holds
            updateVirtualizedCopy(d->program);
            DestroyWindow(window);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(window);
            return TRUE;
        }
        return FALSE;
    case WM_HELP:
        if (d) {
            const std::u16string help = d->program.folder.info.installDir + u"main.chm";
            // The topic of the page the request came from.
            const int tab = TabCtrl_GetCurSel(d->tabs);
            const Page page = tab >= 0 && static_cast<size_t>(tab) < d->pages.size() ? d->pages[static_cast<size_t>(tab)]
                                                                                   : Page::General;
            platform::systemShell().showHelp(help, helpTopic(page));
        }
        return TRUE;
    case WM_DESTROY:
        if (d) closePage(*d);
        PostQuitMessage(0);
        return FALSE;
    default: return FALSE;
    }
}

bool isCtrlTab(const MSG& m) {
    return m.message == WM_KEYDOWN && m.wParam == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000) != 0;
}

}  // namespace

void runMainDialog(Program& program, Page requested) {
    MainDialog d(program, requested);
    HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ZV_DIALOG_MAIN), nullptr, mainProc,
                                     reinterpret_cast<LPARAM>(&d));
    if (!window) return;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        if (IsWindow(window) && isCtrlTab(m) && (m.hwnd == window || IsChild(window, m.hwnd))) {
            nextTab(d);
            continue;
        }
        if (IsWindow(window) && IsDialogMessageW(window, &m)) continue;
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

}  // namespace zv::config::win32
