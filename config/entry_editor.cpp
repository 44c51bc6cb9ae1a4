#include "config/entry_editor.h"

#include "config/prefix_index.h"
#include "config/table_check.h"
#include "config/table_export.h"
#include "config/text_table.h"
#include "config/word_code.h"
#include "engine/bytes.h"
#include "engine/folder_write.h"
#include "engine/lookup.h"
#include "engine/user_words.h"
#include "engine/table_update.h"
#include "engine/write_journal.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace zv::config {

namespace {

constexpr uint16_t kOrderBeforeSystemWords = 0x4400;
constexpr uint16_t kOrderNewWord = 1024;

uint8_t* slotAt(uint8_t* base, uint32_t i) { return base + dmg::IndexStart + 4 * i; }

}  // namespace

EditStatus mainTableEditable(EngineContext& ctx) {
    platform::MappedFile* f = ctx.file(SlotMain);
    if (!f || !f->isOpen()) return EditStatus::DamagedTable;
    if (f->isHeapCopy()) return EditStatus::NotWritable;
    if (!checkTable(f->data(), f->size(), TableKind::Code, false).empty()) return EditStatus::DamagedTable;
    return EditStatus::Ok;
}

namespace {

CodeTable mainTable(EngineContext& ctx) {
    platform::MappedFile* f = ctx.file(SlotMain);
    return CodeTable(f->data(), f->size());
}

// Takes the entry at a position out of the table: the records between the
// start of the record area and it move up over its bytes (the free room
// stays below the records, where additions go), their offsets move with
// them, and its index slot closes.
bool removeAt(CodeTable& t, uint32_t position) {
    EntryView e = t.entry(position);
    if (!e.valid() || e.offset < t.low()) return false;
    uint8_t* base = t.base();
    const uint32_t low = t.low(), at = e.offset, size = e.recordSize(), count = t.count();
    std::memmove(base + low + size, base + low, at - low);
    std::memset(base + low, 0, size);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t off = rd32(slotAt(base, i));
        if (i != position && off >= low && off < at) wr32(slotAt(base, i), off + size);
    }
    std::memmove(slotAt(base, position), slotAt(base, position + 1), 4 * size_t(count - 1 - position));
    wr32(slotAt(base, count - 1), 0);
    wr32(base, low + size);
    wr32(base + 4, count - 1);
    t = CodeTable(base, t.size());
    return true;
}

// Saves the header, prefix windows and index of main.dmg before entries
// leave the index; false when they cannot be saved (nothing may change).
bool journalIndex(EngineContext& ctx, const FolderWrite& hold, WriteJournal& journal) {
    const CodeTable t = mainTable(ctx);
    const uint64_t end = std::min<uint64_t>(dmg::IndexStart + 4 * uint64_t(t.count()), t.size());
    journal.keep(t.base(), 0, static_cast<uint32_t>(end));
    return hold.seal(journal, *ctx.file(SlotMain));
}

// An entry's code and word, kept while the table changes under it.
struct EntryKey {
    std::string code;
    std::u16string word;
    SearchKey key() const {
        return {reinterpret_cast<const uint8_t*>(code.data()), static_cast<uint32_t>(code.size()), word.data(),
                static_cast<uint32_t>(word.size())};
    }
};

}  // namespace

std::optional<uint32_t> findEntry(const CodeTable& table, std::u16string_view code, std::u16string_view word) {
    std::string bytes;
    if (!table.valid() || !encodeCode(code, bytes) || word.size() > dmg::MaxWordLen) return std::nullopt;
    SearchKey key{reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()), word.data(),
                  static_cast<uint32_t>(word.size())};
    int64_t found = table.search(key, 0, table.count());
    if (found <= 0) return std::nullopt;
    return static_cast<uint32_t>(found - 1);
}

EditStatus deleteEntries(EngineContext& ctx, std::vector<uint32_t> positions, DeleteCounts* counts) {
    DeleteCounts done;
    FolderWrite hold(ctx);
    if (EditStatus s = mainTableEditable(ctx); s != EditStatus::Ok) return s;
    WriteJournal journal(ctx.file(SlotMain)->path());
    if (!journalIndex(ctx, hold, journal)) return EditStatus::NotWritable;
    std::sort(positions.begin(), positions.end(), std::greater<>());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    CodeTable t = mainTable(ctx);
    const SoftSettings& soft = ctx.blocks.soft;
    for (uint32_t p : positions) {
        EntryView e = t.entry(p);
        if (!e.valid()) continue;
        const int category = attr::category(e.attributes);
        if (category == CategoryUser || categoryEditable(soft, category)) {
            if (removeAt(t, p)) ++done.removed;
        } else {
            wr32(t.base() + e.offset, e.attributes | attr::DeletedBit);
            ++done.marked;
        }
    }
    if (done.removed) recomputePrefixIndex(t);
    ctx.file(SlotMain)->flush();
    journal.finish();
    if (counts) *counts = done;
    return EditStatus::Ok;
}

EditStatus undeleteEntries(EngineContext& ctx, const std::vector<uint32_t>& positions) {
    FolderWrite hold(ctx);
    if (EditStatus s = mainTableEditable(ctx); s != EditStatus::Ok) return s;
    CodeTable t = mainTable(ctx);
    for (uint32_t p : positions) {
        EntryView e = t.entry(p);
        if (e.valid()) wr32(t.base() + e.offset, e.attributes & ~attr::DeletedBit);
    }
    ctx.file(SlotMain)->flush();
    return EditStatus::Ok;
}

std::u16string_view entryVerdictText(EntryVerdict v) {
    switch (v) {
    case EntryVerdict::Added: return u"";
    case EntryVerdict::Undeleted: return u"取消删除";
    case EntryVerdict::EmptyWord: return u"词条不能为空";
    case EntryVerdict::EmptyCode: return u"编码不能为空";
    case EntryVerdict::NotKeyboardCode: return u"编码不能非键盘字符";
    case EntryVerdict::BadDefinition: return u"非法的定义";
    case EntryVerdict::Exists: return u"词条已存在";
    case EntryVerdict::AddFailed: return u"加词失败";
    case EntryVerdict::NotAuthorized: return u"该类词条未被授权修改！";
    case EntryVerdict::NoUserCategory: return u"当前输入法未支持用户词功能！";
    case EntryVerdict::TableUnavailable: return u"无法获取当前码表内容。";
    }
    return u"";
}

bool mayEdit(const SoftSettings& soft, uint32_t attributes) {
    const int category = attr::category(attributes);
    return category == CategoryUser || categoryEditable(soft, category);
}

std::optional<int> categoryForAdding(const SoftSettings& soft, int choice, EntryVerdict* refusal) {
    if (refusal) *refusal = EntryVerdict::Added;
    if (choice == 0) {
        if (!soft.categoryName(CategoryUser).empty()) return int(CategoryUser);
        if (refusal) *refusal = EntryVerdict::NoUserCategory;
        return std::nullopt;
    }
    if (categoryEditable(soft, choice)) return choice;
    return std::nullopt;
}

EntryVerdict confirmEntry(EngineContext& ctx, const EntryRequest& r) {
    if (r.word.empty()) return EntryVerdict::EmptyWord;
    if (r.code.empty()) return EntryVerdict::EmptyCode;
    for (char16_t u : r.code)
        if (u > 0x80 && !(u >= 0xFF0A && u <= 0xFF19)) return EntryVerdict::NotKeyboardCode;
    // A code that would have to be cut or changed to be stored is no
    // definition of an entry.
    LineCode lc;
    if (r.word.size() > dmg::MaxWordLen || parseLineCode(r.code, lc) != LineCodeStatus::Ok)
        return EntryVerdict::BadDefinition;
    uint32_t attributes = attr::withCategory(lc.attributes & ~attr::DeletedBit, r.category);
    if (!attr::order(attributes)) attributes |= r.beforeSystemWords ? kOrderBeforeSystemWords : kOrderNewWord;
    RecordBuffer record;
    if (!buildCodeRecord(attributes, lc.code, r.word, record)) return EntryVerdict::BadDefinition;

    FolderWrite hold(ctx);
    switch (mainTableEditable(ctx)) {
    case EditStatus::Ok: break;
    case EditStatus::NotWritable: return EntryVerdict::AddFailed;
    case EditStatus::DamagedTable: return EntryVerdict::TableUnavailable;
    }
    CodeTable t = mainTable(ctx);
    const bool edit = r.mode == EntryMode::Edit;
    EntryKey old;
    if (edit) {
        EntryView e = t.entry(r.oldPosition);
        if (!e.valid()) return EntryVerdict::TableUnavailable;
        if (!mayEdit(ctx.blocks.soft, e.attributes)) return EntryVerdict::NotAuthorized;
        old.code.assign(e.codeBytes());
        old.word = e.wordText();
    }
    auto removeOld = [&] {
        CodeTable now = mainTable(ctx);
        int64_t at = now.search(old.key(), 0, now.count());
        if (at <= 0) return;
        WriteJournal journal(ctx.file(SlotMain)->path());
        if (!journalIndex(ctx, hold, journal)) return;
        if (removeAt(now, static_cast<uint32_t>(at - 1))) recomputePrefixIndex(now);
        ctx.file(SlotMain)->flush();
        journal.finish();
    };

    const EntryKey fresh{lc.code, r.word};
    const int64_t found = t.search(fresh.key(), 0, t.count());
    if (found > 0) {
        const uint32_t position = static_cast<uint32_t>(found - 1);
        EntryView e = t.entry(position);
        if (!e.valid()) return EntryVerdict::TableUnavailable;
        if (edit && position == r.oldPosition) {
            // The same code and word: the entry takes the dialog's attributes.
            wr32(t.base() + e.offset, attributes);
            ctx.file(SlotMain)->flush();
            return EntryVerdict::Added;
        }
        if (!attr::deleted(e.attributes)) return EntryVerdict::Exists;
        wr32(t.base() + e.offset, e.attributes & ~attr::DeletedBit);
        if (edit) removeOld();
        ctx.file(SlotMain)->flush();
        return EntryVerdict::Undeleted;
    }
    if (addEntry(ctx, SlotMain, record) != AddResult::Added) return EntryVerdict::AddFailed;
    if (edit) removeOld();
    ctx.file(SlotMain)->flush();
    return EntryVerdict::Added;
}

std::u16string proposeCode(std::u16string_view word, const DmeSettings& rules, const CharCodeTable& danzi) {
    const int characters = countCharacters(word);
    if (characters < 1 || characters > MaxProposedCharacters) return {};
    std::u16string code;
    if (wordCode(word, rules, danzi, code) != WordCodeStatus::Ok) return {};
    return code;
}

int characterCount(std::u16string_view text) {
    int n = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            ++i;
        ++n;
    }
    return n;
}

std::u16string lastCharacters(std::u16string_view text, int n) {
    size_t at = text.size();
    for (int taken = 0; taken < n && at > 0; ++taken) {
        --at;
        if (at > 0 && text[at] >= 0xDC00 && text[at] <= 0xDFFF && text[at - 1] >= 0xD800 && text[at - 1] <= 0xDBFF) --at;
    }
    return std::u16string(text.substr(at));
}

std::u16string recentOutputText(const ImeSettings& ime) {
    std::u16string text;
    for (int i = historyCount(ime) - 1; i >= 0; --i) {
        const std::u16string older = historyEntry(ime, i).text;
        if (characterCount(older) + characterCount(text) > MaxOnlineWordCharacters) break;
        text = older + text;
    }
    return text;
}

}  // namespace zv::config
