#include "engine/set_command.h"

#include "platform/services.h"

namespace zv {
namespace {

constexpr std::u16string_view kRefusedKeys[] = {u"输入法框架", u"使用调试模式"};

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// Reads one part ending in sep, starting at pos; pos ends after sep. An
// empty part is refused unless it may be empty.
bool readPart(std::u16string_view text, size_t& pos, char16_t sep, std::u16string& out, bool mayBeEmpty = false) {
    if (pos < text.size() && text[pos] == u'"') {
        size_t close = text.find(u'"', pos + 1);
        if (close == std::u16string_view::npos) return false;
        out = text.substr(pos + 1, close - pos - 1);
        pos = close + 1;
        if (pos >= text.size() || text[pos] != sep) return false;
    } else {
        size_t at = text.find(sep, pos);
        if (at == std::u16string_view::npos) return false;
        out = text.substr(pos, at - pos);
        pos = at;
    }
    ++pos;
    return mayBeEmpty || !out.empty();
}

}  // namespace

std::optional<SetCommand> parseSetCommand(std::u16string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    constexpr std::u16string_view head = u"set(";
    if (text.substr(0, head.size()) != head) return std::nullopt;
    size_t pos = head.size();
    SetCommand c;
    if (!readPart(text, pos, u',', c.section) || !readPart(text, pos, u'=', c.key)) return std::nullopt;
    // A key binding's value is its function text, and a key without
    // functions has the empty one: that is how a command unbinds a key.
    const bool binding = c.section == sectionHeader(SectionKeys);
    if (!readPart(text, pos, u')', c.value, binding)) return std::nullopt;
    if (pos != text.size()) return std::nullopt;
    return c;
}

bool styleSwitchNeedsInstaller(uint32_t oldA, uint32_t newA) {
    return ((oldA & ImeSettings::A_StyleMask) == 0) != ((newA & ImeSettings::A_StyleMask) == 0);
}

bool startStyleInstaller(const InstallerLaunch& launch, uint32_t newA) {
    if (!launch.shell) return false;
    std::u16string program = launch.installDir;
    if (!program.empty() && program.back() != u'\\' && program.back() != u'/')
        program += program.find(u'\\') != std::u16string::npos ? u'\\' : u'/';
    program += u"installer.exe";
    std::u16string args = (newA & ImeSettings::A_StyleMask) ? u"/EMMODE=1 /GUID=" : u"/EMMODE=0 /GUID=";
    args += launch.instanceName;
    return launch.shell->run(program, args, true);
}

SetOutcome runSetCommand(SettingsBlocks& blocks, std::u16string_view text, const InstallerLaunch& launch) {
    SetOutcome out;
    auto command = parseSetCommand(text);
    if (!command) return out;
    out.valid = true;
    for (auto refused : kRefusedKeys) {
        if (command->key == refused) {
            out.refused = true;
            return out;
        }
    }
    int section = sectionId(command->section);
    if (section == SectionUnknown) return out;
    const uint32_t before = blocks.ime.a();
    out.result = applyOption(blocks, section, command->key, command->value);
    const uint32_t after = blocks.ime.a();
    if (styleSwitchNeedsInstaller(before, after)) out.installerStarted = startStyleInstaller(launch, after);
    return out;
}

std::u16string_view setOutcomeText(const SetOutcome& outcome) {
    if (!outcome.valid) return u"设置命令格式错误，应为 set(节,键=值)";
    if (outcome.refused) return u"此设置项不能用命令修改";
    return optionResultText(outcome.result);
}

}  // namespace zv
