#pragma once
// Pictures of the windows as a user sees them, for previews, documentation
// and snapshot tests: each window laid out, painted and placed as on the
// screen, composed over an opaque backdrop.

#include "ui/candidate_window.h"
#include "ui/draw.h"
#include "ui/placement.h"
#include "ui/skin_loader.h"
#include "ui/soft_keyboard.h"
#include "ui/status_bar.h"
#include "ui/text.h"
#include "ui/ui_view.h"

namespace zv::ui {

// Composites a painted (premultiplied) window over an opaque picture.
void drawWindow(SkinImage& backdrop, const Canvas& window, Point at);

// The candidate window (and, in the separate layouts, the composition box)
// laid out for the input and placed as `place` says (the window sizes are
// filled in here), cut out with `margin` pixels of backdrop around them; the
// parts of `hoverId` show the mouse-over colours. Empty when no window would
// show.
SkinImage pictureOfCandidateWindows(const LayoutInput& in, PlacementInput place, Rgba backdrop, int hoverId = -1,
                                    int32_t margin = 8);

// The same below a caret at the top left of a large screen, with the skin's
// own fonts.
SkinImage previewCandidateWindows(const LoadedSkin& skin, TextRenderer& renderer, const UiView& view,
                                  const UiOptions& options, Rgba backdrop, int hoverId = -1, int32_t margin = 8);

// The status bar for the modes of the view, buttons in the given state
// (hover or pressed on `id`, when not -1).
SkinImage previewStatusBar(const LoadedSkin& skin, const UiView& view, int id, int state, Rgba backdrop,
                           int32_t margin = 8);

// A page after typing wq: five candidates with their hints, the first
// page of twelve candidates (for previews, pictures and benchmarks).
UiView samplePage();

// The soft keyboard showing a layout.
SkinImage previewSoftKeyboard(TextRenderer& renderer, const SoftKeyboardState& state);

}  // namespace zv::ui
