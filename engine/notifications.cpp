#include "engine/notifications.h"

#include "engine/input_rules.h"
#include "engine/observer.h"

namespace zv {

void startComposition(EngineContext& ctx) {
    ctx.input.compositionStarted = true;
    ctx.changes.compositionStarted = true;
    if (ctx.observer) ctx.observer->compositionStarted();
}

void endComposition(EngineContext& ctx) {
    ctx.input.compositionStarted = false;
    ctx.changes.compositionEnded = true;
    if (ctx.observer) ctx.observer->compositionEnded();
}

void sendResult(EngineContext& ctx, std::u16string_view text, uint32_t kind) {
    ctx.input.result.assign(text);
    ctx.input.resultKind = kind;
    ctx.input.lastOutput.assign(text.substr(0, InputState::MaxCode));
    ctx.changes.commits.push_back({std::u16string(text), kind});
    if (ctx.observer) ctx.observer->resultCommitted(text, kind);
}

void reportModes(EngineContext& ctx) {
    ctx.changes.modesChanged = true;
    if (ctx.observer) ctx.observer->modeChanged(ctx.modeFlags);
}

void requestRedraw(EngineContext& ctx) {
    ctx.changes.redraw = true;
    if (ctx.observer) ctx.observer->refreshRequested();
}

void rebuildDisplay(EngineContext& ctx) {
    InputState& in = ctx.input;
    const bool embedFirst = isOn(ctx, ImeSettings::A_StyleEmbedFirst);
    if (embedFirst && ctx.page.count > 0 && ctx.page.highlight < ctx.page.count) {
        in.display = ctx.page.items[ctx.page.highlight].display;
        in.displayCursor = static_cast<int>(in.display.size());
    } else {
        in.display = displayOfCode(in.code);
        in.displayCursor = in.cursor;
    }
}

void announceComposition(EngineContext& ctx) {
    ctx.changes.compositionChanged = true;
    if (ctx.observer) ctx.observer->compositionChanged(ctx.input.display, ctx.input.code, ctx.input.displayCursor);
}

void announceCandidates(EngineContext& ctx) {
    if (ctx.page.count > 0) {
        if (!ctx.input.candidatesOpen) {
            ctx.input.candidatesOpen = true;
            ctx.changes.candidatesOpened = true;
            if (ctx.observer) ctx.observer->candidatesOpened();
        } else {
            announceCandidatesChanged(ctx);
        }
    } else {
        closeCandidates(ctx);
    }
}

void announceCandidatesChanged(EngineContext& ctx) {
    ctx.changes.candidatesChanged = true;
    if (ctx.observer) ctx.observer->candidatesChanged();
}

void announcePage(EngineContext& ctx) {
    rebuildDisplay(ctx);
    announceComposition(ctx);
    announceCandidates(ctx);
    requestRedraw(ctx);
}

void closeCandidates(EngineContext& ctx) {
    if (!ctx.input.candidatesOpen) return;
    ctx.input.candidatesOpen = false;
    ctx.changes.candidatesClosed = true;
    if (ctx.observer) ctx.observer->candidatesClosed();
}

}  // namespace zv
