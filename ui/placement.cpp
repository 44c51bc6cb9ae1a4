#include "ui/placement.h"

#include "ui/candidate_window.h"

#include <algorithm>

namespace zv::ui {

namespace {

bool isSet(Point p) { return p.x != 0 || p.y != 0; }

// Moves a window left and up by whatever passes the right and bottom edges.
void pullInside(Point& p, Size s, const Rect& a) {
    p.x -= std::max(0, p.x + s.width - a.right);
    p.y -= std::max(0, p.y + s.height - a.bottom);
}

Placement mergedAtCaret(const PlacementInput& in) {
    const Rect& a = in.workArea;
    const Size s = in.candidates;
    const Caret& c = in.caret;
    Point p{c.x + in.belowOffset.x, c.y + c.height + in.belowOffset.y};
    if (in.rightToLeft) p.x -= s.width;  // the window ends at the caret
    p.x -= std::max(0, p.x + s.width - a.right);
    if (p.y + s.height > a.bottom) {
        p.y = c.y + in.belowOffset.y - s.height - 2;
        p.y -= std::max(0, p.y + s.height - a.bottom);
    }
    return {p, {}};
}

Placement separateAtCaret(const PlacementInput& in) {
    const Rect& a = in.workArea;
    const Size cand = in.candidates, box = in.composition;
    const Caret& c = in.caret;
    Point b{in.rightToLeft ? c.x - box.width : c.x, c.y + c.height + 2};
    Point w;
    if (in.layout == WindowLayout::SeparateRight) {
        const Point off = in.rightOffset;
        w = {in.rightToLeft ? b.x - cand.width - off.x : b.x + box.width + off.x, b.y + off.y};
        if (b.y + box.height > a.bottom || w.y + cand.height > a.bottom) {
            b.y = c.y - box.height - 2;
            w.y = c.y + off.y - cand.height - 2;
        }
        int32_t up = std::max(0, b.y + box.height - a.bottom);
        b.y -= up, w.y -= up;
        up = std::max(0, w.y + cand.height - a.bottom);
        b.y -= up, w.y -= up;
        const int32_t left = std::max(0, w.x + cand.width - a.right);
        b.x -= left, w.x -= left;
    } else {
        const Point off = in.belowOffset;
        // Right to left, the candidates line up with the box's right edge.
        w = {in.rightToLeft ? b.x + box.width - cand.width - off.x : b.x + off.x, b.y + box.height + off.y};
        if (w.y + cand.height > a.bottom) {
            w.y = c.y - cand.height - off.y;
            b.y = w.y - off.y - box.height;
        }
        int32_t up = std::max(0, b.y + box.height - a.bottom);
        b.y -= up, w.y -= up;
        up = std::max(0, w.y + cand.height - a.bottom);
        b.y -= up, w.y -= up;
        b.x -= std::max(0, b.x + box.width - a.right);
        w.x -= std::max(0, w.x + cand.width - a.right);
    }
    return {w, b};
}

Placement besideStatusBar(const PlacementInput& in) {
    const Rect& a = in.workArea;
    const Size cand = in.candidates, box = in.composition;
    const int32_t sx = in.statusBar.left, sy = in.statusBar.top;
    const int32_t sw = in.statusBar.right - in.statusBar.left, sh = in.statusBar.bottom - in.statusBar.top;
    const int32_t wa = a.right - a.left, ha = a.bottom - a.top;
    const bool leftPart = sx + sw < 2 * wa / 5;
    const bool upperHalf = sy + sh < ha / 2;
    Placement p;
    if (in.layout == WindowLayout::Merged) {
        p.candidates = {leftPart ? sx + sw + 5 : sx - cand.width - 5, upperHalf ? sy : sy + sh - cand.height};
        pullInside(p.candidates, cand, a);
        return p;
    }
    Point& b = p.composition;
    Point& w = p.candidates;
    if (leftPart) {
        b.x = sx + sw + 5;
        w.x = b.x + box.width + in.rightOffset.x;
    } else {
        b.x = std::max(sx - cand.width - box.width - in.rightOffset.x - 5, a.left);
        w.x = b.x + box.width + 5;
    }
    if (upperHalf) {
        b.y = sy;
        w.y = sy + in.rightOffset.y;
    } else {
        b.y = std::max(sy + sh - box.height, a.top);
        w.y = sy + sh + in.rightOffset.y - cand.height;
    }
    pullInside(b, box, a);
    pullInside(w, cand, a);
    return p;
}

Placement remembered(const PlacementInput& in) {
    const bool separate = in.layout != WindowLayout::Merged;
    const bool known = isSet(in.rememberedCandidates) && (!separate || isSet(in.rememberedComposition));
    Placement p = known ? Placement{in.rememberedCandidates, in.rememberedComposition} : besideStatusBar(in);
    pullInside(p.candidates, in.candidates, in.workArea);
    if (separate) pullInside(p.composition, in.composition, in.workArea);
    return p;
}

}  // namespace

Caret caretFromDocument(const Rect& r, const Rect& client, Point origin, bool owned, Point systemCaret) {
    const bool inside = r.left >= client.left && r.left < client.right && r.top >= client.top && r.top < client.bottom;
    Rect use = r;
    if (!owned && !inside) use = {systemCaret.x, systemCaret.y, systemCaret.x + 41, systemCaret.y + 21};
    const int32_t height = use.bottom - use.top;
    return {use.left + origin.x, use.top + 2 + origin.y, height > 0 ? height : 21};
}

LayoutSection placementSection(const UiOptions& o) {
    if (o.layout() == WindowLayout::Merged && o.position() == PositionMode::FollowCaret && !o.embedded()) {
        const bool h = o.listStyle() == ListStyle::Horizontal;
        if (o.textService) return h ? LayoutSection::Embedded : LayoutSection::EmbeddedVertical;
        return h ? LayoutSection::Separate : LayoutSection::SeparateVertical;
    }
    return candidateSection(o);
}

Point placementReference(const PlacementInput& in) {
    const Point bar{in.statusBar.left, in.statusBar.top};
    switch (in.mode) {
    case PositionMode::FollowStatusBar: return bar;
    case PositionMode::Fixed: return isSet(in.rememberedComposition) ? in.rememberedComposition : bar;
    default: return {in.caret.x, in.caret.y};
    }
}

Placement placeWindows(const PlacementInput& in) {
    Placement p;
    switch (in.mode) {
    case PositionMode::FollowCaret:
        p = in.layout == WindowLayout::Merged ? mergedAtCaret(in) : separateAtCaret(in);
        break;
    case PositionMode::FollowStatusBar: p = besideStatusBar(in); break;
    case PositionMode::Fixed: p = remembered(in); break;
    }
    for (Point* q : {&p.candidates, &p.composition}) {
        q->x = std::max(q->x, in.workArea.left);
        q->y = std::max(q->y, in.workArea.top);
    }
    return p;
}

void readPlacementSettings(PlacementInput& in, SkinSettings settings, const SkinInfo& skin, const UiOptions& o) {
    in.layout = o.layout();
    in.mode = o.position();
    in.rightToLeft = o.rightToLeft();
    const CandidateLayout& L = skin.layout(placementSection(o));
    in.rightOffset = L.rightOffset;
    in.belowOffset = L.belowOffset;
    if (!settings) return;
    const int32_t x = settings.i32(SkinSettings::StatusPos), y = settings.i32(SkinSettings::StatusPos + 4);
    in.statusBar = {x, y, x + settings.i32(SkinSettings::StatusSize), y + settings.i32(SkinSettings::StatusSize + 4)};
    in.rememberedComposition = {settings.i32(SkinSettings::RememberedCompPos),
                                settings.i32(SkinSettings::RememberedCompPos + 4)};
    in.rememberedCandidates = {settings.i32(SkinSettings::RememberedCandPos),
                               settings.i32(SkinSettings::RememberedCandPos + 4)};
}

void storePlacement(const PlacementInput& in, const Placement& p, SkinSettings settings) {
    if (!settings) return;
    auto put = [&](size_t off, int32_t a, int32_t b) {
        settings.setI32(off, a);
        settings.setI32(off + 4, b);
    };
    put(SkinSettings::CandPos, p.candidates.x, p.candidates.y);
    put(SkinSettings::CandSize, in.candidates.width, in.candidates.height);
    if (in.layout != WindowLayout::Merged) {
        put(SkinSettings::CompPos, p.composition.x, p.composition.y);
        put(SkinSettings::CompSize, in.composition.width, in.composition.height);
    }
    if (in.mode == PositionMode::Fixed) {
        put(SkinSettings::RememberedCandPos, p.candidates.x, p.candidates.y);
        if (in.layout != WindowLayout::Merged) put(SkinSettings::RememberedCompPos, p.composition.x, p.composition.y);
    }
}

}  // namespace zv::ui
