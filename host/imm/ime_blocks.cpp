#include "host/imm/ime_blocks.h"

#include <algorithm>
#include <cstring>

namespace zv::imm {

namespace {

// The header of a composition string: 25 DWORDs, each a length or an
// offset, in the order the system declares them.
enum CompositionField : uint32_t {
    FieldSize,
    ReadAttrLen, ReadAttrOffset, ReadClauseLen, ReadClauseOffset, ReadStrLen, ReadStrOffset,
    AttrLen, AttrOffset, ClauseLen, ClauseOffset, StrLen, StrOffset,
    CursorPos, DeltaStart,
    ResultReadClauseLen, ResultReadClauseOffset, ResultReadStrLen, ResultReadStrOffset,
    ResultClauseLen, ResultClauseOffset, ResultStrLen, ResultStrOffset,
    PrivateSize, PrivateOffset,
};

// The header of a candidate info, then of its list.
constexpr uint32_t InfoSize = 0, InfoCount = 4, InfoOffsets = 8, InfoPrivateSize = 136, InfoPrivateOffset = 140;
constexpr uint32_t ListSizeField = 0, ListStyle = 4, ListCount = 8, ListSelection = 12, ListPageStart = 16,
                   ListPageSize = 20, ListOffsets = 24;

uint32_t get32(Block b, size_t at) {
    uint32_t v = 0;
    if (at + 4 <= b.size) std::memcpy(&v, b.data + at, 4);
    return v;
}

void put32(Block b, size_t at, uint32_t v) {
    if (at + 4 <= b.size) std::memcpy(b.data + at, &v, 4);
}

uint32_t field(Block b, CompositionField f) { return get32(b, 4 * f); }
void setField(Block b, CompositionField f, uint32_t v) { put32(b, 4 * f, v); }

// Writes up to `limit` units and a terminator; the number written.
uint32_t putText(Block b, size_t at, std::u16string_view s, uint32_t limit) {
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(s.size(), limit));
    if (at + 2 * (size_t{n} + 1) > b.size) return 0;
    if (n > 0) std::memcpy(b.data + at, s.data(), 2 * size_t{n});
    std::memset(b.data + at + 2 * size_t{n}, 0, 2);
    return n;
}

std::u16string getText(Block b, size_t at, size_t units) {
    std::u16string s;
    if (at > b.size || units > (b.size - at) / 2) return s;
    s.resize(units);
    if (units > 0) std::memcpy(s.data(), b.data + at, 2 * units);
    return s;
}

void putAttributes(Block b, size_t at, uint32_t n) {
    if (at + n + 1 > b.size) return;
    std::memset(b.data + at, composition_block::TargetConverted, n);
    b.data[at + n] = 0;
}

}  // namespace

bool initCompositionBlock(Block b) {
    namespace c = composition_block;
    if (!b || b.size < c::Size) return false;
    std::memset(b.data, 0, c::Private);
    setField(b, FieldSize, c::Size);
    setField(b, ReadAttrOffset, c::ReadingAttributes);
    setField(b, ReadClauseOffset, c::ReadingClauses);
    setField(b, ReadStrOffset, c::ReadingString);
    setField(b, AttrOffset, c::Attributes);
    setField(b, ClauseOffset, c::Clauses);
    setField(b, StrOffset, c::String);
    setField(b, ResultReadClauseOffset, c::ResultReadingClauses);
    setField(b, ResultReadStrOffset, c::ResultReadingString);
    setField(b, ResultClauseOffset, c::ResultClauses);
    setField(b, ResultStrOffset, c::ResultString);
    setField(b, PrivateOffset, c::Private);
    setField(b, PrivateSize, c::Size - c::Private);
    return true;
}

bool initCandidateBlock(Block b) {
    namespace c = candidate_block;
    if (!b || b.size < c::Size) return false;
    std::memset(b.data, 0, c::Size);
    put32(b, InfoSize, c::Size);
    put32(b, InfoCount, 1);
    for (int i = 0; i < 3; ++i) put32(b, InfoOffsets + 4 * i, c::List);
    put32(b, InfoPrivateSize, c::PrivateSize);
    put32(b, InfoPrivateOffset, c::Private);
    put32(b, c::List + ListSizeField, c::ListSize);
    put32(b, c::List + ListStyle, c::ReadingStyle);
    put32(b, c::List + ListPageSize, c::PageSize);
    for (uint32_t i = 0; i < c::Slots; ++i) put32(b, c::List + ListOffsets + 4 * i, c::FirstSlot + c::SlotBytes * i);
    return true;
}

void writeComposition(Block b, std::u16string_view display, std::u16string_view reading, int cursor) {
    namespace c = composition_block;
    if (!b || b.size < c::Size) return;
    const uint32_t readLen = putText(b, c::ReadingString, reading, c::MaxUnits);
    const uint32_t len = putText(b, c::String, display, c::MaxUnits);
    putAttributes(b, c::ReadingAttributes, readLen);
    putAttributes(b, c::Attributes, len);
    setField(b, ReadStrLen, readLen);
    setField(b, ReadAttrLen, readLen);
    setField(b, StrLen, len);
    setField(b, AttrLen, len);
    setField(b, CursorPos, static_cast<uint32_t>(std::clamp(cursor, 0, static_cast<int>(len))));
    setField(b, DeltaStart, len > 0 ? len - 1 : 0);
}

void writeResult(Block b, std::u16string_view result) {
    namespace c = composition_block;
    if (!b || b.size < c::Size) return;
    writeComposition(b, {}, {}, 0);
    // The private area is this input method's own: it holds a result that
    // does not fit the result area (a long macro output).
    const bool own = result.size() <= c::MaxUnits;
    const uint32_t at = own ? c::ResultString : c::Private;
    const uint32_t room = own ? c::MaxUnits : static_cast<uint32_t>((b.size - c::Private) / 2 - 1);
    setField(b, ResultStrOffset, at);
    setField(b, ResultStrLen, putText(b, at, result, room));
    setField(b, ResultReadStrLen, 0);
}

void writeCandidates(Block b, const std::vector<std::u16string_view>& page, int highlight) {
    namespace c = candidate_block;
    if (!b || b.size < c::Size) return;
    const uint32_t count = static_cast<uint32_t>(std::min<size_t>(page.size(), c::Slots));
    for (uint32_t i = 0; i < count; ++i)
        putText(b, c::List + c::FirstSlot + c::SlotBytes * i, page[i], c::SlotBytes / 2 - 1);
    put32(b, c::List + ListCount, count);
    put32(b, c::List + ListSelection,
          count == 0 ? 0 : static_cast<uint32_t>(std::clamp(highlight, 0, static_cast<int>(count) - 1)));
    put32(b, c::List + ListPageStart, 0);
}

std::u16string compositionString(Block b) { return getText(b, field(b, StrOffset), field(b, StrLen)); }
std::u16string readingString(Block b) { return getText(b, field(b, ReadStrOffset), field(b, ReadStrLen)); }
std::u16string resultString(Block b) { return getText(b, field(b, ResultStrOffset), field(b, ResultStrLen)); }
uint32_t cursorPosition(Block b) { return field(b, CursorPos); }

std::vector<std::u16string> candidates(Block b) {
    namespace c = candidate_block;
    std::vector<std::u16string> out;
    const uint32_t count = std::min(get32(b, c::List + ListCount), c::Slots);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t at = c::List + get32(b, c::List + ListOffsets + 4 * i);
        size_t n = 0;
        while (n < c::SlotBytes / 2 && at + 2 * n + 2 <= b.size && (b.data[at + 2 * n] || b.data[at + 2 * n + 1])) ++n;
        out.push_back(getText(b, at, n));
    }
    return out;
}

uint32_t candidateSelection(Block b) { return get32(b, candidate_block::List + ListSelection); }

}  // namespace zv::imm
