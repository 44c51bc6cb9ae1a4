#pragma once
// The engine as its hosts see it. Every front end (the IMM32 input method,
// the text service, the fcitx5 and IBus adapters, the terminal) and the
// windows use this header, host_view.h and the settings blocks they read,
// and nothing else of the engine: opening, the lifecycle of an input
// context, the key operations and the commands of menus and the status bar.
// What to show comes from the read-only view of host_view.h; what changed
// comes as notifications (observer.h) or as a record a host takes.
//
// An engine is driven by one thread at a time (the host serialises its
// calls); engines of one process may run on different threads.

#include "engine/key_functions.h"
#include "engine/key_text.h"
#include "engine/observer.h"
#include "platform/services.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

struct EngineContext;
struct SettingsBlocks;

// ---- Modes and results -----------------------------------------------------

// Engine mode bits.
enum ModeFlags : uint32_t {
    ModeFullWidth = 0x1,
    ModeEnglishPunct = 0x2,
    ModeEnglish = 0x4,
    ModeKeyboardDisabled = 0x8,
    ModeEnglishWords = 0x10,
    ModeSoftKeyboard = 0x20,
    ModeSecondaryOnly = 0x40,
    ModeTempEnglish = 0x10000000,
    ModeAssociation = 0x20000000,
    ModeNested = 0x40000000,
};

// The host conversion status the modes give: no-conversion while English
// mode or English word input is on, symbol while the punctuation is
// Chinese, full shape while full width is on.
namespace conversion {
constexpr uint32_t FullShape = 0x8;
constexpr uint32_t NoConversion = 0x100;
constexpr uint32_t Symbol = 0x400;
}  // namespace conversion
uint32_t conversionStatusOf(uint32_t modeFlags);
// The modes a conversion status set from outside gives (a new input
// context, the system's indicator, an application): no-conversion turns
// English word input on unless one of the English modes already is; a
// status without it means Chinese; full shape and symbol as above. The
// modes of the engine itself (soft keyboard, traditional output) stay.
// Nothing is reported back: the host is where the change came from.
void takeModesFromConversion(EngineContext& ctx, uint32_t status);

// The result kind word: what a commit produced.
enum ResultKind : uint32_t {
    ResultText = 0x1000,         // there is text to commit
    ResultEnglishBit = 0x2,      // the typed code committed as English
    ResultWordBit = 0x8,         // a generated or word-list candidate
    ResultPlainBit = 0x40,       // a plain-text candidate
    ResultCommand = 0x2000,      // a command is to be run, one of:
    CommandOpen = 0x10000,       // "run("
    CommandConfig = 0x20000,     // "config("
    CommandHelp = 0x40000,       // "help("
    CommandKeys = 0x80000,       // "keyboard("
    CommandConvert = 0x100000,   // "convert("
    CommandSettings = 0x200000,  // "set("
    CommandSoftKeyboard = 0x400000,  // "skbd("
    ResultReplaceCode = 0x4000,  // "newkey(": the argument becomes the code
    ResultEnglish = ResultText | ResultEnglishBit,
};

// ---- Opening and closing ---------------------------------------------------

// This product's own instance name (the registry subkey of a default
// installation on systems without an installer).
constexpr std::u16string_view kDefaultImeName = u"{6F3A8E21-5C4B-4D97-A1E0-2B7C9D4F8A63}";

struct EngineCloser {
    void operator()(EngineContext* ctx) const noexcept;
};
// An open engine; null when the data folder could not be opened (the host
// then lets every key through).
using Engine = std::unique_ptr<EngineContext, EngineCloser>;

// How an engine uses its data folder: shared with the process's other
// engines and written (learning, user words, settings), or read into
// copies of its own that nothing is written back from, for a host where
// no user data may change (the secure desktop of a sign-in or an elevation
// prompt). What such an engine learns lasts only as long as it is open.
enum class DataUse { Shared, Untouched };

// The instance named in the registry (its data and installation folders).
Engine openEngine(std::u16string_view imeName, const platform::Platform& services, DataUse use = DataUse::Shared);
// A data folder given directly (the terminal's --data), under this
// product's own instance name; the installation folder defaults to it.
Engine openEngineFolder(std::u16string_view dataDir, std::u16string_view installDir,
                        const platform::Platform& services);

// The services the engine asks its effects of, which a host may change
// while the engine is open (its own key sender, clipboard or clock).
platform::Platform& services(EngineContext& ctx);
void setObserver(EngineContext& ctx, EngineObserver* observer);
// The settings blocks in config.dsc, used in place.
SettingsBlocks& settingsOf(EngineContext& ctx);
const SettingsBlocks& settingsOf(const EngineContext& ctx);
// Writes the settings blocks through to config.dsc on disk.
void saveSettings(EngineContext& ctx);
// Applies one "set(...)" command as the macro command does; false, with
// the reason in `message`, when it changed nothing.
bool applySetCommand(EngineContext& ctx, std::u16string_view command, std::u16string* message);
std::u16string_view installFolder(const EngineContext& ctx);  // ends with a separator
std::u16string_view instanceName(const EngineContext& ctx);

// ---- The lifecycle of an input context -------------------------------------

// The input context gains the focus: tables another process changed are
// mapped again and the initial conversion state applies.
void focusGained(EngineContext& ctx);
// Maps again the tables another process changed (an input context that
// becomes active again in its window, where the host keeps the modes).
void refreshTables(EngineContext& ctx);
// It loses the focus: the composition ends and the typed code is dropped.
void focusLost(EngineContext& ctx);
// The host ended the composition without committing (the application
// took it away): the input is reset; no end is reported back.
void compositionTerminated(EngineContext& ctx);
// The host asks for the composition to be committed now: the highlighted
// candidate goes out, or the typed code as text when there is none.
void commitNow(EngineContext& ctx);

// ---- Keys -------------------------------------------------------------------

// The keyboard as the host sees it when a key event arrives.
struct KeyboardState {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    bool capsLock = false;
    // The key is one the engine sent itself: the host knows its own key
    // sender's keys (on Windows by the mark they carry, EngineKeyMark).
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
// Carries out a key-function mask; true when something handled it.
bool runKeyFunction(EngineContext& ctx, uint64_t mask);
// The hot keys of the combinations, as registered when an input context
// gains the focus (none while 禁用组合快捷键 is on).
std::vector<HotKey> hotKeysToRegister(const EngineContext& ctx);
// A hot-key message of a combination (identifier 123 + its place in the
// list): runs the combination's functions as a key press would. False when
// the identifier names no combination with functions.
bool runHotKey(EngineContext& ctx, int id);

// ---- Commits and the input ---------------------------------------------------

// What commitCandidate commits besides a page position 1..10.
namespace commit {
constexpr int Highlighted = 0;  // the highlighted candidate
constexpr int TypedCode = 11;   // the typed code as English text
constexpr int LastOnPage = 12;  // the last candidate of the page
}  // namespace commit
bool commitCandidate(EngineContext& ctx, int which, bool noAssociation, bool notify = true);
// Commits what is typed (the highlighted candidate, or the code as text)
// and then the key's own character after punctuation and width conversion.
void commitKeyText(EngineContext& ctx, std::u16string_view text);
void clearInput(EngineContext& ctx, bool sendEnd);
// Re-evaluates the code and acts on the verdict; true when a redraw is due.
bool refresh(EngineContext& ctx);

// ---- Mode and menu commands --------------------------------------------------

// The mode commands of setMode.
namespace mode {
constexpr int Chinese = 0x103;
constexpr int English = 0x104;
constexpr int FullWidthOn = 0x2001, FullWidthOff = 0x2002;
constexpr int EnglishPunctOn = 0x2003, EnglishPunctOff = 0x2004;
constexpr int ToggleTraditional = 0x2005, ToggleSimplified = 0x2006;
}  // namespace mode
void setMode(EngineContext& ctx, int command);

// The commands of the status bar and the menus (uiCommand).
namespace ui_command {
constexpr int ConfigHome = 1;
constexpr int KeyboardMap = 3;  // help page "keyboardmap.html"
constexpr int About = 4;
constexpr int Help = 5;
constexpr int HomePage = 7;
constexpr int AddUserWord = 8;
constexpr int CommitPosition = 17;  // value1: the page position
constexpr int NextPage = 257;
constexpr int PreviousPage = 258;
constexpr int Chinese = 259;
constexpr int English = 260;
constexpr int SoftKeyboard = 513;   // value1: shown, value2: the layout
constexpr int WordOperation = 514;  // value1: the position, value2: the operation
// 8193..8198: the setMode commands 0x2001..0x2006.
constexpr int ModeCommandFirst = 8193, ModeCommandLast = 8198;
constexpr int Scheme = 8208;           // value2: 0 main and auxiliary, 1 main only, other auxiliary only
constexpr int SecondarySearch = 8209;  // value2: 0 always, 1 never, other when a code is empty
}  // namespace ui_command
// True when the command was known.
bool uiCommand(EngineContext& ctx, int command, int value1, int value2);

}  // namespace zv
