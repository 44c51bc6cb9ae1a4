#pragma once
// The interactive screen as lines of text: a mode bar, the application's
// text with the composition typed into it, the candidate page below the
// caret laid out like the candidate window's horizontal list, the soft
// keyboard's keys while it is shown, and a help line. Building the lines is
// pure; drawing writes only the lines that changed.

#include "ui/ui_view.h"

#include <string>
#include <string_view>
#include <vector>

namespace zv::term {

// Columns a character takes on a terminal: 2 for East Asian wide and
// full-width characters, 0 for combining marks, 1 for the rest.
int cellWidth(char32_t c);
// Columns a text takes as the screen shows it.
int textWidth(std::u16string_view text);

// One entry of the help line: keys and what they do.
struct HelpItem {
    std::string keys;
    std::u16string text;
};

struct ScreenInput {
    std::u16string_view text;    // the application's text
    ui::UiView view;             // page, composition and modes
    bool showIndex = true;       // index labels before the candidates
    bool showHints = true;       // the next code keys after them
    bool traditional = false;    // traditional output in force
    std::vector<HelpItem> help;  // the help line
    std::u16string message;      // a notice or question shown in place of the help
};

struct Screen {
    std::vector<std::string> lines;  // one per row, UTF-8 with colour sequences, each within the width
    int cursorRow = 0, cursorColumn = 0;
    bool cursorVisible = true;
};

Screen layoutScreen(const ScreenInput& in, int columns, int rows);

// The bytes that turn the shown screen into the next one: only the changed
// lines are rewritten (everything after a clear when nothing is shown yet
// or the size changed). Empty when nothing changed.
std::string screenUpdate(const Screen* shown, const Screen& next);

}  // namespace zv::term
