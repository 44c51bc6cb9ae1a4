#pragma once
// What a desktop framework's status area offers for an input context: the
// modes (中/英, width, punctuation, traditional output, soft keyboard) as
// actions whose labels show the state, and the configuration tools, which
// open the matching zvconfig operation in a terminal.

#include "frontends/desktop/input_context.h"

#include <string>
#include <string_view>
#include <vector>

namespace zv::desktop {

struct StatusAction {
    std::string name;     // stable, for the framework: "zorvan-chinese", ...
    std::string label;    // what the status area shows now
    std::string tooltip;
};

// The actions and their labels for the context's state now.
std::vector<StatusAction> statusActions(InputContext& ic);

// Carries out an action by name: a mode changes, or a tool starts in a
// terminal. False for a name this input method does not know.
bool runStatusAction(InputContext& ic, std::string_view name);

// The command line that runs a tool action in a terminal (for those who
// start it themselves, and for the tests); empty for a mode or an unknown
// name.
std::vector<std::string> toolCommandLine(InputContext& ic, std::string_view name);

}  // namespace zv::desktop
