#pragma once
// What the engine tells its host: each notice goes to the observer and into
// the record of changes a host takes (host_view.h).

#include "engine/engine_context.h"

#include <string_view>

namespace zv {

void startComposition(EngineContext& ctx);
void endComposition(EngineContext& ctx);
// Sends a commit's text and kind; it becomes the last output.
void sendResult(EngineContext& ctx, std::u16string_view text, uint32_t kind);
void reportModes(EngineContext& ctx);
void requestRedraw(EngineContext& ctx);
// The display string from the code, or from the highlighted item when the
// style embeds the first candidate.
void rebuildDisplay(EngineContext& ctx);
// The composition changed (display string, code, cursor).
void announceComposition(EngineContext& ctx);
// The candidate list was opened, changed or closed with the page as it is.
void announceCandidates(EngineContext& ctx);
// The open candidate list shows another page.
void announceCandidatesChanged(EngineContext& ctx);
// After the page changed: the display string, the composition, the
// candidate list (opened, changed or closed) and a redraw.
void announcePage(EngineContext& ctx);
// The candidate list closes (when it was open).
void closeCandidates(EngineContext& ctx);

}  // namespace zv
