#pragma once
// Painting a skinned window into a 32-bit picture with per-pixel alpha
// (premultiplied, as layered windows take it). The background goes in first
// with every alpha set to 255, which marks "not drawn on"; the platform's
// text output then leaves alpha 0 where it drew; the alpha pass tells the
// two apart and gives the background back its own alpha; buttons blend over
// that, their opaque pixels marked 254; a final pass settles every alpha.

#include "ui/candidate_window.h"
#include "ui/image.h"
#include "ui/skin.h"
#include "ui/ui_view.h"

namespace zv::ui {

// A window background is stretched and premultiplied once per layout, so
// that painting (also on every mouse-over) only copies and compares.
SkinImage premultiplied(SkinImage image);

// `background` is the window's premultiplied background.
void beginPaint(Canvas& canvas, const SkinImage& background);
void restoreAlpha(Canvas& canvas, const SkinImage& background);
// Blends a straight-alpha image at (x, y) when it lies wholly inside.
void blendButton(Canvas& canvas, const SkinImage& image, int32_t x, int32_t y);
void finishPaint(Canvas& canvas, const SkinImage& background);

// Draws one display part in the colours of its state (hidden parts and
// empty texts draw nothing).
void drawPart(Canvas& canvas, const DisplayPart& part, const Font* font);

// The whole picture of a window; an empty canvas when there is nothing to show.
void paintCandidateWindow(const CandidateWindowState& w, const SkinImages& images, const UiFonts& fonts, Canvas& out);
void paintCompositionWindow(const CompositionWindowState& w, const UiFonts& fonts, Canvas& out);

}  // namespace zv::ui
