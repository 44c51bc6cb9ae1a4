#pragma once
// Macro entries of the code tables ("$zvcmd(OUTPUT,DISPLAY)"), the
// placeholders they may hold ("<date.yyyy>", "<time.MM>", "<last.1>",
// "<u16value.中>", "<clipboard>"), the escapes of entry texts, and the date
// and amount candidates of a temporary-English code.

#include "platform/clock.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

namespace platform {
class Clipboard;
}  // namespace platform

struct EngineContext;

// Macro texts (display and output) hold at most this many units.
constexpr size_t kMacroTextUnits = 129;

// What placeholders read. Any pointer may be null: the placeholders that
// need it then stay as text.
struct MacroSources {
    platform::Clock* clock = nullptr;
    platform::Clipboard* clipboard = nullptr;
    std::u16string_view lastOutput;           // "<last.1>"
    std::u16string_view previousComposition;  // "<last.2>"
    // The time and the clipboard text, read at their first use: every
    // placeholder expanded with these sources shows one moment and one text.
    mutable std::optional<platform::LocalTime> time = std::nullopt;
    mutable std::optional<std::u16string> clipboardText = std::nullopt;
};

// "\\" a backslash, "\s" a space, "\t" a tab, "\r" CR LF; a backslash before
// anything else stays with it.
std::u16string applyEntryEscapes(std::u16string_view text);

// Replaces every placeholder whose expansion is non-empty; a known name with
// an unknown field gives "#", an unknown name stays as text. Cut at
// kMacroTextUnits.
std::u16string expandPlaceholders(std::u16string_view text, const MacroSources& sources);

struct MacroEntry {
    std::u16string output;
    std::u16string display;
};

// The two parts of a macro entry after escapes and placeholders; nothing
// when the text is not a macro entry. The last comma separates output from
// display; without one both are the whole inner text.
std::optional<MacroEntry> parseMacroEntry(std::u16string_view text, const MacroSources& sources);

// Candidate scores of generated candidates sit near 0xEEEEEE, far above any
// match score.
constexpr int kGeneratedScore = 15658734;
constexpr int kMoneyScore = 15658743;
// Generated texts hold at most this many units.
constexpr size_t kGeneratedTextUnits = 120;

struct GeneratedCandidate {
    std::u16string text;
    int score = 0;
};

// Dates and amounts for the code typed after the temporary-English lead
// (digits and ".", keypad units included); nothing for any other code.
std::vector<GeneratedCandidate> tempEnglishCandidates(std::u16string_view code);
// Adds them to the candidate list as generated candidates; returns how many
// were admitted.
int generateTempEnglishCandidates(EngineContext& ctx, std::u16string_view code);

}  // namespace zv
