// The viewer's commands of zvconfig: list, add, delete, undelete, lookup and
// reverse-lookup. They open the folder through the engine, as the
// configuration program's viewer does.

#include "config/cli/cli.h"
#include "config/entry_editor.h"
#include "config/text_table.h"
#include "config/viewer.h"
#include "engine/candidates.h"
#include "engine/data_files.h"
#include "engine/input.h"
#include "engine/lookup.h"
#include "engine/user_words.h"

namespace zv::config::cli {

namespace {

constexpr std::u16string_view DeleteQuestion = u"是否继续删除选中词条？";

// One line per row: row number, code, word, category text, order value.
// Words may hold line breaks and TABs; they are written escaped, as the
// export writes them.
void printRows(Session& s, const CodeTable& table, ViewerTable which, const std::vector<uint32_t>& positions) {
    uint64_t number = 0;
    for (uint32_t p : positions) {
        ++number;
        auto row = viewRow(table, p, which, s.engine->blocks.soft);
        if (!row) continue;
        s.print(decimal(number) + u'\t' + row->code + u'\t' + escapeWord(row->word) + u'\t' + row->category + u'\t' +
                decimal(row->order));
    }
}

bool filterFits(Session& s, std::u16string_view text) {
    if (text.size() <= MaxFilterUnits) return true;
    s.error(u"筛选文字过长：编码和词条最多 " + decimal(MaxFilterUnits) + u" 个字符。");
    return false;
}

int runList(Session& s) {
    ViewFilter f;
    std::string value, tableName = "main";
    bool bad = false;
    if (takeValue(s.args, "--code", &value, &bad)) f.code = fromUtf8(value);
    if (takeValue(s.args, "--word", &value, &bad)) f.word = fromUtf8(value);
    if (takeValue(s.args, "--category", &value, &bad) && (!parseInt(value, &f.category) || f.category < 0 || f.category > 31))
        bad = true;
    takeValue(s.args, "--table", &tableName, &bad);
    f.partial = takeFlag(s.args, "--prefix");
    f.deletedOnly = takeFlag(s.args, "--deleted");
    f.fixedOnly = takeFlag(s.args, "--fixed");
    DataSlot slot;
    if (tableName == "main") slot = SlotMain;
    else if (tableName == "temp") slot = SlotTemp;
    else if (tableName == "sysl") slot = SlotAssociation;
    else if (tableName == "engl") slot = SlotEnglish;
    else bad = true;
    // Categories belong to the main table.
    if (bad || !s.args.empty() || (f.category && tableName != "main")) return usageError(s, "list");
    if (!filterFits(s, f.code) || !filterFits(s, f.word)) return ExitUsage;
    if (!s.openEngine()) return ExitUsage;

    CodeTable table = tableView(*s.engine, slot);
    if (!table.valid()) {
        s.error(TableUnavailable);
        s.error(u"（" + s.folder.path(dataFileName(slot)) + u"）");
        return ExitUsage;
    }
    printRows(s, table, viewerTableOf(dataFileName(slot)), buildViewList(table, f));
    return ExitOk;
}

bool editStatusOk(Session& s, EditStatus status) {
    if (status == EditStatus::Ok) return true;
    if (status == EditStatus::NotWritable) {
        s.error(u"数据文件无法写入: " + s.folder.path(u"main.dmg"));
    } else {
        s.error(TableUnavailable);
        s.error(u"（main.dmg 已损坏，可用 zvconfig check 查看）");
    }
    return false;
}

// Opens the folder for a command that changes main.dmg; prints why not.
bool openForEditing(Session& s) {
    return s.openEngine() && editStatusOk(s, mainTableEditable(*s.engine));
}

int runAdd(Session& s) {
    if (s.args.empty() || s.args.size() > 2) return usageError(s, "add");
    if (!openForEditing(s)) return ExitUsage;
    EngineContext& ctx = *s.engine;
    EntryVerdict refusal;
    // The viewer's 添加 with every category shown: a user word.
    auto category = categoryForAdding(ctx.blocks.soft, 0, &refusal);
    if (!category) {
        s.error(entryVerdictText(refusal));
        return ExitRefused;
    }
    EntryRequest r;
    r.category = *category;
    r.word = fromUtf8(s.args[0]);
    if (s.args.size() == 2) {
        r.code = fromUtf8(s.args[1]);
    } else {
        platform::MappedFile* f = ctx.file(SlotChars);
        CharCodeTable danzi = f ? CharCodeTable(f->data(), f->size()) : CharCodeTable();
        r.code = proposeCode(r.word, ctx.blocks.dme, danzi);
    }
    const EntryVerdict v = confirmEntry(ctx, r);
    if (v == EntryVerdict::Added) {
        s.print(u"已添加词条: " + escapeWord(r.word) + u'\t' + r.code);
        return ExitOk;
    }
    if (v == EntryVerdict::Undeleted) {
        s.print(std::u16string(entryVerdictText(v)) + u": " + escapeWord(r.word) + u'\t' + r.code);
        return ExitOk;
    }
    s.error(entryVerdictText(v));
    return v == EntryVerdict::TableUnavailable ? ExitUsage : ExitRefused;
}

// The position of the entry named on the command line; prints why not.
std::optional<uint32_t> namedEntry(Session& s) {
    const std::u16string code = fromUtf8(s.args[0]), word = fromUtf8(s.args[1]);
    auto at = findEntry(tableView(*s.engine, SlotMain), code, word);
    if (!at) s.error(u"主码表中没有这个词条: " + code + u' ' + escapeWord(word));
    return at;
}

int runDelete(Session& s) {
    if (s.args.size() != 2) return usageError(s, "delete");
    if (!openForEditing(s)) return ExitUsage;
    auto at = namedEntry(s);
    if (!at) return ExitRefused;
    if (!s.confirm(DeleteQuestion)) return ExitRefused;
    DeleteCounts counts;
    if (!editStatusOk(s, deleteEntries(*s.engine, {*at}, &counts))) return ExitUsage;
    s.print(counts.removed ? u"词条已删除。" : u"词条已标记为删除，可用 zvconfig undelete 恢复。");
    return ExitOk;
}

int runUndelete(Session& s) {
    if (s.args.size() != 2) return usageError(s, "undelete");
    if (!openForEditing(s)) return ExitUsage;
    auto at = namedEntry(s);
    if (!at) return ExitRefused;
    if (!attr::deleted(tableView(*s.engine, SlotMain).entry(*at).attributes)) {
        s.print(u"词条未被删除。");
        return ExitOk;
    }
    if (!editStatusOk(s, undeleteEntries(*s.engine, {*at}))) return ExitUsage;
    s.print(u"取消删除");
    return ExitOk;
}

int runLookup(Session& s) {
    if (s.args.size() != 1) return usageError(s, "lookup");
    const std::u16string code = fromUtf8(s.args[0]);
    if (code.empty() || code.size() > static_cast<size_t>(InputState::MaxCode)) {
        s.error(u"编码须为 1 到 " + decimal(InputState::MaxCode) + u" 个字符。");
        return ExitUsage;
    }
    for (char16_t u : code) {
        if (!isCodeUnit(u)) {
            s.error(u"编码不能非键盘字符");
            return ExitUsage;
        }
    }
    if (!s.openEngine()) return ExitUsage;
    EngineContext& ctx = *s.engine;
    evaluateCode(ctx, code);
    std::vector<PageItem> items;
    uint64_t number = 0;
    for (int k = 0;; ++k) {
        const Candidate* c = orderedCandidate(ctx, k);
        if (!c) break;
        items.clear();
        candidateItems(ctx, *c, items);
        const std::u16string hint = candidateHint(ctx, *c);
        for (const PageItem& item : items) s.print(decimal(++number) + u'\t' + escapeWord(item.display) + u'\t' + hint);
    }
    return ExitOk;
}

int runReverseLookup(Session& s) {
    const bool clipboard = takeFlag(s.args, "--clipboard");
    if (!s.args.empty()) return usageError(s, "reverse-lookup");
    if (!s.openEngine()) return ExitUsage;
    EngineContext& ctx = *s.engine;
    ViewFilter f;
    if (clipboard) {
        f.word = ctx.platform.clipboard->text().substr(0, MaxFilterUnits);
        if (f.word.empty()) {
            s.error(u"剪贴板中没有文字。");
            return ExitRefused;
        }
    } else {
        // The newest text the input method recorded as committed.
        f.word = newestHistoryText(ctx.blocks.ime);
        if (f.word.empty()) {
            s.error(u"还没有可反查的上屏文字。");
            return ExitRefused;
        }
    }
    CodeTable table = tableView(ctx, SlotMain);
    printRows(s, table, ViewerTable::Main, buildViewList(table, f));
    return ExitOk;
}

const Command kViewerCommands[] = {
    {"list", "[--code C] [--word W] [--prefix] [--category N] [--deleted] [--fixed] [--table main|temp|sysl|engl]",
     runList},
    {"add", "WORD [CODE]", runAdd},
    {"delete", "CODE WORD", runDelete},
    {"undelete", "CODE WORD", runUndelete},
    {"lookup", "CODE", runLookup},
    {"reverse-lookup", "[--clipboard]", runReverseLookup},
};

}  // namespace

std::span<const Command> viewerCommands() { return kViewerCommands; }

}  // namespace zv::config::cli
