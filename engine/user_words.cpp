#include "engine/user_words.h"

#include "engine/bytes.h"
#include "engine/candidates.h"
#include "engine/commands.h"
#include "engine/data_files.h"
#include "engine/folder_write.h"
#include "engine/lookup.h"
#include "engine/rules.h"
#include "engine/table_update.h"

#include <algorithm>

namespace zv {

namespace {

constexpr size_t kTextUnits = 16;
constexpr size_t kCodeUnits = 8;
constexpr size_t kEntryText = 2, kEntryCodes = 36;
constexpr std::u16string_view kDictionaryHost = u"https://dict.zorvan.org";

int clampedCount(const ImeSettings& ime) {
    uint32_t n = ime.u32(ImeSettings::HistoryCount);
    return static_cast<int>(std::min<uint32_t>(n, kHistoryEntries));
}

// The characters of a text as slices (a surrogate pair is one character).
std::vector<std::u16string_view> characters(std::u16string_view text) {
    std::vector<std::u16string_view> out;
    for (size_t i = 0; i < text.size();) {
        size_t n = text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                           text[i + 1] < 0xE000
                       ? 2
                       : 1;
        out.push_back(text.substr(i, n));
        i += n;
    }
    return out;
}

void writeEntry(uint8_t* e, const HistoryEntry& h) {
    std::fill(e, e + ImeSettings::HistoryEntrySize, 0);
    e[0] = static_cast<uint8_t>(std::min(h.text.size(), kTextUnits));
    e[1] = static_cast<uint8_t>(h.characters);
    for (size_t i = 0; i < h.text.size() && i < kTextUnits; ++i) wr16(e + kEntryText + 2 * i, h.text[i]);
    for (size_t c = 0; c < h.codes.size() && c < kTextUnits; ++c)
        for (size_t k = 0; k < h.codes[c].size() && k < kCodeUnits; ++k)
            wr16(e + kEntryCodes + 2 * (c * kCodeUnits + k), h.codes[c][k]);
}

}  // namespace

int historyCount(const ImeSettings& ime) { return clampedCount(ime); }

HistoryEntry historyEntry(const ImeSettings& ime, int i) {
    HistoryEntry h;
    if (i < 0 || i >= clampedCount(ime)) return h;
    const uint8_t* e = ime.historyEntry(i);
    size_t len = std::min<size_t>(e[0], kTextUnits);
    for (size_t k = 0; k < len; ++k) h.text.push_back(rd16(e + kEntryText + 2 * k));
    h.characters = std::min<int>(e[1], static_cast<int>(kTextUnits));
    h.codes.resize(h.characters);
    for (int c = 0; c < h.characters; ++c)
        for (size_t k = 0; k < kCodeUnits; ++k) {
            char16_t u = rd16(e + kEntryCodes + 2 * (c * kCodeUnits + k));
            if (!u) break;
            h.codes[c].push_back(u);
        }
    return h;
}

std::u16string newestHistoryText(const ImeSettings& ime) {
    int n = clampedCount(ime);
    return n ? historyEntry(ime, n - 1).text : u"";
}

bool recordCommit(ImeSettings& ime, const DmeSettings& dme, std::u16string_view word, std::string_view code) {
    if (word.empty() || code.empty() || word.size() > 15) return false;
    if (word.size() > 5 && word.substr(0, 6) == u"$zvcmd") return false;
    HistoryEntry h;
    h.text.assign(word);
    auto chars = characters(word);
    h.characters = static_cast<int>(chars.size());
    h.codes.assign(chars.size(), u"");
    const std::u16string units = textFromCode(code);
    if (chars.size() == 1) {
        h.codes[0] = units.substr(0, kCodeUnits);
    } else {
        // The rule for the word's length hands the code out to its characters.
        size_t next = 0;
        for (uint16_t el : ruleElements(dme, static_cast<int>(chars.size()))) {
            const int d = rule::character(el), m = rule::position(el);
            if (d < 1 || d > static_cast<int>(kTextUnits) || rule::isF(el) || d > h.characters) continue;
            std::u16string& slot = h.codes[d - 1];
            if (m == 0) {
                slot = units.substr(std::min(next, units.size()), kCodeUnits);
                break;
            }
            if (m > static_cast<int>(kCodeUnits - 1) || next >= units.size()) continue;
            if (slot.size() < static_cast<size_t>(m)) slot.resize(m, u'\0');
            slot[m - 1] = units[next++];
        }
        // Positions never handed out end a character's code.
        for (auto& s : h.codes) s.resize(std::find(s.begin(), s.end(), u'\0') - s.begin());
    }
    int n = clampedCount(ime);
    if (n == kHistoryEntries) {
        for (int i = 1; i < kHistoryEntries; ++i)
            std::copy(ime.historyEntry(i), ime.historyEntry(i) + ImeSettings::HistoryEntrySize, ime.historyEntry(i - 1));
        --n;
    }
    writeEntry(ime.historyEntry(n), h);
    ime.setU32(ImeSettings::HistoryCount, static_cast<uint32_t>(n + 1));
    return true;
}

int formTemporaryWords(EngineContext& ctx) {
    const ImeSettings& ime = ctx.blocks.ime;
    const int count = clampedCount(ime);
    int added = 0;
    for (int j = 2; j < count && j < kHistoryEntries; ++j) {
        std::u16string text;
        std::vector<std::u16string> codes;
        for (int i = count - j; i < count; ++i) {
            HistoryEntry h = historyEntry(ime, i);
            if (text.size() + h.text.size() > kTextUnits) break;
            text += h.text;
            for (auto& c : h.codes) codes.push_back(c);
        }
        const int b = static_cast<int>(codes.size());
        if (b < 2 || b > 16) break;
        std::vector<uint16_t> elements = ruleElements(ctx.blocks.dme, b);
        if (elements.empty()) continue;
        std::u16string code;
        bool complete = true;
        for (uint16_t el : elements) {
            const int d = rule::character(el), m = rule::position(el);
            if (d < 1 || d > b || rule::isF(el)) continue;
            const std::u16string& c = codes[d - 1];
            if (m == 0) {
                code += c;
            } else if (static_cast<size_t>(m) <= c.size()) {
                code.push_back(c[m - 1]);
            } else {
                complete = false;
                break;
            }
        }
        if (!complete || code.empty()) continue;
        RecordBuffer rec;
        if (!buildCodeRecord(0, codeFromText(code.substr(0, dmg::MaxCodeLen)), text, rec)) continue;
        EntryView v = viewOfRecord(rec.bytes, rec.size, false);
        std::u16string word = v.wordText();
        SearchKey key{v.code, v.codeLen, word.data(), v.wordLen};
        CodeTable mainTable = tableView(ctx, SlotMain);
        if (mainTable.valid() && mainTable.search(key, 0, mainTable.count()) > 0) continue;
        if (addTempWord(ctx, rec)) ++added;
    }
    return added;
}

void learnFromCommit(EngineContext& ctx, int listIndex) {
    if (!ctx.isOpen(SlotTemp) || !ctx.blocks.ime.bit(ImeSettings::OptionA, ImeSettings::A_TempWords)) return;
    if (ctx.modeFlags & (ModeEnglishWords | ModeTempEnglish | ModeAssociation)) return;
    const Candidate* c = orderedCandidate(ctx, listIndex);
    if (!c) return;
    const Candidate chosen = *c;
    EntryView e = candidateEntry(ctx, chosen);
    if (!(chosen.source & SourceTableBit) || !e.valid()) return;
    if (chosen.source != SourceTemp && attr::category(e.attributes) == CategoryAuxiliary) return;
    // The history in config.dsc, the temporary words and a promoted word
    // change together, with no other writer between.
    FolderWrite hold(ctx);
    e = candidateEntry(ctx, chosen);
    if (!e.valid()) return;
    const std::u16string word = e.wordText();
    const std::string code(e.codeBytes());
    if (chosen.source == SourceTemp) promoteTempWord(ctx, ctx.ordered[listIndex]);
    if (!recordCommit(ctx.blocks.ime, ctx.blocks.dme, word, code)) return;
    rememberCommittedEntry(ctx, chosen);
    formTemporaryWords(ctx);
    ctx.file(SlotConfig)->flush();
}

std::u16string dictionaryAddress(std::u16string_view text) {
    std::u16string address(kDictionaryHost);
    address += u"/dic/index.php?c=";
    address += text;
    return escapeWebAddress(address);
}

bool wordOperation(EngineContext& ctx, int position, int operation) {
    CandidatePage& page = ctx.page;
    if (position < 1 || position > page.count) return false;
    const int k = page.items[position - 1].candidate;
    const Candidate* c = orderedCandidate(ctx, k);
    if (!c || c->source == SourceTemp || !(c->source & SourceTableBit)) return false;
    const Candidate chosen = *c;
    FolderWrite hold(ctx);
    uint8_t* rec = writableRecord(ctx, chosen);
    auto flush = [&] { ctx.file(SlotMain)->flush(); };
    auto sameRank = [&](const Candidate& o) {
        uint8_t* r = writableRecord(ctx, o);
        return r && o.score == chosen.score && attr::fixed(rd32(r)) == attr::fixed(rd32(rec));
    };
    switch (operation) {
    case WordMoveUp:
    case WordMoveDown: {
        const Candidate* other = orderedCandidate(ctx, operation == WordMoveUp ? k - 1 : k + 1);
        if (!rec || !other || !sameRank(*other)) return false;
        uint8_t* o = writableRecord(ctx, *other);
        uint32_t a = rd32(rec), b = rd32(o);
        wr32(rec, (a & ~0xFFFFFu) | (b & 0xFFFFF));
        wr32(o, (b & ~0xFFFFFu) | (a & 0xFFFFF));
        flush();
        return true;
    }
    case WordMoveToTop:
    case WordMoveToBottom: {
        if (!rec) return false;
        const int step = operation == WordMoveToTop ? -1 : 1;
        std::vector<uint8_t*> run{rec};  // the chosen entry, then the run towards the end
        for (int i = k + step;; i += step) {
            const Candidate* o = orderedCandidate(ctx, i);
            if (!o || !sameRank(*o)) break;
            run.push_back(writableRecord(ctx, *o));
        }
        if (run.size() < 2) return false;
        // The values rotate: the chosen entry takes the far end's, each entry
        // of the run the one of its neighbour towards the chosen entry.
        std::vector<uint32_t> low;
        for (uint8_t* r : run) low.push_back(rd32(r) & 0xFFFFFF);
        for (size_t i = 0; i < run.size(); ++i) {
            uint32_t value = i == 0 ? low.back() : low[i - 1];
            wr32(run[i], (rd32(run[i]) & ~0xFFFFFFu) | value);
        }
        flush();
        return true;
    }
    case WordPin:
        if (!rec) return false;
        wr32(rec, rd32(rec) ^ attr::FixedBit);
        flush();
        return true;
    case WordRecategorise: {
        if (!rec) return false;
        uint32_t a = rd32(rec);
        wr32(rec, attr::withCategory(a, attr::category(a) == CategorySecondary ? CategorySystem : CategorySecondary));
        flush();
        return true;
    }
    case WordDelete:
        return setEntryDeleted(ctx, static_cast<DataSlot>(chosen.slot), chosen.ref, true);
    case WordInformation: {
        if (!ctx.platform.dialogs) return false;
        EntryView e = candidateEntry(ctx, chosen);
        std::u16string text = (ctx.modeFlags & ModeSecondaryOnly)
                                  ? u"当前检索码表: 次显码表  (可使用“码表切换键”切换至主码表)\r\n"
                                  : u"当前检索码表: 主码表  (可使用“码表切换键”切换至次显码表)\r\n";
        text += u"\r\n\r\n";
        text += attr::fixed(e.attributes) ? u"是否固顶词条: 是\r\n" : u"是否固顶词条: 否\r\n";
        switch (attr::category(e.attributes)) {
        case CategorySystem: text += u"分类: 主码表\r\n"; break;
        case CategoryUser: text += u"分类: 用户码表\r\n"; break;
        case CategorySecondary: text += u"分类: 次显码表\r\n"; break;
        case CategoryAuxiliary: text += u"分类: 辅助码表\r\n"; break;
        default: text += u"分类: 其它类型的码表\r\n"; break;
        }
        ctx.platform.dialogs->inform(u"词条信息 - " + page.items[position - 1].display, text,
                                     platform::DialogIcon::Information);
        return false;
    }
    case WordDictionary:
        if (ctx.platform.shell) ctx.platform.shell->open(dictionaryAddress(page.items[position - 1].display));
        return false;
    default: return false;
    }
}

}  // namespace zv
