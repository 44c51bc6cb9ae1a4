#include "tests/ui/ui_fixture.h"
#include "ui/candidate_window.h"
#include "ui/status_bar.h"

#include <gtest/gtest.h>

namespace zv::ui {
namespace {

// The fixture's two-row window (150 x 45): candidate 一 at (13, 24) 16 x 16,
// 二二 at (54, 24), the disabled previous-page button at (136, 2), next
// page at (0, 0).
struct CandidateMouse : ::testing::Test {
    test::LayoutRig rig;
    CandidateWindowState w;
    std::vector<uint8_t> store = newConfigStore();
    SkinSettings settings = findBlocks(store.data(), static_cast<uint32_t>(store.size())).skin;

    CandidateMouse() { layoutCandidateWindow(w, rig.input()); }
    MouseOutcome event(MouseEvent::Kind kind, int32_t x, int32_t y, bool left = false, Point screen = {}) {
        MouseEvent e;
        e.kind = kind;
        e.at = {x, y};
        e.screen = screen;
        e.leftHeld = left;
        e.workArea = {0, 0, 1920, 1040};
        return candidateMouse(w, e, settings);
    }
};

TEST_F(CandidateMouse, HitTesting) {
    EXPECT_EQ(IdFirstCandidate, hitTest(w, 20, 30));
    EXPECT_EQ(IdFirstCandidate, hitTest(w, 8, 30));       // its label
    EXPECT_EQ(IdFirstCandidate + 1, hitTest(w, 60, 30));
    EXPECT_EQ(IdComposition, hitTest(w, 10, 10));
    EXPECT_EQ(IdNextPage, hitTest(w, 3, 3));
    EXPECT_EQ(IdEmpty, hitTest(w, 140, 6));               // the disabled previous-page button
    EXPECT_EQ(IdEmpty, hitTest(w, 13, 30 - 6));           // edges are not inside
    EXPECT_EQ(IdOutside, hitTest(w, 0, 10));
    EXPECT_EQ(IdOutside, hitTest(w, 150, 10));
    EXPECT_EQ(IdOutside, hitTest(w, -5, 500));
}

TEST_F(CandidateMouse, HoverPressAndSelect) {
    MouseOutcome o = event(MouseEvent::Move, 20, 30);
    EXPECT_TRUE(o.repaint);
    EXPECT_EQ(StateHover, w.slots[0].text.state);
    EXPECT_EQ(StateHover, w.slots[0].label.state);
    EXPECT_FALSE(event(MouseEvent::Move, 21, 31).repaint);  // same id
    event(MouseEvent::Move, 60, 30);
    EXPECT_EQ(StateNormal, w.slots[0].text.state);
    EXPECT_EQ(StateHover, w.slots[1].tip.state);
    // The disabled button keeps its state whatever the mouse does.
    EXPECT_EQ(StateDisabled, w.button(CandidateButton::PreviousPage).state);
    o = event(MouseEvent::LeftDown, 60, 30);
    EXPECT_EQ(MouseRequest::Command, o.request);
    EXPECT_EQ(CommandSelect, o.command);
    EXPECT_EQ(2, o.argument);
    EXPECT_EQ(StatePressed, w.slots[1].text.state);
    o = event(MouseEvent::LeftUp, 60, 30);
    EXPECT_TRUE(o.releaseCapture);
    EXPECT_EQ(StateNormal, w.slots[1].text.state);
    EXPECT_EQ(IdOutside, w.hoverId);
    o = event(MouseEvent::LeftDown, 3, 3);
    EXPECT_EQ(CommandNextPage, o.command);
    o = event(MouseEvent::LeftDown, 140, 6);  // previous page on the first page: nothing
    EXPECT_EQ(MouseRequest::None, o.request);
    o = event(MouseEvent::Move, 400, 30);
    EXPECT_TRUE(o.releaseCapture);
    // Right button: the candidate's menu on a candidate, else the main menu.
    o = event(MouseEvent::RightDown, 60, 30);
    EXPECT_EQ(MouseRequest::CandidateMenu, o.request);
    EXPECT_EQ(1, o.argument);
    EXPECT_EQ(MouseRequest::MainMenu, event(MouseEvent::RightDown, 100, 40).request);
}

TEST_F(CandidateMouse, SelectionSkipsTheInlineFirstCandidate) {
    rig.options.imeA = ImeSettings::A_StyleEmbedFirst;
    rig.options.imeC = ImeSettings::C_HideEmbeddedFirst;
    rig.view.highlight = 0;
    layoutCandidateWindow(w, rig.input());
    // Slot 0 shows the page's second candidate.
    const DisplayPart& t = w.slots[0].text;
    EXPECT_EQ(2, event(MouseEvent::LeftDown, t.x + 2, t.y + 2).argument);
}

TEST_F(CandidateMouse, DragMovesTheWindowInsideTheWorkArea) {
    event(MouseEvent::LeftDown, 100, 40);  // empty area
    MouseOutcome o = event(MouseEvent::Move, 100, 40, true, {600, 300});
    ASSERT_TRUE(o.moveTo);
    EXPECT_EQ((Point{500, 260}), *o.moveTo);
    o = event(MouseEvent::Move, 100, 40, true, {5000, -50});
    EXPECT_EQ((Point{1920 - 1 - 150, 1}), *o.moveTo);
    EXPECT_EQ(1769, settings.i32(SkinSettings::RememberedCandPos));
    EXPECT_EQ(1, settings.i32(SkinSettings::CandPos + 4));
    event(MouseEvent::LeftUp, 100, 40);
    EXPECT_FALSE(event(MouseEvent::Move, 100, 40, true, {600, 300}).moveTo);
}

struct StatusBar : ::testing::Test {
    LoadedSkin skin = test::fixtureSkin();
    UiView view;
    StatusBarState bar;
    std::vector<uint8_t> store = newConfigStore();
    SkinSettings settings = findBlocks(store.data(), static_cast<uint32_t>(store.size())).skin;
    const Rect area{0, 0, 1920, 1040};

    StatusBar() {
        skin.images.backgrounds[static_cast<size_t>(Background::StatusBar)] = test::solidImage(108, 28, 0xFFFFFFFF);
        for (Point& p : skin.info.statusBar.positions) p = {-1, -1};
        skin.info.statusBar.positions[static_cast<size_t>(StatusElement::Width)] = {10, 5};
        skin.info.statusBar.positions[static_cast<size_t>(StatusElement::ChineseEnglish)] = {30, 5};
        skin.info.statusBar.positions[static_cast<size_t>(StatusElement::Logo)] = {50, 5};
    }
    void layout() { layoutStatusBar(bar, skin.info, skin.images, view, settings, area, area); }
    MouseOutcome event(MouseEvent::Kind kind, int32_t x, int32_t y, bool left = false, Point screen = {}) {
        MouseEvent e;
        e.kind = kind;
        e.at = {x, y};
        e.screen = screen;
        e.leftHeld = left;
        e.workArea = area;
        return statusBarMouse(bar, e, view, settings);
    }
};

TEST_F(StatusBar, DefaultPositionsOnTheWorkArea) {
    const Point expected[] = {{1, 1}, {906, 1}, {1812, 1}, {1, 1012}, {906, 1012}, {1812, 1012}, {1812, 1012}};
    for (int n = 1; n <= 7; ++n) {
        settings.setI32(SkinSettings::StatusPos, 0);
        skin.info.statusBar.defaultPosition = n;
        layout();
        EXPECT_EQ(expected[n - 1], bar.position) << n;
    }
    EXPECT_EQ(108, settings.i32(SkinSettings::StatusSize));
    EXPECT_EQ(1012, settings.i32(SkinSettings::StatusPos + 4));
    // A stored position is kept, pulled inside the work area.
    settings.setI32(SkinSettings::StatusPos, 3000);
    settings.setI32(SkinSettings::StatusPos + 4, 500);
    layout();
    EXPECT_EQ((Point{1812, 500}), bar.position);
    // No "bar.png": no status bar.
    skin.images.backgrounds[static_cast<size_t>(Background::StatusBar)] = SkinImage{};
    layout();
    EXPECT_FALSE(bar.exists());
}

TEST_F(StatusBar, ButtonsFollowTheModes) {
    layout();
    EXPECT_EQ(ButtonKind::HalfWidth, bar.button(StatusButton::Width).image);
    EXPECT_EQ(ButtonKind::Chinese, bar.button(StatusButton::ChineseEnglish).image);
    EXPECT_FALSE(bar.button(StatusButton::Menu).shown());
    view.capsLock = true;
    view.modes = ModeFullWidth;
    layout();
    EXPECT_EQ(ButtonKind::FullWidth, bar.button(StatusButton::Width).image);
    EXPECT_EQ(ButtonKind::CapsLock, bar.button(StatusButton::ChineseEnglish).image);
    view.modes = ModeKeyboardDisabled;
    layout();
    EXPECT_EQ(ButtonKind::English, bar.button(StatusButton::ChineseEnglish).image);
    // A missing normal image hides the button.
    skin.images.buttons[static_cast<size_t>(ButtonKind::English)].normal = SkinImage{};
    layout();
    EXPECT_FALSE(bar.button(StatusButton::ChineseEnglish).shown());
}

TEST_F(StatusBar, ButtonsActWhenReleasedOnThemselves) {
    layout();
    event(MouseEvent::LeftDown, 12, 8);
    EXPECT_EQ(StatePressed, bar.button(StatusButton::Width).state);
    // Released elsewhere: nothing.
    MouseOutcome o = event(MouseEvent::LeftUp, 80, 8);
    EXPECT_EQ(MouseRequest::None, o.request);
    EXPECT_EQ(StateNormal, bar.button(StatusButton::Width).state);
    event(MouseEvent::LeftDown, 12, 8);
    o = event(MouseEvent::LeftUp, 12, 8);
    EXPECT_EQ(CommandFullWidthOn, o.command);
    EXPECT_EQ(StateHover, bar.button(StatusButton::Width).state);
    view.modes = ModeFullWidth;
    event(MouseEvent::LeftDown, 12, 8);
    EXPECT_EQ(CommandFullWidthOff, event(MouseEvent::LeftUp, 12, 8).command);
    event(MouseEvent::LeftDown, 32, 8);
    EXPECT_EQ(CommandEnglish, event(MouseEvent::LeftUp, 32, 8).command);
    view.modes = ModeKeyboardDisabled;
    event(MouseEvent::LeftDown, 32, 8);
    EXPECT_EQ(MouseRequest::None, event(MouseEvent::LeftUp, 32, 8).request);
    EXPECT_EQ(MouseRequest::MainMenu, event(MouseEvent::RightDown, 12, 8).request);
}

TEST_F(StatusBar, LogoAndEmptyAreaDrag) {
    layout();
    event(MouseEvent::LeftDown, 52, 8);  // the logo drags
    MouseOutcome o = event(MouseEvent::Move, 52, 8, true, {-100, 700});
    ASSERT_TRUE(o.moveTo);
    EXPECT_EQ((Point{1, 692}), *o.moveTo);
    EXPECT_EQ(692, settings.i32(SkinSettings::StatusPos + 4));
    o = event(MouseEvent::LeftUp, 52, 8);
    EXPECT_EQ(MouseRequest::None, o.request);
}

}  // namespace
}  // namespace zv::ui
