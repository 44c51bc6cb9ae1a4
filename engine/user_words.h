#pragma once
// What the engine learns from commits: the history of the last 16 committed
// texts with the codes of their characters, temporary words formed from it
// by the word-formation rules, and the word operations of the candidate menu.

#include "engine/engine_context.h"

#include <string>
#include <vector>

namespace zv {

// One record of the commit history.
struct HistoryEntry {
    std::u16string text;                       // at most 16 units
    int characters = 0;                        // a surrogate pair counts once
    std::vector<std::u16string> codes;         // per character, up to 8 units each
};
constexpr int kHistoryEntries = 16;

int historyCount(const ImeSettings& ime);
HistoryEntry historyEntry(const ImeSettings& ime, int i);  // 0 is the oldest
// The newest committed text, empty when there is none.
std::u16string newestHistoryText(const ImeSettings& ime);

// Learns from the commit of the candidate shown at a page position: a
// temporary word becomes a user word, the commit is recorded, temporary
// words are formed. Does nothing unless temp.dmg is open and 临时词功能开启
// is on. listIndex is the ordered index of the candidate.
void learnFromCommit(EngineContext& ctx, int listIndex);

// Records a committed word with its code (the rules hand the code out to the
// characters); false when the commit is not one that is recorded.
bool recordCommit(ImeSettings& ime, const DmeSettings& dme, std::u16string_view word, std::string_view code);
// Forms temporary words from the newest history entries and adds them to
// temp.dmg; returns how many were added.
int formTemporaryWords(EngineContext& ctx);

enum WordOperation {
    WordMoveUp = 1,
    WordMoveDown = 2,
    WordMoveToTop = 3,
    WordMoveToBottom = 4,
    WordPin = 5,
    WordRecategorise = 6,
    WordDelete = 7,
    WordInformation = 8,
    WordDictionary = 9,
};
// A word operation on the candidate at page position (1-based); true when a
// table entry changed (the code should be evaluated again).
bool wordOperation(EngineContext& ctx, int position, int operation);
// The online dictionary page for a text.
std::u16string dictionaryAddress(std::u16string_view text);

}  // namespace zv
