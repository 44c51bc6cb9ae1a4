#pragma once
// The ordered candidate list and its pages: duplicates hidden, the order of
// the lookup, pages of display items, paging and the highlight.

#include "engine/engine_context.h"

#include <string>
#include <vector>

namespace zv {

// Orders the candidates (hiding duplicates when asked or in association)
// and builds the first page.
void sortAndFirstPage(EngineContext& ctx);
// Takes the memory that ordering the list of one scan needs ahead of time:
// a key then does not wait for the system to supply fresh pages.
void prepareOrdering(EngineContext& ctx);
// Forgets the order and the page (the list itself stays).
void resetPage(EngineContext& ctx);

// The candidate at display position k, or null past the end.
const Candidate* orderedCandidate(EngineContext& ctx, int k);
int orderedCount(EngineContext& ctx);

bool nextPage(EngineContext& ctx);
bool previousPage(EngineContext& ctx);
bool hasNextPage(EngineContext& ctx);
bool hasPreviousPage(const EngineContext& ctx);
// Moves the highlight by step, across pages at the ends.
void moveHighlight(EngineContext& ctx, int step);
// The number of pages the current list fills (walks the whole list).
int pageCount(EngineContext& ctx);

// The display items one candidate becomes: its text with the entry-text
// escapes applied, a macro's display and output, the converted forms.
void candidateItems(EngineContext& ctx, const Candidate& c, std::vector<PageItem>& out);

}  // namespace zv
