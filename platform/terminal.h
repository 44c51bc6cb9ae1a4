#pragma once
// What the command-line tools need to know about their standard streams.

namespace zv::platform {

enum class StdStream { In, Out, Err };

bool isTerminal(StdStream stream);
// Lets a console show the UTF-8 the tools print (Windows); nothing elsewhere.
void prepareConsole();

}  // namespace zv::platform
