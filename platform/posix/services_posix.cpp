#include "platform/services.h"
#include "platform/utf.h"

#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace zv::platform {

namespace {

// Starts a program without waiting for it; a second fork lets the child be
// reaped at once so that no zombie is left behind.
bool spawnDetached(const std::vector<std::string>& argv) {
    if (argv.empty()) return false;
    pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        pid_t grandchild = fork();
        if (grandchild == 0) {
            std::vector<char*> args;
            for (auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execvp(args[0], args.data());
            _exit(127);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool onPath(const char* program) {
    std::string cmd = "command -v ";
    cmd += program;
    cmd += " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

// Splits a Windows-style argument string on blanks, honouring double quotes.
std::vector<std::string> splitArguments(const std::string& s) {
    std::vector<std::string> out;
    std::string cur;
    bool quoted = false, any = false;
    for (char c : s) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (any) out.push_back(cur);
            cur.clear();
            any = false;
        } else {
            cur += c;
            any = true;
        }
    }
    if (any) out.push_back(cur);
    return out;
}

class PosixServices : public Shell, public Dialogs, public Clipboard, public KeySender {
public:
    bool open(std::u16string_view target) override {
        if (target.empty() || !onPath("xdg-open")) return false;
        return spawnDetached({"xdg-open", utf16ToUtf8(target)});
    }
    bool run(std::u16string_view program, std::u16string_view arguments, bool) override {
        std::vector<std::string> argv{utf16ToUtf8(program)};
        for (auto& a : splitArguments(utf16ToUtf8(arguments))) argv.push_back(a);
        return spawnDetached(argv);
    }
    // No help viewer here addresses a page inside a compiled help file, so
    // the file opens at its start page.
    bool showHelp(std::u16string_view file, std::u16string_view) override { return open(file); }
    // Without a desktop to ask, a question is declined: nothing is changed.
    bool confirm(std::u16string_view caption, std::u16string_view text) override {
        std::fprintf(stderr, "%s\n%s\n", utf16ToUtf8(caption).c_str(), utf16ToUtf8(text).c_str());
        return false;
    }
    void inform(std::u16string_view caption, std::u16string_view text, DialogIcon) override {
        std::fprintf(stderr, "%s\n%s\n", utf16ToUtf8(caption).c_str(), utf16ToUtf8(text).c_str());
    }
    std::u16string text() override { return {}; }
    void send(const std::vector<KeyEvent>&) override {}
};

PosixServices& services() {
    static PosixServices s;
    return s;
}

}  // namespace

Shell& systemShell() { return services(); }
Dialogs& systemDialogs() { return services(); }
Clipboard& systemClipboard() { return services(); }
KeySender& systemKeySender() { return services(); }

}  // namespace zv::platform
