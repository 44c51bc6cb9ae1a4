#pragma once
// The code a word gets from the word-formation rules (构词规则) of
// DmeSettings and the codes of its characters in danzi.dmi: what the import
// gives a line that has no code, and what the entry dialog proposes.

#include "engine/config_store.h"
#include "engine/pair_table.h"

#include <string>
#include <string_view>

namespace zv::config {

constexpr int MaxFormedWordLength = 30;

enum class WordCodeStatus {
    Ok,
    Empty,    // no characters
    TooLong,  // more than 30 characters, or a broken surrogate pair
    NoCode,   // no rule for the length, a character without code, a rule
              // that asks for a key the character's code does not have
};

// Rule elements (row n for words of n characters): bits 0..6 the code
// position m (0 = the whole code), bits 8..14 the character d counted from
// the left, bit 15 counts m from the end of that character's code instead
// of from its start. A single character takes its own full code.
WordCodeStatus wordCode(std::u16string_view word, const DmeSettings& rules, const CharCodeTable& danzi,
                        std::u16string& code);

}  // namespace zv::config
