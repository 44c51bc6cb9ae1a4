#pragma once
// What happens to text on its way out of the engine: the punctuation table
// for a key's own character, full width, simplified/traditional conversion of
// candidates, and the output modes with the conversion status the host shows.

#include "engine/config_store.h"
#include "engine/engine_context.h"
#include "engine/pair_table.h"

#include <string>
#include <string_view>
#include <vector>

namespace zv {


// Applies the symbol table to every unit of text. Alternating pairs flip
// their toggle in the table (so every context sees the flip); units without
// an entry pass unchanged, control units raised by 32 (keypad units become
// ASCII). A keypad unit without an entry of its own uses the keypad table
// entry of its ASCII character.
std::u16string convertPunctuation(ImeSettings& ime, PunctuationState& state, std::u16string_view text);
inline std::u16string convertPunctuation(ImeSettings& ime, std::u16string_view text) {
    return convertPunctuation(ime, processState().punctuation, text);
}

// Whether the table maps the unit to a text other than the unit itself
// (without flipping any toggle): such a key is worth taking to convert it.
bool punctuationChanges(const ImeSettings& ime, char16_t unit);

// Space becomes U+3000, printable ASCII its full-width form; the rest stays.
void toFullWidth(std::u16string& text);

// Cuts text at n units without leaving half of a surrogate pair at its end.
void cutText(std::u16string& text, size_t n);

// Display and output texts of a page item hold at most this many units.
constexpr size_t kItemTextUnits = 128;

struct ConvertedText {
    std::u16string display;
    std::u16string output;
};

// The conversion table in force: traditional.dms while traditional output is
// on (it wins when both flags are set), else simplified.dms while simplified
// output is on; an invalid table when neither applies or the file is absent.
ConversionTable activeConversionTable(const EngineContext& ctx);

// The page items one candidate becomes: one item per whole-text result,
// shown as "result(original)"; otherwise the text converted character by
// character; otherwise the text itself. Never empty.
std::vector<ConvertedText> convertCandidateText(const ConversionTable& table, std::u16string_view text);

// Traditional output turns simplified output off; simplified output leaves
// traditional output alone (traditional conversion then applies).
void setTraditionalOutput(ImeSettings& ime, bool on);
void setSimplifiedOutput(ImeSettings& ime, bool on);

// The "convert(" command: "name,value" switching one output mode. Returns
// false (and changes nothing) for an argument it does not know.
bool applyConvertCommand(uint32_t& modeFlags, ImeSettings& ime, std::u16string_view argument);

// The conversion status the host shows, with the host's own bit values
// (IME_CMODE_* and TF_CONVERSIONMODE_* agree on them).
enum HostConversion : uint32_t {
    HostFullShape = 0x8,
    HostNoConversion = 0x100,
    HostSymbol = 0x400,
};
uint32_t hostConversionStatus(uint32_t modeFlags);

// A new engine starts every alternating pair at its first text.
void resetSymbolToggles(ImeSettings& ime);

}  // namespace zv
