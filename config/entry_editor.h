#pragma once
// The viewer's entry operations on main.dmg and the entry dialog (手动加词):
// deleting and undeleting entries, adding and editing one entry by the
// dialog's rules, and the code the word-formation rules propose for a word.
// They work on the tables of the configuration program's engine context;
// every refusal leaves the table as it was.

#include "engine/engine_context.h"
#include "engine/pair_table.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv::config {

// The entry with this code (as text) and word: its position in main.dmg's
// offset list.
std::optional<uint32_t> findEntry(const CodeTable& table, std::u16string_view code, std::u16string_view word);

enum class EditStatus {
    Ok,
    DamagedTable,  // the table cannot be trusted: nothing was changed
    NotWritable,   // main.dmg is a read-only copy: nothing was changed
};

// Whether main.dmg can be edited: mapped for writing and sound enough that
// records can be moved (every record inside the file, the index sorted).
EditStatus mainTableEditable(EngineContext& ctx);

struct DeleteCounts {
    uint32_t removed = 0;  // taken out of the table
    uint32_t marked = 0;   // given the deleted bit
};
// Deletes the entries at these positions of main.dmg, the highest first so
// that the others keep their places: an entry of the user category or of
// an editable one is removed (its bytes closed up, the offsets of the
// records below it moved along), any other only gets the deleted bit. Then
// the prefix index is rebuilt and the file flushed.
EditStatus deleteEntries(EngineContext& ctx, std::vector<uint32_t> positions, DeleteCounts* counts = nullptr);
// Clears the deleted bit of the entries at these positions.
EditStatus undeleteEntries(EngineContext& ctx, const std::vector<uint32_t>& positions);

// What the entry dialog's 确定 comes to.
enum class EntryVerdict {
    Added,           // the dialog closes
    Undeleted,       // "取消删除": an equal deleted entry came back; the dialog closes
    EmptyWord,       // "词条不能为空"
    EmptyCode,       // "编码不能为空"
    NotKeyboardCode, // "编码不能非键盘字符"
    BadDefinition,   // "非法的定义"
    Exists,          // "词条已存在"
    AddFailed,       // "加词失败"
    NotAuthorized,   // "该类词条未被授权修改！" (edit of a protected entry)
    NoUserCategory,  // "当前输入法未支持用户词功能！"
    TableUnavailable,  // "无法获取当前码表内容。"
};
std::u16string_view entryVerdictText(EntryVerdict v);
inline bool entryDone(EntryVerdict v) { return v == EntryVerdict::Added || v == EntryVerdict::Undeleted; }

enum class EntryMode { Add, OnlineAdd, Edit };

struct EntryRequest {
    EntryMode mode = EntryMode::Add;
    int category = CategoryUser;      // the dialog's category
    std::u16string word;
    std::u16string code;              // may carry the markers of entry texts
    bool beforeSystemWords = false;   // 新词添加在系统词条前: order value 0x4400 instead of 1024
    uint32_t oldPosition = 0;         // Edit: the entry being changed
};

// The dialog's 确定: the checks in the dialog's order, then the entry is
// added (an equal deleted entry is undeleted instead). Editing replaces the
// old entry only once the new one is in place, so a refused edit keeps it.
EntryVerdict confirmEntry(EngineContext& ctx, const EntryRequest& request);

// The category 添加 gives a new entry for the viewer's category choice: the
// user category for 0 (all), else the choice itself. Nothing when adding is
// refused: silently for a category that is not editable (*refusal stays
// Added), with NoUserCategory when the choice is all and the user category
// has no name.
std::optional<int> categoryForAdding(const SoftSettings& soft, int choice, EntryVerdict* refusal);
// Whether 修改 may change an entry with these attributes.
bool mayEdit(const SoftSettings& soft, uint32_t attributes);

// Words of 1..15 characters get a proposed code.
constexpr int MaxProposedCharacters = 15;
// The code the word-formation rules (with the characters' codes from
// danzi.dmi) give a word of 1..15 characters, a surrogate pair counting
// as one; empty for other lengths and when the rules give none.
std::u16string proposeCode(std::u16string_view word, const DmeSettings& rules, const CharCodeTable& danzi);

// The entry dialog's online add: the recent output, newest records first
// while the whole stays within 16 characters, in the order it was typed.
constexpr int MaxOnlineWordCharacters = 16;
std::u16string recentOutputText(const ImeSettings& ime);
// Characters, a surrogate pair counting once; the last n of them.
int characterCount(std::u16string_view text);
std::u16string lastCharacters(std::u16string_view text, int n);

}  // namespace zv::config
