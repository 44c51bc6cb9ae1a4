#pragma once
// A code text with markers, as typed in text code tables and entry dialogs:
// "#序N" order value, "#类N" classified table, "#用" user, "#次" secondary
// display, "#辅" auxiliary, "#固" fixed. Each marker cuts the code where it
// stands.

#include "engine/code_table.h"

#include <optional>
#include <string>
#include <string_view>

namespace zv {

struct MarkedCode {
    std::string code;        // code bytes
    uint16_t order = 0;      // "#序"
    int category = CategoryNone;
    bool fixed = false;      // "#固"
    bool orderGiven = false;
    bool categoryGiven = false;
    // The code as written, once the markers are cut off (a view into the
    // parsed text), for callers that must reject characters outside the
    // code alphabet instead of stopping at them.
    std::u16string_view codeText;

    uint32_t attributes() const { return attr::make(order, category, fixed); }
};

// A signed decimal number at the start of text (as in "#序123" or a
// directive's value); 0 when there are no digits. Huge numbers stop at
// 10,000,000, beyond any order value or category.
long long leadingNumber(std::u16string_view text);

// Reads the markers in the order 序, 类, 用, 次, 辅, 固, each in the text as
// already cut by those found before it; of several category markers the one
// read last wins. Returns nothing when no code is left.
std::optional<MarkedCode> parseMarkedCode(std::u16string_view text);

// Builds the record for a marked code text and a word.
bool buildMarkedRecord(std::u16string_view codeText, std::u16string_view word, RecordBuffer& out);

}  // namespace zv
