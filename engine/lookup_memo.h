#pragma once
// Results of the heavy code lookups (the first key of a code walks up to a
// thousand entries), kept so that typing the same beginning again costs a
// check instead of a search. A result is used only after every entry its
// scans walked is found unchanged: same index slots, attribute words and
// code lengths, so frequency changes, deletions and other processes'
// writes are seen at once. The display order worked out for the first
// page is kept beside it.

#include "engine/engine_context.h"

#include <cstdint>

namespace zv {

struct CodeSearch;

// Searches main.dmg and temp.dmg through the memo: a kept result that
// still holds is put into the (empty) candidate list; otherwise the tables
// are scanned and a heavy result kept. Returns the number admitted, or -1
// when the search is not of the kind kept (the caller scans as usual).
int searchCodeRemembered(EngineContext& ctx, const CodeSearch& s);

// Makes room for `count` more kept results in the folder's share ahead of
// time: a heavy lookup seen for the first time is then kept without waiting
// for the system to supply fresh pages.
void reserveKeptLists(EngineContext& ctx, int count);

// The display order kept for the list now in the candidate list, if the
// list came from the memo unchanged and was ordered under the same
// settings; null otherwise.
std::shared_ptr<const LookupMemo::Order> rememberedOrder(const EngineContext& ctx);
// Keeps the display order worked out so far for the list (see above).
void rememberOrder(EngineContext& ctx);

// The settings and mode that the display order depends on.
uint32_t orderingKey(const EngineContext& ctx);

}  // namespace zv
