#pragma once
// The input method's windows on Windows: popups of the library's own
// classes that never take the focus from the application, shown with
// per-pixel alpha (UpdateLayeredWindow) from the portable painter's
// premultiplied picture.

#include "ui/image.h"
#include "ui/skin.h"

#include <windows.h>

namespace zv::ui::win32 {

// The window classes, registered at process attach.
constexpr wchar_t kCompositionClass[] = L"ZORURAVED_COMP";
constexpr wchar_t kCandidateClass[] = L"ZORURAVED_CAND";
constexpr wchar_t kStatusClass[] = L"ZORURAVED_STATUS";
constexpr wchar_t kSoftKeyboardClass[] = L"ZORURAVED_SKBD";
constexpr wchar_t kTipClass[] = L"ZORURAVED_TIPS";
bool registerWindowClasses(HINSTANCE module);
void unregisterWindowClasses(HINSTANCE module);

// What a popup's messages go to.
class PopupHandler {
public:
    virtual ~PopupHandler() = default;
    virtual LRESULT message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// Where a popup stays: above every window (the candidate window, the status
// bar, the soft keyboard), or only above its owner (the tip).
enum class PopupLayer { Topmost, AboveOwner };

// One popup window, destroyed with its owner object.
class PopupWindow {
public:
    PopupWindow() = default;
    ~PopupWindow();
    PopupWindow(const PopupWindow&) = delete;
    PopupWindow& operator=(const PopupWindow&) = delete;

    // Creates the window (hidden) when it does not exist yet.
    bool create(HINSTANCE module, const wchar_t* className, HWND owner, PopupHandler& handler,
                PopupLayer layer = PopupLayer::Topmost);
    // Hides and destroys the window; the next create makes a new one.
    void destroy();
    // Shows the picture at a screen position, without activating, scaled
    // for the monitor it is on. With a shape, the window takes the form of
    // the shape's pixels that are not fully transparent (clicks elsewhere
    // go to what is behind it); without, it is a rectangle.
    bool show(const Canvas& picture, Point at, const SkinImage* shape = nullptr);
    void move(Point at);

    void hide();
    bool visible() const { return window_ && IsWindowVisible(window_); }
    HWND handle() const { return window_; }

private:
    // Sets the shape when it differs from the one set last.
    void applyShape(const SkinImage* shape, int percent);

    HWND window_ = nullptr;
    PopupLayer layer_ = PopupLayer::Topmost;
    // What the shape was made from: its size, scale and a digest of its
    // alpha.
    uint64_t shapeKey_ = 0;
};

// The work area of the monitor a point is on.
Rect workAreaAt(Point p);

// How much larger than at 96 dots per inch the windows are drawn on the
// monitor a point is on, in percent (as the application sees that
// monitor: a host that is not aware of DPI gets 100, and the system
// scales for it).
int scalePercentAt(Point p);
// The scale a popup was last shown at.
int scalePercentOf(HWND window);

}  // namespace zv::ui::win32
