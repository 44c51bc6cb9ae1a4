#pragma once
// The input state machine, as its parts call each other: the key test
// (key_test.cpp), the classification of a character key and the evaluation
// of the code (classification.cpp, evaluation.cpp), the key functions
// (key_dispatch.cpp), the commits (commits.cpp) and the mode and menu
// commands (mode_commands.cpp). Hosts use host.h; what is declared here is
// for the engine itself, its tools and tests.

#include "engine/engine_context.h"
#include "engine/host.h"
#include "engine/lookup.h"

#include <string_view>
#include <vector>

namespace zv {

// ---- evaluation.cpp

// What the evaluation of a code decides.
enum class Verdict { Nothing, Show, ClearCode, CommitUnique, CommitPreviousKeepKey, CommitPreviousThenKey };
Verdict evaluate(EngineContext& ctx);
void act(EngineContext& ctx, Verdict v);
// Inserts a character at the cursor and evaluates the code.
void appendKey(EngineContext& ctx, char16_t ch);
// The normal lookup: progressive hints, or exact with hints when empty.
int normalLookup(EngineContext& ctx, const uint8_t* key, uint32_t len, const SearchRange& range, bool queryJustTyped);
// Whether any entry in range begins with the key (longer ones only when
// `longer`), the entry at `except` aside.
bool anyEntryBeginsWith(const EngineContext& ctx, const uint8_t* key, uint32_t len, const SearchRange& range,
                        bool longer, uint32_t except = 0);
// After a change of the search range: the code is evaluated again.
void reevaluateWhenComposing(EngineContext& ctx);
// Makes a code the composition and looks it up as typing it would, without
// acting on the verdict: the candidates are ordered and the first page is
// filled, but nothing is committed and nothing stored changes. For tools
// that show what a code offers.
void evaluateCode(EngineContext& ctx, std::u16string_view code);
// The code-editing functions (cursor moves and deletions), by function bit.
void editCode(EngineContext& ctx, uint64_t function);
// The position functions of the candidate list that re-evaluate the code.
void adjustOrder(EngineContext& ctx, int position);
void deleteCandidate(EngineContext& ctx, int position);

// ---- classification.cpp

// A character key that the key test took, in Chinese mode or in English
// input: classified and acted on.
void typeCharacter(EngineContext& ctx, char16_t ch);

// ---- key_dispatch.cpp

// Sends keys to the system, except while acting on a key the engine sent
// itself: what the engine sends can never set off more of the same. False
// when nothing was sent.
bool sendKeys(EngineContext& ctx, const std::vector<platform::KeyEvent>& events);

// ---- commits.cpp

// Offers next-word candidates for text just committed; false when none.
bool showAssociation(EngineContext& ctx, std::u16string_view committed);

// ---- mode_commands.cpp

// Switches English mode or English word input (the bit) on or off.
void toggleMode(EngineContext& ctx, uint32_t bit);
// Prepares a freshly opened engine for an input context that gains focus:
// the initial conversion state, the symbol-table toggles reset.
void startInputContext(EngineContext& ctx);

}  // namespace zv
