#pragma once
// What the engine keeps once per process, as the behaviour description has
// it: the modifier-tap timer, smart dynamic commit's previous first
// candidate, the soft keyboard's layout and the nesting of book-title marks
// are shared by every engine of the process (a tap begun in one text field
// ends in another; marks typed in one application pair with those typed in
// another). The engines of a process are driven by the thread that has the
// keyboard, one at a time.

#include "engine/candidate.h"

#include <cstdint>
#include <string>

namespace zv {

struct SharedInputState {
    uint32_t lastModifierScan = 0;
    uint32_t downScan = 0;       // the key whose down-time is recorded
    uint64_t downTick = 0;
    bool hasPreviousFirst = false;
    Candidate previousFirst;     // first candidate before the latest evaluation
    std::u16string previousFirstText;
    int softKeyboardLayout = 1;  // 1..13
};

// Nesting of book-title marks ("《〈" opens, "〉》" closes).
struct PunctuationState {
    int bookTitleDepth = 0;
};

struct ProcessState {
    SharedInputState input;
    PunctuationState punctuation;
};

// This process's record.
ProcessState& processState();

}  // namespace zv
