#pragma once
// The engines the library's two hosts (the text service and the IMM32
// input method) open for the instance it serves. On the user's desktop an
// engine shares the process's services and the data it maps. On the secure
// desktop (a sign-in or an elevation prompt, whose process runs for the
// system) it types with the user's tables and settings but changes none of
// their files, since what it learns stays in its own copies, and declines
// everything it would start or ask: no program, web page, help or question
// of the engine's may appear there.

#include "engine/host.h"

namespace zv::host {

enum class Desktop { User, Secure };

Engine openInstanceEngine(Desktop desktop);

}  // namespace zv::host
