#include "ui/win32/popup_window.h"

#include "ui/win32/gdi_handles.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>
#include <vector>

namespace zv::ui::win32 {

namespace {

// The window-extra bytes of the classes; the first slot holds the handler.
constexpr int kPopupExtraBytes = 12;
constexpr int kHandlerSlot = 0;
constexpr int kScaleSlot = sizeof(LONG_PTR);  // the percent the window is drawn at
constexpr int kBaseDpi = 96;
constexpr UINT kImeClassStyle = 0x10000;  // CS_IME
// Accessibility events of an input method's windows (Windows 8 and later;
// older systems ignore them).
constexpr DWORD kEventImeShow = 0x8027, kEventImeHide = 0x8028, kEventImeChange = 0x8029;

const wchar_t* const kClasses[] = {kCompositionClass, kCandidateClass, kStatusClass, kSoftKeyboardClass, kTipClass};

LRESULT CALLBACK popupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, kHandlerSlot, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    // A click never activates the window: the application keeps the focus.
    if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    auto* handler = reinterpret_cast<PopupHandler*>(GetWindowLongPtrW(window, kHandlerSlot));
    if (handler && message != WM_NCCREATE && message != WM_NCDESTROY) {
        try {
            return handler->message(window, message, wParam, lParam);
        } catch (...) {
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool registerWindowClasses(HINSTANCE module) {
    bool all = true;
    for (const wchar_t* name : kClasses) {
        WNDCLASSEXW wc = {};
        if (GetClassInfoExW(module, name, &wc)) continue;
        wc.cbSize = sizeof wc;
        wc.style = CS_HREDRAW | CS_VREDRAW | kImeClassStyle;
        wc.lpfnWndProc = popupProc;
        wc.cbWndExtra = kPopupExtraBytes;
        wc.hInstance = module;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = name;
        all = RegisterClassExW(&wc) != 0 && all;
    }
    return all;
}

void unregisterWindowClasses(HINSTANCE module) {
    for (const wchar_t* name : kClasses) UnregisterClassW(name, module);
}

namespace {

// A region holds this many rectangles before it joins the whole; a shape of
// many runs is built in parts rather than in one huge request.
constexpr size_t kRunsPerPart = 4000;

HRGN regionOf(const std::vector<Rect>& runs, int percent) {
    HRGN whole = CreateRectRgn(0, 0, 0, 0);
    if (!whole) return nullptr;
    std::vector<uint8_t> data;
    for (size_t first = 0; first < runs.size(); first += kRunsPerPart) {
        const size_t count = std::min(kRunsPerPart, runs.size() - first);
        data.assign(sizeof(RGNDATAHEADER) + count * sizeof(RECT), 0);
        auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
        header->dwSize = sizeof(RGNDATAHEADER);
        header->iType = RDH_RECTANGLES;
        header->nCount = static_cast<DWORD>(count);
        header->nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
        RECT bounds{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
        for (size_t i = 0; i < count; ++i) {
            const Rect& run = runs[first + i];
            // A run scaled with the picture covers every pixel it touches.
            const RECT r{run.left * percent / 100, run.top * percent / 100, (run.right * percent + 99) / 100,
                         (run.bottom * percent + 99) / 100};
            std::memcpy(data.data() + sizeof(RGNDATAHEADER) + i * sizeof(RECT), &r, sizeof r);
            bounds = RECT{std::min(bounds.left, r.left), std::min(bounds.top, r.top), std::max(bounds.right, r.right),
                          std::max(bounds.bottom, r.bottom)};
        }
        header->rcBound = bounds;
        HRGN part = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
        if (!part) {
            DeleteObject(whole);
            return nullptr;
        }
        CombineRgn(whole, whole, part, RGN_OR);
        DeleteObject(part);
    }
    return whole;
}

// FNV-1a over the size, the scale and every pixel's alpha.
uint64_t shapeKeyOf(const SkinImage& picture, int percent) {
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](uint64_t v) { h = (h ^ v) * 1099511628211ull; };
    mix(static_cast<uint64_t>(picture.width));
    mix(static_cast<uint64_t>(picture.height));
    mix(static_cast<uint64_t>(percent));
    for (uint32_t p : picture.pixels) mix(p >> 24);
    return h | 1;  // never 0, which means no shape
}

}  // namespace

PopupWindow::~PopupWindow() { destroy(); }

void PopupWindow::destroy() {
    if (!window_) return;
    hide();
    SetWindowLongPtrW(window_, kHandlerSlot, 0);
    DestroyWindow(std::exchange(window_, nullptr));
    shapeKey_ = 0;
}

bool PopupWindow::create(HINSTANCE module, const wchar_t* className, HWND owner, PopupHandler& handler,
                         PopupLayer layer) {
    if (window_) return true;
    layer_ = layer;
    const DWORD topmost = layer == PopupLayer::Topmost ? WS_EX_TOPMOST : 0;
    window_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | topmost | WS_EX_NOACTIVATE, className, L"",
                              WS_POPUP, 0, 0, 1, 1, owner, nullptr, module, &handler);
    return window_ != nullptr;
}

bool PopupWindow::show(const Canvas& unscaled, Point at, const SkinImage* shape) {
    if (!window_ || unscaled.empty()) return false;
    const int percent = scalePercentAt(at);
    SetWindowLongW(window_, kScaleSlot, percent);
    applyShape(shape, percent);
    const Canvas scaled = percent == 100 ? Canvas{} : scaleCanvas(unscaled, percent);
    const Canvas& picture = percent == 100 ? unscaled : scaled;
    DibSection dib(picture.width, picture.height);
    DcHandle dc(CreateCompatibleDC(nullptr));
    if (!dib || !dc) return false;
    for (int32_t y = 0; y < picture.height; ++y)
        std::memcpy(dib.row(y), &picture.pixels[static_cast<size_t>(y) * static_cast<size_t>(picture.width)],
                    sizeof(uint32_t) * static_cast<size_t>(picture.width));
    const HGDIOBJ old = SelectObject(dc.get(), dib.bitmap());
    POINT position{at.x, at.y}, origin{0, 0};
    SIZE size{picture.width, picture.height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const bool wasVisible = IsWindowVisible(window_) != FALSE;
    const bool ok = UpdateLayeredWindow(window_, nullptr, &position, &size, dc.get(), &origin, 0, &blend, ULW_ALPHA);
    SelectObject(dc.get(), old);
    if (!wasVisible) {
        SetWindowPos(window_, layer_ == PopupLayer::Topmost ? HWND_TOPMOST : HWND_TOP, at.x, at.y, picture.width,
                     picture.height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        NotifyWinEvent(kEventImeShow, window_, OBJID_CLIENT, CHILDID_SELF);
    } else {
        NotifyWinEvent(kEventImeChange, window_, OBJID_CLIENT, CHILDID_SELF);
    }
    return ok;
}

void PopupWindow::move(Point at) {
    if (window_) SetWindowPos(window_, nullptr, at.x, at.y, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOZORDER);
}

void PopupWindow::applyShape(const SkinImage* shape, int percent) {
    // A picture without a fully transparent pixel is the whole rectangle:
    // no region to make (each one costs the system a round of work).
    const bool rectangle = !shape || std::none_of(shape->pixels.begin(), shape->pixels.end(),
                                                  [](uint32_t p) { return (p >> 24) == 0; });
    if (rectangle) {
        if (std::exchange(shapeKey_, 0) != 0) SetWindowRgn(window_, nullptr, TRUE);
        return;
    }
    const SkinImage& picture = *shape;
    const uint64_t key = shapeKeyOf(picture, percent);
    if (key == shapeKey_) return;
    HRGN region = regionOf(regionFromAlpha(picture), percent);
    // The system owns the region once it is set.
    if (region && SetWindowRgn(window_, region, TRUE)) shapeKey_ = key;
    else if (region) DeleteObject(region);
}

void PopupWindow::hide() {
    if (!window_ || !IsWindowVisible(window_)) return;
    ShowWindow(window_, SW_HIDE);
    NotifyWinEvent(kEventImeHide, window_, OBJID_CLIENT, CHILDID_SELF);
}

namespace {

// What the windows ask of the monitor a point is on, on every show: the
// answers are kept for a moment, as each question is a round of system
// calls (on some systems a registry walk) and a monitor seldom changes.
struct MonitorFacts {
    Rect monitor, work;
    int percent = 100;
    DWORD taken = 0;
    bool known = false;
};
constexpr DWORD kMonitorFactsMs = 1000;

int dpiPercentOf(HMONITOR monitor) {
    // GetDpiForMonitor is there from Windows 8.1 on.
    using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const DpiForMonitor dpiForMonitor = [] {
        HMODULE shcore = LoadLibraryW(L"shcore.dll");
        return shcore ? reinterpret_cast<DpiForMonitor>(reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    UINT dpi = 0, unused = 0;
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    if (!dpiForMonitor || !monitor || FAILED(dpiForMonitor(monitor, kEffectiveDpi, &dpi, &unused)) || dpi == 0) {
        HDC screen = GetDC(nullptr);
        dpi = screen ? static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSX)) : kBaseDpi;
        if (screen) ReleaseDC(nullptr, screen);
    }
    return dpi > static_cast<UINT>(kBaseDpi) ? static_cast<int>(dpi * 100 / kBaseDpi) : 100;
}

const MonitorFacts& monitorAt(Point p) {
    thread_local MonitorFacts facts;
    const DWORD now = GetTickCount();
    const bool inside = p.x >= facts.monitor.left && p.x < facts.monitor.right && p.y >= facts.monitor.top &&
                        p.y < facts.monitor.bottom;
    if (facts.known && inside && now - facts.taken < kMonitorFactsMs) return facts;
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    HMONITOR monitor = MonitorFromPoint(POINT{p.x, p.y}, MONITOR_DEFAULTTONEAREST);
    if (monitor && GetMonitorInfoW(monitor, &info)) {
        facts.monitor = Rect{info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
        facts.work = Rect{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
    } else {
        facts.monitor = facts.work = Rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    facts.percent = dpiPercentOf(monitor);
    facts.taken = now;
    facts.known = true;
    return facts;
}

}  // namespace

int scalePercentAt(Point p) { return monitorAt(p).percent; }

int scalePercentOf(HWND window) {
    const LONG percent = window ? GetWindowLongW(window, kScaleSlot) : 0;
    return percent >= 100 ? static_cast<int>(percent) : 100;
}

Rect workAreaAt(Point p) { return monitorAt(p).work; }

}  // namespace zv::ui::win32
