#include "ui/status_bar.h"

#include "ui/paint.h"

#include <algorithm>

namespace zv::ui {

namespace {

struct ButtonPlan {
    StatusButton button;
    StatusElement element;
    int id;
};

constexpr ButtonPlan Plans[] = {
    {StatusButton::Logo, StatusElement::Logo, IdLogo},
    {StatusButton::ChineseEnglish, StatusElement::ChineseEnglish, IdChineseEnglish},
    {StatusButton::Width, StatusElement::Width, IdWidth},
    {StatusButton::Punctuation, StatusElement::Punctuation, IdPunctuation},
    {StatusButton::SoftKeyboard, StatusElement::SoftKeyboard, IdSoftKeyboard},
    {StatusButton::Menu, StatusElement::Menu, IdMenu},
    {StatusButton::Extension1, StatusElement::Extension1, IdExtension1},
    {StatusButton::Extension2, StatusElement::Extension2, IdExtension2},
};

ButtonKind imageFor(StatusButton b, const UiView& v) {
    switch (b) {
    case StatusButton::Logo: return ButtonKind::Logo;
    case StatusButton::ChineseEnglish:
        if (v.modes & (ModeEnglish | ModeKeyboardDisabled | ModeEnglishWords)) return ButtonKind::English;
        return v.capsLock ? ButtonKind::CapsLock : ButtonKind::Chinese;
    case StatusButton::Width: return v.modes & ModeFullWidth ? ButtonKind::FullWidth : ButtonKind::HalfWidth;
    case StatusButton::Punctuation:
        return v.modes & ModeEnglishPunct ? ButtonKind::EnglishPunctuation : ButtonKind::ChinesePunctuation;
    case StatusButton::SoftKeyboard:
        return v.modes & ModeSoftKeyboard ? ButtonKind::SoftKeyboardOn : ButtonKind::SoftKeyboardOff;
    case StatusButton::Menu: return ButtonKind::Menu;
    case StatusButton::Extension1: return ButtonKind::Extension1;
    default: return ButtonKind::Extension2;
    }
}

void storeBar(const StatusBarState& bar, SkinSettings settings) {
    if (!settings) return;
    settings.setI32(SkinSettings::StatusPos, bar.position.x);
    settings.setI32(SkinSettings::StatusPos + 4, bar.position.y);
    settings.setI32(SkinSettings::StatusSize, bar.width);
    settings.setI32(SkinSettings::StatusSize + 4, bar.height);
}

void setHover(StatusBarState& bar, int id) {
    for (WindowButton& b : bar.buttons) {
        if (!b.shown() || b.state == StateDisabled) continue;
        if (b.id == id && id != bar.pressedId) b.state = StateHover;
        else if (b.state == StateHover) b.state = StateNormal;
    }
}

void clearStates(StatusBarState& bar) {
    for (WindowButton& b : bar.buttons)
        if (b.state == StateHover || b.state == StatePressed) b.state = StateNormal;
    bar.pressedId = bar.hoverId = IdOutside;
    bar.dragging = false;
}

}  // namespace

Point storedStatusBarPosition(SkinSettings settings) {
    if (!settings) return {};
    return {settings.i32(SkinSettings::StatusPos), settings.i32(SkinSettings::StatusPos + 4)};
}

void layoutStatusBar(StatusBarState& bar, const SkinInfo& skin, const SkinImages& images, const UiView& view,
                     SkinSettings settings, const Rect& primaryArea, const Rect& storedArea) {
    const SkinImage& background = images.background(Background::StatusBar);
    const Point stored = storedStatusBarPosition(settings);
    const int pressed = bar.pressedId, hover = bar.hoverId;
    bar = StatusBarState{};
    bar.pressedId = pressed;
    bar.hoverId = hover;
    if (background.empty()) return;
    bar.width = background.width;
    bar.height = background.height;
    bar.background = premultiplied(background);
    for (const ButtonPlan& p : Plans) {
        WindowButton& b = bar.button(p.button);
        b.id = p.id;
        b.image = imageFor(p.button, view);
        const Point at = skin.statusBar.position(p.element);
        const SkinImage& normal = images.button(b.image).normal;
        if (at.x < 0 || at.y < 0 || normal.empty()) continue;
        b.x = at.x;
        b.y = at.y;
        b.width = normal.width;
        b.height = normal.height;
        b.state = StateNormal;
    }

    const int32_t W = bar.width, H = bar.height;
    Rect a = storedArea;
    Point p = stored;
    if (p.x <= 0 || p.y <= 0) {
        a = primaryArea;
        const int32_t right = a.right - W - a.left, bottom = a.bottom - H - a.top;
        switch (skin.statusBar.defaultPosition) {
        case 1: p = {1, 1}; break;
        case 2: p = {right / 2, 1}; break;
        case 3: p = {right, 1}; break;
        case 4: p = {1, bottom}; break;
        case 5: p = {right / 2, bottom}; break;
        default: p = {right, bottom}; break;
        }
        bar.pressedId = bar.hoverId = IdOutside;
    }
    p.x = std::max(p.x, a.left + 1);
    p.y = std::max(p.y, a.top + 1);
    p.x -= std::max(0, p.x + W + a.left - a.right);
    p.y -= std::max(0, p.y + H + a.top - a.bottom);
    bar.position = p;
    storeBar(bar, settings);
}

void paintStatusBar(const StatusBarState& bar, const SkinImages& images, Canvas& out) {
    const SkinImage& background = bar.background;
    if (!bar.exists() || background.width != bar.width || background.height != bar.height) {
        out = Canvas{};
        return;
    }
    beginPaint(out, background);
    restoreAlpha(out, background);
    for (const WindowButton& b : bar.buttons) {
        if (!b.shown()) continue;
        const ButtonImages& set = images.button(b.image);
        const SkinImage* img;
        if (b.image == ButtonKind::Logo)  // the logo has a mouse-over image only
            img = b.state == StateHover && !set.first.empty() ? &set.first : &set.normal;
        else
            img = buttonImage(set, b.state, ButtonRule::Mode);
        if (img && !img->empty()) blendButton(out, *img, b.x, b.y);
    }
    finishPaint(out, background);
}

int hitTest(const StatusBarState& bar, int32_t x, int32_t y) {
    if (x <= 0 || y <= 0 || x >= bar.width || y >= bar.height) return IdOutside;
    for (const WindowButton& b : bar.buttons) {
        if (!b.shown() || b.state == StateDisabled) continue;
        if (x > b.x && x < b.x + b.width && y > b.y && y < b.y + b.height) return b.id;
    }
    return IdEmpty;
}

MouseOutcome statusBarMouse(StatusBarState& bar, const MouseEvent& e, const UiView& view, SkinSettings settings) {
    MouseOutcome out;
    const int id = hitTest(bar, e.at.x, e.at.y);
    switch (e.kind) {
    case MouseEvent::Move:
        if (e.leftHeld && bar.dragging) {
            bar.position = keepInside(dragOrigin(e, bar.dragAnchor), drawnSize(e, bar.width),
                                      drawnSize(e, bar.height), e.workArea);
            storeBar(bar, settings);
            out.moveTo = bar.position;
            return out;
        }
        setHover(bar, id);
        bar.hoverId = id;
        if (id == IdOutside) out.releaseCapture = true;
        out.repaint = true;
        return out;
    case MouseEvent::LeftDown:
        bar.pressedId = id;
        for (WindowButton& b : bar.buttons)
            if (b.id == id && b.shown()) b.state = StatePressed;
        switch (id) {
        case IdWidth:
        case IdPunctuation:
        case IdMenu:
        case IdSoftKeyboard:
        case IdChineseEnglish: break;  // act when the button comes up on them
        case IdOutside: out.releaseCapture = true; break;
        default:
            bar.dragging = true;
            bar.dragAnchor = e.at;
            break;
        }
        out.repaint = true;
        return out;
    case MouseEvent::LeftUp: {
        const int pressed = bar.pressedId;
        if (pressed == id && !bar.dragging) {
            switch (id) {
            case IdWidth:
                out.request = MouseRequest::Command;
                out.command = view.modes & ModeFullWidth ? CommandFullWidthOff : CommandFullWidthOn;
                break;
            case IdPunctuation:
                out.request = MouseRequest::Command;
                out.command =
                    view.modes & ModeEnglishPunct ? CommandEnglishPunctuationOff : CommandEnglishPunctuationOn;
                break;
            case IdMenu: out.request = MouseRequest::MainMenu; break;
            case IdSoftKeyboard:
                out.request = MouseRequest::Command;
                out.command = CommandSoftKeyboard;
                out.argument = SoftKeyboardToggle;
                break;
            case IdChineseEnglish:
                if (view.modes & ModeKeyboardDisabled) break;
                out.request = MouseRequest::Command;
                out.command = view.modes & (ModeEnglish | ModeEnglishWords) ? CommandChinese : CommandEnglish;
                break;
            default: break;
            }
        }
        for (WindowButton& b : bar.buttons)
            if (b.state == StatePressed) b.state = b.id == id ? StateHover : StateNormal;
        bar.pressedId = IdOutside;
        bar.dragging = false;
        out.repaint = true;
        return out;
    }
    case MouseEvent::RightDown:
        out.request = id == IdSoftKeyboard ? MouseRequest::SoftKeyboardMenu : MouseRequest::MainMenu;
        clearStates(bar);
        out.repaint = true;
        return out;
    }
    return out;
}

}  // namespace zv::ui
