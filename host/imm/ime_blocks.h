#pragma once
// The input context's composition-string and candidate-info blocks as the
// input method fills them: fixed sizes and fixed places for every area,
// written byte by byte so that the same code runs (and is tested) on any
// system. The system's own readers (ImmGetCompositionString,
// ImmGetCandidateList) follow the offsets in each block's header.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv::imm {

// The composition string (a COMPOSITIONSTRING and its areas).
namespace composition_block {
constexpr uint32_t Size = 1050998;
constexpr uint32_t ReadingAttributes = 100, ReadingClauses = 229, ReadingString = 487;
constexpr uint32_t Attributes = 745, Clauses = 874, String = 1132;
constexpr uint32_t ResultReadingClauses = 1390, ResultReadingString = 1648, ResultClauses = 1906;
constexpr uint32_t ResultString = 2164, Private = 2422;
// The most UTF-16 units an area of its own holds (a terminator follows).
constexpr uint32_t MaxUnits = 128;
// The attribute of every composition character: converted, the target.
constexpr uint8_t TargetConverted = 1;
}  // namespace composition_block

// The candidate info (a CANDIDATEINFO with one CANDIDATELIST).
namespace candidate_block {
constexpr uint32_t Size = 74784;
constexpr uint32_t List = 144, ListSize = 2632;
constexpr uint32_t Private = 2776, PrivateSize = 72008;
constexpr uint32_t Slots = 10;
constexpr uint32_t FirstSlot = 72, SlotBytes = 256;
constexpr uint32_t ReadingStyle = 1;  // IME_CAND_READ
constexpr uint32_t PageSize = 9;
}  // namespace candidate_block

// The private block: the first pointer is this context's engine record.
constexpr uint32_t PrivateBlockSize = 40;

// A block as the system hands it over: its bytes and how many there are.
struct Block {
    uint8_t* data = nullptr;
    size_t size = 0;
    explicit operator bool() const { return data != nullptr; }
};

// Every length zero, every offset in its place. False when the block is
// smaller than its fixed size (nothing is written then).
bool initCompositionBlock(Block b);
bool initCandidateBlock(Block b);

// The composition as the engine shows it: the reading string is the typed
// code, the composition string the display with its cursor; every
// character has the converted attribute. Longer strings are cut at the
// area's size.
void writeComposition(Block b, std::u16string_view display, std::u16string_view reading, int cursor);
// One commit: the result string holds this result alone (an application
// reads it in the message that announces it), and the composition is
// empty. A result longer than its own area goes into the block's spare
// space, so that no committed text is ever cut.
void writeResult(Block b, std::u16string_view result);
// The candidates of the current page (at most ten) and the highlighted one.
void writeCandidates(Block b, const std::vector<std::u16string_view>& page, int highlight);

// Reading back (the tests, and the input method's own windows).
std::u16string compositionString(Block b);
std::u16string readingString(Block b);
std::u16string resultString(Block b);
uint32_t cursorPosition(Block b);
std::vector<std::u16string> candidates(Block b);
uint32_t candidateSelection(Block b);

}  // namespace zv::imm
