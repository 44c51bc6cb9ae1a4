#pragma once
// Commands carried by a committed item's output text ("run(", "help(",
// "set(", "convert(", "skbd(", "config(", "keyboard(", "newkey("): what the
// commit produces (the result kind word, the text to commit, the command's
// argument), and running the command afterwards through the platform
// services. Also how the engine starts the configuration program and shows
// help pages.

#include "engine/host.h"
#include "platform/services.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

struct EngineContext;

constexpr uint32_t kCommandMask = CommandOpen | CommandConfig | CommandHelp | CommandKeys | CommandConvert |
                                  CommandSettings | CommandSoftKeyboard;

// The command buffer holds 512 units with its terminator.
constexpr size_t kCommandUnits = 511;
// An escaped web address of "run(" holds at most this many units.
constexpr size_t kEscapedAddressUnits = 510;

struct PreparedCommand {
    uint32_t kind = 0;
    std::u16string text;      // committed before the command runs (may be empty)
    std::u16string argument;  // the command's argument
};

// Commands run only from the first ten places of a page, and only while
// 是否开启命令直通车 is on; otherwise the output is committed as text.
constexpr int kCommandPositions = 10;

struct CommandItem {
    std::u16string_view output;  // the page item's output text
    int position = 1;            // 1-based place on the page
    uint8_t source = 0;          // the candidate's source (plain-text result bits)
};

// Decides what committing an item produces. installDir replaces a leading
// "%apppath%" of the argument (it ends with a path separator).
PreparedCommand prepareCommand(const CommandItem& item, bool commandsOn, std::u16string_view installDir);
// The same with the engine's settings and folders.
PreparedCommand prepareCommand(const EngineContext& ctx, const CommandItem& item);

// Percent-escapes a web address for the shell: every unit above 254 becomes
// the "%XX" escapes of its UTF-8 bytes (a surrogate pair as one character);
// at most kEscapedAddressUnits units, never cutting an escape in half.
std::u16string escapeWebAddress(std::u16string_view address);

// The key events of a "keyboard(" argument, scanned up to the first ")" or
// ",": groups "<vk[.repeat][+Shift][+Alt][+Ctrl][+Win]>" in any order of the
// words; other characters are skipped.
std::vector<platform::KeyEvent> keyboardEvents(std::u16string_view argument);

// What the engine must do after a command ran.
struct CommandOutcome {
    bool ran = false;               // the kind held a command that was carried out
    bool modesChanged = false;      // update the host conversion status, notify
    bool settingsChanged = false;   // refresh the UI and re-show the status bar
    bool hideSoftKeyboard = false;  // "skbd("
};

// Carries out the command of a prepared result after its text was sent.
// "newkey(" is the state machine's own business and is not run here.
CommandOutcome runResultCommand(EngineContext& ctx, const PreparedCommand& command);

// Applies one settings command ("set(section,key=value)") to the engine's
// settings blocks; true when an option was applied. The settings text code
// owns the parsing and the rules of which keys may change.
bool applySettingsCommand(EngineContext& ctx, std::u16string_view text);

// "config.exe" of the install folder with "/n <instance> <command>".
bool startConfigProgram(platform::Shell& shell, std::u16string_view installDir, std::u16string_view imeName,
                        std::u16string_view command);
bool startConfigProgram(EngineContext& ctx, std::u16string_view command);

// A page of the help file: with a size, in the configuration program's HTML
// window; otherwise the help file itself is opened.
bool showHelpPage(platform::Shell& shell, std::u16string_view installDir, std::u16string_view imeName,
                  std::u16string_view page, int width, int height);

}  // namespace zv
