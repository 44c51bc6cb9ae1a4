#include "frontends/desktop/status_actions.h"

#include "engine/config_store.h"
#include "platform/utf.h"

#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace zv::desktop {

namespace {

// The configuration tools: a zvconfig operation on the context's data
// folder, and what the status area calls it.
struct Tool {
    const char* name;
    const char* label;
    const char* operation;  // the zvconfig arguments after the folder
};
constexpr Tool kTools[] = {
    {"zorvan-check", "检查码表", "check"},
    {"zorvan-list", "浏览码表", "list"},
    {"zorvan-reverse", "剪贴板反查", "reverse-lookup --clipboard"},
    {"zorvan-settings", "导出设置", "settings export"},
};

bool traditionalOutput(InputContext& ic) {
    const SettingsBlocks& s = settingsOf(ic.engine());
    return s.ime && s.ime.bit(ImeSettings::OptionA, ImeSettings::A_Traditional);
}

std::string quoted(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Starts a program detached from this one: the framework's process never
// waits for it, and no zombie stays behind.
void startDetached(const std::vector<std::string>& argv) {
    const pid_t child = fork();
    if (child < 0) return;
    if (child == 0) {
        setsid();
        if (fork() == 0) {
            std::vector<char*> args;
            for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execvp(args[0], args.data());
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
}

}  // namespace

std::vector<StatusAction> statusActions(InputContext& ic) {
    const EngineView view = viewOf(ic.engine());
    const uint32_t m = view.modes;
    std::vector<StatusAction> out = {
        {"zorvan-chinese", m & ModeEnglish ? "英" : "中", "中文/英文 (Shift)"},
        {"zorvan-width", m & ModeFullWidth ? "全角" : "半角", "全角/半角"},
        {"zorvan-punctuation", m & ModeEnglishPunct ? "英文标点" : "中文标点", "中文标点/英文标点"},
        {"zorvan-traditional", traditionalOutput(ic) ? "繁体" : "简体", "简体/繁体输出"},
        {"zorvan-soft-keyboard", m & ModeSoftKeyboard ? "软键盘开" : "软键盘", "软键盘"},
    };
    for (const Tool& t : kTools) out.push_back({t.name, t.label, std::string("zvconfig ") + t.operation});
    return out;
}

std::vector<std::string> toolCommandLine(InputContext& ic, std::string_view name) {
    for (const Tool& t : kTools) {
        if (name != t.name) continue;
        // zvconfig beside the adapter when installed so, else on PATH; the
        // terminal stays open until a key, so that the result can be read.
        const char* tools = std::getenv("ZORVAN_TOOLS");
        const std::string zvconfig = tools && *tools ? std::string(tools) + "/zvconfig" : "zvconfig";
        const std::string folder = utf16ToUtf8(installFolder(ic.engine()));
        const std::string script = quoted(zvconfig) + " --data " + quoted(folder) + " " + t.operation +
                                   " | less -R; true";
        return {"x-terminal-emulator", "-e", "sh", "-c", script};
    }
    return {};
}

bool runStatusAction(InputContext& ic, std::string_view name) {
    const uint32_t m = viewOf(ic.engine()).modes;
    if (name == "zorvan-chinese") {
        ic.command(m & ModeEnglish ? mode::Chinese : mode::English);
    } else if (name == "zorvan-width") {
        ic.command(m & ModeFullWidth ? mode::FullWidthOff : mode::FullWidthOn);
    } else if (name == "zorvan-punctuation") {
        ic.command(m & ModeEnglishPunct ? mode::EnglishPunctOff : mode::EnglishPunctOn);
    } else if (name == "zorvan-traditional") {
        ic.command(mode::ToggleTraditional);
    } else if (name == "zorvan-soft-keyboard") {
        ic.uiCommand(ui_command::SoftKeyboard, (m & ModeSoftKeyboard) ? 0 : 1, 0);
    } else if (auto argv = toolCommandLine(ic, name); !argv.empty()) {
        startDetached(argv);
    } else {
        return false;
    }
    return true;
}

}  // namespace zv::desktop
