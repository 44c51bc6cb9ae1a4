#pragma once
// The input state machine: which keys the input method takes, what they do
// to the code being typed, how the code is evaluated against the tables and
// when text is committed.

#include "engine/engine_context.h"

#include <string_view>
#include <vector>

namespace zv {

// The keyboard as the host sees it when a key event arrives.
struct KeyboardState {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    bool capsLock = false;
    // The key is one the engine sent itself: the host knows its own key
    // sender's keys (on Windows by the mark they carry).
    bool fromEngine = false;
};

// The scan code of the Caps Lock release and press that put Caps Lock back
// after a bound Caps Lock ran its function. No keyboard sends Caps Lock with
// it, so the engine knows its own replay and lets it through.
constexpr uint32_t CapsLockReplayScan = 0x38;

// Key data as in a WM_KEYDOWN/WM_KEYUP lParam: scan code in bits 16..23,
// the extended-key flag in bit 24, the transition flag in bit 31.
inline uint32_t keyDataFor(uint32_t scan, bool extended, bool up) {
    return ((scan & 0xFF) << 16) | (extended ? 1u << 24 : 0) | (up ? 0xC0000000u : 0);
}

// Whether the input method takes the key; records it as the pending key.
bool testKey(EngineContext& ctx, int virtualKey, uint32_t keyData, bool keyUp, const KeyboardState& keys);
// Acts on the pending key.
void processKey(EngineContext& ctx);
// Sends keys to the system, except while acting on a key the engine sent
// itself: what the engine sends can never set off more of the same. False
// when nothing was sent.
bool sendKeys(EngineContext& ctx, const std::vector<platform::KeyEvent>& events);
// A hot-key message of a combination (identifier 123 + its place in the
// list): runs the combination's functions as a key press would. False when
// the identifier names no combination with functions.
bool runHotKey(EngineContext& ctx, int id);
// Carries out a key-function mask; true when something handled it.
bool runKeyFunction(EngineContext& ctx, uint64_t mask);

// which: 0 the highlighted candidate, 1..10 a page position, 11 the code as
// English text, 12 the last candidate of the page.
bool commitCandidate(EngineContext& ctx, int which, bool noAssociation, bool notify = true);
void commitKeyText(EngineContext& ctx, std::u16string_view text);
void clearInput(EngineContext& ctx, bool sendEnd);
// Re-evaluates the code and acts on the verdict; true when a redraw is due.
bool refresh(EngineContext& ctx);
// Makes a code the composition and looks it up as typing it would, without
// acting on the verdict: the candidates are ordered and the first page is
// filled, but nothing is committed and nothing stored changes. For tools
// that show what a code offers.
void evaluateCode(EngineContext& ctx, std::u16string_view code);
// The code-editing functions (cursor moves and deletions), by function bit.
void editCode(EngineContext& ctx, uint64_t function);

// Mode commands of the status bar and menus: 0x103 Chinese, 0x104 English,
// 0x2001/0x2002 full width on/off, 0x2003/0x2004 English punctuation on/off,
// 0x2005 toggle traditional, 0x2006 toggle simplified output.
void setMode(EngineContext& ctx, int command);

// The position functions of the candidate list that re-evaluate the code.
void adjustOrder(EngineContext& ctx, int position);
void deleteCandidate(EngineContext& ctx, int position);
// Offers next-word candidates for text just committed; false when none.
bool showAssociation(EngineContext& ctx, std::u16string_view committed);

// Prepares a freshly opened engine for an input context that gains focus:
// the initial conversion state, the symbol-table toggles reset.
void startInputContext(EngineContext& ctx);

}  // namespace zv

namespace zv {

// The engine's command entry for the status bar and the menus; true when
// the command was known.
bool uiCommand(EngineContext& ctx, int command, int value1, int value2);

}  // namespace zv
