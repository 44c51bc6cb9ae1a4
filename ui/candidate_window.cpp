#include "ui/candidate_window.h"

#include "ui/paint.h"

#include <algorithm>
#include <string>

namespace zv::ui {

namespace {

constexpr char16_t Ellipsis = u'\u2026';

Background backgroundOf(LayoutSection s) {
    switch (s) {
    case LayoutSection::Merged: return Background::Merged;
    case LayoutSection::MergedVertical: return Background::MergedVertical;
    case LayoutSection::Separate: return Background::SeparateCandidates;
    case LayoutSection::SeparateVertical: return Background::SeparateCandidatesVertical;
    case LayoutSection::Embedded: return Background::Embedded;
    default: return Background::EmbeddedVertical;
    }
}

bool horizontal(const UiOptions& o) { return o.listStyle() == ListStyle::Horizontal; }

bool withComposition(const UiOptions& o) { return !o.embedded() && o.layout() == WindowLayout::Merged; }

char16_t number(int n) { return static_cast<char16_t>(u'0' + n % 10); }

void measureInto(DisplayPart& p, const Font* font) {
    TextSize s = font ? font->measure(p.text) : TextSize{};
    p.width = s.width;
    p.height = s.height;
}

// The colours of a label or tip: the candidate text's own when the skin
// gives a negative colour, else that colour without background.
void colourLike(DisplayPart& part, const DisplayPart& text, Colour own) {
    if (isNone(own)) {
        part.colour = text.colour;
        part.background = text.background;
    } else {
        part.colour = {own, 0, own, 0};
        part.background = {-1, -1, -1, -1};
    }
}

template <typename F>
void forEachPart(CandidateWindowState& w, F f) {
    f(w.composition);
    for (CandidateSlot& s : w.slots) {
        f(s.label);
        f(s.text);
        f(s.tip);
    }
}

void hideAll(CandidateWindowState& w) {
    w.composition = DisplayPart{};
    w.composition.id = IdComposition;
    for (size_t k = 0; k < w.slots.size(); ++k) {
        w.slots[k] = CandidateSlot{};
        w.slots[k].label.id = w.slots[k].text.id = w.slots[k].tip.id = IdFirstCandidate + static_cast<int>(k);
    }
    constexpr int ids[] = {IdPreviousPage, IdNextPage, IdWidth, IdPunctuation, IdMenu, IdExtension1, IdExtension2};
    for (size_t b = 0; b < w.buttons.size(); ++b) {
        w.buttons[b] = WindowButton{};
        w.buttons[b].id = ids[b];
    }
}

struct Gaps {
    int32_t label, tip, candidate;
};

// Places the slots on one row from x, forwards or (right to left) backwards;
// returns where the walk ended and raises rowHeight to the tallest part.
int32_t walkRow(CandidateWindowState& w, int32_t x, int32_t y, const Gaps& g, bool backward, int32_t& rowHeight) {
    for (CandidateSlot& s : w.slots) {
        auto put = [&](DisplayPart& p, int32_t gapAfter) {
            if (!p.visible()) return;
            p.y = y;
            if (backward) {
                p.x = x - p.width;
                x -= p.width + gapAfter;
            } else {
                p.x = x;
                x += p.width + gapAfter;
            }
            rowHeight = std::max(rowHeight, p.height);
        };
        put(s.label, g.label);
        put(s.text, g.tip);
        put(s.tip, 0);
        if (s.text.visible()) x += backward ? -g.candidate : g.candidate;
    }
    return x;
}

void finishSize(int32_t& W, int32_t& H, const SkinImage& bg, const CandidateLayout& L) {
    W = std::clamp(std::max({W, bg.width, L.minWidth}), 0, MaxWindowSide);
    H = std::clamp(std::max({H, bg.height, L.minHeight}), 0, MaxWindowSide);
}

ButtonKind buttonImageFor(CandidateButton b, uint32_t modes) {
    switch (b) {
    case CandidateButton::PreviousPage: return ButtonKind::PreviousPage;
    case CandidateButton::NextPage: return ButtonKind::NextPage;
    case CandidateButton::Width: return modes & ModeFullWidth ? ButtonKind::FullWidth : ButtonKind::HalfWidth;
    case CandidateButton::Punctuation:
        return modes & ModeEnglishPunct ? ButtonKind::EnglishPunctuation : ButtonKind::ChinesePunctuation;
    case CandidateButton::Menu: return ButtonKind::Menu;
    case CandidateButton::Extension1: return ButtonKind::Extension1;
    default: return ButtonKind::Extension2;
    }
}

void placeButtons(CandidateWindowState& w, const LayoutInput& in, const CandidateLayout& L, const SkinImage& bg) {
    if (!in.options.showButtons()) return;
    const std::pair<CandidateButton, Point> placed[] = {
        {CandidateButton::PreviousPage, L.previousPage}, {CandidateButton::NextPage, L.nextPage},
        {CandidateButton::Punctuation, L.punctuation},   {CandidateButton::Width, L.width},
        {CandidateButton::Extension1, L.extension1},     {CandidateButton::Extension2, L.extension2},
    };
    for (const auto& [which, p] : placed) {
        WindowButton& b = w.button(which);
        b.image = buttonImageFor(which, in.view.modes);
        b.rule = which == CandidateButton::PreviousPage || which == CandidateButton::NextPage ? ButtonRule::Paging
                                                                                               : ButtonRule::Mode;
        const SkinImage& normal = in.images.button(b.image).normal;
        if (p.x < 0 || p.y < 0 || normal.empty()) continue;
        // Positions past the stretch range follow the right or bottom edge.
        b.x = p.x <= L.stretchX.to ? p.x : w.width - L.rightMargin - bg.width + p.x;
        b.y = p.y <= L.stretchY.to ? p.y : w.height - L.bottomMargin - bg.height + p.y;
        b.width = normal.width;
        b.height = normal.height;
        b.state = StateNormal;
    }
    WindowButton& previous = w.button(CandidateButton::PreviousPage);
    WindowButton& next = w.button(CandidateButton::NextPage);
    if (previous.shown() && in.view.firstPage) previous.state = StateDisabled;
    if (next.shown() && in.view.lastPage) next.state = StateDisabled;
}

enum class Procedure { OneRowCompositionFirst, OneRowCandidatesFirst, TwoRows, Rows, Columns };

Procedure procedureFor(const UiOptions& o, const CandidateLayout& L) {
    if (o.listStyle() == ListStyle::Vertical) return Procedure::Rows;
    if (o.listStyle() == ListStyle::Columns) return Procedure::Columns;
    if (withComposition(o)) {
        if (L.valueA > 0) return Procedure::OneRowCompositionFirst;
        if (L.valueB > 0) return Procedure::OneRowCandidatesFirst;
    }
    return Procedure::TwoRows;
}

}  // namespace

LayoutSection candidateSection(const UiOptions& o) {
    const bool h = horizontal(o);
    if (o.embedded()) return h ? LayoutSection::Embedded : LayoutSection::EmbeddedVertical;
    if (o.layout() == WindowLayout::Merged) return h ? LayoutSection::Merged : LayoutSection::MergedVertical;
    return h ? LayoutSection::Separate : LayoutSection::SeparateVertical;
}

void buildDisplayItems(CandidateWindowState& w, const LayoutInput& in) {
    const SkinTextStyle& style = in.skin.text;
    const UiOptions& o = in.options;
    const UiView& v = in.view;
    const CandidateLayout& L = in.skin.layout(w.section);
    hideAll(w);

    if (withComposition(o) && !v.display.empty()) {
        DisplayPart& c = w.composition;
        c.text = v.display;
        const auto n = static_cast<size_t>(std::max(style.maxCompositionChars, 0));
        if (n > 0 && c.text.size() > n) c.text.erase(0, c.text.size() - n);
        if (c.text.size() > MaxPartText) c.text.erase(0, c.text.size() - MaxPartText);
        measureInto(c, in.fonts.composition.get());
        c.colour.fill(style.composition.colour);
        c.state = StateNormal;
    }

    // The highlighted candidate shown inline in the document stays out of
    // the list (except for association candidates, which are not inline).
    const bool leaveOut = o.hideEmbeddedFirst() && !(v.modes & ModeAssociation);
    w.highlight = v.highlight;
    w.highlightLeftOut = leaveOut && v.highlight >= 0 && static_cast<size_t>(v.highlight) < v.items.size();
    const bool columns = o.listStyle() == ListStyle::Columns;
    size_t i = 0;
    for (size_t k = 0; k < w.slots.size(); ++k) {
        if (leaveOut && i == static_cast<size_t>(v.highlight)) ++i;
        if (i >= v.items.size()) break;
        const CandidateItem& item = v.items[i];
        CandidateSlot& s = w.slots[k];
        const bool highlighted = static_cast<int>(i) == v.highlight;

        DisplayPart& t = s.text;
        t.text = item.text;
        const auto m = static_cast<size_t>(std::max(style.maxCandidateChars, 0));
        if (m > 0 && m < t.text.size()) {
            t.text.resize(m);
            t.text.push_back(Ellipsis);
        }
        if (t.text.size() > MaxPartText) t.text.resize(MaxPartText);
        measureInto(t, in.fonts.candidate.get());
        if (columns) {
            std::swap(t.width, t.height);
            t.xOffset = t.width;
        }
        Colour c0 = style.candidate.colour;
        if (item.kind == CandidateKind::TemporaryWord) c0 = style.tempWord;
        else if (highlighted) c0 = style.firstText;
        else if (item.kind == CandidateKind::UserWord) c0 = style.userWord;
        const Colour b0 = highlighted ? style.firstBackground : -1;
        const bool hover = !isNone(style.hoverText);
        t.colour = {c0, 0, hover ? style.hoverText : c0, 0};
        t.background = {b0, -1, hover ? style.hoverBackground : -1, -1};
        t.state = StateNormal;

        if (o.showIndex()) {
            DisplayPart& l = s.label;
            const char16_t suffix = L.indexSuffix;
            if (suffix) {
                const char16_t digit = number(static_cast<int>(i) + 1);
                l.text = o.rightToLeft() ? std::u16string{suffix, digit} : std::u16string{digit, suffix};
            } else {
                l.text = std::u16string(1, number(static_cast<int>(k) + 1));
            }
            measureInto(l, in.fonts.label.get());
            colourLike(l, t, style.label.colour);
            l.state = StateNormal;
        }
        if (o.showHints()) {
            DisplayPart& h = s.tip;
            h.text = item.hint.substr(0, MaxPartText);
            measureInto(h, in.fonts.tip.get());
            colourLike(h, t, style.tip.colour);
            h.state = StateNormal;
        }
        ++i;
    }
}

void layoutCandidateWindow(CandidateWindowState& w, const LayoutInput& in) {
    const UiOptions& o = in.options;
    const UiView& v = in.view;
    w.width = w.height = 0;
    w.background = SkinImage{};
    w.pressedId = w.hoverId = IdOutside;
    w.dragging = false;
    hideAll(w);

    if (o.hideCandidates()) return;
    if (v.items.empty() && (o.embedded() || o.layout() != WindowLayout::Merged || v.display.empty())) return;
    if (!(v.modes & ModeAssociation) && v.candidateCount < 2 && v.items.size() < 2 &&
        (o.onlyWhenAmbiguous() || o.hideEmbeddedFirst()))
        return;

    w.section = candidateSection(o);
    const CandidateLayout& L = in.skin.layout(w.section);
    const SkinImage& bg = in.images.background(backgroundOf(w.section));
    buildDisplayItems(w, in);

    const bool rtl = o.rightToLeft();
    const bool comp = withComposition(o);
    DisplayPart& c = w.composition;
    const int32_t cw = c.visible() ? c.width : 0, ch = c.visible() ? c.height : 0;
    const Gaps g{L.labelGap, L.tipGap, L.candidateGap};
    const int32_t codeX = L.codeStart.x, codeY = L.codeStart.y;
    const int32_t candX = L.candidateStart.x, candY = L.candidateStart.y;
    const int32_t rm = L.rightMargin, bm = L.bottomMargin;
    int32_t W = 0, H = 0;

    switch (procedureFor(o, L)) {
    case Procedure::OneRowCompositionFirst: {
        c.x = codeX;
        c.y = codeY;
        int32_t row = 0;
        const int32_t x0 = codeX + std::max(cw, L.valueA) + g.candidate;
        const int32_t end = walkRow(w, x0, codeY, g, false, row);
        W = end + rm;
        H = bm + candY + std::max(row, ch);
        finishSize(W, H, bg, L);
        if (rtl) walkRow(w, W - rm, codeY, g, true, row);
        break;
    }
    case Procedure::OneRowCandidatesFirst: {
        int32_t row = 0;
        const int32_t end = walkRow(w, candX, candY, g, false, row);
        c.x = g.candidate + (end - candX < L.valueB ? candX + L.valueB : end);
        c.y = candY;
        W = c.x + cw + rm;
        H = bm + candY + std::max(row, ch);
        finishSize(W, H, bg, L);
        if (rtl) {
            c.x = W - cw - rm;
            walkRow(w, c.x - g.candidate, candY, g, true, row);
        }
        break;
    }
    case Procedure::TwoRows: {
        int32_t y = candY;
        if (comp) {
            c.x = codeX;
            c.y = codeY;
            y = std::max(candY, codeY + ch + 2);
        } else {
            c.state = StateHidden;
        }
        int32_t row = 0;
        const int32_t end = walkRow(w, candX, y, g, false, row);
        W = rm + std::max(end, codeX + cw + rm);
        H = y + bm + row;
        finishSize(W, H, bg, L);
        if (rtl) {
            if (comp) c.x = W - cw - rm;
            walkRow(w, W - rm, y, g, true, row);
        }
        break;
    }
    case Procedure::Rows: {
        int32_t rowHeight = 0, rowWidth = 0, rows = 0;
        for (const CandidateSlot& s : w.slots) {
            for (const DisplayPart* p : {&s.label, &s.text, &s.tip})
                if (p->visible()) rowHeight = std::max(rowHeight, p->height);
            int32_t width = (s.label.visible() ? s.label.width + g.label : 0) +
                            (s.text.visible() ? s.text.width + g.tip : 0) + (s.tip.visible() ? s.tip.width : 0);
            rowWidth = std::max(rowWidth, width);
            if (s.text.visible()) ++rows;
        }
        int32_t d = candY;
        if (comp) {
            c.x = codeX;
            c.y = codeY;
            W = std::max(rowWidth + candX, codeX + cw) + rm;
            d = std::max(candY, codeY + ch + 2);
        } else {
            W = rowWidth + candX + rm;
        }
        H = rows * (rowHeight + L.lineGap) + bm + d;
        finishSize(W, H, bg, L);
        if (rtl && comp) c.x = W - cw - rm;
        for (CandidateSlot& s : w.slots) {
            if (!s.text.visible()) continue;
            for (DisplayPart* p : {&s.label, &s.text, &s.tip}) p->y = d + rowHeight - p->height;
            if (rtl) {
                s.label.x = W - rm - s.label.width;
                const int32_t textRight = s.label.visible() ? s.label.x - g.label : W - rm;
                s.text.x = textRight - s.text.width;
                s.tip.x = candX;
            } else {
                s.label.x = candX;
                s.text.x = candX + (s.label.visible() ? s.label.width + g.label : 0);
                s.tip.x = candX + rowWidth - s.tip.width;
            }
            d += rowHeight + L.lineGap;
        }
        break;
    }
    case Procedure::Columns: {
        int32_t columnWidth = 0, columnHeight = 0, columns = 0;
        for (const CandidateSlot& s : w.slots) {
            for (const DisplayPart* p : {&s.label, &s.text, &s.tip})
                if (p->visible()) columnWidth = std::max(columnWidth, p->width);
            int32_t height = (s.label.visible() ? s.label.height + g.label : 0) +
                             (s.text.visible() ? s.text.height + g.tip : 0) +
                             (s.tip.visible() ? s.tip.height + g.candidate : 0);
            columnHeight = std::max(columnHeight, height);
            if (s.text.visible()) ++columns;
        }
        const int32_t span = columns * (columnWidth + L.lineGap);
        if (comp) {
            c.x = codeX;
            c.y = codeY;
            W = std::max(span + candX, codeX + cw) + rm;
        } else {
            W = span + candX + rm;
        }
        H = columnHeight + L.lineGap + candY + bm;
        finishSize(W, H, bg, L);
        int32_t left = candX, top = candY, step = columnWidth + L.lineGap;
        if (rtl) {
            if (comp) {
                c.x = W - cw - rm;
                top = std::max(candY, codeY + ch + 2);
            }
            left = W - rm - columnWidth;
            step = -step;
        }
        for (CandidateSlot& s : w.slots) {
            if (!s.text.visible()) continue;
            for (DisplayPart* p : {&s.label, &s.text, &s.tip}) p->x = left + (columnWidth - p->width) / 2;
            s.label.y = top;
            s.text.y = top + (s.label.visible() ? s.label.height + g.label : 0);
            s.tip.y = columnHeight + candY - s.tip.height;
            left += step;
        }
        break;
    }
    }

    w.width = W;
    w.height = H;
    placeButtons(w, in, L, bg);
    // Stretching only copies pixels, so the small source is premultiplied first.
    w.background = stretchImage(premultiplied(bg), W, H, L.stretchX.from, L.stretchX.to, L.stretchY.from, L.stretchY.to);
}

void layoutCompositionWindow(CompositionWindowState& w, const LayoutInput& in) {
    const UiOptions& o = in.options;
    const UiView& v = in.view;
    w.width = w.height = 0;
    w.background = SkinImage{};
    w.dragging = false;
    w.text.clear();
    if (o.hideCandidates() || o.embedded() || o.layout() == WindowLayout::Merged || v.display.empty()) return;

    const LayoutSection section = horizontal(o) ? LayoutSection::Separate : LayoutSection::SeparateVertical;
    const CandidateLayout& L = in.skin.layout(section);
    const CandidateLayout& box = in.skin.layout(LayoutSection::Separate);
    const SkinImage& bg = in.images.background(Background::SeparateComposition);
    const SkinTextStyle& style = in.skin.text;

    // Show the characters around the cursor when the whole string is too long.
    const int len = static_cast<int>(v.display.size());
    const int cursor = std::clamp(v.cursor, 0, len);
    int n = std::max(style.maxCompositionChars, 0);
    if (n == 0 || n >= len) n = len;
    n = std::min(n, static_cast<int>(MaxPartText));
    int start = 0;
    if (n < len) start = cursor > n ? cursor - n : 0;
    w.text = v.display.substr(static_cast<size_t>(start), static_cast<size_t>(n));
    w.caretIndex = std::clamp(cursor - start, 0, n);

    const Font* font = in.fonts.composition.get();
    const TextSize size = font ? font->measure(w.text) : TextSize{};
    w.caret = o.caret();
    if (w.caret == CaretStyle::Bar) w.caretWidth = (o.skin & SkinSettings::CaretWidthOne) ? 1 : 2;
    else w.caretWidth = w.caret == CaretStyle::Line ? 6 : 0;
    w.textSize = {size.width + w.caretWidth, size.height};
    w.caretOffset = font ? font->measure(std::u16string_view(w.text).substr(0, static_cast<size_t>(w.caretIndex))).width : 0;

    int32_t W = L.compRightMargin + L.codeStart.x + w.textSize.width;
    int32_t H = L.compBottomMargin + w.textSize.height + L.codeStart.y;
    W = std::clamp(std::max({W, bg.width, L.valueA}), 0, MaxWindowSide);
    H = std::clamp(std::max({H, bg.height, L.valueB}), 0, MaxWindowSide);
    w.width = W;
    w.height = H;
    w.textOrigin = o.rightToLeft() ? Point{W - L.rightMargin - w.textSize.width, L.codeStart.y} : L.codeStart;
    w.colour = style.composition.colour;
    w.caretColour = style.caret;
    w.background = stretchImage(premultiplied(bg), W, H, box.compStretchX.from, box.compStretchX.to,
                                box.compStretchY.from, box.compStretchY.to);
}

int hitTest(const CandidateWindowState& w, int32_t x, int32_t y) {
    if (x <= 0 || y <= 0 || x >= w.width || y >= w.height) return IdOutside;
    auto inside = [x, y](int32_t px, int32_t py, int32_t pw, int32_t ph) {
        return x > px && x < px + pw && y > py && y < py + ph;
    };
    auto usable = [](int state) { return state != StateDisabled && state != StateHidden; };
    const DisplayPart* parts[31];
    size_t n = 0;
    parts[n++] = &w.composition;
    for (const CandidateSlot& s : w.slots) {
        parts[n++] = &s.label;
        parts[n++] = &s.text;
        parts[n++] = &s.tip;
    }
    for (size_t i = 0; i < n; ++i) {
        const DisplayPart& p = *parts[i];
        if (usable(p.state) && inside(p.x, p.y, p.width, p.height)) return p.id;
    }
    for (const WindowButton& b : w.buttons)
        if (usable(b.state) && inside(b.x, b.y, b.width, b.height)) return b.id;
    return IdEmpty;
}

namespace {

// Moves every part and button of `id` from normal or hover to `state`, and
// everything else that was hovered or pressed back to normal. Disabled and
// hidden elements keep their state.
void markOnly(CandidateWindowState& w, int id, int state) {
    auto mark = [id, state](int& s, int partId) {
        if (s == StateDisabled || s == StateHidden) return;
        s = partId == id && id > IdEmpty ? state : StateNormal;
    };
    forEachPart(w, [&](DisplayPart& p) { mark(p.state, p.id); });
    for (WindowButton& b : w.buttons) mark(b.state, b.id);
}

void storePoint(SkinSettings settings, size_t offset, Point p) {
    if (!settings) return;
    settings.setI32(offset, p.x);
    settings.setI32(offset + 4, p.y);
}

}  // namespace

Point keepInside(Point p, int32_t width, int32_t height, const Rect& area) {
    p.x = std::min(p.x, area.right - 1 - width);
    p.y = std::min(p.y, area.bottom - 1 - height);
    p.x = std::max(p.x, area.left + 1);
    p.y = std::max(p.y, area.top + 1);
    return p;
}

MouseOutcome candidateMouse(CandidateWindowState& w, const MouseEvent& e, SkinSettings settings) {
    MouseOutcome out;
    switch (e.kind) {
    case MouseEvent::Move: {
        if (e.leftHeld && w.dragging) {
            Point p = dragOrigin(e, w.dragAnchor);
            p = keepInside(p, drawnSize(e, w.width), drawnSize(e, w.height), e.workArea);
            w.position = p;
            storePoint(settings, SkinSettings::RememberedCandPos, p);
            storePoint(settings, SkinSettings::CandPos, p);
            out.moveTo = p;
            return out;
        }
        const int id = hitTest(w, e.at.x, e.at.y);
        const bool pressCleared = w.pressedId != IdOutside;
        w.pressedId = IdOutside;
        if (id != w.hoverId || pressCleared) out.repaint = true;
        w.hoverId = id;
        markOnly(w, id, StateHover);
        if (id == IdOutside) out.releaseCapture = true;
        return out;
    }
    case MouseEvent::LeftDown: {
        const int id = hitTest(w, e.at.x, e.at.y);
        w.pressedId = id;
        markOnly(w, id, StatePressed);
        out.repaint = true;
        if (id == IdOutside) {
            out.releaseCapture = true;
        } else if (id == IdEmpty) {
            w.dragging = true;
            w.dragAnchor = e.at;
        } else if (id >= IdFirstCandidate && id <= IdLastCandidate) {
            int position = id - 1;
            if (w.highlightLeftOut && w.highlight < position) ++position;
            out.request = MouseRequest::Command;
            out.command = CommandSelect;
            out.argument = position;
        } else if (id == IdPreviousPage) {
            out.request = MouseRequest::Command;
            out.command = CommandPreviousPage;
        } else if (id == IdNextPage) {
            out.request = MouseRequest::Command;
            out.command = CommandNextPage;
        } else if (id == IdMenu) {
            out.request = MouseRequest::MainMenu;
        }
        return out;
    }
    case MouseEvent::LeftUp: {
        const int pressed = w.pressedId;
        auto release = [pressed](int& s, int partId) {
            if (partId == pressed && s == StatePressed) s = StateNormal;
        };
        forEachPart(w, [&](DisplayPart& p) { release(p.state, p.id); });
        for (WindowButton& b : w.buttons) release(b.state, b.id);
        w.pressedId = w.hoverId = IdOutside;
        w.dragging = false;
        out.repaint = true;
        out.releaseCapture = true;
        return out;
    }
    case MouseEvent::RightDown: {
        const int id = hitTest(w, e.at.x, e.at.y);
        if (id >= IdFirstCandidate && id <= IdLastCandidate) {
            out.request = MouseRequest::CandidateMenu;
            out.argument = id - IdFirstCandidate;
        } else if (id != IdOutside) {
            out.request = MouseRequest::MainMenu;
        }
        return out;
    }
    }
    return out;
}

MouseOutcome compositionMouse(CompositionWindowState& w, const MouseEvent& e, SkinSettings settings) {
    MouseOutcome out;
    const bool inside = e.at.x > 0 && e.at.y > 0 && e.at.x < w.width && e.at.y < w.height;
    switch (e.kind) {
    case MouseEvent::LeftDown:
        if (inside) {
            w.dragging = true;
            w.dragAnchor = e.at;
        }
        break;
    case MouseEvent::Move:
        if (e.leftHeld && w.dragging) {
            Point p = dragOrigin(e, w.dragAnchor);
            p.x = std::max(std::min(p.x, e.workArea.right - drawnSize(e, w.width)), e.workArea.left + 1);
            p.y = std::max(std::min(p.y, e.workArea.bottom - drawnSize(e, w.height)), e.workArea.top + 1);
            w.position = p;
            storePoint(settings, SkinSettings::RememberedCompPos, p);
            out.moveTo = p;
        } else if (!inside) {
            out.releaseCapture = true;
        }
        break;
    case MouseEvent::LeftUp:
        w.dragging = false;
        out.releaseCapture = true;
        break;
    case MouseEvent::RightDown:
        if (inside) out.request = MouseRequest::MainMenu;
        break;
    }
    return out;
}

}  // namespace zv::ui
