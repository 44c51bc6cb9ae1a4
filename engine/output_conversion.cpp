#include "engine/output_conversion.h"

#include "engine/bytes.h"

namespace zv {

namespace {

constexpr std::u16string_view kBookTitleOpen = u"《〈";
constexpr std::u16string_view kBookTitleClose = u"〉》";

std::u16string symbolText(const uint8_t* entry, size_t off, size_t units) {
    std::u16string s;
    for (size_t i = 0; i < units; ++i) {
        char16_t u = rd16(entry + off + 2 * i);
        if (!u) break;
        s.push_back(u);
    }
    return s;
}

bool isHigh(char16_t u) { return u >= 0xD800 && u < 0xDC00; }
bool isLow(char16_t u) { return u >= 0xDC00 && u < 0xE000; }

// Appends the result of one symbol entry; false when the entry is empty.
bool applySymbol(uint8_t* entry, PunctuationState& state, std::u16string& out) {
    switch (rd16(entry + symbol::Kind)) {
    case SymbolText: {
        std::u16string text = symbolText(entry, symbol::TextA, symbol::TextUnits);
        if (text == kBookTitleOpen) {
            out.push_back(state.bookTitleDepth == 0 ? u'《' : u'〈');
            ++state.bookTitleDepth;
        } else if (text == kBookTitleClose) {
            out.push_back(state.bookTitleDepth < 2 ? u'》' : u'〉');
            if (state.bookTitleDepth > 0) --state.bookTitleDepth;
        } else {
            out += text;
        }
        return true;
    }
    case SymbolPair: {
        bool second = rd16(entry + symbol::Toggle) != 0;
        out += symbolText(entry, second ? symbol::TextB : symbol::TextA, symbol::PairUnits);
        wr16(entry + symbol::Toggle, second ? 0 : 1);
        return true;
    }
    default:
        return false;
    }
}

// The whole-text results of a lookup, empty ones left out.
std::vector<std::u16string> results(const ConversionTable& table, std::u16string_view key) {
    std::vector<std::u16string> out;
    for (TextPair& p : table.lookup(key))
        if (!p.second.empty()) out.push_back(std::move(p.second));
    return out;
}

ConversionTable tableOf(const EngineContext& ctx, DataSlot slot) {
    const platform::MappedFile* f = ctx.file(slot);
    if (!f || !f->isOpen()) return {};
    return ConversionTable(f->data(), f->size());
}

}  // namespace

void cutText(std::u16string& text, size_t n) {
    if (text.size() <= n) return;
    text.resize(n);
    if (!text.empty() && isHigh(text.back())) text.pop_back();
}

std::u16string convertPunctuation(ImeSettings& ime, PunctuationState& state, std::u16string_view text) {
    std::u16string out;
    for (char16_t u : text) {
        if (u >= 256) {
            out.push_back(u);
            continue;
        }
        if (ime) {
            if (applySymbol(ime.symbol(u), state, out)) continue;
            // Keypad keys arrive as the units 0x0A..0x19; the keypad table
            // holds their entries at 128 plus the key's ASCII character.
            if (u >= 0x0A && u <= 0x19 && applySymbol(ime.symbol(128 + u + 32), state, out)) continue;
        }
        out.push_back(u < 32 ? static_cast<char16_t>(u + 32) : u);
    }
    return out;
}

bool punctuationChanges(const ImeSettings& ime, char16_t unit) {
    if (!ime || unit >= 256) return false;
    const uint8_t* e = ime.symbol(unit);
    uint16_t kind = rd16(e + symbol::Kind);
    if (kind == SymbolNone && unit >= 0x0A && unit <= 0x19) {
        e = ime.symbol(128 + unit + 32);
        kind = rd16(e + symbol::Kind);
    }
    std::u16string own(1, unit < 32 ? static_cast<char16_t>(unit + 32) : unit);
    if (kind == SymbolText) return symbolText(e, symbol::TextA, symbol::TextUnits) != own;
    if (kind == SymbolPair)
        return symbolText(e, symbol::TextA, symbol::PairUnits) != own ||
               symbolText(e, symbol::TextB, symbol::PairUnits) != own;
    return false;
}

void toFullWidth(std::u16string& text) {
    for (char16_t& u : text) {
        if (u == u' ')
            u = 0x3000;
        else if (u >= 0x21 && u <= 0x7E)
            u = static_cast<char16_t>(u + 0xFEE0);
    }
}

ConversionTable activeConversionTable(const EngineContext& ctx) {
    const ImeSettings& ime = ctx.blocks.ime;
    if (!ime) return {};
    if (ime.bit(ImeSettings::OptionA, ImeSettings::A_Traditional)) return tableOf(ctx, SlotTraditional);
    if (ime.bit(ImeSettings::OptionA, ImeSettings::A_Simplified)) return tableOf(ctx, SlotSimplified);
    return {};
}

std::vector<ConvertedText> convertCandidateText(const ConversionTable& table, std::u16string_view text) {
    std::vector<ConvertedText> items;
    if (table.valid()) {
        for (std::u16string& r : results(table, text)) {
            ConvertedText item;
            item.display = r + u"(" + std::u16string(text) + u")";
            item.output = std::move(r);
            cutText(item.display, kItemTextUnits);
            cutText(item.output, kItemTextUnits);
            items.push_back(std::move(item));
        }
        if (!items.empty()) return items;

        // Split into characters; an unpaired surrogate ends the count, and
        // is passed through unconverted.
        std::vector<std::u16string_view> chars;
        bool broken = false;
        for (size_t i = 0; i < text.size();) {
            size_t n = 1;
            if (isHigh(text[i]) && i + 1 < text.size() && isLow(text[i + 1]))
                n = 2;
            else if (isHigh(text[i]) || isLow(text[i]))
                broken = true;
            if (broken) {
                chars.push_back(text.substr(i));
                break;
            }
            chars.push_back(text.substr(i, n));
            i += n;
        }
        size_t counted = chars.size() - (broken ? 1 : 0);
        if (counted > 1) {
            ConvertedText item;
            for (size_t i = 0; i < chars.size(); ++i) {
                std::vector<std::u16string> r;
                if (i < counted) r = results(table, chars[i]);
                item.output += r.empty() ? std::u16string(chars[i]) : r.front();
            }
            cutText(item.output, kItemTextUnits);
            item.display = item.output;
            items.push_back(std::move(item));
            return items;
        }
    }
    ConvertedText item{std::u16string(text), std::u16string(text)};
    cutText(item.display, kItemTextUnits);
    cutText(item.output, kItemTextUnits);
    items.push_back(std::move(item));
    return items;
}

void setTraditionalOutput(ImeSettings& ime, bool on) {
    ime.setBit(ImeSettings::OptionA, ImeSettings::A_Traditional, on);
    if (on) ime.setBit(ImeSettings::OptionA, ImeSettings::A_Simplified, false);
}

void setSimplifiedOutput(ImeSettings& ime, bool on) { ime.setBit(ImeSettings::OptionA, ImeSettings::A_Simplified, on); }

bool applyConvertCommand(uint32_t& modeFlags, ImeSettings& ime, std::u16string_view argument) {
    size_t comma = argument.find(u',');
    if (comma == std::u16string_view::npos) return false;
    std::u16string_view name = argument.substr(0, comma), value = argument.substr(comma + 1);
    auto choose = [&](bool current, std::u16string_view on, std::u16string_view off) {
        if (value == on) return true;
        if (value == off) return false;
        return !current;
    };
    if (name == u"中英文标点") {
        // The value names the punctuation wanted, so "英文" sets the English bit.
        bool english = choose(modeFlags & ModeEnglishPunct, u"英文", u"中文");
        modeFlags = english ? modeFlags | ModeEnglishPunct : modeFlags & ~ModeEnglishPunct;
        return true;
    }
    if (name == u"全半角") {
        bool full = choose(modeFlags & ModeFullWidth, u"全角", u"半角");
        modeFlags = full ? modeFlags | ModeFullWidth : modeFlags & ~ModeFullWidth;
        if (full && ime) setTraditionalOutput(ime, false);
        return true;
    }
    if (!ime) return false;
    if (name == u"繁体输出") {
        setTraditionalOutput(ime, choose(ime.bit(ImeSettings::OptionA, ImeSettings::A_Traditional), u"打开", u"关闭"));
        return true;
    }
    if (name == u"简体输出") {
        setSimplifiedOutput(ime, choose(ime.bit(ImeSettings::OptionA, ImeSettings::A_Simplified), u"打开", u"关闭"));
        return true;
    }
    return false;
}

uint32_t hostConversionStatus(uint32_t modeFlags) {
    uint32_t status = 0;
    if (modeFlags & (ModeEnglish | ModeEnglishWords)) status |= HostNoConversion;
    if (!(modeFlags & ModeEnglishPunct)) status |= HostSymbol;
    if (modeFlags & ModeFullWidth) status |= HostFullShape;
    return status;
}

void resetSymbolToggles(ImeSettings& ime) {
    if (!ime) return;
    for (int i = 0; i < 256; ++i) {
        uint8_t* e = ime.symbol(i);
        // Only write what changes: the block is shared through its mapping.
        if (rd16(e + symbol::Kind) == SymbolPair && rd16(e + symbol::Toggle) != 0) wr16(e + symbol::Toggle, 0);
    }
}

}  // namespace zv
