#include "ui/win32/popup_menu.h"

#include <memory>
#include <type_traits>

namespace zv::ui::win32 {

namespace {

struct MenuDeleter {
    void operator()(HMENU menu) const noexcept {
        if (menu) DestroyMenu(menu);
    }
};
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;

// Appends the items, each with the command id of its action (the ids the
// library's menu resources carry too).
bool append(HMENU menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) {
        const auto* text = reinterpret_cast<const wchar_t*>(item.text.c_str());
        if (item.separator()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else if (!item.items.empty()) {
            HMENU sub = CreatePopupMenu();
            if (!sub) return false;
            if (!append(sub, item.items) ||
                !AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), text)) {
                DestroyMenu(sub);
                return false;
            }
        } else {
            const UINT flags = MF_STRING | (item.checked ? MF_CHECKED : 0);
            AppendMenuW(menu, flags, menuItemId(item.action), text);
        }
    }
    return true;
}

}  // namespace

std::optional<MenuAction> trackMenu(const std::vector<MenuItem>& items, HWND owner, Point at) {
    MenuHandle menu(CreatePopupMenu());
    if (!menu || !append(menu.get(), items)) return std::nullopt;
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN |
                                                                         TPM_TOPALIGN | TPM_RIGHTBUTTON,
                                                         at.x, at.y, 0, owner, nullptr));
    const MenuItem* item = chosen ? findMenuItem(items, chosen) : nullptr;
    if (!item) return std::nullopt;
    return item->action;
}

}  // namespace zv::ui::win32
