#include "config/win32/browser_control.h"

#include <exdisp.h>
#include <ole2.h>

namespace zv::config::win32 {

namespace {

// The HTML document class {25336920-03F9-11CF-8FD0-00AA00686F13}, which
// the import libraries at hand do not all carry.
constexpr CLSID kHtmlDocument = {0x25336920, 0x03F9, 0x11CF, {0x8F, 0xD0, 0x00, 0xAA, 0x00, 0x68, 0x6F, 0x13}};

// The control container of the system's ATL library hosts the control: the
// window class "AtlAxWin" creates the browser named by its text.
using AtlAxWinInitFunction = BOOL(WINAPI*)();
using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);

struct Container {
    HMODULE module = nullptr;
    AtlAxGetControlFunction getControl = nullptr;
    bool ready = false;
};

const Container& container() {
    static const Container c = [] {
        Container r;
        r.module = LoadLibraryW(L"atl.dll");
        if (!r.module) return r;
        auto init = reinterpret_cast<AtlAxWinInitFunction>(reinterpret_cast<void*>(GetProcAddress(r.module, "AtlAxWinInit")));
        r.getControl = reinterpret_cast<AtlAxGetControlFunction>(
            reinterpret_cast<void*>(GetProcAddress(r.module, "AtlAxGetControl")));
        r.ready = init && r.getControl && init();
        return r;
    }();
    return c;
}

// The browser control draws its pages with the HTML engine; a system
// without one would show an empty control, so the fallback is used. The
// library is looked for before any object is asked of it.
bool htmlEngineAvailable() {
    static const bool available = [] {
        HMODULE engine = LoadLibraryW(L"mshtml.dll");
        if (!engine) return false;
        IUnknown* document = nullptr;
        const HRESULT hr = CoCreateInstance(kHtmlDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                            reinterpret_cast<void**>(&document));
        if (document) document->Release();
        FreeLibrary(engine);
        return SUCCEEDED(hr) && document;
    }();
    return available;
}

constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

}  // namespace

struct BrowserControl::Browser {
    IWebBrowser2* web = nullptr;
    ~Browser() {
        if (web) {
            web->Stop();
            web->Release();
        }
    }
};

std::wstring browserFallbackText(const std::wstring& address) {
    return L"此处无法显示网页：系统中没有可用的网页浏览控件。\r\n\r\n地址：" + address;
}

BrowserControl::BrowserControl(HWND parent, const RECT& place, int id, const std::wstring& address) {
    const int width = place.right - place.left, height = place.bottom - place.top;
    HMENU childId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    if (htmlEngineAvailable() && container().ready) {
        const Container& atl = container();
        window_ = CreateWindowExW(0, L"AtlAxWin", L"Shell.Explorer.2", kChildStyle, place.left, place.top, width,
                                  height, parent, childId, GetModuleHandleW(nullptr), nullptr);
        IUnknown* control = nullptr;
        if (window_ && SUCCEEDED(atl.getControl(window_, &control)) && control) {
            auto b = std::make_unique<Browser>();
            control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&b->web));
            control->Release();
            if (b->web) {
                VARIANT empty;
                VariantInit(&empty);
                BSTR url = SysAllocString(address.c_str());
                if (url && SUCCEEDED(b->web->Navigate(url, &empty, &empty, &empty, &empty))) browser_ = std::move(b);
                SysFreeString(url);
            }
        }
        if (!browser_ && window_) {
            DestroyWindow(window_);
            window_ = nullptr;
        }
    }
    if (browser_) return;
    window_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", browserFallbackText(address).c_str(),
                              kChildStyle | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL, place.left,
                              place.top, width, height, parent, childId, GetModuleHandleW(nullptr), nullptr);
    if (window_) SendMessageW(window_, WM_SETFONT, SendMessageW(parent, WM_GETFONT, 0, 0), FALSE);
}

BrowserControl::~BrowserControl() {
    browser_.reset();
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
}

bool BrowserControl::live() const { return browser_ != nullptr; }

void BrowserControl::move(const RECT& place) {
    if (window_)
        SetWindowPos(window_, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring BrowserControl::title() const {
    if (!browser_ || !browser_->web) return {};
    BSTR name = nullptr;
    std::wstring out;
    if (SUCCEEDED(browser_->web->get_LocationName(&name)) && name) out.assign(name, SysStringLen(name));
    SysFreeString(name);
    return out;
}

}  // namespace zv::config::win32
