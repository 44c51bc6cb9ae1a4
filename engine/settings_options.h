#pragma once
// The options of the settings blocks by name: the sections of the settings
// text, applying one "key=value" of a section to the blocks, and the option
// lines written for the sections [-IME设置-], [-DME设置-] and [-SKIN设置-]
// and for the symbol table.

#include "engine/config_store.h"

#include <string>
#include <string_view>

namespace zv {

enum SettingsSection : int {
    SectionUnknown = 0,
    SectionGenerator = 1,   // [-生成器选项-]
    SectionKeys = 3,        // [-按键功能-]
    SectionIme = 4,         // [-IME设置-]
    SectionDme = 5,         // [-DME设置-]
    SectionSkin = 6,        // [-SKIN设置-]
    SectionRules = 7,       // [-构词规则定义-]
    SectionSymbols = 8,     // [-非编码符号转义定义表-]
    SectionOtherFiles = 9,  // [-其他安装文件-]
    SectionSoftware = 10,   // [-软件选项-]
};

// The section of a header line such as "[-IME设置-]" (SectionUnknown when
// the text is no known header) and the header of a section.
int sectionId(std::u16string_view header);
std::u16string_view sectionHeader(int section);

enum class OptionResult {
    Applied,
    Ignored,          // a section that the input method itself does not use
    UnknownSection,
    UnknownKey,
    BadValue,         // the value was not accepted; nothing changed
    NeedsFramework,   // an option of the text-service framework, which is absent
    CombinationListFull,
};
// A short message for a result other than Applied.
std::u16string_view optionResultText(OptionResult r);

// Applies one option line of a section to the blocks, in place.
OptionResult applyOption(SettingsBlocks& blocks, int section, std::u16string_view key, std::u16string_view value);
OptionResult applyImeOption(ImeSettings& ime, std::u16string_view key, std::u16string_view value);
OptionResult applyDmeOption(DmeSettings& dme, std::u16string_view key, std::u16string_view value);
OptionResult applySkinOption(SkinSettings& skin, std::u16string_view key, std::u16string_view value);
// A symbol table line: key "c" for the main keyboard, "小c" for the keypad;
// value one text, or two texts separated by a comma (an alternating pair).
OptionResult applySymbol(ImeSettings& ime, std::u16string_view key, std::u16string_view value);
void clearSymbols(ImeSettings& ime);

// The option lines of a section, each ending in "\r\n", as the settings
// text holds them.
std::u16string writeImeOptions(const ImeSettings& ime);
std::u16string writeDmeOptions(const DmeSettings& dme);
std::u16string writeSkinOptions(const SkinSettings& skin);
std::u16string writeSymbols(const ImeSettings& ime);

// A decimal number as the options read it: leading digits (ASCII or
// full-width), 0 when there are none, at most 255.
int parseOptionNumber(std::u16string_view value);

}  // namespace zv
