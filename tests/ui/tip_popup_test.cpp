// The tip window as a user meets it (under wine, with a display): a label
// above the application that never takes the focus, shows the portable
// picture, goes by itself after three seconds unless the cursor rests on
// it, can be dragged to a place that is kept, and asks for the mode menu;
// the mode indicator shows only a change.

#include "engine/config_store.h"
#include "tests/host/screen_pixels.h"
#include "ui/win32/gdi_text.h"
#include "ui/win32/tip_popup.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace zv::ui::win32 {
namespace {

struct RecordingHost : PopupHost {
    void command(int, int) override {}
    void menu(MouseRequest which, int, Point, HWND) override { menus.push_back(which); }
    std::vector<MouseRequest> menus;
};

class TipPopupTest : public ::testing::Test {
protected:
    void SetUp() override {
        module = GetModuleHandleW(nullptr);
        ASSERT_TRUE(registerWindowClasses(module));
        owner = CreateWindowW(L"STATIC", L"application", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                              nullptr, module, nullptr);
        ASSERT_NE(nullptr, owner) << "no window (is there a display?)";
        SetForegroundWindow(owner);
        settingsBytes.assign(SkinSettings::Size, 0);
        settings.base = settingsBytes.data();
    }
    void TearDown() override {
        tip.close();
        DestroyWindow(owner);
    }

    HINSTANCE module = nullptr;
    HWND owner = nullptr;
    RecordingHost host;
    GdiTextRenderer text;
    TipPopup tip{GetModuleHandleW(nullptr), host, text};
    std::vector<uint8_t> settingsBytes;
    SkinSettings settings;
};

TEST_F(TipPopupTest, IsALabelAboveItsOwnerThatGoesByItselfAfterThreeSeconds) {
    const DWORD shownAt = GetTickCount();
    tip.show(Point{400, 300}, 0, u"中", settings, owner);
    HWND window = tip.handle();
    ASSERT_NE(nullptr, window);
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    EXPECT_STREQ(kTipClass, className);
    EXPECT_TRUE(IsWindowVisible(window));
    const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_NOACTIVATE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(exStyle & WS_EX_TOPMOST) << "a tip stays above its application only";
    EXPECT_EQ(owner, GetWindow(window, GW_OWNER));
    EXPECT_NE(window, GetForegroundWindow());

    // The text's extent plus (20, 10), in the 20-pixel face.
    auto font = text.createFont(FontSpec{u"宋体", -20, 400});
    ASSERT_NE(nullptr, font);
    const TextSize extent = font->measure(u"中");
    RECT r = {};
    GetWindowRect(window, &r);
    EXPECT_EQ(400, r.left);
    EXPECT_EQ(300, r.top);
    EXPECT_EQ(extent.width + 20, r.right - r.left);
    EXPECT_EQ(extent.height + 10, r.bottom - r.top);

    // On the screen it is the portable picture (opaque: nothing behind
    // shows through).
    Canvas painted;
    paintTip(tip.state(), painted);
    const test::PixelComparison same = test::screenMatches(r, painted, 3);
    EXPECT_EQ(painted.pixels.size(), same.compared);
    EXPECT_EQ(0u, same.differing);

    const DWORD shownFor = GetTickCount() - shownAt;
    ASSERT_LT(shownFor, 2400u) << "the picture took too long to compare";
    test::pumpMessagesFor(2400 - shownFor);
    EXPECT_TRUE(IsWindow(window)) << "still up before the sixth tick";
    test::pumpMessagesFor(1000);
    EXPECT_FALSE(IsWindow(window)) << "gone on the sixth tick of 500 ms";
    EXPECT_FALSE(tip.visible());
}

TEST_F(TipPopupTest, StaysWhileTheCursorRestsOnItAndGoesOnceItLeaves) {
    tip.show(Point{400, 300}, 1, u"英", settings, owner);
    HWND window = tip.handle();
    ASSERT_NE(nullptr, window);
    SetCursorPos(405, 305);
    test::pumpMessagesFor(3500);
    EXPECT_TRUE(IsWindow(window)) << "the cursor on the tip holds it";
    SetCursorPos(20, 700);
    test::pumpMessagesFor(2400);
    EXPECT_TRUE(IsWindow(window)) << "leaving starts its time again";
    test::pumpMessagesFor(1200);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(TipPopupTest, DragsToAKeptPlaceAndAsksForTheModeMenu) {
    tip.show(Point{400, 300}, 0, u"中", settings, owner);
    HWND window = tip.handle();
    ASSERT_NE(nullptr, window);
    // Pressed at (5, 5) in the tip, the cursor moves to (505, 355) on the
    // screen: the tip follows, its top left at (500, 350).
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    RECT r = {};
    GetWindowRect(window, &r);
    const POINT to{505 - r.left, 355 - r.top};
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    GetWindowRect(window, &r);
    EXPECT_EQ(500, r.left);
    EXPECT_EQ(350, r.top);
    EXPECT_EQ(500, settings.i32(SkinSettings::StatusPos));
    EXPECT_EQ(350, settings.i32(SkinSettings::StatusPos + 4));
    EXPECT_NE(window, GetCapture()) << "the button came up: the capture is given back";

    SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(std::vector<MouseRequest>{MouseRequest::ModeMenu}, host.menus);
}

TEST_F(TipPopupTest, TheModeIndicatorShowsOnlyAChangeBelowTheCaret) {
    ModeTipTracker shown;
    showModeTip(tip, shown, ModeTip::Chinese, Point{100, 100}, settings, owner);
    ASSERT_TRUE(tip.visible());
    EXPECT_EQ(u"中", tip.state().text);
    RECT r = {};
    GetWindowRect(tip.handle(), &r);
    EXPECT_EQ(110, r.left);
    EXPECT_EQ(132, r.top);

    tip.close();  // a key was typed
    showModeTip(tip, shown, ModeTip::Chinese, Point{100, 100}, settings, owner);
    EXPECT_FALSE(tip.visible()) << "the same state is not shown again";
    showModeTip(tip, shown, ModeTip::Closed, Point{100, 100}, settings, owner);
    EXPECT_TRUE(tip.visible());
    EXPECT_EQ(u"关", tip.state().text);
}

// On a monitor of 144 dots per inch the windows are drawn half as large
// again and their mouse logic still works in the layout's units: a tip
// dragged by the point it was taken at stays under the cursor. Wine reads
// the screen's dots per inch when a process starts, so the program runs
// itself a second time with the setting made for it.
constexpr wchar_t kScaledRun[] = L"ZV_SCALED_RUN";
constexpr DWORD kHighDpi = 144;

class DesktopDpi {
public:
    explicit DesktopDpi(DWORD dpi) {
        DWORD size = sizeof previous_;
        had_ = RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &previous_, &size) ==
               ERROR_SUCCESS;
        RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &dpi, sizeof dpi);
    }
    ~DesktopDpi() {
        if (had_) RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &previous_, sizeof previous_);
        else RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
    }

private:
    static constexpr wchar_t kKey[] = L"Control Panel\\Desktop";
    static constexpr wchar_t kValue[] = L"LogPixels";
    DWORD previous_ = 0;
    bool had_ = false;
};

DWORD runScaled() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=TipPopupTest.DrawnLargerOnAMonitorOfMoreDotsPerInch";
    DesktopDpi dpi(kHighDpi);
    SetEnvironmentVariableW(kScaledRun, L"1");
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    DWORD code = 1;
    if (CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 60000);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    SetEnvironmentVariableW(kScaledRun, nullptr);
    return code;
}

TEST_F(TipPopupTest, DrawnLargerOnAMonitorOfMoreDotsPerInch) {
    if (!GetEnvironmentVariableW(kScaledRun, nullptr, 0)) {
        EXPECT_EQ(0u, runScaled()) << "the run at " << kHighDpi << " dots per inch failed";
        return;
    }
    ASSERT_EQ(150, scalePercentAt(Point{400, 300}));
    tip.show(Point{400, 300}, 0, u"中", settings, owner);
    HWND window = tip.handle();
    ASSERT_NE(nullptr, window);
    RECT r = {};
    GetWindowRect(window, &r);
    EXPECT_EQ(tip.state().width * 3 / 2, r.right - r.left);
    EXPECT_EQ(tip.state().height * 3 / 2, r.bottom - r.top);
    Canvas painted;
    paintTip(tip.state(), painted);
    const test::PixelComparison same = test::screenMatches(r, scaleCanvas(painted, 150), 3);
    EXPECT_EQ(0u, same.differing);

    // Taken 30 screen pixels in, dragged by (100, 50): it moves by that.
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(130, 80));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(130, 80));
    GetWindowRect(window, &r);
    EXPECT_EQ(500, r.left);
    EXPECT_EQ(350, r.top);
}

}  // namespace
}  // namespace zv::ui::win32
