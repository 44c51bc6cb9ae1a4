#include "engine/table_update.h"

#include "engine/bytes.h"
#include "engine/data_files.h"
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
    uint32_t count = t.count();
    uint32_t low = t.low();

    auto gapBelow = [&] { return int64_t(low) - (dmg::IndexStart + 4) - 4 * int64_t(count); };
    if (count > 0 && gapBelow() < 5 && slotOfOffset(t, low) < 0) {
        uint32_t lowest = lowestRecord(t);
        if (lowest >= dmg::IndexStart + 4 * count && lowest <= t.size()) low = lowest;
    }
    const int64_t gap = gapBelow();
    uint32_t placed;
    if (gap > int64_t(s) + 4) {
        low -= s;
        placed = low;
        std::memcpy(f->data() + placed, rec.bytes, s);
    } else if (gap < 5) {
        const uint32_t oldSize = f->size();
        int64_t lowSlot = count ? slotOfOffset(CodeTable(f->data(), oldSize), low) : -1;
        if (lowSlot < 0) {
            // No record to move out of the way (an empty table without room):
            // grow so that the index slot fits below the new record.
            uint32_t base = std::max<uint32_t>(oldSize, dmg::IndexStart + 4 * (count + 1));
            if (count || uint64_t(base) + s > kMaxFileSize || !(f = growFile(ctx, slot, base + s))) return AddResult::Failed;
            placed = base;
            low = base;
        } else {
            EntryView moved = CodeTable(f->data(), oldSize).recordAt(low);
            if (!moved.valid()) return AddResult::Failed;
            const uint32_t S = moved.recordSize();
            if (uint64_t(oldSize) + s + S > kMaxFileSize || !(f = growFile(ctx, slot, oldSize + s + S))) return AddResult::Failed;
            uint8_t* base = f->data();
            std::memmove(base + oldSize, base + low, S);
            wr32(slotPtr(base, static_cast<uint32_t>(lowSlot)), oldSize);
            placed = oldSize + S;
            low += S;
        }
        std::memcpy(f->data() + placed, rec.bytes, s);
    } else {
        const uint32_t oldSize = f->size();
        if (uint64_t(oldSize) + s > kMaxFileSize || !(f = growFile(ctx, slot, oldSize + s))) return AddResult::Failed;
        placed = oldSize;
        std::memcpy(f->data() + placed, rec.bytes, s);
    }
    uint8_t* base = f->data();
    wr32(slotPtr(base, count), placed);
    wr32(base, low);
    wr32(base + 4, count + 1);
    moveSlot(base, count, insertAt);
    f->flush();
    CodeTable grown(base, f->size());
    rebuildPrefixIndex(grown);
    f->flush();
    return AddResult::Added;
}

namespace {

CodeTable tempView(EngineContext& ctx) {
    CodeTable t = tableView(ctx, SlotTemp);
    return tempTableUsable(t) ? t : CodeTable{};
}

uint32_t ageAt(const CodeTable& t, uint32_t i) { return rd32(t.base() + t.indexSlot(i)) & kAgeMask; }

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
    CodeTable t = tempView(ctx);
    RecordKey key(rec);
    if (!t.valid() || !key.ok || rec.size > dmg::TempSlotSize) return false;
    if (t.search(key.key, 0, t.count()) > 0) return false;
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
    CodeTable t = tempView(ctx);
    if (!t.valid() || i >= t.count()) return false;
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
    ++ctx.rangeEpoch;  // the index changes
    platform::MappedFile* f = ctx.file(SlotTemp);
    if (!f || !f->isOpen()) return;
    resetTempTable(f->data(), f->size());
    f->flush();
}

bool promoteTempWord(EngineContext& ctx, int listIndex) {
    CandidateList& list = ctx.candidates;
    if (listIndex < 0 || listIndex >= list.count || list.items[listIndex].source != SourceTemp) return false;
    const uint32_t offset = list.items[listIndex].ref;
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

bool setEntryDeleted(EngineContext& ctx, DataSlot slot, uint32_t offset, bool deleted) {
    CodeTable t = tableView(ctx, slot);
    EntryView e = t.recordAt(offset);
    if (!e.valid() || t.isWordList()) return false;
    uint32_t a = deleted ? e.attributes | attr::DeletedBit : e.attributes & ~attr::DeletedBit;
    wr32(t.base() + offset, a);
    ctx.file(slot)->flush();
    return true;
}

}  // namespace zv
