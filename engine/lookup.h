#pragma once
// Searches over the mapped tables: code scans with their match scores and
// admission rules, word-list searches for English words and association,
// the candidate order, and frequency adjustment.

#include "engine/engine_context.h"

#include <string_view>
#include <vector>

namespace zv {

// Which entries a search admits.
struct SearchRange {
    bool main = true;           // 输入方案 includes 主
    bool aux = false;           // 输入方案 includes 辅
    bool secondaryOnly = false; // only secondary-display entries (检索范围主/次切换, the secondary lead)
    bool secondaryToo = false;  // 检索次显码表: secondary-display entries beside the main ones
};

// The range from the settings and the mode bits.
SearchRange currentSearchRange(const EngineContext& ctx);

struct CodeSearch {
    const uint8_t* key = nullptr;  // code bytes; 0x02 is the wildcard
    uint32_t len = 0;
    bool prefix = false;           // codes that begin with the key match too
    bool wildcard = false;         // a query: set by searchCode when the key holds the wildcard
    bool queryJustTyped = false;   // the query character was the key just typed: hints from position 0
    SearchRange range;
};

// The match score of an entry for a key (0: no match).
int matchScore(const DmeSettings& dme, const EntryView& e, const uint8_t* key, uint32_t len, bool prefix,
               bool wildcard);

// The exact or prefix range of a code in a table, remembered and checked
// (a range found before is used when its bounds still hold).
void codeRange(const EngineContext& ctx, DataSlot slot, const CodeTable& t, const uint8_t* code, uint32_t len,
               bool prefix, uint32_t* first, uint32_t* end);

// Scans one table and admits what scores; returns the number admitted.
int scanTable(EngineContext& ctx, DataSlot slot, uint8_t tag, const CodeSearch& search);
// A scan traces its walk (for a kept result, lookup_memo.h) only up to this
// many entries, and not for a range of main.dmg shorter than the shortest
// that can give a list long enough to keep (with every temporary word
// besides).
constexpr uint32_t kMemoWalk = 16384;
constexpr uint32_t kMemoShortest = CandidateList::ScanLimit - dmg::TempSlotCount;

// Admission of one entry into the candidate list (deleted entries, the
// search range, the capacity); the hint shows the code keys from hintPos.
bool admitEntry(EngineContext& ctx, const EntryView& e, DataSlot slot, uint8_t tag, int score, uint32_t hintPos,
                const SearchRange& range);
// Adds a generated or plain-text candidate (source 20 or 0x54).
bool addTextCandidate(EngineContext& ctx, std::u16string_view text, uint8_t source, int score);

// Whether an entry with a longer code that begins with the key lies within
// the range (an entry at `except`, a main.dmg offset, does not count), or,
// unless longerOnly, any entry has exactly the key as its code.
bool hasEntryBeginningWith(const EngineContext& ctx, const uint8_t* key, uint32_t len, const SearchRange& range,
                           bool longerOnly, uint32_t except = 0);

// Word-list search flags.
enum WordListFlags : uint32_t {
    WordSeparator = 0x1,  // stored as key, "#", continuation
    WordScored = 0x2,     // score by length instead of 1
    WordAllowEqual = 0x4, // a word equal to the key matches too
    WordEnglish = 0x1000, // engl.dmg instead of sysl.dmg
    WordAssociation = 0x2000,
};
int searchWordList(EngineContext& ctx, std::u16string_view key, uint32_t flags);

// Orders the candidate list: score, then (unless association) 单字先见 or
// 按编码排序, then fixed and order value, then table position.
void orderCandidates(EngineContext& ctx, bool association);
// The candidate order as a comparison (negative: a before b).
int compareCandidates(const EngineContext& ctx, const Candidate& a, const Candidate& b, bool association);

// 词频调整 modes (ImeSettings option word B bits 0..2).
enum FrequencyMode { FreqNone = 0, FreqToTop = 1, FreqGradual = 2, FreqCount = 4 };
FrequencyMode frequencyMode(const ImeSettings& ime);
// Adjusts the order value of the candidate at position a of the ordered
// list (indices into the candidate list); true when a record changed.
bool adjustFrequency(EngineContext& ctx, const std::vector<int>& ordered, int a, FrequencyMode mode);

// The record of a table candidate (invalid view for other candidates).
EntryView candidateEntry(const EngineContext& ctx, const Candidate& c);
// The candidate's text: the word of its record, or its pooled text.
std::u16string candidateText(const EngineContext& ctx, const Candidate& c);

// Characters of a text, a surrogate pair counting once.
int countCharacters(std::u16string_view text);
// The keys still to be typed for a code-table candidate: up to two code
// characters from its hint position (keypad keys shown full width).
std::u16string candidateHint(const EngineContext& ctx, const Candidate& c);
bool candidateHasHint(const EngineContext& ctx, const Candidate& c);
// The candidate's length in characters.
int candidateChars(const EngineContext& ctx, const Candidate& c);

}  // namespace zv
