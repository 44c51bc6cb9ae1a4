#include "ui/skin_ini.h"

#include "platform/codepage.h"
#include "platform/utf.h"
#include "ui/no_case.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <string_view>

namespace zv::ui {

namespace {

bool isWellFormedUtf8(std::span<const uint8_t> s, bool& sawHighByte) {
    sawHighByte = false;
    size_t i = 0;
    while (i < s.size()) {
        uint8_t c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        sawHighByte = true;
        size_t need;
        uint32_t v;
        if (c >= 0xC2 && c <= 0xDF) need = 1, v = c & 0x1Fu;
        else if (c >= 0xE0 && c <= 0xEF) need = 2, v = c & 0x0Fu;
        else if (c >= 0xF0 && c <= 0xF4) need = 3, v = c & 0x07u;
        else return false;
        if (s.size() - i <= need) return false;
        for (size_t k = 1; k <= need; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) return false;
            v = v << 6 | (s[i + k] & 0x3Fu);
        }
        if ((need == 2 && v < 0x800) || (need == 3 && (v < 0x10000 || v > 0x10FFFF)) || (v >= 0xD800 && v <= 0xDFFF))
            return false;
        i += need + 1;
    }
    return true;
}

std::u16string fromUtf16(std::span<const uint8_t> s, bool bigEndian) {
    std::u16string out;
    out.reserve(s.size() / 2);
    for (size_t i = 0; i + 1 < s.size(); i += 2) {
        auto u = static_cast<char16_t>(bigEndian ? s[i] << 8 | s[i + 1] : s[i] | s[i + 1] << 8);
        out.push_back(u);
    }
    return out;
}

std::string_view asChars(std::span<const uint8_t> s) {
    return {reinterpret_cast<const char*>(s.data()), s.size()};
}

// Reads a signed decimal number from the start of the value the way the C
// library does (leading blanks and a sign), saturating instead of overflowing.
int64_t readNumber(std::u16string_view v) {
    size_t i = 0;
    while (i < v.size() && (v[i] == u' ' || v[i] == u'\t')) ++i;
    bool negative = false;
    if (i < v.size() && (v[i] == u'-' || v[i] == u'+')) negative = v[i++] == u'-';
    int64_t n = 0;
    for (; i < v.size() && v[i] >= u'0' && v[i] <= u'9'; ++i) n = std::min<int64_t>(n * 10 + (v[i] - u'0'), int64_t(1) << 40);
    return negative ? -n : n;
}

int32_t readInt(std::u16string_view v) {
    int64_t n = readNumber(v);
    return static_cast<int32_t>(std::clamp<int64_t>(n, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Geometry values are pixels: anything beyond this is nonsense, and keeping
// them small keeps every layout sum far from overflow.
constexpr int32_t MaxGeometry = 32767;
int32_t readGeometry(std::u16string_view v) { return std::clamp(readInt(v), -MaxGeometry, MaxGeometry); }

Colour readColour(std::u16string_view v) {
    if (v.empty() || v[0] != u'#') return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(readNumber(v.substr(1)))));
}

void readText(std::u16string_view v, std::u16string& field, size_t capacity) {
    field.assign(v.substr(0, capacity - 1));
}

void readPoint(std::u16string_view v, Point& p) {
    size_t comma = v.find(u',');
    if (comma == std::u16string_view::npos) return;
    p.x = readGeometry(v.substr(0, comma));
    p.y = readGeometry(v.substr(comma + 1));
}

void readRange(std::u16string_view v, Range& r) {
    Point p{r.from, r.to};
    readPoint(v, p);
    r = {p.x, p.y};
}

int32_t fontSize(std::u16string_view v) {
    int32_t n = readGeometry(v);
    return n == 0 ? 12 : n;
}
int32_t fontWeight(std::u16string_view v) { return std::max(readGeometry(v), 100); }

using Setter = std::function<void(SkinInfo&, std::u16string_view)>;
struct Key {
    std::u16string name;
    Setter set;
};

const std::vector<Key>& describeKeys() {
    static const std::vector<Key> keys = {
        {u"名称", [](SkinInfo& s, std::u16string_view v) { readText(v, s.name, 40); }},
        {u"描述", [](SkinInfo& s, std::u16string_view v) { readText(v, s.description, 40); }},
        {u"版本", [](SkinInfo& s, std::u16string_view v) { readText(v, s.version, 40); }},
        {u"所有者名称", [](SkinInfo& s, std::u16string_view v) { readText(v, s.ownerName, 40); }},
        {u"所有者联系方式", [](SkinInfo& s, std::u16string_view v) { readText(v, s.ownerContact, 128); }},
    };
    return keys;
}

void addFontKeys(std::vector<Key>& keys, std::u16string_view prefix, SkinFont SkinTextStyle::*font, bool aliases) {
    std::u16string p(prefix);
    auto face = [font](SkinInfo& s, std::u16string_view v) { readText(v, (s.text.*font).face, 40); };
    auto size = [font](SkinInfo& s, std::u16string_view v) { (s.text.*font).height = fontSize(v); };
    auto colour = [font](SkinInfo& s, std::u16string_view v) { (s.text.*font).colour = readColour(v); };
    auto weight = [font](SkinInfo& s, std::u16string_view v) { (s.text.*font).weight = fontWeight(v); };
    auto add = [&](std::u16string name, Setter set) { keys.push_back({std::move(name), std::move(set)}); };
    add(p + u"字体名称", face);
    add(p + u"字体大小", size);
    add(p + u"字体颜色", colour);
    add(p + u"字体粗细", weight);
    if (aliases) {
        add(p + u"编码字体", face);
        add(p + u"编码大小", size);
        add(p + u"编码颜色", colour);
    }
}

const std::vector<Key>& textKeys() {
    static const std::vector<Key> keys = [] {
        std::vector<Key> k;
        addFontKeys(k, u"编码", &SkinTextStyle::composition, false);
        addFontKeys(k, u"序号", &SkinTextStyle::label, false);
        addFontKeys(k, u"提示", &SkinTextStyle::tip, true);
        addFontKeys(k, u"候选", &SkinTextStyle::candidate, false);
        auto colour = [](Colour SkinTextStyle::*field) {
            return [field](SkinInfo& s, std::u16string_view v) { s.text.*field = readColour(v); };
        };
        k.push_back({u"光标颜色", colour(&SkinTextStyle::caret)});
        k.push_back({u"鼠标处候选颜色", colour(&SkinTextStyle::hoverText)});
        k.push_back({u"鼠标处候选背景色", colour(&SkinTextStyle::hoverBackground)});
        k.push_back({u"第一候选颜色", colour(&SkinTextStyle::firstText)});
        k.push_back({u"第一候选背景色", colour(&SkinTextStyle::firstBackground)});
        k.push_back({u"临时词候选颜色", colour(&SkinTextStyle::tempWord)});
        k.push_back({u"用户词候选颜色", colour(&SkinTextStyle::userWord)});
        k.push_back({u"编码最多显示个数", [](SkinInfo& s, std::u16string_view v) {
                         s.text.maxCompositionChars = readGeometry(v);
                     }});
        k.push_back({u"候选最多显示个数", [](SkinInfo& s, std::u16string_view v) {
                         s.text.maxCandidateChars = readGeometry(v);
                     }});
        return k;
    }();
    return keys;
}

const std::vector<Key>& statusKeys() {
    static const std::vector<Key> keys = [] {
        std::vector<Key> k;
        constexpr std::u16string_view names[] = {u"输入法标志位置", u"中英文状态按钮位置", u"全角半角按钮位置",
                                                 u"中英文标点按钮位置", u"软键盘按钮位置", u"菜单按钮位置",
                                                 u"简繁体按钮位置", u"扩展按钮1位置", u"扩展按钮2位置"};
        for (size_t i = 0; i < std::size(names); ++i)
            k.push_back({std::u16string(names[i]), [i](SkinInfo& s, std::u16string_view v) { readPoint(v, s.statusBar.positions[i]); }});
        k.push_back({u"状态栏默认位置", [](SkinInfo& s, std::u16string_view v) {
                         s.statusBar.defaultPosition = readGeometry(v);
                     }});
        return k;
    }();
    return keys;
}

// Candidate-window keys act on the layout of the current section.
using LayoutSetter = std::function<void(CandidateLayout&, std::u16string_view)>;
struct LayoutKey {
    std::u16string_view name;
    LayoutSetter set;
};

const std::vector<LayoutKey>& layoutKeys() {
    static const std::vector<LayoutKey> keys = [] {
        std::vector<LayoutKey> k;
        auto point = [](Point CandidateLayout::*f) {
            return [f](CandidateLayout& l, std::u16string_view v) { readPoint(v, l.*f); };
        };
        auto range = [](Range CandidateLayout::*f) {
            return [f](CandidateLayout& l, std::u16string_view v) { readRange(v, l.*f); };
        };
        auto integer = [](int32_t CandidateLayout::*f) {
            return [f](CandidateLayout& l, std::u16string_view v) { l.*f = readGeometry(v); };
        };
        auto offset = [](Point CandidateLayout::*f, int32_t Point::*axis) {
            return [f, axis](CandidateLayout& l, std::u16string_view v) { (l.*f).*axis = readGeometry(v); };
        };
        k.push_back({u"前翻页按钮位置", point(&CandidateLayout::previousPage)});
        k.push_back({u"后翻页按钮位置", point(&CandidateLayout::nextPage)});
        k.push_back({u"中英文标点按钮位置", point(&CandidateLayout::punctuation)});
        k.push_back({u"全角半角按钮位置", point(&CandidateLayout::width)});
        k.push_back({u"扩展按钮1位置", point(&CandidateLayout::extension1)});
        k.push_back({u"扩展按钮2位置", point(&CandidateLayout::extension2)});
        k.push_back({u"编码起始位置", point(&CandidateLayout::codeStart)});
        k.push_back({u"候选起始位置", point(&CandidateLayout::candidateStart)});
        k.push_back({u"序号-字词间距", integer(&CandidateLayout::labelGap)});
        k.push_back({u"字词-提示间距", integer(&CandidateLayout::tipGap)});
        k.push_back({u"候选间距", integer(&CandidateLayout::candidateGap)});
        k.push_back({u"行间距", integer(&CandidateLayout::lineGap)});
        k.push_back({u"横向拉伸区域", range(&CandidateLayout::stretchX)});
        k.push_back({u"纵向拉伸区域", range(&CandidateLayout::stretchY)});
        k.push_back({u"右边距", integer(&CandidateLayout::rightMargin)});
        k.push_back({u"右边据", integer(&CandidateLayout::rightMargin)});
        k.push_back({u"下边距", integer(&CandidateLayout::bottomMargin)});
        k.push_back({u"下边据", integer(&CandidateLayout::bottomMargin)});
        k.push_back({u"最小宽度", integer(&CandidateLayout::minWidth)});
        k.push_back({u"最小高度", integer(&CandidateLayout::minHeight)});
        k.push_back({u"编码区最小宽度", integer(&CandidateLayout::valueA)});
        k.push_back({u"编码窗口最小宽度", integer(&CandidateLayout::valueA)});
        k.push_back({u"候选区最小宽度", integer(&CandidateLayout::valueB)});
        k.push_back({u"编码窗口最小高度", integer(&CandidateLayout::valueB)});
        k.push_back({u"编码窗口横向拉伸区域", range(&CandidateLayout::compStretchX)});
        k.push_back({u"编码窗口纵向拉伸区域", range(&CandidateLayout::compStretchY)});
        k.push_back({u"编码窗口右边据", integer(&CandidateLayout::compRightMargin)});
        k.push_back({u"编码窗口下边据", integer(&CandidateLayout::compBottomMargin)});
        k.push_back({u"右侧候选横向偏移量", offset(&CandidateLayout::rightOffset, &Point::x)});
        k.push_back({u"右侧候选纵向偏移量", offset(&CandidateLayout::rightOffset, &Point::y)});
        k.push_back({u"下方候选横向偏移量", offset(&CandidateLayout::belowOffset, &Point::x)});
        k.push_back({u"下方候选纵向偏移量", offset(&CandidateLayout::belowOffset, &Point::y)});
        k.push_back({u"序号后缀", [](CandidateLayout& l, std::u16string_view v) {
                         l.indexSuffix = v.empty() ? char16_t{0} : v[0];
                     }});
        return k;
    }();
    return keys;
}

enum class Section { None, Describe, Text, StatusBar, Layout };

struct Header {
    std::u16string_view name;
    Section section;
    LayoutSection layout;
};

constexpr Header Headers[] = {
    {u"[-皮肤信息-]", Section::Describe, LayoutSection::Merged},
    {u"[-文字显示-]", Section::Text, LayoutSection::Merged},
    {u"[-状态栏窗口-]", Section::StatusBar, LayoutSection::Merged},
    {u"[-候选窗口-合并-]", Section::Layout, LayoutSection::Merged},
    {u"[-候选窗口-分离-]", Section::Layout, LayoutSection::Separate},
    {u"[-候选窗口-嵌入-]", Section::Layout, LayoutSection::Embedded},
    {u"[-候选窗口-合并-竖排-]", Section::Layout, LayoutSection::MergedVertical},
    {u"[-候选窗口-分离-竖排-]", Section::Layout, LayoutSection::SeparateVertical},
    {u"[-候选窗口-嵌入-竖排-]", Section::Layout, LayoutSection::EmbeddedVertical},
};

template <typename K>
const K* findKey(const std::vector<K>& keys, std::u16string_view name) {
    for (const K& k : keys)
        if (k.name == name) return &k;
    return nullptr;
}

}  // namespace

std::u16string decodeSkinText(std::span<const uint8_t> b) {
    std::u16string text;
    if (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE) text = fromUtf16(b.subspan(2), false);
    else if (b.size() >= 2 && b[0] == 0xFE && b[1] == 0xFF) text = fromUtf16(b.subspan(2), true);
    else if (b.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) text = utf8ToUtf16(asChars(b.subspan(3)));
    else {
        bool high = false;
        if (isWellFormedUtf8(b, high) && high) text = utf8ToUtf16(asChars(b));
        else text = platform::ansiToUtf16(asChars(b));
    }
    size_t nul = text.find(u'\0');
    if (nul != std::u16string::npos) text.resize(nul);
    return text;
}

bool parseSkinIni(std::span<const uint8_t> bytes, SkinInfo& info) {
    if (bytes.size() > MaxSkinIniBytes) return false;
    const std::u16string text = decodeSkinText(bytes);
    Section section = Section::None;
    LayoutSection layout = LayoutSection::Merged;
    constexpr size_t MaxLine = 127;
    size_t pos = 0;
    while (pos < text.size()) {
        // A run of CR and LF ends one line; empty lines vanish.
        while (pos < text.size() && (text[pos] == u'\r' || text[pos] == u'\n')) ++pos;
        if (pos == text.size()) break;
        size_t end = pos;
        while (end < text.size() && end - pos < MaxLine && text[end] != u'\r' && text[end] != u'\n') ++end;
        std::u16string_view line(text.data() + pos, end - pos);
        pos = end;

        if (line[0] == u';') continue;
        if (line.starts_with(u"[-")) {
            section = Section::None;
            for (const Header& h : Headers) {
                if (equalNoCase(line, h.name)) {
                    section = h.section;
                    layout = h.layout;
                    break;
                }
            }
            continue;
        }
        size_t eq = line.find(u'=');
        if (eq == std::u16string_view::npos || section == Section::None) continue;
        std::u16string_view key = line.substr(0, eq), value = line.substr(eq + 1);
        switch (section) {
        case Section::Describe:
            if (auto* k = findKey(describeKeys(), key)) k->set(info, value);
            break;
        case Section::Text:
            if (auto* k = findKey(textKeys(), key)) k->set(info, value);
            break;
        case Section::StatusBar:
            if (auto* k = findKey(statusKeys(), key)) k->set(info, value);
            break;
        case Section::Layout:
            if (auto* k = findKey(layoutKeys(), key)) k->set(info.layout(layout), value);
            break;
        case Section::None: break;
        }
    }
    return !info.name.empty();
}

}  // namespace zv::ui
