#include "ui/placement.h"

#include <gtest/gtest.h>

namespace zv::ui {
namespace {

PlacementInput screen() {
    PlacementInput in;
    in.workArea = {0, 0, 1920, 1040};
    in.caret = {100, 500, 20};
    in.candidates = {150, 45};
    in.composition = {40, 23};
    in.belowOffset = {0, 4};
    in.rightOffset = {3, 1};
    in.statusBar = {1764, 1008, 1920, 1040};
    return in;
}

TEST(Placement, MergedFollowsTheCaret) {
    PlacementInput in = screen();
    EXPECT_EQ((Point{100, 524}), placeWindows(in).candidates);  // below the caret line
    // At the screen bottom the window goes above the caret.
    in.caret = {100, 1020, 20};
    EXPECT_EQ((Point{100, 977}), placeWindows(in).candidates);  // 1020 + 4 - 45 - 2
    // At the right edge it moves left by the excess.
    in.caret = {1850, 300, 20};
    EXPECT_EQ((Point{1770, 324}), placeWindows(in).candidates);
    // Right to left the window ends at the caret, and never leaves the work area.
    in.rightToLeft = true;
    EXPECT_EQ((Point{1700, 324}), placeWindows(in).candidates);
    in.caret = {20, 300, 20};
    EXPECT_EQ((Point{0, 324}), placeWindows(in).candidates);
    // A caret in the corner of a small work area.
    in = screen();
    in.workArea = {0, 0, 120, 40};
    in.caret = {110, 30, 20};
    EXPECT_EQ((Point{0, 0}), placeWindows(in).candidates);
}

TEST(Placement, SeparateBoxAndCandidates) {
    PlacementInput in = screen();
    in.layout = WindowLayout::SeparateRight;
    Placement p = placeWindows(in);
    EXPECT_EQ((Point{100, 522}), p.composition);   // caret y + height + 2
    EXPECT_EQ((Point{143, 523}), p.candidates);    // box right + 3, box y + 1
    in.caret = {1900, 1030, 20};
    p = placeWindows(in);
    EXPECT_EQ(1030 - 23 - 2, p.composition.y);     // both above the caret
    EXPECT_EQ(1030 + 1 - 45 - 2, p.candidates.y);
    EXPECT_EQ(1920 - 150, p.candidates.x);         // both moved left by the candidates' excess
    EXPECT_EQ(1920 - 150 - 3 - 40, p.composition.x);

    in = screen();
    in.layout = WindowLayout::SeparateBelow;
    p = placeWindows(in);
    EXPECT_EQ((Point{100, 522}), p.composition);
    EXPECT_EQ((Point{100, 549}), p.candidates);    // box bottom + 4
    in.caret = {100, 1000, 20};
    p = placeWindows(in);
    EXPECT_EQ(1000 - 45 - 4, p.candidates.y);      // the candidates flip above the caret, the box above them
    EXPECT_EQ(p.candidates.y - 4 - 23, p.composition.y);
}

TEST(Placement, BesideTheStatusBar) {
    PlacementInput in = screen();
    in.mode = PositionMode::FollowStatusBar;
    // A bar at the bottom right: the window to its left, bottom-aligned.
    EXPECT_EQ((Point{1764 - 150 - 5, 1040 - 45}), placeWindows(in).candidates);
    // A bar at the top left: to its right, top-aligned.
    in.statusBar = {1, 1, 157, 33};
    EXPECT_EQ((Point{162, 1}), placeWindows(in).candidates);
    in.layout = WindowLayout::SeparateRight;
    Placement p = placeWindows(in);
    EXPECT_EQ((Point{162, 1}), p.composition);
    EXPECT_EQ((Point{162 + 40 + 3, 2}), p.candidates);
    EXPECT_EQ((Point{1, 1}), placementReference(in));
}

TEST(Placement, FixedPositionsAreKeptOnTheScreen) {
    PlacementInput in = screen();
    in.mode = PositionMode::Fixed;
    in.rememberedCandidates = {1900, 300};
    EXPECT_EQ((Point{1770, 300}), placeWindows(in).candidates);
    // Unset: placed beside the status bar.
    in.rememberedCandidates = {};
    EXPECT_EQ((Point{1609, 995}), placeWindows(in).candidates);
    EXPECT_EQ((Point{1764, 1008}), placementReference(in));
    in.rememberedComposition = {10, 10};
    EXPECT_EQ((Point{10, 10}), placementReference(in));
}

TEST(Placement, CaretFromTheDocument) {
    const Rect client{0, 0, 800, 600};
    Caret c = caretFromDocument({100, 50, 102, 70}, client, {1000, 200}, false, {7, 8});
    EXPECT_EQ(1100, c.x);
    EXPECT_EQ(252, c.y);
    EXPECT_EQ(20, c.height);
    // Outside the client area the system caret stands in, until the windows are owned.
    c = caretFromDocument({-5, 50, 0, 70}, client, {1000, 200}, false, {7, 8});
    EXPECT_EQ(1007, c.x);
    EXPECT_EQ(210, c.y);
    EXPECT_EQ(21, c.height);
    EXPECT_EQ(995, caretFromDocument({-5, 50, 0, 70}, client, {1000, 200}, true, {7, 8}).x);
}

TEST(Placement, SettingsInAndOut) {
    std::vector<uint8_t> store = newConfigStore();
    SkinSettings s = findBlocks(store.data(), static_cast<uint32_t>(store.size())).skin;
    s.setI32(SkinSettings::StatusPos, 10);
    s.setI32(SkinSettings::StatusPos + 4, 20);
    s.setI32(SkinSettings::StatusSize, 156);
    s.setI32(SkinSettings::StatusSize + 4, 32);
    SkinInfo skin;
    skin.layout(LayoutSection::Separate).belowOffset = {1, 2};
    skin.layout(LayoutSection::Embedded).belowOffset = {3, 4};
    UiOptions o;
    o.skin = SkinSettings::LayoutMerged | SkinSettings::LayoutHorizontal;
    o.imeA = ImeSettings::A_CandidatePosFixed;
    PlacementInput in;
    readPlacementSettings(in, s, skin, o);
    EXPECT_EQ((Rect{10, 20, 166, 52}), in.statusBar);
    EXPECT_EQ(PositionMode::Fixed, in.mode);
    // The merged window following the caret takes its offsets from the
    // separate section on the IMM32 path and the embedded one with text services.
    o.imeA = 0;
    readPlacementSettings(in, s, skin, o);
    EXPECT_EQ((Point{1, 2}), in.belowOffset);
    o.textService = true;
    readPlacementSettings(in, s, skin, o);
    EXPECT_EQ((Point{3, 4}), in.belowOffset);

    in.mode = PositionMode::Fixed;
    in.candidates = {100, 40};
    storePlacement(in, {{300, 400}, {}}, s);
    EXPECT_EQ(300, s.i32(SkinSettings::CandPos));
    EXPECT_EQ(40, s.i32(SkinSettings::CandSize + 4));
    EXPECT_EQ(400, s.i32(SkinSettings::RememberedCandPos + 4));
}

}  // namespace
}  // namespace zv::ui
