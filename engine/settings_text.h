#pragma once
// The whole settings text: every option of the four settings blocks as one
// UTF-16 text of sections, written for export and the advanced editor and
// read back (applied) from them.

#include "engine/config_store.h"
#include "engine/settings_options.h"

#include <string>
#include <string_view>
#include <vector>

namespace zv {

// The settings text of the blocks, lines ending in CR LF, without a
// byte-order mark (the file writer adds one).
std::u16string writeSettingsText(const SettingsBlocks& blocks);

// One line that was not applied.
struct SettingsTextProblem {
    int line = 0;  // 1-based
    OptionResult result = OptionResult::BadValue;
    std::u16string text;
};

// Applies a settings text. Key bindings, word-formation rules and the
// symbol table are cleared first, so a text without them leaves none; the
// options of [-IME设置-], [-DME设置-] and [-SKIN设置-] are applied after the
// whole text was read, in text order. Returns the lines that had no effect.
std::vector<SettingsTextProblem> readSettingsText(SettingsBlocks& blocks, std::u16string_view text);

// The longest line read; longer lines are ignored.
constexpr size_t MaxSettingsLine = 1023;

}  // namespace zv
