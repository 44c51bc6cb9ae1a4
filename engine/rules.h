#pragma once
// Word-formation rules: for each word length 2..30, the list of code keys
// that make a word's code, each taken from one character's code. Stored in
// DmeSettings as rows of u16 elements ending with a zero element; written as
// "P2=L1B1+L1B2+L2B1+L2B2".

#include "engine/config_store.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

namespace rule {
constexpr int MinLength = 2, MaxLength = 30;
constexpr int MaxElements = 127;
constexpr int MaxCharacter = 30;
constexpr uint16_t PositionMask = 0x7F;  // code position, 1-based; 0 = the whole code
constexpr int CharacterShift = 8;        // character number, 1-based from the left
constexpr uint16_t CharacterMask = 0x7F00;
constexpr uint16_t FFlag = 0x8000;       // written with "F"; the engine skips such elements

constexpr uint16_t element(int character, int position, bool f = false) {
    return static_cast<uint16_t>(((character & 0x7F) << CharacterShift) | (position & PositionMask) |
                                 (f ? FFlag : 0));
}
constexpr int character(uint16_t e) { return (e & CharacterMask) >> CharacterShift; }
constexpr int position(uint16_t e) { return e & PositionMask; }
constexpr bool isF(uint16_t e) { return (e & FFlag) != 0; }
}  // namespace rule

// The elements of the rule for words of `length` characters (empty when no
// rule is defined or the length is outside 2..30).
std::vector<uint16_t> ruleElements(const DmeSettings& dme, int length);
void setRule(DmeSettings& dme, int length, const std::vector<uint16_t>& elements);
void clearRules(DmeSettings& dme);

enum class RuleResult { Applied, LengthIgnored, Rejected };
// Reads one rule line ("P" or "p", the length, "=", the elements) and
// replaces that length's rule. A line that does not parse, or one for a
// length outside 2..30, leaves every rule as it was.
RuleResult parseRule(DmeSettings& dme, std::u16string_view line);

// The line written back for a length, counting characters from the left;
// empty when no rule is defined.
std::u16string ruleText(const DmeSettings& dme, int length);

}  // namespace zv
