#pragma once
// zvtype on a terminal: a full-screen text field whose keys go through the
// engine as a host application's would. zvtype's own keys (Ctrl chords) stand
// in for what a terminal cannot report, a lone Shift tap above all, and for
// the status bar's mode buttons.

#include "engine/host.h"
#include "frontends/terminal/key_script.h"
#include "frontends/terminal/screen.h"
#include "frontends/terminal/session.h"
#include "platform/clock.h"

#include <string>
#include <string_view>
#include <vector>

namespace zv::term {

enum class TerminalCommand {
    None,          // the key goes to the engine and the field
    Quit,          // end the session and write the text
    ShiftTap,      // a tap of the left Shift key (输入法开关 by default)
    SoftKeyboard,  // 软键盘切换: on, then the next layout
    FullWidth,     // full/half width
    Punctuation,   // Chinese/English punctuation
    Traditional,   // traditional output on/off
    Redraw,        // draw the whole screen again
    Suspend,       // stop as Ctrl+Z does
};

// What a key does in the session; keys without a command of zvtype's own go
// through the engine.
TerminalCommand commandFor(const KeyStroke& key);
// The help line for the modes in force.
std::vector<HelpItem> helpItems(uint32_t modeFlags);

struct InteractiveOptions {
    std::string outputPath;         // the text goes here at the end; empty: standard output
    bool followSystemClock = true;  // false when the time was fixed on the command line
};

// Runs the session on the controlling terminal until the user quits, then
// writes the text. The engine is open and its input context started.
// Returns the exit status (a signal that ended the session ends the program
// by that signal, after the text is written).
int runInteractive(EngineContext& ctx, Session& session, platform::ManualClock& clock,
                   const InteractiveOptions& options);

// Writes the text and a newline to the file (replacing it), or to standard
// output when path is empty. On failure returns false with a message.
bool writeTypedText(const std::string& path, std::u16string_view text, std::string* error);

}  // namespace zv::term
