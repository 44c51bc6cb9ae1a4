#include "config/win32/key_editor_dialog.h"

#include "config/key_editor.h"
#include "config/shell/targets.h"
#include "config/win32/resource_ids.h"
#include "engine/key_table.h"
#include "host/dll/resource_ids.h"
#include "platform/services.h"

#include <string>
#include <vector>

namespace zv::config::win32 {

namespace {

constexpr int kQuarter = 10;     // pixels per quarter of a letter key
constexpr int kRowHeight = 36;   // pixels per keyboard row
constexpr int kRowGap = 4;
constexpr int kMargin = 10;
constexpr int kFunctionRowGap = 8;  // the function keys stand apart
constexpr COLORREF kBoundColour = RGB(255, 128, 128);
constexpr COLORREF kFrameColour = RGB(128, 128, 128);

// Menu commands: the functions from kFirstFunction on, in menu order.
enum : UINT {
    kClearKey = 90,
    kCancel = 91,
    kDefaultScheme = 92,
    kClearAll = 93,
    kClearCombinations = 94,
    kFirstFunction = 100,
};

struct KeyEditor {
    Program& program;
    HWND window = nullptr;
    explicit KeyEditor(Program& p) : program(p) {}
    DmeSettings& dme() { return program.folder.blocks.dme; }
};

std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

EditorModifiers modifiersOf(HWND window) {
    EditorModifiers m;
    m.ctrl = IsDlgButtonChecked(window, ZV_KEYS_CTRL) == BST_CHECKED;
    m.alt = IsDlgButtonChecked(window, ZV_KEYS_ALT) == BST_CHECKED;
    m.shift = IsDlgButtonChecked(window, ZV_KEYS_SHIFT) == BST_CHECKED;
    return m;
}

uint32_t keyCodeOf(HWND window, size_t key) {
    return editorKeyCode(keyboardKeys()[key].virtualKey, modifiersOf(window));
}

void redrawKeys(HWND window) {
    for (size_t i = 0; i < keyboardKeys().size(); ++i)
        InvalidateRect(GetDlgItem(window, ZV_KEYS_FIRST_KEY + static_cast<int>(i)), nullptr, TRUE);
}

// With a modifier box ticked the modifier keys themselves cannot be chosen.
void updateModifierKeys(HWND window) {
    const EditorModifiers m = modifiersOf(window);
    const bool any = m.ctrl || m.alt || m.shift;
    for (size_t i = 0; i < keyboardKeys().size(); ++i)
        if (isModifierKey(keyboardKeys()[i].virtualKey))
            EnableWindow(GetDlgItem(window, ZV_KEYS_FIRST_KEY + static_cast<int>(i)), !any);
    redrawKeys(window);
}

void makeKeys(HWND window) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    int right = 0, bottom = 0;
    for (size_t i = 0; i < keyboardKeys().size(); ++i) {
        const KeyboardKey& k = keyboardKeys()[i];
        const int x = kMargin + k.x * kQuarter;
        const int y = kMargin + k.row * (kRowHeight + kRowGap) + (k.row > 0 ? kFunctionRowGap : 0);
        const int w = k.width * kQuarter - 2, h = kRowHeight;
        HWND key = CreateWindowExW(0, L"BUTTON", wide(k.label).c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                                   x, y, w, h, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ZV_KEYS_FIRST_KEY + i)),
                                   GetModuleHandleW(nullptr), nullptr);
        SendMessageW(key, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        right = std::max(right, x + w);
        bottom = std::max(bottom, y + h);
    }
    // The boxes and 完成 go below the keyboard; the window fits both.
    RECT client{};
    GetClientRect(window, &client);
    const int width = right + kMargin;
    int y = bottom + kMargin;
    int boxX = kMargin;
    for (int id : {ZV_KEYS_CTRL, ZV_KEYS_ALT, ZV_KEYS_SHIFT}) {
        SetWindowPos(GetDlgItem(window, id), nullptr, boxX, y + 4, 110, 20, SWP_NOZORDER);
        boxX += 120;
    }
    SetWindowPos(GetDlgItem(window, IDOK), nullptr, width - kMargin - 100, y, 100, 28, SWP_NOZORDER);
    RECT frame{0, 0, width, y + 28 + kMargin};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOZORDER | SWP_NOMOVE);
    // Centred again at its real size.
    RECT r{}, work{};
    GetWindowRect(window, &r);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window, nullptr, work.left + (work.right - work.left - (r.right - r.left)) / 2,
                 work.top + (work.bottom - work.top - (r.bottom - r.top)) / 2, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

void drawKey(KeyEditor& e, const DRAWITEMSTRUCT& d) {
    const size_t key = static_cast<size_t>(d.CtlID - ZV_KEYS_FIRST_KEY);
    if (key >= keyboardKeys().size()) return;
    const bool bound = boundFunctions(e.dme(), keyCodeOf(e.window, key)) != 0;
    RECT r = d.rcItem;
    HBRUSH fill = CreateSolidBrush(bound ? kBoundColour : GetSysColor(COLOR_MENU));
    FillRect(d.hDC, &r, fill);
    DeleteObject(fill);
    HBRUSH frame = CreateSolidBrush(kFrameColour);
    FrameRect(d.hDC, &r, frame);
    DeleteObject(frame);
    if (d.itemState & ODS_SELECTED) OffsetRect(&r, 1, 1);
    SetBkMode(d.hDC, TRANSPARENT);
    SetTextColor(d.hDC, GetSysColor((d.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
    const std::wstring label = wide(keyboardKeys()[key].label);
    DrawTextW(d.hDC, label.c_str(), static_cast<int>(label.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (d.itemState & ODS_FOCUS) {
        RECT focus = d.rcItem;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(d.hDC, &focus);
    }
}

HMENU functionMenu(uint64_t mask) {
    HMENU menu = CreatePopupMenu();
    UINT command = kFirstFunction;
    for (const FunctionMenu& group : functionMenus()) {
        HMENU sub = CreatePopupMenu();
        for (const MenuFunction& item : group.items)
            AppendMenuW(sub, MF_STRING | (hasFunction(mask, item.function) ? MF_CHECKED : 0), command++,
                        wide(item.label).c_str());
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), wide(group.title).c_str());
    }
    HMENU all = CreatePopupMenu();
    AppendMenuW(all, MF_STRING, kDefaultScheme, L"载入默认定义(&D)");
    AppendMenuW(all, MF_STRING, kClearAll, L"清空定义(&C)");
    AppendMenuW(all, MF_STRING, kClearCombinations, L"清空组合键定义(&R)");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(all), L"所有按键");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kClearKey, L"清空定义(&Z)");
    AppendMenuW(menu, MF_STRING, kCancel, L"取消");
    return menu;
}

std::u16string_view functionOfCommand(UINT command) {
    UINT at = kFirstFunction;
    for (const FunctionMenu& group : functionMenus())
        for (const MenuFunction& item : group.items)
            if (at++ == command) return item.function;
    return {};
}

bool confirmed(std::u16string_view question) {
    return platform::systemDialogs().confirm(KeyEditorCaption, question);
}

void store(KeyEditor& e, uint32_t code, uint64_t mask) {
    if (setKeyFunctions(e.dme(), code, mask) == KeyEdit::ListFull)
        platform::systemDialogs().inform(KeyEditorCaption, CombinationListFullText, platform::DialogIcon::Warning);
}

void keyClicked(KeyEditor& e, size_t key) {
    const uint32_t code = keyCodeOf(e.window, key);
    const uint64_t mask = boundFunctions(e.dme(), code);
    HMENU menu = functionMenu(mask);
    POINT at{};
    GetCursorPos(&at);
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, e.window, nullptr));
    DestroyMenu(menu);
    switch (command) {
    case 0:
    case kCancel: return;
    case kClearKey: store(e, code, 0); break;
    case kDefaultScheme:
        if (confirmed(u"此操作将清空您原有的自定义设置，然后使用佐文默认按键方案。\r\n是否继续？"))
            loadDefaultKeyScheme(e.dme());
        break;
    case kClearAll:
        if (confirmed(u"此操作将清空所有已经定义的按键功能。\r\n是否继续？")) clearKeyBindings(e.dme());
        break;
    case kClearCombinations:
        if (confirmed(u"此操作将清空所有已经定义的组合键功能。\r\n是否继续？")) clearCombinations(e.dme());
        break;
    default:
        if (std::u16string_view f = functionOfCommand(command); !f.empty()) store(e, code, toggleFunction(mask, f));
        break;
    }
    redrawKeys(e.window);
}

INT_PTR CALLBACK keyEditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* e = reinterpret_cast<KeyEditor*>(GetWindowLongPtrW(window, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        e = reinterpret_cast<KeyEditor*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        e->window = window;
        if (HMODULE library = e->program.library.module()) {
            if (HICON icon = LoadIconW(library, MAKEINTRESOURCEW(ZV_ICON_KEY_FUNCTIONS))) {
                SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
                SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
            }
        }
        makeKeys(window);
        // The title last: a second start finds the window only when it is whole.
        SetWindowTextW(window, wide(toolWindowTitle(Tool::KeyEditor, e->program.displayName(), {})).c_str());
        return TRUE;
    }
    case WM_DRAWITEM:
        if (e && wParam >= ZV_KEYS_FIRST_KEY) {
            drawKey(*e, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND: {
        if (!e) return FALSE;
        const int id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            EndDialog(window, id);
            return TRUE;
        }
        if (id == ZV_KEYS_CTRL || id == ZV_KEYS_ALT || id == ZV_KEYS_SHIFT) {
            updateModifierKeys(window);
            return TRUE;
        }
        const size_t key = static_cast<size_t>(id - ZV_KEYS_FIRST_KEY);
        if (id >= ZV_KEYS_FIRST_KEY && key < keyboardKeys().size() && HIWORD(wParam) == BN_CLICKED) {
            keyClicked(*e, key);
            return TRUE;
        }
        return FALSE;
    }
    default: return FALSE;
    }
}

}  // namespace

void runKeyEditor(Program& program) {
    KeyEditor editor(program);
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ZV_DIALOG_KEY_EDITOR), nullptr, keyEditorProc,
                    reinterpret_cast<LPARAM>(&editor));
}

}  // namespace zv::config::win32
