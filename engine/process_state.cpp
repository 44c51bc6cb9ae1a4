#include "engine/process_state.h"

namespace zv {

ProcessState& processState() {
    // Made on first use and kept until the process ends: an engine library
    // may be unloaded after its last engine closes, never before.
    static ProcessState* state = new ProcessState;
    return *state;
}

}  // namespace zv
