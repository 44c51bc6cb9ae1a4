#pragma once
// Which traces of an earlier classic (IMM32) registration belong to this
// input method: the layouts whose "Ime File" names its file, and the
// values of a user's "Keyboard Layout\Preload" and "Substitutes" lists that
// name those layouts. Everything else in those lists is the user's and stays.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv::installer {

// A layout's registry name: eight hexadecimal digits, "E0200804".
std::u16string layoutText(uint32_t layout);

// Whether a layout's "Ime File" value names the file: the bare name as
// Windows stores it or a full path ending in it, in any letter case.
bool namesImeFile(std::u16string_view imeFileValue, std::u16string_view fileName);

// Whether a text is one of the layout names, in any letter case.
bool isOneOf(std::u16string_view text, const std::vector<std::u16string>& layouts);

struct NamedText {
    std::u16string name, text;
};

// The Substitutes values that stand for one of the layouts.
std::vector<std::u16string> substitutesToRemove(const std::vector<NamedText>& substitutes,
                                                const std::vector<std::u16string>& layouts);

// The Preload values that load one of the layouts, directly or through
// one of its substitutes.
std::vector<std::u16string> preloadToRemove(const std::vector<NamedText>& preload,
                                            const std::vector<NamedText>& substitutes,
                                            const std::vector<std::u16string>& layouts);

}  // namespace zv::installer
