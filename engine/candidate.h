#pragma once
// A candidate as the lookups admit it, and the data slots and sources it
// refers to.

#include <cstdint>

namespace zv {

// The data files of an engine, in the order they are opened.
enum DataSlot : uint8_t {
    SlotConfig,       // config.dsc (required)
    SlotMain,         // main.dmg (required)
    SlotEnglish,      // engl.dmg
    SlotTemp,         // temp.dmg
    SlotChars,        // danzi.dmi
    SlotAssociation,  // sysl.dmg
    SlotTraditional,  // traditional.dms
    SlotSimplified,   // simplified.dms
    SlotCount,
    SlotNone = 0xFF,
};

// Where a candidate comes from. Bit 0x20 marks code-table entries, 0x10
// generated and word-list candidates, 0x40 plain-text candidates.
enum CandidateSource : uint8_t {
    SourceWordList = 19,
    SourceGenerated = 20,
    SourceMain = 33,
    SourceTemp = 34,
    SourcePlainText = 0x40 | 20,
};
constexpr uint8_t SourceTableBit = 0x20;
constexpr uint8_t SourceWordBit = 0x10;
constexpr uint8_t SourcePlainBit = 0x40;

// One candidate. Its hint (the next code keys after the typed code) and
// its length in characters are read from the record when asked for
// (candidateHint, candidateChars): most candidates are never shown.
struct Candidate {
    uint32_t ref = 0;         // record offset in its table, or index into the text pool
    int32_t score = 0;
    uint32_t attributes = 0;  // the record's attribute word when it was admitted
    uint8_t source = 0;
    uint8_t slot = SlotNone;  // the table holding the record
    uint8_t hintPos = 0xFF;   // code position the hint starts at (none where the code ends); 0xFF: no hint
};

}  // namespace zv
