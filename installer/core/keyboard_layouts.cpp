#include "installer/core/keyboard_layouts.h"

#include <cstdio>

namespace zv::installer {

namespace {

char16_t lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool sameText(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

}  // namespace

std::u16string layoutText(uint32_t layout) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(layout));
    return std::u16string(text, text + 8);
}

bool namesImeFile(std::u16string_view imeFileValue, std::u16string_view fileName) {
    if (fileName.empty() || imeFileValue.size() < fileName.size()) return false;
    const std::u16string_view tail = imeFileValue.substr(imeFileValue.size() - fileName.size());
    if (!sameText(tail, fileName)) return false;
    if (imeFileValue.size() == fileName.size()) return true;
    const char16_t before = imeFileValue[imeFileValue.size() - fileName.size() - 1];
    return before == u'\\' || before == u'/';
}

bool isOneOf(std::u16string_view text, const std::vector<std::u16string>& layouts) {
    for (const std::u16string& l : layouts)
        if (sameText(text, l)) return true;
    return false;
}

std::vector<std::u16string> substitutesToRemove(const std::vector<NamedText>& substitutes,
                                                const std::vector<std::u16string>& layouts) {
    std::vector<std::u16string> out;
    for (const NamedText& s : substitutes)
        if (isOneOf(s.text, layouts)) out.push_back(s.name);
    return out;
}

std::vector<std::u16string> preloadToRemove(const std::vector<NamedText>& preload,
                                            const std::vector<NamedText>& substitutes,
                                            const std::vector<std::u16string>& layouts) {
    std::vector<std::u16string> standIns = layouts;
    for (const std::u16string& name : substitutesToRemove(substitutes, layouts)) standIns.push_back(name);
    std::vector<std::u16string> out;
    for (const NamedText& p : preload)
        if (isOneOf(p.text, standIns)) out.push_back(p.name);
    return out;
}

}  // namespace zv::installer
