#pragma once
// Where the candidate window and the composition box go on the screen:
// under (or above) the text caret, beside the status bar, or at a remembered
// spot, always kept on the monitor's work area.

#include "engine/config_store.h"
#include "ui/image.h"
#include "ui/skin.h"
#include "ui/ui_view.h"

namespace zv::ui {

struct Caret {
    int32_t x = 0, y = 0;
    int32_t height = 21;
};

struct Size {
    int32_t width = 0, height = 0;
};

struct PlacementInput {
    WindowLayout layout = WindowLayout::Merged;
    PositionMode mode = PositionMode::FollowCaret;
    bool rightToLeft = false;
    Caret caret;
    Rect workArea;          // of the monitor nearest the reference point
    Size candidates;        // the candidate window (0 x 0 when not shown)
    Size composition;       // the composition box of the separate layouts
    Point rightOffset;      // 右侧候选横向/纵向偏移量
    Point belowOffset;      // 下方候选横向/纵向偏移量
    Rect statusBar;         // left, top, right, bottom on the screen
    Point rememberedComposition, rememberedCandidates;  // 0,0: not set
};

struct Placement {
    Point candidates, composition;
};

// The caret as the text service reports it: a rectangle in client
// coordinates of the application window. Until the windows are owned by the
// application, a rectangle whose top-left lies outside the client area is
// not trusted and the system caret (41 x 21) stands in. The caret point is
// the top-left moved down 2 pixels, on the screen; its height the
// rectangle's.
Caret caretFromDocument(const Rect& caretInClient, const Rect& clientArea, Point clientOrigin, bool ownedWindows,
                        Point systemCaret);

// The section whose offsets placement uses: the merged window following the
// caret takes them from the separate sections on the IMM32 path and from the
// embedded ones on the text-service path.
LayoutSection placementSection(const UiOptions& o);

// The point whose monitor's work area the placement uses.
Point placementReference(const PlacementInput& in);

Placement placeWindows(const PlacementInput& in);

// Fills the status-bar, remembered-position and offset fields of the input
// from the settings and the skin.
void readPlacementSettings(PlacementInput& in, SkinSettings settings, const SkinInfo& skin, const UiOptions& o);
// Stores the results: current positions and sizes, and with 固定位置 the
// remembered positions.
void storePlacement(const PlacementInput& in, const Placement& p, SkinSettings settings);

}  // namespace zv::ui
