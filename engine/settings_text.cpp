#include "engine/settings_text.h"

#include "engine/key_table.h"
#include "engine/rules.h"

namespace zv {
namespace {

constexpr std::u16string_view kDashes = u"//------------------------------------------------------\r\n";

void banner(std::u16string& out, std::u16string_view title, int section) {
    out += kDashes;
    out += u"//  ";
    out.append(7, u'\u3000');
    out += u' ';
    out += title;
    out += u"\r\n";
    out += kDashes;
    out += sectionHeader(section);
    out += u"\r\n";
}

void bindingLine(std::u16string& out, uint32_t keyCode, uint64_t mask) {
    if (!mask) return;
    std::u16string key = keyText(keyCode), functions = functionText(mask);
    if (key.empty() || functions.empty()) return;
    out += key;
    out += u'=';
    out += functions;
    out += u"\r\n";
}

std::u16string writeBindings(const DmeSettings& dme) {
    std::u16string out;
    for (uint32_t vk = 0; vk < 256; ++vk) {
        // Only slots that a key text can name again are written.
        if (singleKeySlot(vk) == static_cast<int>(vk)) bindingLine(out, vk, dme.keyMask(static_cast<int>(vk)));
        uint32_t shifted = vk | keycode::Shift;
        if (singleKeySlot(shifted) == static_cast<int>(256 + vk))
            bindingLine(out, shifted, dme.keyMask(static_cast<int>(256 + vk)));
    }
    for (int i = 0; i < dme.comboCount(); ++i) bindingLine(out, dme.comboKey(i), dme.comboMask(i));
    return out;
}

bool isLineEnd(char16_t c) { return c == u'\n' || c == u'\r'; }

// The text split into lines with "//" and "/* */" comments removed. A block
// comment may span lines; the lines it spans still end where they did.
std::vector<std::u16string> uncommentedLines(std::u16string_view text) {
    std::vector<std::u16string> lines(1);
    bool inBlock = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (isLineEnd(c)) {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            lines.emplace_back();
            continue;
        }
        if (inBlock) {
            if (c == u'*' && i + 1 < text.size() && text[i + 1] == u'/') {
                inBlock = false;
                ++i;
            }
            continue;
        }
        if (c == u'/' && i + 1 < text.size() && text[i + 1] == u'/') {
            while (i + 1 < text.size() && !isLineEnd(text[i + 1])) ++i;
            continue;
        }
        if (c == u'/' && i + 1 < text.size() && text[i + 1] == u'*') {
            inBlock = true;
            ++i;
            continue;
        }
        lines.back().push_back(c);
    }
    return lines;
}

std::u16string_view trimmed(std::u16string_view s) {
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) s.remove_suffix(1);
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
    return s;
}

struct KeyValue {
    std::u16string_view key, value;
};

// Splits "key=value". The key is never empty, so a line that starts with
// "=" binds the "=" key; "小==..." is the keypad key named "=".
bool splitOption(std::u16string_view line, KeyValue& out) {
    size_t eq = line.find(u'=', 1);
    if (eq == std::u16string_view::npos) return false;
    out.key = line.substr(0, eq);
    out.value = line.substr(eq + 1);
    if (out.key == u"小" && !out.value.empty() && out.value[0] == u'=') {
        out.key = line.substr(0, eq + 1);
        out.value.remove_prefix(1);
    }
    // A value in double quotes ends at the next double quote; without one
    // the quote is an ordinary character.
    if (!out.value.empty() && out.value[0] == u'"') {
        size_t close = out.value.find(u'"', 1);
        if (close != std::u16string_view::npos) out.value = out.value.substr(1, close - 1);
    }
    return true;
}

constexpr size_t kMaxCollectedKey = 40, kMaxCollectedValue = 260;

}  // namespace

std::u16string writeSettingsText(const SettingsBlocks& blocks) {
    std::u16string out;
    banner(out, u"IME设置", SectionIme);
    out += writeImeOptions(blocks.ime);
    banner(out, u"DME设置", SectionDme);
    out += writeDmeOptions(blocks.dme);
    banner(out, u"SKIN设置", SectionSkin);
    out += writeSkinOptions(blocks.skin);
    banner(out, u"中文符号定义", SectionSymbols);
    out += writeSymbols(blocks.ime);
    out += u"\r\n";
    banner(out, u"按键功能", SectionKeys);
    out += writeBindings(blocks.dme);
    out += u"\r\n";
    banner(out, u"构词规则定义", SectionRules);
    for (int n = rule::MinLength; n <= rule::MaxLength; ++n) {
        std::u16string line = ruleText(blocks.dme, n);
        if (line.empty()) continue;
        out += line;
        out += u"\r\n";
    }
    return out;
}

std::vector<SettingsTextProblem> readSettingsText(SettingsBlocks& blocks, std::u16string_view text) {
    std::vector<SettingsTextProblem> problems;
    clearKeyBindings(blocks.dme);
    clearRules(blocks.dme);
    clearSymbols(blocks.ime);

    if (!text.empty() && text[0] == u'\uFEFF') text.remove_prefix(1);
    struct Collected {
        int line;
        int section;
        std::u16string key, value;
    };
    std::vector<Collected> collected;
    auto report = [&](int line, OptionResult r, std::u16string_view t) {
        problems.push_back({line, r, std::u16string(t)});
    };

    const auto lines = uncommentedLines(text);
    int section = SectionUnknown;
    bool inSection = false;  // lines before the first header are ignored
    for (size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        std::u16string_view line = lines[i];
        if (trimmed(line).empty()) continue;
        if (line.size() > MaxSettingsLine) {
            report(number, OptionResult::BadValue, line.substr(0, 40));
            continue;
        }
        if (line.substr(0, 2) == u"[-") {
            section = sectionId(trimmed(line));
            inSection = true;
            if (section == SectionUnknown) report(number, OptionResult::UnknownSection, line);
            continue;
        }
        if (!inSection || section == SectionUnknown || section == SectionGenerator ||
            section == SectionOtherFiles || section == SectionSoftware)
            continue;
        KeyValue kv;
        if (!splitOption(line, kv)) {
            report(number, OptionResult::UnknownKey, line);
            continue;
        }
        if (section == SectionIme || section == SectionDme || section == SectionSkin) {
            if (kv.key.size() > kMaxCollectedKey || kv.value.size() > kMaxCollectedValue) {
                report(number, OptionResult::BadValue, line);
                continue;
            }
            collected.push_back({number, section, std::u16string(kv.key), std::u16string(kv.value)});
            continue;
        }
        OptionResult r = applyOption(blocks, section, kv.key, kv.value);
        if (r != OptionResult::Applied) report(number, r, line);
    }
    for (const auto& c : collected) {
        OptionResult r = applyOption(blocks, c.section, c.key, c.value);
        if (r != OptionResult::Applied) report(c.line, r, c.key + u'=' + c.value);
    }
    return problems;
}

}  // namespace zv
