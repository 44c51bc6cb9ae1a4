#include "host/tsf/language_bar.h"

#include "engine/config_store.h"
#include "engine/host_view.h"
#include "host/com/service_ids.h"
#include "host/dll/module.h"
#include "host/dll/resource_ids.h"
#include "host/tsf/service_windows.h"
#include "host/tsf/text_service.h"
#include "ui/engine_view.h"

#include <olectl.h>

#include <cwchar>

namespace zv::tsf {

namespace {

constexpr DWORD kItemStyle = TF_LBI_STYLE_SHOWNINTRAY | TF_LBI_STYLE_BTN_BUTTON;
constexpr ULONG kSortOrder = 1;

struct ItemKind {
    GUID guid;
    const wchar_t* description;
};

// The open/close item is the system's input-mode item; the others have
// identities of their own.
const ItemKind kItems[] = {
    {tsf_guid::LbiInputMode, L"中文/英文"},
    {{0x5e2f9a31, 0x7c40, 0x4b18, {0x9d, 0x63, 0x1a, 0x0e, 0x84, 0x2c, 0x55, 0x01}}, L"中/英文符号(Ctrl+.)"},
    {{0x5e2f9a31, 0x7c40, 0x4b18, {0x9d, 0x63, 0x1a, 0x0e, 0x84, 0x2c, 0x55, 0x02}}, L"全/半角(Shift+Space)"},
    {{0x5e2f9a31, 0x7c40, 0x4b18, {0x9d, 0x63, 0x1a, 0x0e, 0x84, 0x2c, 0x55, 0x03}}, L"软键盘"},
    {{0x5e2f9a31, 0x7c40, 0x4b18, {0x9d, 0x63, 0x1a, 0x0e, 0x84, 0x2c, 0x55, 0x04}}, L"功能菜单"},
};

const ItemKind& kindOf(LangBarKind k) { return kItems[static_cast<int>(k)]; }

// Hands a built menu to the language bar's menu, submenus included.
void addMenu(ITfMenu* menu, const std::vector<ui::MenuItem>& items) {
    for (const ui::MenuItem& item : items) {
        const auto* text = reinterpret_cast<const WCHAR*>(item.text.c_str());
        const auto length = static_cast<ULONG>(item.text.size());
        if (item.separator()) {
            menu->AddMenuItem(0, TF_LBMENUF_SEPARATOR, nullptr, nullptr, nullptr, 0, nullptr);
        } else if (!item.items.empty()) {
            ITfMenu* submenu = nullptr;
            if (SUCCEEDED(menu->AddMenuItem(0, TF_LBMENUF_SUBMENU, nullptr, nullptr, text, length, &submenu)) &&
                submenu) {
                addMenu(submenu, item.items);
                submenu->Release();
            }
        } else {
            menu->AddMenuItem(ui::menuItemId(item.action), item.checked ? TF_LBMENUF_CHECKED : 0, nullptr, nullptr,
                              text, length, nullptr);
        }
    }
}

}  // namespace

LangBarItem::LangBarItem(TextService& service, LangBarKind kind) : service_(&service), kind_(kind) {
    info_.clsidService = com::serviceClassId();
    info_.guidItem = kindOf(kind).guid;
    info_.dwStyle = kItemStyle;
    info_.ulSort = kSortOrder;
    wcsncpy(info_.szDescription, kindOf(kind).description, TF_LBI_DESC_MAXLEN - 1);
}

LangBarItem::~LangBarItem() = default;

void* LangBarItem::answer(REFIID riid) noexcept {
    if (IsEqualIID(riid, IID_ITfLangBarItem) || IsEqualIID(riid, __uuidof(ITfLangBarItemButton)))
        return static_cast<ITfLangBarItemButton*>(this);
    if (IsEqualIID(riid, IID_ITfSource)) return static_cast<ITfSource*>(this);
    return nullptr;
}

STDMETHODIMP LangBarItem::GetInfo(TF_LANGBARITEMINFO* info) noexcept {
    if (!info) return E_INVALIDARG;
    *info = info_;
    return S_OK;
}

STDMETHODIMP LangBarItem::GetStatus(DWORD* status) noexcept {
    if (!status) return E_INVALIDARG;
    *status = status_;
    return S_OK;
}

STDMETHODIMP LangBarItem::Show(BOOL) noexcept { return E_NOTIMPL; }

STDMETHODIMP LangBarItem::GetTooltipString(BSTR* tooltip) noexcept {
    if (!tooltip) return E_INVALIDARG;
    *tooltip = SysAllocString(kindOf(kind_).description);
    return *tooltip ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP LangBarItem::GetText(BSTR* text) noexcept { return GetTooltipString(text); }

STDMETHODIMP LangBarItem::OnClick(TfLBIClick click, POINT point, const RECT*) noexcept {
    return guarded([&]() -> HRESULT {
        if (!service_ || !service_->engine() || service_->keyboardDisabled()) return S_OK;
        EngineContext& engine = *service_->engine();
        const uint32_t modes = viewOf(engine).modes;
        switch (kind_) {
        case LangBarKind::OpenClose:
            // Caps Lock types capitals whatever the mode: the button waits.
            if (click == TF_LBI_CLK_RIGHT) {
                // The main menu, belonging to the window under the click.
                if (ServiceWindows* windows = service_->windows()) {
                    HWND owner = WindowFromPoint(point);
                    windows->openMainMenu(point, owner ? owner : service_->ownerWindow());
                }
                return S_OK;
            }
            if (click != TF_LBI_CLK_LEFT || (GetKeyState(VK_CAPITAL) & 1)) return S_OK;
            uiCommand(engine, (modes & (ModeEnglish | ModeEnglishWords)) ? ui_command::Chinese : ui_command::English,
                      0, 0);
            break;
        case LangBarKind::Punctuation:
            setMode(engine, (modes & ModeEnglishPunct) ? mode::EnglishPunctOff : mode::EnglishPunctOn);
            break;
        case LangBarKind::FullWidth:
            setMode(engine, (modes & ModeFullWidth) ? mode::FullWidthOff : mode::FullWidthOn);
            break;
        case LangBarKind::SoftKeyboard:
        case LangBarKind::Options: return S_OK;
        }
        service_->applyChangesOutsideKey();
        service_->syncCompartments();
        return S_OK;
    });
}

STDMETHODIMP LangBarItem::InitMenu(ITfMenu* menu) noexcept {
    if (!menu) return E_INVALIDARG;
    return guarded([&]() -> HRESULT {
        menu_.clear();
        if (!service_ || !service_->engine()) return S_OK;
        EngineContext& engine = *service_->engine();
        if (kind_ == LangBarKind::SoftKeyboard) menu_ = ui::buildSoftKeyboardMenu(viewOf(engine).softKeyboardLayout);
        else if (kind_ == LangBarKind::Options) menu_ = ui::buildMainMenu(ui::menuContextOf(engine, true, nullptr));
        addMenu(menu, menu_);
        return S_OK;
    });
}

STDMETHODIMP LangBarItem::OnMenuSelect(UINT id) noexcept {
    return guarded([&]() -> HRESULT {
        const ui::MenuItem* chosen = ui::findMenuItem(menu_, id);
        if (chosen && service_ && service_->windows()) service_->windows()->runMenuAction(chosen->action);
        return S_OK;
    });
}

STDMETHODIMP LangBarItem::GetIcon(HICON* icon) noexcept {
    if (!icon) return E_INVALIDARG;
    *icon = nullptr;
    return guarded([&]() -> HRESULT {
        int id = ZV_ICON_MENU;
        const uint32_t modes = service_ && service_->engine() ? viewOf(*service_->engine()).modes : 0;
        switch (kind_) {
        case LangBarKind::OpenClose:
            if (service_ && service_->keyboardDisabled()) id = ZV_ICON_KEYBOARD_DISABLED;
            else if (modes & ModeEnglish) id = ZV_ICON_KEYBOARD_CLOSED;
            else if (GetKeyState(VK_CAPITAL) & 1) id = ZV_ICON_CAPS_LOCK;
            else if (modes & ModeEnglishWords) id = ZV_ICON_ENGLISH_WORDS;
            else id = ZV_ICON_CHINESE;
            break;
        case LangBarKind::Punctuation:
            id = (modes & ModeEnglishPunct) ? ZV_ICON_ENGLISH_PUNCTUATION : ZV_ICON_CHINESE_PUNCTUATION;
            break;
        case LangBarKind::FullWidth: id = (modes & ModeFullWidth) ? ZV_ICON_FULL_WIDTH : ZV_ICON_HALF_WIDTH; break;
        case LangBarKind::SoftKeyboard: id = ZV_ICON_SOFT_KEYBOARD; break;
        case LangBarKind::Options: id = ZV_ICON_MENU; break;
        }
        *icon = static_cast<HICON>(
            LoadImageW(host::moduleHandle(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
        return *icon ? S_OK : E_FAIL;
    });
}

STDMETHODIMP LangBarItem::AdviseSink(REFIID riid, IUnknown* sink, DWORD* cookie) noexcept {
    if (!sink || !cookie) return E_INVALIDARG;
    if (!IsEqualIID(riid, IID_ITfLangBarItemSink)) return CONNECT_E_CANNOTCONNECT;
    if (sink_) return CONNECT_E_ADVISELIMIT;
    if (FAILED(sink->QueryInterface(IID_ITfLangBarItemSink, sink_.putVoid())) || !sink_) {
        sink_.reset();
        return E_NOINTERFACE;
    }
    *cookie = kLangBarSinkCookie;
    return S_OK;
}

STDMETHODIMP LangBarItem::UnadviseSink(DWORD cookie) noexcept {
    if (cookie != kLangBarSinkCookie || !sink_) return CONNECT_E_NOCONNECTION;
    sink_.reset();
    return S_OK;
}

void LangBarItem::setHidden(bool hidden) {
    status_ = hidden ? status_ | TF_LBI_STATUS_HIDDEN : status_ & ~static_cast<DWORD>(TF_LBI_STATUS_HIDDEN);
    update();
}

void LangBarItem::update() {
    if (sink_) sink_->OnUpdate(TF_LBI_ICON | TF_LBI_STATUS);
}

// ---- The service's side --------------------------------------------------------

void TextService::addLanguageBarItems() {
    removeLanguageBarItems();
    com::ComPtr<ITfLangBarItemMgr> bar;
    if (!threadMgr_ || FAILED(threadMgr_->QueryInterface(IID_ITfLangBarItemMgr, bar.putVoid())) || !bar) return;
    std::vector<LangBarKind> kinds{LangBarKind::OpenClose};
    const ImeSettings& ime = settingsOf(*engine_).ime;
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const bool beforeEight = GetVersionExW(&version) &&
                             (version.dwMajorVersion < 6 || (version.dwMajorVersion == 6 && version.dwMinorVersion < 2));
#pragma GCC diagnostic pop
    // The status bar's other buttons, on older systems, as the user chose
    // them in the configuration program's page mask.
    if ((ime.a() & ImeSettings::A_EmbedStatusBar) && beforeEight) {
        const uint32_t pages = ime.e();
        if (pages & 0x40) kinds.push_back(LangBarKind::FullWidth);
        if (pages & 0x80) kinds.push_back(LangBarKind::Punctuation);
        if (pages & 0x100) kinds.push_back(LangBarKind::SoftKeyboard);
        if (pages & 0x200) kinds.push_back(LangBarKind::Options);
    }
    for (LangBarKind kind : kinds) {
        auto item = com::ComPtr<LangBarItem>::adopt(new LangBarItem(*this, kind));
        if (FAILED(bar->AddItem(item.get()))) break;
        langBarItems_.push_back(item);
    }
}

void TextService::removeLanguageBarItems() {
    com::ComPtr<ITfLangBarItemMgr> bar;
    if (threadMgr_) threadMgr_->QueryInterface(IID_ITfLangBarItemMgr, bar.putVoid());
    for (com::ComPtr<LangBarItem>& item : langBarItems_) {
        if (bar) bar->RemoveItem(item.get());
        item->detach();
    }
    langBarItems_.clear();
}

void TextService::updateLanguageBar(bool hidden) {
    for (com::ComPtr<LangBarItem>& item : langBarItems_) {
        if (hidden) item->setHidden(true);
        else item->setHidden(false);
    }
}

}  // namespace zv::tsf
