#include "frontends/terminal/screen.h"

#include "engine/host_view.h"
#include "platform/utf.h"

#include <algorithm>
#include <iterator>

namespace zv::term {

namespace {

struct Range {
    char32_t first, last;
};

// East Asian Wide and Fullwidth characters (Unicode's EastAsianWidth W and
// F). Ambiguous characters count as narrow, as terminals show them by default.
constexpr Range kWide[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},   {0x23F0, 0x23F0},
    {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},   {0x2648, 0x2653},   {0x267F, 0x267F},
    {0x2693, 0x2693},   {0x26A1, 0x26A1},   {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},
    {0x26CE, 0x26CE},   {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},
    {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},
    {0x27B0, 0x27B0},   {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},
    {0x2E80, 0x2E99},   {0x2E9B, 0x2EF3},   {0x2F00, 0x2FD5},   {0x2FF0, 0x2FFF},   {0x3000, 0x303E},
    {0x3041, 0x3096},   {0x3099, 0x30FF},   {0x3105, 0x312F},   {0x3131, 0x318E},   {0x3190, 0x31E3},
    {0x31F0, 0x321E},   {0x3220, 0x3247},   {0x3250, 0x4DBF},   {0x4E00, 0xA48C},   {0xA490, 0xA4C6},
    {0xA960, 0xA97C},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE52},
    {0xFE54, 0xFE66},   {0xFE68, 0xFE6B},   {0xFF01, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4},
    {0x16FF0, 0x16FF1}, {0x17000, 0x187F7}, {0x18800, 0x18CD5}, {0x18D00, 0x18D08}, {0x1AFF0, 0x1AFFE},
    {0x1B000, 0x1B122}, {0x1B150, 0x1B152}, {0x1B164, 0x1B167}, {0x1B170, 0x1B2FB}, {0x1F004, 0x1F004},
    {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F202}, {0x1F210, 0x1F23B},
    {0x1F240, 0x1F248}, {0x1F250, 0x1F251}, {0x1F260, 0x1F265}, {0x1F300, 0x1F320}, {0x1F32D, 0x1F335},
    {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393}, {0x1F3A0, 0x1F3CA}, {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0},
    {0x1F3F4, 0x1F3F4}, {0x1F3F8, 0x1F43E}, {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC}, {0x1F4FF, 0x1F53D},
    {0x1F54B, 0x1F54E}, {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A}, {0x1F595, 0x1F596}, {0x1F5A4, 0x1F5A4},
    {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC}, {0x1F6D0, 0x1F6D2}, {0x1F6D5, 0x1F6D7},
    {0x1F6DC, 0x1F6DF}, {0x1F6EB, 0x1F6EC}, {0x1F6F4, 0x1F6FC}, {0x1F7E0, 0x1F7EB}, {0x1F7F0, 0x1F7F0},
    {0x1F90C, 0x1F93A}, {0x1F93C, 0x1F945}, {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FAFF}, {0x20000, 0x2FFFD},
    {0x30000, 0x3FFFD},
};

// Combining marks: drawn over the character before them.
constexpr Range kCombining[] = {
    {0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05BD}, {0x05BF, 0x05BF}, {0x05C1, 0x05C2},
    {0x05C4, 0x05C5}, {0x05C7, 0x05C7}, {0x0610, 0x061A}, {0x064B, 0x065F}, {0x0670, 0x0670},
    {0x06D6, 0x06DC}, {0x06DF, 0x06E4}, {0x06E7, 0x06E8}, {0x06EA, 0x06ED}, {0x0E31, 0x0E31},
    {0x0E34, 0x0E3A}, {0x0E47, 0x0E4E}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x20D0, 0x20FF},
    {0x302A, 0x302D}, {0x3099, 0x309A}, {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F}, {0xE0100, 0xE01EF},
};

// Invisible formatting characters, among them the bidirectional overrides
// that would reorder the rest of the line on some terminals: not shown.
constexpr Range kFormatting[] = {
    {0x00AD, 0x00AD}, {0x061C, 0x061C}, {0x180E, 0x180E}, {0x200B, 0x200F}, {0x202A, 0x202E},
    {0x2060, 0x2064}, {0x2066, 0x206F}, {0xFEFF, 0xFEFF}, {0xFFF9, 0xFFFB}, {0xE0000, 0xE007F},
};

template <size_t N>
bool inRanges(const Range (&ranges)[N], char32_t c) {
    auto it = std::upper_bound(std::begin(ranges), std::end(ranges), c,
                               [](char32_t v, const Range& r) { return v < r.first; });
    return it != std::begin(ranges) && c <= std::prev(it)->last;
}

constexpr char32_t kReplacement = 0xFFFD;

// What the screen shows for a character. Text from the tables and the
// clipboard is not trusted: control characters would be terminal commands,
// so they and broken units show as U+FFFD; formatting characters show not
// at all (0).
char32_t shownChar(char32_t c) {
    if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029) return kReplacement;
    if ((c >= 0xD800 && c < 0xE000) || c > 0x10FFFF || (c & 0xFFFE) == 0xFFFE) return kReplacement;
    if (inRanges(kFormatting, c)) return 0;
    return c;
}

// Walks a UTF-16 text by code points; a lone surrogate is one point of its own.
template <typename F>
void forEachPoint(std::u16string_view s, F f) {
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        const size_t at = i;
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        f(c, at);
    }
}

enum class Style : uint8_t {
    Plain,
    Bar,
    Composition,
    Label,
    Hint,
    Highlight,
    HighlightHint,
    Arrow,
    Disabled,
    KeyName,
    Message,
};

const char* sgrOf(Style s) {
    switch (s) {
    case Style::Plain: return "\x1b[0m";
    case Style::Bar: return "\x1b[0;7m";
    case Style::Composition: return "\x1b[0;4m";
    case Style::Label: return "\x1b[0;36m";
    case Style::Hint: return "\x1b[0;2m";
    case Style::Highlight: return "\x1b[0;30;43m";
    case Style::HighlightHint: return "\x1b[0;2;30;43m";
    case Style::Arrow: return "\x1b[0;1m";
    case Style::Disabled: return "\x1b[0;2m";
    case Style::KeyName: return "\x1b[0;1;36m";
    case Style::Message: return "\x1b[0;1;33m";
    }
    return "\x1b[0m";
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// One row being filled: never wider than its limit.
class Line {
public:
    explicit Line(int limit) : limit_(limit) {}

    int width() const { return width_; }
    int room() const { return limit_ - width_; }

    // Adds a character when it fits; a character shown as nothing fits.
    bool put(char32_t c, Style s) {
        c = shownChar(c);
        if (!c) return true;
        const int w = cellWidth(c);
        if (w == 0 && width_ == 0) return true;  // a mark with nothing to sit on
        if (width_ + w > limit_) return false;
        if (s != style_) {
            bytes_ += sgrOf(s);
            style_ = s;
        }
        appendUtf8(bytes_, c);
        width_ += w;
        return true;
    }
    // Adds as much of a text as fits; false when some did not.
    bool put(std::u16string_view text, Style s) {
        bool all = true;
        forEachPoint(text, [&](char32_t c, size_t) { all = all && put(c, s); });
        return all;
    }
    bool put(std::string_view ascii, Style s) {
        for (char c : ascii)
            if (!put(static_cast<char32_t>(static_cast<unsigned char>(c)), s)) return false;
        return true;
    }
    void padTo(int column, Style s = Style::Plain) {
        while (width_ < column && put(U' ', s)) {
        }
    }
    std::string finish() {
        if (style_ != Style::Plain) bytes_ += sgrOf(Style::Plain);
        style_ = Style::Plain;
        return bytes_;
    }

private:
    int limit_;
    int width_ = 0;
    std::string bytes_;
    Style style_ = Style::Plain;
};

// The application's text with the composition typed into it, wrapped into
// rows; where the caret is and where the composition starts.
struct Wrapped {
    std::vector<Line> rows;
    int caretRow = 0, caretColumn = 0;
    int compositionRow = 0, compositionColumn = 0;
};

constexpr int kTabStop = 8;

Wrapped wrapText(std::u16string_view text, std::u16string_view composition, int caret, int columns) {
    Wrapped w;
    w.rows.emplace_back(columns);
    auto newRow = [&] { w.rows.emplace_back(columns); };
    auto place = [&](char32_t c, Style s) {
        if (!w.rows.back().put(c, s)) {
            newRow();
            w.rows.back().put(c, s);  // wider than a whole row: dropped
        }
    };
    // Where the next character will go: the next row when this one is full.
    auto here = [&](int& row, int& column) {
        if (w.rows.back().room() <= 0) newRow();
        row = static_cast<int>(w.rows.size()) - 1;
        column = w.rows.back().width();
    };
    forEachPoint(text, [&](char32_t c, size_t) {
        if (c == u'\n') {
            newRow();
        } else if (c == u'\t') {
            Line& row = w.rows.back();
            const int stop = std::min(columns, (row.width() / kTabStop + 1) * kTabStop);
            row.padTo(stop);
        } else {
            place(c, Style::Plain);
        }
    });
    here(w.compositionRow, w.compositionColumn);
    bool caretPlaced = false;
    forEachPoint(composition, [&](char32_t c, size_t at) {
        if (!caretPlaced && static_cast<int>(at) >= caret) {
            here(w.caretRow, w.caretColumn);
            caretPlaced = true;
        }
        place(c, Style::Composition);
    });
    if (!caretPlaced) here(w.caretRow, w.caretColumn);
    return w;
}

// The modes as the status bar shows them; in short words when the screen
// is too narrow for the long ones.
std::u16string modeText(const ScreenInput& in, bool brief) {
    const uint32_t m = in.view.modes;
    const bool english = m & ModeEnglish, words = m & ModeEnglishWords;
    std::u16string s = brief ? u" 五笔 " : u" Zorvan 五笔  ";
    auto field = [&](std::u16string_view text) {
        s += brief ? u"" : u"[";
        s += text;
        s += brief ? u" " : u"] ";
    };
    field(english ? u"英文" : words ? u"英文联想" : u"中文");
    field(m & ModeFullWidth ? u"全角" : u"半角");
    if (brief)
        field(m & ModeEnglishPunct ? u",." : u"，。");
    else
        field(m & ModeEnglishPunct ? u"英文标点" : u"中文标点");
    field(in.traditional ? u"繁体" : u"简体");
    if (in.view.softKeyboardLayout > 0)
        field((brief ? std::u16string() : u"软键盘:") + std::u16string(softKeyboardLayoutName(in.view.softKeyboardLayout)));
    return s;
}

std::string modeBar(const ScreenInput& in, int columns) {
    std::u16string text = modeText(in, false);
    if (textWidth(text) > columns) text = modeText(in, true);
    Line line(columns);
    line.put(text, Style::Bar);
    line.padTo(columns, Style::Bar);
    return line.finish();
}

std::string helpLine(const ScreenInput& in, int columns) {
    Line line(columns);
    if (!in.message.empty()) {
        line.put(u" ", Style::Message);
        line.put(in.message, Style::Message);
        return line.finish();
    }
    for (const HelpItem& h : in.help) {
        // Whole entries only: a cut one would say the wrong thing.
        std::u16string text = utf8ToUtf16(" " + h.keys + " ") + h.text + u" ";
        if (textWidth(text) > line.room()) break;
        line.put(u" ", Style::Plain);
        line.put(h.keys, Style::KeyName);
        line.put(u" ", Style::Plain);
        line.put(h.text, Style::Plain);
        line.put(u" ", Style::Plain);
    }
    return line.finish();
}

// The page as the candidate window's horizontal list: index labels, the
// candidates with their code hints, the highlight, and page arrows when
// there are more pages.
std::string candidateRow(const ScreenInput& in, int columns, int anchorColumn) {
    const ui::UiView& v = in.view;
    const bool paged = (!v.firstPage || !v.lastPage) && columns >= 8;
    Line arrows(paged ? 4 : 0);
    if (paged) {
        arrows.put(u" ", Style::Plain);
        arrows.put(u"<", v.firstPage ? Style::Disabled : Style::Arrow);
        arrows.put(u" ", Style::Plain);
        arrows.put(u">", v.lastPage ? Style::Disabled : Style::Arrow);
    }
    Line items(std::max(0, columns - arrows.width()));
    for (size_t i = 0; i < v.items.size(); ++i) {
        const ui::CandidateItem& item = v.items[i];
        const bool lit = static_cast<int>(i) == v.highlight;
        std::u16string label;
        if (in.showIndex) label = {static_cast<char16_t>(u'0' + (i + 1) % 10), u'.'};
        const std::u16string_view hint = in.showHints ? std::u16string_view(item.hint) : std::u16string_view();
        if (i > 0) {
            // Whole items after the first; the first is cut when it must be.
            if (textWidth(label) + textWidth(item.text) + textWidth(hint) + 2 > items.room()) break;
            items.put(u"  ", Style::Plain);
        }
        if (!items.put(label, lit ? Style::Highlight : Style::Label) ||
            !items.put(item.text, lit ? Style::Highlight : Style::Plain) ||
            !items.put(hint, lit ? Style::HighlightHint : Style::Hint))
            break;
    }
    const int width = items.width() + arrows.width();
    Line indent(columns);
    indent.padTo(std::clamp(anchorColumn, 0, std::max(0, columns - width)));
    return indent.finish() + items.finish() + arrows.finish();
}

// The soft keyboard's four rows of keys: each key's name, then its character
// and its shifted character in the active layout.
constexpr struct {
    const char* keys;
    int firstPosition;
    int indent;
} kKeyboardRows[] = {
    {"`1234567890-=", 0, 0},
    {"qwertyuiop[]\\", 15, 2},
    {"asdfghjkl;'", 29, 3},
    {"zxcvbnm,./", 42, 4},
};
constexpr int kKeyboardRowCount = 4;

std::vector<std::string> keyboardRows(int layout, int columns) {
    // Room for both characters of every key, else only the unshifted ones.
    const bool wide = columns >= 80;
    const int cell = wide ? 6 : 4;
    std::vector<std::string> out;
    for (const auto& r : kKeyboardRows) {
        Line line(columns);
        line.padTo(wide ? r.indent : 0);
        for (int k = 0; r.keys[k]; ++k) {
            const int start = line.width();
            const int position = r.firstPosition + k;
            line.put(static_cast<char32_t>(r.keys[k]), Style::Hint);
            const char16_t normal = softKeyboardCharAt(layout, position, false);
            if (normal != u' ') line.put(normal, Style::Plain);
            line.padTo(start + 3);
            if (wide) {
                const char16_t shifted = softKeyboardCharAt(layout, position, true);
                if (shifted != u' ') line.put(shifted, Style::Label);
            }
            line.padTo(start + cell);
        }
        out.push_back(line.finish());
    }
    return out;
}

std::string cursorTo(int row, int column) {
    return "\x1b[" + std::to_string(row + 1) + ";" + std::to_string(column + 1) + "H";
}

}  // namespace

int cellWidth(char32_t c) {
    if (inRanges(kCombining, c)) return 0;
    return inRanges(kWide, c) ? 2 : 1;
}

int textWidth(std::u16string_view text) {
    int w = 0;
    forEachPoint(text, [&](char32_t c, size_t) {
        c = shownChar(c);
        if (c) w += cellWidth(c);
    });
    return w;
}

Screen layoutScreen(const ScreenInput& in, int columns, int rows) {
    Screen s;
    if (rows <= 0) {
        s.cursorVisible = false;
        return s;
    }
    columns = std::max(columns, 1);
    s.lines.assign(static_cast<size_t>(rows), std::string());
    // The text gets what the bars leave; bars go first on a tiny screen.
    const bool help = rows >= 2, bar = rows >= 3;
    int textTop = bar ? 1 : 0;
    int textRows = rows - (bar ? 1 : 0) - (help ? 1 : 0);
    std::vector<std::string> keyboard;
    if (in.view.softKeyboardLayout > 0 && textRows - kKeyboardRowCount >= 3) {
        keyboard = keyboardRows(in.view.softKeyboardLayout, columns);
        textRows -= kKeyboardRowCount;
    }
    if (bar) s.lines[0] = modeBar(in, columns);
    if (help) s.lines[static_cast<size_t>(rows - 1)] = helpLine(in, columns);
    for (size_t k = 0; k < keyboard.size(); ++k)
        s.lines[static_cast<size_t>(textTop + textRows) + k] = keyboard[k];

    Wrapped w = wrapText(in.text, in.view.display, in.view.cursor, columns);
    const int last = static_cast<int>(w.rows.size()) - 1;
    // One row stays free below the text for the candidates, so that the
    // text does not jump when they come and go.
    const int spare = textRows >= 2 ? 1 : 0;
    int top = std::max(0, last + spare - (textRows - 1));
    top = std::min(top, w.caretRow);
    for (int r = 0; r < textRows && top + r <= last; ++r)
        s.lines[static_cast<size_t>(textTop + r)] = w.rows[static_cast<size_t>(top + r)].finish();
    const int candidateLine = last + 1 - top;
    if (!in.view.items.empty() && spare && candidateLine < textRows)
        s.lines[static_cast<size_t>(textTop + candidateLine)] = candidateRow(in, columns, w.compositionColumn);
    s.cursorVisible = textRows > 0;
    s.cursorRow = textTop + std::clamp(w.caretRow - top, 0, std::max(0, textRows - 1));
    s.cursorColumn = std::min(w.caretColumn, columns - 1);
    return s;
}

std::string screenUpdate(const Screen* shown, const Screen& next) {
    const bool full = !shown || shown->lines.size() != next.lines.size();
    std::string out;
    if (full) out += "\x1b[0m\x1b[H\x1b[2J";
    for (size_t i = 0; i < next.lines.size(); ++i) {
        if (full ? next.lines[i].empty() : shown->lines[i] == next.lines[i]) continue;
        out += cursorTo(static_cast<int>(i), 0);
        out += next.lines[i];
        out += "\x1b[0m\x1b[K";
    }
    const bool cursorSame = shown && shown->cursorRow == next.cursorRow &&
                            shown->cursorColumn == next.cursorColumn && shown->cursorVisible == next.cursorVisible;
    if (out.empty() && cursorSame) return out;
    // The cursor hides while lines are rewritten, so that it does not flicker
    // across the screen.
    return "\x1b[?25l" + out + cursorTo(next.cursorRow, next.cursorColumn) + (next.cursorVisible ? "\x1b[?25h" : "");
}

}  // namespace zv::term
