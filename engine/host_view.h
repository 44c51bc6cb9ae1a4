#pragma once
// What a host shows of an engine, read-only: the composition (display and
// reading strings with their cursors), the candidate page, the modes and the
// host conversion status, the last result. And what one operation changed,
// as a record a host takes: the text service applies changes inside an
// edit session, and changes come also from outside a key event (a click, a
// menu command).

#include "engine/entry_category.h"
#include "engine/host.h"
#include "engine/soft_keyboard.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zv {

// Where a candidate comes from, for the windows' colours and menus: a
// code-table entry, a temporary or user word, or anything else (generated,
// word lists).
enum class CandidateOrigin : uint8_t { Table, TemporaryWord, UserWord, Other };

struct ViewCandidate {
    std::u16string display;  // what the page shows (a macro's display part, a converted form)
    std::u16string output;   // what committing it gives
    std::u16string hint;     // the next code keys after the typed code
    CandidateOrigin origin = CandidateOrigin::Table;
    bool fromTable = false;  // an entry of main.dmg or temp.dmg
    bool pinned = false;     // 固定 (its order stays)
    bool secondary = false;  // a secondary-display entry (生僻字)
};

struct EngineView {
    // The composition: what it shows and the typed code (keypad keys as
    // their full-width forms), each with its cursor.
    std::u16string display;
    int displayCursor = 0;
    std::u16string reading;
    int readingCursor = 0;
    bool composing = false;
    // The page.
    std::vector<ViewCandidate> items;
    int highlight = 0;
    int pageNumber = 0;   // 0-based
    int pageSize = 0;     // the page size in force
    bool firstPage = true;
    bool lastPage = true;
    int candidates = 0;   // 0, 1, or 2 for more than one
    // The modes.
    uint32_t modes = 0;
    uint32_t conversionStatus = 0;
    int softKeyboardLayout = 0;  // 1..13 while the soft keyboard is shown, else 0
    bool traditionalTable = false;  // traditional.dms is there (the menus offer the conversion)
    bool simplifiedTable = false;
    // The last commit.
    std::u16string result;
    uint32_t resultKind = 0;
};

EngineView viewOf(EngineContext& ctx);
// The number of pages; works the whole candidate list out, so only for
// those who show it (a trace, a page counter).
int pageCount(EngineContext& ctx);

// What happened since the host last took the record.
struct EngineChanges {
    bool compositionStarted = false;
    bool compositionChanged = false;
    bool compositionEnded = false;
    bool candidatesOpened = false;
    bool candidatesChanged = false;
    bool candidatesClosed = false;
    bool modesChanged = false;
    bool redraw = false;
    struct Commit {
        std::u16string text;
        uint32_t kind = 0;
    };
    std::vector<Commit> commits;  // in the order they went out
    bool any() const {
        return compositionStarted || compositionChanged || compositionEnded || candidatesOpened ||
               candidatesChanged || candidatesClosed || modesChanged || redraw || !commits.empty();
    }
};
EngineChanges takeChanges(EngineContext& ctx);

}  // namespace zv
