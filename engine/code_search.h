#pragma once
// The search of a code in main.dmg and temp.dmg as the evaluation asks for
// it: a kept result when one still holds (lookup_memo.h), else the scans
// (lookup.h).

#include "engine/lookup.h"

namespace zv {

// Scans main.dmg (tag 33) then temp.dmg (tag 34); a key that begins with the
// wildcard is tried with every code character in its place.
int searchCode(EngineContext& ctx, const CodeSearch& search);

}  // namespace zv
