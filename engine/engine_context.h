#pragma once
// One engine instance: the open data files, the settings blocks found in
// config.dsc, the candidate list and the input state. Owned by whoever opened
// the engine (a host front end, the configuration program or a tool).

#include "engine/candidate.h"
#include "engine/code_table.h"
#include "engine/config_store.h"
#include "engine/host_view.h"
#include "engine/process_state.h"
#include "platform/mapped_file.h"
#include "platform/services.h"

#include <array>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace zv {

struct CandidateList {
    static constexpr int Capacity = 3000;
    static constexpr int ScanLimit = 1000;      // a table scan stops adding here
    static constexpr int WordListLimit = 2500;  // a word-list search stops here
    // The candidates: the list's own storage, or a kept lookup's list that
    // is read in place (see share). Whatever writes to them calls own() first.
    Candidate* items = nullptr;
    int count = 0;
    std::vector<std::u16string> texts;  // texts of generated and plain-text candidates
    // A chain through the candidates of each match score (0..MaxCountedScore),
    // the latest first, so that ordering can take a score group without
    // passes over the list; scoresCounted is false once a score outside that
    // range was added.
    static constexpr int MaxCountedScore = 130;
    std::array<int, MaxCountedScore + 1> scoreLast{};  // -1: no candidate has that score
    int* sameScoreBefore = nullptr;                    // the previous candidate of that score, or -1
    bool scoresCounted = true;

    uint32_t serial = 0;  // changes with every change of the list

    CandidateList() : own_(static_cast<Storage*>(::operator new(sizeof(Storage)))) { clear(); }
    // The list points into its own storage: it cannot be copied.
    CandidateList(const CandidateList&) = delete;
    CandidateList& operator=(const CandidateList&) = delete;

    void clear() {
        ++serial;
        count = 0;
        texts.clear();
        scoreLast.fill(-1);
        scoresCounted = true;
        items = own_->items;
        sameScoreBefore = own_->chains;
    }
    // Writes the storage of the first n candidates, so that filling them
    // later finds the pages there.
    void prepare(int n) {
        std::fill(own_->items, own_->items + std::min(n, Capacity), Candidate{});
        std::fill(own_->chains, own_->chains + std::min(n, Capacity), -1);
    }
    // Reads `n` candidates and their chains in place from storage that stays
    // unchanged until the list is cleared (a kept lookup's list): typing the
    // same beginning again costs no copy.
    void share(const Candidate* kept, const int* keptChains, int n, const std::array<int, MaxCountedScore + 1>& last) {
        ++serial;
        items = const_cast<Candidate*>(kept);
        sameScoreBefore = const_cast<int*>(keptChains);
        count = n;
        scoreLast = last;
        scoresCounted = true;
    }
    bool shared() const { return items != own_->items; }
    // Takes a shared list into the list's own storage before it is changed.
    void own() {
        if (!shared()) return;
        std::copy(items, items + count, own_->items);
        std::copy(sameScoreBefore, sameScoreBefore + count, own_->chains);
        items = own_->items;
        sameScoreBefore = own_->chains;
    }
    // Adds a candidate (the caller checked the capacity).
    Candidate& push(const Candidate& c) {
        own();
        ++serial;
        chainScore(c.score, count);
        return items[count++] = c;
    }
    void chainScore(int score, int index) {
        if (score >= 0 && score <= MaxCountedScore) {
            sameScoreBefore[index] = scoreLast[score];
            scoreLast[score] = index;
        } else {
            scoresCounted = false;
        }
    }

private:
    // The list's own storage, written only as far as the list reaches: an
    // engine whose lists stay short never touches the rest.
    struct Storage {
        Candidate items[Capacity];
        int chains[Capacity];
    };
    static_assert(std::is_trivially_copyable_v<Candidate> && std::is_trivially_destructible_v<Candidate>);
    struct Release {
        void operator()(Storage* s) const noexcept { ::operator delete(s); }
    };
    std::unique_ptr<Storage, Release> own_;
};

// One displayed position of the candidate page.
struct PageItem {
    std::u16string display;
    std::u16string output;
    int candidate = -1;  // index into the ordered candidates
};

struct CandidatePage {
    static constexpr int MaxItems = 10;
    std::array<PageItem, MaxItems> items;
    int count = 0;       // items on the page
    int size = 5;        // the page size in force
    int highlight = 0;
    int start = 0;       // ordered index of the first candidate shown
    int startPart = 0;   // converted forms of that candidate already shown before
    int next = 0;        // ordered index where the next page starts
    int nextPart = 0;    // forms of candidate `next` already placed
    int number = 0;      // 0-based page number
    struct Mark {
        int start, part;
    };
    std::vector<Mark> previous;  // where the earlier pages started, for 前翻页
};


class EngineObserver;
struct FolderShare;

// What one plain scan of a table walked: the range, where the walk
// stopped, and (in the scan's scratch) each walked entry's attribute word.
struct ScanTrace {
    uint8_t slot = SlotNone;
    const uint8_t* base = nullptr;  // null: the table was not there
    uint32_t size = 0, count = 0;
    uint32_t first = 0, end = 0, stop = 0;
    bool plain = false;  // a plain walk (no words read, no wildcard) whose every slot pointed at a record
    const uint32_t* attributes = nullptr;  // the walk's words, from `first` on
};

// A stretch of a table's bytes (lookup_memo.h).
struct RecordRun {
    uint32_t from = 0, size = 0;
};

// A heavy lookup's result kept for the same code typed again (lookup_memo.h).
struct LookupMemo {
    uint64_t lastUse = 0;
    uint8_t code[16] = {};
    uint8_t len = 0;
    uint8_t flags = 0;     // prefix, query just typed, the search range
    uint8_t wordCode = 0;  // 显示码表词语码长 then
    std::array<ScanTrace, 2> scans;
    std::array<std::vector<uint32_t>, 2> slots;       // the index slots each scan walked
    // What a check compares for each scan: the attribute words it read, or,
    // when the walked records lie close together, stretches of the table
    // holding them, with a copy of their bytes.
    std::array<std::vector<uint32_t>, 2> attributes;
    std::array<std::vector<RecordRun>, 2> runs;
    std::array<std::vector<uint8_t>, 2> records;  // the stretches' bytes, one after another
    std::vector<Candidate> items;
    std::vector<int> sameScoreBefore;
    std::array<int, CandidateList::MaxCountedScore + 1> scoreLast{};
    // The display order worked out for the first page, under the settings
    // it depends on; replaced whole, never changed, so that an engine may
    // read it while another keeps a longer one.
    struct Order {
        uint32_t key = 0;
        std::vector<int> ordered;
    };
    std::shared_ptr<const Order> order;
};

// The composition and what the last keys produced.
struct InputState {
    static constexpr int MaxCode = 128;
    std::u16string code;         // keypad keys held as the units 0x0A..0x19
    int cursor = 0;
    int pendingKey = 0;          // virtual key, plus 256 when shifted
    uint64_t pendingMask = 0;
    std::u16string_view pendingText;
    std::u16string display;      // what the composition shows
    int displayCursor = 0;
    std::u16string result;       // text of the last commit
    uint32_t resultKind = 0;
    std::u16string lastOutput;
    std::u16string previousComposition;  // saved when the input is cleared
    std::u16string commandArgument;      // argument of a command result
    bool composing = false;
    bool candidatesOpen = false;         // the candidate-list-opened notice was sent
    bool compositionStarted = false;     // a composition-started notice is outstanding
    bool pendingFromEngine = false;      // the pending key is one the engine sent itself
    bool actingOnEngineKey = false;      // processKey acts on such a key: it sends nothing more
    int refreshRequest = 0;
};

// Scratch areas of the walks and of page building: one for each thread that
// runs engines, whichever engine runs there.
struct ThreadScratch {
    // The attribute words a traced walk read, of main.dmg and temp.dmg:
    // written before they are read, so never cleared.
    struct Words {
        std::unique_ptr<uint32_t[]> words;
        size_t size = 0;
        uint32_t* atLeast(size_t n) {
            if (n > size) {
                words.reset(new uint32_t[n]);
                size = n;
            }
            return words.get();
        }
    };
    std::array<Words, 2> walked;
    std::vector<PageItem> pageItems;
};
inline ThreadScratch& threadScratch() {
    thread_local ThreadScratch scratch;
    return scratch;
}

struct EngineContext {
    EngineContext() = default;
    EngineContext(const EngineContext&) = delete;
    EngineContext& operator=(const EngineContext&) = delete;

    platform::Platform platform;
    std::u16string imeName;     // the instance name (its registry subkey)
    std::u16string installDir;  // ends with a path separator
    std::u16string dataDir;     // used as the registry gives it
    // The mappings of the data files, shared with the process's other
    // engines on the folder (folder_share.h).
    std::array<std::shared_ptr<platform::MappedFile>, SlotCount> files;
    std::shared_ptr<FolderShare> share;
    SettingsBlocks blocks;

    uint32_t modeFlags = 0;
    CandidateList candidates;
    std::vector<int> ordered;  // the candidates in display order, duplicates hidden
    // How far the display order has been worked out: the candidates grouped
    // by score, best first, and the groups already placed into `ordered`.
    struct OrderProgress {
        bool started = false;
        std::vector<int> byScore;                    // candidate indices, scores descending
        std::vector<int> bounds;                     // start of each score group in byScore, then the end
        size_t nextGroup = 0;
        // The texts of the placed groups, by hash; a place is taken only when
        // it carries the stamp of the current ordering.
        struct SeenText {
            uint32_t hash = 0;   // the high half of the text's hash
            int index = -1;      // the candidate that shows the text
            uint32_t order = 0;  // how many texts were placed before it
            uint32_t stamp = 0;
        };
        std::vector<SeenText> seen;
        uint32_t stamp = 0;
        uint32_t placedTexts = 0;
        // The rest of the current group, unordered, each with its place in
        // the group's order as a number.
        std::vector<std::pair<uint64_t, int>> pending;
        bool hideWhenPlaced = false;  // the pending members' duplicates are hidden as they are placed
        // Or the rest of a group placed a few members at a time, each time
        // the next best by their numbers: its start in byScore, the members
        // left, and the number of the last one placed.
        int lazyStart = 0;
        int lazyLeft = 0;
        bool lazyPlacedAny = false;
        uint64_t lazyLast = 0;
        bool fromMemo = false;  // `ordered` was taken from a kept lookup: known only that far
    } orderProgress;
    CandidatePage page;
    // The kept lookup (in the folder's share) the candidate list came from,
    // while the list's serial is unchanged, and where a plain scan reports
    // what it walked.
    std::shared_ptr<LookupMemo> memoInList;
    uint32_t memoListSerial = 0;
    ScanTrace* scanTrace = nullptr;
    // An engine that keeps no lookups works everything out afresh (for
    // whoever checks the kept ones against it).
    bool keepsLookups = true;
    bool preparedForKeys = false;  // the memory the first keys need was taken
    // Reads private copies of the data files and writes nothing back to
    // the folder: no learning, journal, lock or repair reaches the disk.
    bool leavesDataUntouched = false;
    bool tablesFresh = false;      // just opened: the first focus need not sync
    InputState input;
    SharedInputState* shared = &processState().input;
    EngineObserver* observer = nullptr;
    EngineChanges changes;  // what happened since the host last took them
    // The text service takes a modifier tap only when no other modifier is
    // down at its release; the IMM32 front end does not ask.
    bool lonelyTaps = true;

    // Code ranges found before, by table, kind and code. An entry is used
    // only after its bounds are checked against the entries beside them
    // (CodeTable::rangeHolds), so a table changed since, by this process or
    // another, is searched afresh.
    struct RangeMemo {
        const uint8_t* base = nullptr;
        uint32_t count = 0;
        uint8_t slot = SlotNone;
        bool prefix = false;
        uint8_t len = 0;
        uint8_t code[16] = {};
        uint32_t first = 0, end = 0;
        uint64_t epoch = 0;  // the rangeEpoch it was found or checked in
    };
    mutable std::array<RangeMemo, 256> rangeMemos;
    // Moves on with every key and every change of an index by this engine:
    // a range found or checked in the current epoch is not checked again.
    uint64_t rangeEpoch = 1;

    // The entry of the last commit recorded for temporary words, for 在线删词.
    uint8_t lastCommitSource = 0;
    uint8_t lastCommitSlot = SlotNone;
    uint32_t lastCommitRef = 0;

    platform::MappedFile* file(DataSlot s) const { return files[s].get(); }
    bool isOpen(DataSlot s) const { return files[s] && files[s]->isOpen(); }
};

}  // namespace zv
