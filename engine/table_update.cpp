#include "engine/table_update.h"

#include "engine/bytes.h"
#include "engine/data_files.h"
#include "engine/folder_write.h"
#include "engine/write_journal.h"
#include "engine/lookup.h"

#include <algorithm>
#include <cstring>

namespace zv {

namespace {

constexpr uint32_t kMaxFileSize = 0xFFFFFF00u;
// Ages of temporary words live in the low bits; the deleted bit stays apart.
constexpr uint32_t kAgeMask = 0xFFFF;

uint8_t* slotPtr(uint8_t* base, uint32_t i) { return base + dmg::IndexStart + 4 * i; }

// The key of a record as a search key (the word decoded to native units).
struct RecordKey {
    char16_t word[dmg::MaxWordLen];
    SearchKey key;
    bool ok = false;
    explicit RecordKey(const RecordBuffer& rec) {
        EntryView e = viewOfRecord(rec.bytes, rec.size, false);
        if (!e.valid() || e.wordLen > dmg::MaxWordLen) return;
        for (uint32_t i = 0; i < e.wordLen; ++i) word[i] = e.wordUnit(i);
        key = SearchKey{e.code, e.codeLen, word, e.wordLen};
        ok = true;
    }
};

// Puts the slot written at position `from` into its sorted place `to`.
void moveSlot(uint8_t* base, uint32_t from, uint32_t to) {
    if (from == to) return;
    uint32_t v = rd32(slotPtr(base, from));
    if (to < from)
        std::memmove(slotPtr(base, to + 1), slotPtr(base, to), 4 * size_t(from - to));
    else
        std::memmove(slotPtr(base, from), slotPtr(base, from + 1), 4 * size_t(to - from));
    wr32(slotPtr(base, to), v);
}

// The index position of the record that begins at `low`, looked for from
// both ends at once; -1 when there is none.
int64_t slotOfOffset(const CodeTable& t, uint32_t offset) {
    uint32_t n = t.count();
    for (uint32_t i = 0, j = n; i < j;) {
        if (t.indexSlot(i) == offset) return i;
        --j;
        if (t.indexSlot(j) == offset) return j;
        ++i;
    }
    return -1;
}

// The smallest record offset in the index (a header whose low disagrees
// with its records is mended before anything is placed).
uint32_t lowestRecord(const CodeTable& t) {
    uint32_t lowest = t.size();
    for (uint32_t i = 0; i < t.count(); ++i) {
        EntryView e = t.entry(i);
        if (e.valid()) lowest = std::min(lowest, e.offset);
    }
    return lowest;
}

}  // namespace

AddResult addEntry(EngineContext& ctx, DataSlot slot, const RecordBuffer& rec) {
    FolderWrite hold(ctx);
    ++ctx.rangeEpoch;  // the index changes
    platform::MappedFile* f = ctx.file(slot);
    if (!f || !f->isOpen() || f->isHeapCopy()) return AddResult::Failed;
    RecordKey key(rec);
    if (!key.ok) return AddResult::Failed;
    CodeTable t(f->data(), f->size());
    if (!t.valid() || t.isWordList()) return AddResult::Failed;
    int64_t found = t.search(key.key, 0, t.count());
    if (found > 0) return AddResult::Exists;
    const uint32_t insertAt = static_cast<uint32_t>(-found);
    const uint32_t s = rec.size;
    const uint32_t count = t.count();
    const uint32_t oldSize = f->size();
    uint32_t low = t.low();

    auto gapBelow = [&] { return int64_t(low) - (dmg::IndexStart + 4) - 4 * int64_t(count); };
    if (count > 0 && gapBelow() < 5 && slotOfOffset(t, low) < 0) {
        uint32_t lowest = lowestRecord(t);
        if (lowest >= dmg::IndexStart + 4 * count && lowest <= t.size()) low = lowest;
    }
    // Where the record goes: below the lowest record when there is room,
    // else past the end, moving the lowest record there first when the new
    // index slot would cover it.
    enum class Place { Below, MoveLowest, Grow, End } place;
    const int64_t gap = gapBelow();
    int64_t lowSlot = -1;
    uint32_t moved = 0;  // the size of the record moved out of the way
    if (gap > int64_t(s) + 4) {
        place = Place::Below;
    } else if (gap < 5) {
        lowSlot = count ? slotOfOffset(t, low) : -1;
        if (lowSlot < 0) {
            // No record to move out of the way (an empty table without room):
            // grow so that the index slot fits below the new record.
            if (count) return AddResult::Failed;
            place = Place::Grow;
        } else {
            EntryView m = t.recordAt(low);
            if (!m.valid()) return AddResult::Failed;
            moved = m.recordSize();
            place = Place::MoveLowest;
        }
    } else {
        place = Place::End;
    }

    // What the change rewrites of the table as it is readable now: the
    // header with the prefix windows, and the index from the first slot
    // that moves (with the slot that becomes the new one, which may still
    // lie over the lowest record).
    WriteJournal journal(f->path());
    journal.keep(f->data(), 0, std::min(dmg::IndexStart, oldSize));
    const uint32_t firstSlot = lowSlot >= 0 ? std::min(insertAt, static_cast<uint32_t>(lowSlot)) : insertAt;
    const uint64_t slotsFrom = dmg::IndexStart + 4 * uint64_t(firstSlot);
    const uint64_t slotsTo = std::min<uint64_t>(dmg::IndexStart + 4 * (uint64_t(count) + 1), oldSize);
    if (slotsFrom < slotsTo)
        journal.keep(f->data(), static_cast<uint32_t>(slotsFrom), static_cast<uint32_t>(slotsTo - slotsFrom));
    if (!hold.seal(journal, *f)) return AddResult::Failed;

    uint32_t placed = 0;
    switch (place) {
    case Place::Below:
        low -= s;
        placed = low;
        break;
    case Place::Grow: {
        uint32_t base = std::max<uint32_t>(oldSize, dmg::IndexStart + 4 * (count + 1));
        if (uint64_t(base) + s > kMaxFileSize || !(f = growFile(ctx, slot, base + s))) return AddResult::Failed;
        placed = base;
        low = base;
        break;
    }
    case Place::MoveLowest: {
        if (uint64_t(oldSize) + s + moved > kMaxFileSize || !(f = growFile(ctx, slot, oldSize + s + moved)))
            return AddResult::Failed;
        uint8_t* base = f->data();
        std::memmove(base + oldSize, base + low, moved);
        wr32(slotPtr(base, static_cast<uint32_t>(lowSlot)), oldSize);
        placed = oldSize + moved;
        low += moved;
        break;
    }
    case Place::End:
        if (uint64_t(oldSize) + s > kMaxFileSize || !(f = growFile(ctx, slot, oldSize + s))) return AddResult::Failed;
        placed = oldSize;
        break;
    }
    uint8_t* base = f->data();
    std::memcpy(base + placed, rec.bytes, s);
    wr32(slotPtr(base, count), placed);
    wr32(base, low);
    wr32(base + 4, count + 1);
    moveSlot(base, count, insertAt);
    CodeTable grown(base, f->size());
    rebuildPrefixIndex(grown);
    f->flush();
    journal.finish();
    return AddResult::Added;
}

namespace {

CodeTable tempView(EngineContext& ctx) {
    CodeTable t = tableView(ctx, SlotTemp);
    return tempTableUsable(t) ? t : CodeTable{};
}

uint32_t ageAt(const CodeTable& t, uint32_t i) { return rd32(t.base() + t.indexSlot(i)) & kAgeMask; }


// Whether `offset` is where a record that the index lists begins: a list
// made before another process moved the records holds offsets that may
// now point into the middle of one, which a write must never touch.
bool indexedRecord(const CodeTable& t, uint32_t offset) {
    EntryView e = t.recordAt(offset);
    if (!e.valid() || e.wordLen > dmg::MaxWordLen) return false;
    char16_t word[dmg::MaxWordLen];
    for (uint32_t i = 0; i < e.wordLen; ++i) word[i] = e.wordUnit(i);
    const int64_t found = t.search(SearchKey{e.code, e.codeLen, word, e.wordLen}, 0, t.count());
    return found > 0 && t.indexSlot(static_cast<uint32_t>(found - 1)) == offset;
}

void finishTempChange(EngineContext& ctx, uint32_t count) {
    ++ctx.rangeEpoch;  // the index changes
    platform::MappedFile* f = ctx.file(SlotTemp);
    uint8_t* base = f->data();
    wr32(base + 4, count);
    CodeTable t(base, f->size());
    // Diminishing-gap insertion sort keeps the index in table order.
    for (uint32_t gapStep = count / 2; gapStep > 0; gapStep /= 2) {
        for (uint32_t i = gapStep; i < count; ++i) {
            uint32_t v = rd32(slotPtr(base, i));
            EntryView ve = t.recordAt(v);
            char16_t word[dmg::MaxWordLen];
            for (uint32_t k = 0; k < ve.wordLen && k < dmg::MaxWordLen; ++k) word[k] = ve.wordUnit(k);
            SearchKey key{ve.code, ve.codeLen, word, std::min<uint32_t>(ve.wordLen, dmg::MaxWordLen)};
            uint32_t j = i;
            while (j >= gapStep) {
                EntryView prev = t.recordAt(rd32(slotPtr(base, j - gapStep)));
                if (!ve.valid() || !prev.valid() || compareEntry(prev, key, false) <= 0) break;
                wr32(slotPtr(base, j), rd32(slotPtr(base, j - gapStep)));
                j -= gapStep;
            }
            wr32(slotPtr(base, j), v);
        }
    }
    rebuildPrefixIndex(t);
    f->flush();
}

}  // namespace

bool addTempWord(EngineContext& ctx, const RecordBuffer& rec) {
    FolderWrite hold(ctx);
    CodeTable t = tempView(ctx);
    RecordKey key(rec);
    if (!t.valid() || !key.ok || rec.size > dmg::TempSlotSize) return false;
    if (t.search(key.key, 0, t.count()) > 0) return false;
    // temp.dmg is small and a change touches its ages, index and slots all
    // over: the whole file is saved before it changes.
    if (!hold.saveWhole(*ctx.file(SlotTemp))) return false;
    uint8_t* base = t.base();
    uint32_t count = t.count();
    uint32_t target, age;
    if (count < dmg::TempSlotCount) {
        target = t.indexSlot(count);
        age = count++;
    } else {
        int64_t oldest = -1;
        for (uint32_t i = 0; i < count; ++i) {
            uint8_t* r = base + t.indexSlot(i);
            uint32_t a = rd32(r);
            if (a & kAgeMask)
                wr32(r, a - 1);
            else
                oldest = i;
        }
        if (oldest < 0) oldest = 0;  // ages were not dense: replace the first
        target = t.indexSlot(static_cast<uint32_t>(oldest));
        age = dmg::TempSlotCount - 1;
    }
    std::memcpy(base + target, rec.bytes, rec.size);
    wr32(base + target, age);
    finishTempChange(ctx, count);
    return true;
}

bool removeTempWord(EngineContext& ctx, uint32_t i) {
    FolderWrite hold(ctx);
    CodeTable t = tempView(ctx);
    if (!t.valid() || i >= t.count()) return false;
    // temp.dmg is small and a change touches its ages, index and slots all
    // over: the whole file is saved before it changes.
    if (!hold.saveWhole(*ctx.file(SlotTemp))) return false;
    uint8_t* base = t.base();
    uint32_t count = t.count();
    uint32_t gone = ageAt(t, i);
    uint32_t off = t.indexSlot(i);
    std::memmove(slotPtr(base, i), slotPtr(base, i + 1), 4 * size_t(count - 1 - i));
    wr32(slotPtr(base, count - 1), off);
    --count;
    for (uint32_t k = 0; k < count; ++k) {
        uint8_t* r = base + t.indexSlot(k);
        uint32_t a = rd32(r);
        if ((a & kAgeMask) > gone) wr32(r, a - 1);
    }
    finishTempChange(ctx, count);
    return true;
}

void clearTempWords(EngineContext& ctx) {
    FolderWrite hold(ctx);
    ++ctx.rangeEpoch;  // the index changes
    platform::MappedFile* f = ctx.file(SlotTemp);
    if (!f || !f->isOpen()) return;
    if (!hold.saveWhole(*f)) return;
    resetTempTable(f->data(), f->size());
    f->flush();
}

bool promoteTempWord(EngineContext& ctx, int listIndex) {
    CandidateList& list = ctx.candidates;
    if (listIndex < 0 || listIndex >= list.count || list.items[listIndex].source != SourceTemp) return false;
    const uint32_t offset = list.items[listIndex].ref;
    // The word leaves temp.dmg and enters main.dmg in one hold of the lock.
    FolderWrite hold(ctx);
    EntryView e = tableView(ctx, SlotTemp).recordAt(offset);
    if (!e.valid()) return false;
    RecordBuffer rec;
    if (!buildCodeRecord(attr::make(1024, CategoryUser), e.codeBytes(), e.wordText(), rec)) return false;
    if (addEntry(ctx, SlotMain, rec) == AddResult::Failed) return false;
    syncTables(ctx);
    CodeTable t = tempView(ctx);
    for (uint32_t i = 0; i < t.count(); ++i)
        if (t.indexSlot(i) == offset) return removeTempWord(ctx, i);
    return false;
}

void rememberCommittedEntry(EngineContext& ctx, const Candidate& c) {
    ctx.lastCommitSource = c.source;
    ctx.lastCommitSlot = c.slot;
    ctx.lastCommitRef = c.ref;
}

std::u16string deleteConfirmationText(const EngineContext& ctx) {
    if (!(ctx.lastCommitSource & SourceTableBit) ||
        (ctx.lastCommitSlot != SlotMain && ctx.lastCommitSlot != SlotTemp))
        return {};
    EntryView e = tableView(ctx, static_cast<DataSlot>(ctx.lastCommitSlot)).recordAt(ctx.lastCommitRef);
    if (!e.valid()) return {};
    std::u16string text = u"编码: ";
    for (uint32_t i = 0; i < e.codeLen; ++i) text.push_back(unitFromCodeByte(e.code[i]));
    text += u"\r\n词条: ";
    text += e.wordText();
    text += ctx.lastCommitSlot == SlotMain ? u"\r\n所属: 主码表\r\n删除后可在码表管理中恢复。"
                                            : u"\r\n所属: 临时码表\r\n删除后可在码表管理中恢复。";
    return text;
}

bool deleteLastCommitted(EngineContext& ctx) {
    std::u16string text = deleteConfirmationText(ctx);
    if (text.empty() || !ctx.platform.dialogs) return false;
    if (!ctx.platform.dialogs->confirm(u"确定删除当前词条？", text)) return false;
    return setEntryDeleted(ctx, static_cast<DataSlot>(ctx.lastCommitSlot), ctx.lastCommitRef, true);
}

uint8_t* writableRecord(EngineContext& ctx, DataSlot slot, uint32_t offset) {
    CodeTable t = tableView(ctx, slot);
    platform::MappedFile* f = ctx.file(slot);
    if (!t.valid() || t.isWordList() || !f || f->isHeapCopy() || !indexedRecord(t, offset)) return nullptr;
    return t.base() + offset;
}

uint8_t* writableRecord(EngineContext& ctx, const Candidate& c) {
    if (c.source != SourceMain || c.slot != SlotMain) return nullptr;
    return writableRecord(ctx, SlotMain, c.ref);
}

bool setEntryDeleted(EngineContext& ctx, DataSlot slot, uint32_t offset, bool deleted) {
    FolderWrite hold(ctx);
    CodeTable t = tableView(ctx, slot);
    if (!writableRecord(ctx, slot, offset)) return false;
    EntryView e = t.recordAt(offset);
    uint32_t a = deleted ? e.attributes | attr::DeletedBit : e.attributes & ~attr::DeletedBit;
    wr32(t.base() + offset, a);
    ctx.file(slot)->flush();
    return true;
}

}  // namespace zv
