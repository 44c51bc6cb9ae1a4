#pragma once
// The language-bar buttons. The open/close button carries the identity the
// system's input indicator reads (Windows 8 and later show it in the tray),
// so it is added whenever the host has a language bar; the other four
// stand in for the status bar on older systems when the user embeds it.

#include "host/com/com_ptr.h"
#include "host/com/com_object.h"
#include "host/com/tsf_declarations.h"
#include "ui/menus.h"

#include <vector>

namespace zv::tsf {

class TextService;

enum class LangBarKind { OpenClose, Punctuation, FullWidth, SoftKeyboard, Options };

// The cookie every item hands its one sink.
constexpr DWORD kLangBarSinkCookie = 0x0FAB0FA1;

class LangBarItem final : public com::ComObject<ITfLangBarItemButton, ITfSource> {
public:
    LangBarItem(TextService& service, LangBarKind kind);
    ~LangBarItem();

    // ITfLangBarItem
    STDMETHODIMP GetInfo(TF_LANGBARITEMINFO* info) noexcept override;
    STDMETHODIMP GetStatus(DWORD* status) noexcept override;
    STDMETHODIMP Show(BOOL show) noexcept override;
    STDMETHODIMP GetTooltipString(BSTR* tooltip) noexcept override;
    // ITfLangBarItemButton
    STDMETHODIMP OnClick(TfLBIClick click, POINT point, const RECT* area) noexcept override;
    STDMETHODIMP InitMenu(ITfMenu* menu) noexcept override;
    STDMETHODIMP OnMenuSelect(UINT id) noexcept override;
    STDMETHODIMP GetIcon(HICON* icon) noexcept override;
    STDMETHODIMP GetText(BSTR* text) noexcept override;
    // ITfSource
    STDMETHODIMP AdviseSink(REFIID riid, IUnknown* sink, DWORD* cookie) noexcept override;
    STDMETHODIMP UnadviseSink(DWORD cookie) noexcept override;

    void setHidden(bool hidden);
    // Tells the language bar that the icon and status changed.
    void update();
    // The service removed the item: clicks no longer reach it.
    void detach() { service_ = nullptr; }

private:
    void* answer(REFIID riid) noexcept override;

    TextService* service_;
    LangBarKind kind_;
    DWORD status_ = 0;
    TF_LANGBARITEMINFO info_{};
    com::ComPtr<ITfLangBarItemSink> sink_;
    // The menu the language bar last asked for, to find the chosen item in.
    std::vector<ui::MenuItem> menu_;
};

}  // namespace zv::tsf
