#include "engine/commands.h"

#include "engine/engine_context.h"
#include "engine/input.h"
#include "engine/output_conversion.h"
#include "engine/set_command.h"

#include <algorithm>

namespace zv {

namespace {

constexpr std::u16string_view kAppPath = u"%apppath%";
constexpr std::u16string_view kWebPrefix = u"http://";
constexpr std::u16string_view kKeyboard = u"keyboard(";
constexpr std::u16string_view kNewKey = u"newkey(";
constexpr int kMaxRepeat = 256;

// Virtual keys of the modifiers a key group may hold down.
constexpr uint8_t kVkShift = 0x10, kVkCtrl = 0x11, kVkAlt = 0x12, kVkLeftWin = 0x5B;

uint32_t textKind(uint8_t source) {
    if (source & SourceWordBit) return ResultText | ResultWordBit;
    return ResultText | (source & SourcePlainBit ? uint32_t(ResultPlainBit) : 0u);
}

bool isSeparator(char16_t u) { return u == u'\\' || u == u'/'; }

// The folder with a path separator at its end, in the style it already uses.
std::u16string folder(std::u16string_view dir) {
    std::u16string out(dir);
    if (!out.empty() && !isSeparator(out.back()))
        out.push_back(out.find(u'\\') != std::u16string::npos ? u'\\' : u'/');
    return out;
}

// The text after `open` (the index of a "(") up to the last ")"; to the end
// when no ")" follows.
std::u16string_view between(std::u16string_view text, size_t open) {
    size_t close = text.rfind(u')');
    if (close == std::u16string_view::npos || close <= open) close = text.size();
    return text.substr(open + 1, close - open - 1);
}

std::u16string argumentOf(std::u16string_view inner, std::u16string_view installDir) {
    if (inner.size() >= 2 && inner.front() == u'"' && inner.back() == u'"') inner = inner.substr(1, inner.size() - 2);
    std::u16string arg;
    if (inner.starts_with(kAppPath)) {
        inner.remove_prefix(kAppPath.size());
        if (!inner.empty() && inner.front() == u'\\') inner.remove_prefix(1);
        arg = folder(installDir);
    }
    arg += inner;
    cutText(arg, kCommandUnits);
    return arg;
}

// Decimal digits at s[i...], saturating at `limit`; false when none.
bool readNumber(std::u16string_view s, size_t& i, int limit, int& value) {
    size_t start = i;
    value = 0;
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i) value = std::min(limit, value * 10 + (s[i] - u'0'));
    return i > start;
}

void appendHex(std::u16string& out, unsigned byte) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    out.push_back(u'%');
    if (byte >= 16) out.push_back(kHex[byte >> 4]);
    out.push_back(kHex[byte & 15]);
}

std::u16string decimal(int v) {
    std::u16string s;
    if (v < 0) return u"0";
    do {
        s.push_back(static_cast<char16_t>(u'0' + v % 10));
        v /= 10;
    } while (v);
    std::reverse(s.begin(), s.end());
    return s;
}

}  // namespace

PreparedCommand prepareCommand(const CommandItem& item, bool commandsOn, std::u16string_view installDir) {
    std::u16string_view out = item.output;
    PreparedCommand r;
    if (!commandsOn || item.position > kCommandPositions || out.empty()) {
        r.kind = textKind(item.source);
        r.text = out;
        return r;
    }
    size_t open = out.find(u'(');
    auto command = [&](uint32_t which) {
        r.kind = ResultCommand | which;
        r.argument = argumentOf(between(out, open), installDir);
    };
    if (out.starts_with(u"run(")) {
        command(CommandOpen);
        if (r.argument.starts_with(kWebPrefix)) r.argument = escapeWebAddress(r.argument);
    } else if (out.starts_with(u"help(")) {
        command(CommandHelp);
    } else if (out.starts_with(u"set(")) {
        r.kind = ResultCommand | CommandSettings;
        r.argument = out;
        cutText(r.argument, kCommandUnits);
    } else if (out.starts_with(u"conv") && open != std::u16string_view::npos) {
        // "convert(" is known by its first four units; a "(" must follow so
        // that English words such as "convey" stay text.
        command(CommandConvert);
    } else if (out.starts_with(u"skbd") && open != std::u16string_view::npos) {
        command(CommandSoftKeyboard);
    } else if (out.starts_with(u"config(")) {
        command(CommandConfig);
    } else if (size_t k = out.find(kKeyboard); k != std::u16string_view::npos) {
        r.text = out.substr(0, k);
        r.kind = ResultCommand | CommandKeys | (r.text.empty() ? 0u : uint32_t(ResultText));
        r.argument = argumentOf(between(out, k + kKeyboard.size() - 1), installDir);
    } else if (size_t n = out.find(kNewKey); n != std::u16string_view::npos) {
        r.kind = ResultReplaceCode;
        r.argument = argumentOf(between(out, n + kNewKey.size() - 1), installDir);
    } else {
        r.kind = textKind(item.source);
        r.text = out;
    }
    return r;
}

PreparedCommand prepareCommand(const EngineContext& ctx, const CommandItem& item) {
    const ImeSettings& ime = ctx.blocks.ime;
    bool on = ime && ime.bit(ImeSettings::OptionC, ImeSettings::C_CommandDirect);
    return prepareCommand(item, on, ctx.installDir);
}

std::u16string escapeWebAddress(std::u16string_view address) {
    std::u16string out;
    for (size_t i = 0; i < address.size(); ++i) {
        char16_t u = address[i];
        if (u <= 254) {
            if (out.size() + 1 > kEscapedAddressUnits) break;
            out.push_back(u);
            continue;
        }
        uint32_t cp = u;
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < address.size() && address[i + 1] >= 0xDC00 && address[i + 1] < 0xE000)
            cp = 0x10000 + ((u - 0xD800u) << 10) + (address[++i] - 0xDC00u);
        else if (u >= 0xD800 && u < 0xE000)
            cp = 0xFFFD;  // half a pair has no UTF-8 form
        unsigned bytes[4];
        int n;
        if (cp < 0x800) {
            bytes[0] = 0xC0 | cp >> 6;
            bytes[1] = 0x80 | (cp & 0x3F);
            n = 2;
        } else if (cp < 0x10000) {
            bytes[0] = 0xE0 | cp >> 12;
            bytes[1] = 0x80 | (cp >> 6 & 0x3F);
            bytes[2] = 0x80 | (cp & 0x3F);
            n = 3;
        } else {
            bytes[0] = 0xF0 | cp >> 18;
            bytes[1] = 0x80 | (cp >> 12 & 0x3F);
            bytes[2] = 0x80 | (cp >> 6 & 0x3F);
            bytes[3] = 0x80 | (cp & 0x3F);
            n = 4;
        }
        if (out.size() + 3 * static_cast<size_t>(n) > kEscapedAddressUnits) break;
        for (int b = 0; b < n; ++b) appendHex(out, bytes[b]);
    }
    return out;
}

std::vector<platform::KeyEvent> keyboardEvents(std::u16string_view argument) {
    std::vector<platform::KeyEvent> events;
    std::u16string_view scan = argument.substr(0, std::min(argument.find(u')'), argument.find(u',')));
    auto add = [&](uint8_t vk, bool up) { events.push_back({vk, 0, up, true}); };
    for (size_t i = 0; i < scan.size(); ++i) {
        if (scan[i] != u'<') continue;
        size_t close = scan.find(u'>', i + 1);
        if (close == std::u16string_view::npos) break;
        std::u16string_view group = scan.substr(i + 1, close - i - 1);
        i = close;

        size_t p = 0;
        int vk = 0, repeat = 1;
        if (!readNumber(group, p, 1000, vk) || vk < 1 || vk > 254) continue;
        if (p < group.size() && group[p] == u'.') {
            ++p;
            if (readNumber(group, p, kMaxRepeat + 1, repeat)) repeat = std::clamp(repeat, 1, kMaxRepeat);
            else repeat = 1;
        }
        std::u16string_view words = group.substr(p);
        bool shift = words.find(u"+Shift") != std::u16string_view::npos;
        bool alt = words.find(u"+Alt") != std::u16string_view::npos;
        bool ctrl = words.find(u"+Ctrl") != std::u16string_view::npos;
        bool win = words.find(u"+Win") != std::u16string_view::npos;

        if (win) add(kVkLeftWin, false);
        if (ctrl) add(kVkCtrl, false);
        if (shift) add(kVkShift, false);
        if (alt) add(kVkAlt, false);
        for (int r = 0; r < repeat; ++r) {
            add(static_cast<uint8_t>(vk), false);
            add(static_cast<uint8_t>(vk), true);
        }
        if (ctrl) add(kVkCtrl, true);
        if (shift) add(kVkShift, true);
        if (alt) add(kVkAlt, true);
        if (win) add(kVkLeftWin, true);
    }
    return events;
}

CommandOutcome runResultCommand(EngineContext& ctx, const PreparedCommand& command) {
    CommandOutcome o;
    if (!(command.kind & ResultCommand)) return o;
    const std::u16string& arg = command.argument;
    platform::Shell* shell = ctx.platform.shell;
    o.ran = true;
    switch (command.kind & kCommandMask) {
    case CommandOpen:
        if (shell && !arg.empty()) shell->open(arg);
        break;
    case CommandConfig:
        startConfigProgram(ctx, arg);
        break;
    case CommandHelp: {
        // "page,width,height"
        size_t c1 = arg.find(u',');
        std::u16string_view page = std::u16string_view(arg).substr(0, c1);
        int size[2] = {0, 0};
        for (int k = 0; k < 2 && c1 != std::u16string::npos; ++k) {
            size_t p = c1 + 1;
            while (p < arg.size() && arg[p] == u' ') ++p;
            readNumber(arg, p, 100000, size[k]);
            c1 = arg.find(u',', c1 + 1);
        }
        if (shell) showHelpPage(*shell, ctx.installDir, ctx.imeName, page, size[0], size[1]);
        break;
    }
    case CommandKeys:
        sendKeys(ctx, keyboardEvents(arg));
        break;
    case CommandConvert:
        o.modesChanged = applyConvertCommand(ctx.modeFlags, ctx.blocks.ime, arg);
        break;
    case CommandSettings:
        o.settingsChanged = applySettingsCommand(ctx, arg);
        break;
    case CommandSoftKeyboard:
        o.hideSoftKeyboard = true;
        break;
    default:
        o.ran = false;
    }
    return o;
}

bool applySettingsCommand(EngineContext& ctx, std::u16string_view text) {
    if (!ctx.blocks.complete()) return false;
    SetOutcome outcome = runSetCommand(ctx.blocks, text, {ctx.platform.shell, ctx.installDir, ctx.imeName});
    if (outcome.result != OptionResult::Applied || !outcome.valid || outcome.refused) return false;
    if (platform::MappedFile* config = ctx.file(SlotConfig)) config->flush();
    return true;
}

bool startConfigProgram(platform::Shell& shell, std::u16string_view installDir, std::u16string_view imeName,
                        std::u16string_view command) {
    std::u16string program = folder(installDir) + u"config.exe";
    std::u16string arguments = u"/n " + std::u16string(imeName) + u" " + std::u16string(command);
    return shell.run(program, arguments, false);
}

bool startConfigProgram(EngineContext& ctx, std::u16string_view command) {
    return ctx.platform.shell && startConfigProgram(*ctx.platform.shell, ctx.installDir, ctx.imeName, command);
}

bool showHelpPage(platform::Shell& shell, std::u16string_view installDir, std::u16string_view imeName,
                  std::u16string_view page, int width, int height) {
    std::u16string dir = folder(installDir);
    if (width > 0 && height > 0) {
        std::u16string command = u"/showurl 'mk:@MSITStore:" + dir + u"main.chm::/" + std::u16string(page) +
                                 u"' /showurlCX " + decimal(width) + u" /showurlCY " + decimal(height);
        return startConfigProgram(shell, installDir, imeName, command);
    }
    if (!page.empty()) return shell.showHelp(dir + u"main.chm", page);
    return shell.open(dir + u"main.chm");
}

}  // namespace zv
