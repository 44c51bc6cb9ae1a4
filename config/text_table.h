#pragma once
// The text form of code tables: one entry per line as word, TAB and code
// with markers; "//" comments; "---config@" directives that name and
// classify the table. Shared by the full build, the import and the export.

#include "engine/entry_text.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zv::config {

// A full build and an import read the same lines slightly differently:
// "///" escapes a leading "//" and "\s" gives a space only in a full build;
// an import honours only the category and global-order directives.
enum class TableTextMode { FullBuild, Import };

constexpr std::u16string_view DirectivePrefix = u"---config@";
constexpr int CategorySlots = 32;
constexpr uint32_t RightEditable = 0x1;
constexpr uint32_t RightInUse = 0x2;

struct TableDirectives {
    int format = 0;  // 1 "单列码表", 2 "酷极格式"; recorded only
    bool globalOrderGiven = false;
    uint16_t globalOrder = 0;
    uint32_t initialOrder = 0x4000;  // first value of the per-first-byte counters
    int category = CategoryNone;     // from "码表分类="; none when not given
    std::u16string names[CategorySlots];
    uint32_t rights[CategorySlots] = {};
};

// Calls f(line) for every line of text; a line ends at CR LF, CR or LF.
template <class F>
void forEachLine(std::u16string_view text, F f) {
    size_t i = 0, n = text.size();
    while (i <= n) {
        size_t j = i;
        while (j < n && text[j] != u'\r' && text[j] != u'\n') ++j;
        if (j == n && i == n) break;
        f(text.substr(i, j - i));
        if (j < n && text[j] == u'\r' && j + 1 < n && text[j + 1] == u'\n') ++j;
        i = j + 1;
    }
}

bool isComment(std::u16string_view line);
bool isDirective(std::u16string_view line);
// Applies one directive (the text after "---config@").
void applyDirective(std::u16string_view body, TableDirectives& d, TableTextMode mode);
// Reads every directive of a text, in order, so that the last one wins.
TableDirectives readDirectives(std::u16string_view text, TableTextMode mode);

// Replaces the escapes of a word in place ("\\", "\r" as CR LF, "\t", and in
// a full build "\s"); returns the new length.
size_t unescapeWord(char16_t* word, size_t length, TableTextMode mode);
std::u16string unescapeWord(std::u16string_view word, TableTextMode mode);
// The escaped form the export writes: CR LF, CR and LF as "\r", TAB as
// "\t", backslash as "\\".
std::u16string escapeWord(std::u16string_view word);

// Printable ASCII or one of the keypad forms U+FF0A..U+FF19.
inline bool isCodeUnit(char16_t u) { return (u >= 0x20 && u < 0x80) || (u >= 0xFF0A && u <= 0xFF19); }
// Code bytes of a code text; false when a character is outside the code
// alphabet, the text is empty or longer than a stored code may be.
bool encodeCode(std::u16string_view text, std::string& out);

// The code part of an entry line: markers cut off, the code checked.
struct LineCode {
    std::string code;  // code bytes
    uint32_t attributes = 0;
    bool orderGiven = false;     // a non-zero "#序"
    bool categoryGiven = false;
};
enum class LineCodeStatus { Ok, Empty, BadCharacter, TooLong };
// Besides the markers of entry texts, "#已删除" (which the export writes
// for deleted entries) sets the deleted bit, so that an export reads back.
LineCodeStatus parseLineCode(std::u16string_view codeText, LineCode& out);

}  // namespace zv::config
