#include "engine/soft_keyboard.h"

namespace zv {

// The symbol layouts arrive with the soft-keyboard window; until then every
// layout types what the PC keyboard types.
char16_t softKeyboardChar(int, int, bool) { return 0; }

}  // namespace zv
