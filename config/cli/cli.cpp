#include "config/cli/cli.h"

#include "config/table_export.h"
#include "engine/data_files.h"
#include "platform/folders.h"
#include "platform/mapped_file.h"
#include "platform/utf.h"

#include <algorithm>
#include <istream>
#include <ostream>

namespace zv::config::cli {

std::u16string fromUtf8(std::string_view s) { return utf8ToUtf16(s); }
std::string toUtf8(std::u16string_view s) { return utf16ToUtf8(s); }

bool takeValue(std::vector<std::string>& args, std::string_view flag, std::string* value, bool* bad) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != flag) continue;
        if (i + 1 >= args.size()) {
            *bad = true;
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
            return false;
        }
        *value = args[i + 1];
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        return true;
    }
    return false;
}

bool parseInt(std::string_view s, int* out) {
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    if (i >= s.size() || s.size() - i > 9) return false;
    int n = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        n = n * 10 + (s[i] - '0');
    }
    *out = negative ? -n : n;
    return true;
}

bool takeFlag(std::vector<std::string>& args, std::string_view flag) {
    auto it = std::find(args.begin(), args.end(), flag);
    if (it == args.end()) return false;
    args.erase(it);
    return true;
}

std::u16string decimal(uint64_t n) {
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

int usageError(Session& s, std::string_view command) {
    for (auto group : commandGroups())
        for (const Command& c : group)
            if (c.name == command)
                s.io.err << "用法: zvconfig [--data DIR | --name IMENAME] " << c.name << " " << c.usage << "\n";
    return ExitUsage;
}

namespace {

// Texts of the program use CR LF; a terminal wants LF.
std::string forStream(std::u16string_view text) {
    std::string s = utf16ToUtf8(text);
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
        out.push_back(s[i]);
    }
    return out;
}

void usage(std::ostream& err) {
    err << "用法: zvconfig [--data DIR [--install DIR] | --name IMENAME] [--yes] COMMAND ...\n";
    for (auto group : commandGroups())
        for (const Command& c : group) err << "  zvconfig " << c.name << (c.usage.empty() ? "" : " ") << c.usage << "\n";
}

}  // namespace

std::u16string Session::exportPath(const std::string* output, std::u16string_view fileName) {
    if (output) return fromUtf8(*output);
    const std::u16string dir =
        io.documentsFolder + exportFolderName(folder.info.imeName) + std::u16string(1, platform::pathSeparator());
    platform::makeDirectories(dir);
    return dir + std::u16string(fileName);
}

void Session::print(std::u16string_view text) { io.out << forStream(text) << '\n'; }
void Session::error(std::u16string_view text) { io.err << forStream(text) << '\n'; }

bool Session::openFolder(bool files) {
    std::u16string name(options.name.value_or(std::u16string(kDefaultImeName)));
    platform::Registry* r = nullptr;
    if (options.dataDir) {
        // An in-memory registry that holds just this instance.
        auto memory = std::make_unique<platform::MemoryRegistry>();
        InstanceInfo info;
        info.name = name;
        info.imeName = ToolImeName;
        info.dataDir = withSeparator(*options.dataDir);
        info.installDir = withSeparator(options.installDir.value_or(*options.dataDir));
        registerInstance(*memory, info);
        registry = std::move(memory);
        r = registry.get();
    } else if (io.systemRegistry) {
        r = io.systemRegistry;
    } else {
        registry = platform::openSystemRegistry();
        r = registry.get();
    }
    FolderStatus s = readInstance(*r, name, folder.info);
    if (s == FolderStatus::Ok) {
        if (!write) write.emplace(folder.info.dataDir);
        if (files) s = openDataFolder(*r, name, folder);
    }
    if (s == FolderStatus::Ok) return true;
    error(u"非法的软件环境，本程序无法继续。");
    switch (s) {
    case FolderStatus::NoKey: error(u"（注册表中没有输入法 " + name + u" 的项）"); break;
    case FolderStatus::NoLocation: error(u"（注册表项缺少 InstallLocation 或 DataLocation）"); break;
    case FolderStatus::NoConfig: error(u"（无法打开 " + folder.path(u"config.dsc") + u"）"); break;
    case FolderStatus::NoMain: error(u"（找不到 " + folder.path(u"main.dmg") + u"）"); break;
    case FolderStatus::NoSettings: error(u"（config.dsc 缺少设置块）"); break;
    case FolderStatus::Ok: break;
    }
    return false;
}

bool Session::openEngine() {
    // The folder's own checks first, for their messages.
    if (!openFolder()) return false;
    folder.blocks = {};
    folder.config.close();
    engine = std::make_unique<EngineContext>();
    engine->imeName = folder.info.name;
    engine->platform.registry = registry ? registry.get() : io.systemRegistry;
    engine->platform.clipboard = io.clipboard ? io.clipboard : &platform::systemClipboard();
    if (openDataFolder(*engine, folder.info.dataDir, folder.info.installDir, OpenAs::Tool)) return true;
    engine.reset();
    error(TableUnavailable);
    error(u"（" + folder.path(u"main.dmg") + u" 不是可用的码表，可用 zvconfig check 查看）");
    return false;
}

bool Session::confirm(std::u16string_view question) {
    if (options.yes) return true;
    if (!io.inTerminal) {
        error(u"此操作需要确认：请在终端上运行，或加 --yes。操作已取消。");
        return false;
    }
    io.err << forStream(question) << " [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(io.in, answer)) answer.clear();
    while (!answer.empty() && (answer.back() == '\r' || answer.back() == ' ')) answer.pop_back();
    if (answer == "y" || answer == "Y" || answer == "yes" || answer == "是") return true;
    error(u"操作已取消。");
    return false;
}

Progress Session::progress() {
    lastPercent = -1;
    if (!io.errTerminal) return {};
    return [this](uint64_t done, uint64_t total) {
        int percent = total ? static_cast<int>(done >= total ? 100 : done * 100 / total) : 100;
        if (percent == lastPercent) return;
        lastPercent = percent;
        std::string bar(static_cast<size_t>(percent / 5), '#');
        bar.resize(20, '.');
        io.err << "\r[" << bar << "] " << percent << "%" << std::flush;
    };
}

void Session::finishProgress() {
    if (io.errTerminal && lastPercent >= 0) io.err << "\n" << std::flush;
    lastPercent = -1;
}

std::vector<std::span<const Command>> commandGroups() {
    return {tableCommands(), settingsCommands(), viewerCommands()};
}

int run(const std::vector<std::string>& argv, Io& io) {
    Session s{io, {}, argv, nullptr, {}, {}, nullptr};
    std::vector<std::string>& args = s.args;
    bool bad = false;
    std::string value;
    if (takeValue(args, "--data", &value, &bad)) s.options.dataDir = fromUtf8(value);
    if (takeValue(args, "--install", &value, &bad)) s.options.installDir = fromUtf8(value);
    if (takeValue(args, "--name", &value, &bad)) s.options.name = fromUtf8(value);
    for (size_t i = 0; i < args.size();) {
        if (args[i] == "--yes") {
            s.options.yes = true;
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    if (bad || args.empty() || (s.options.dataDir && s.options.name) || (s.options.installDir && !s.options.dataDir)) {
        usage(io.err);
        return ExitUsage;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    for (auto group : commandGroups())
        for (const Command& c : group)
            if (c.name == command) return c.run(s);
    io.err << "zvconfig: 未知的命令 " << command << "\n";
    usage(io.err);
    return ExitUsage;
}

}  // namespace zv::config::cli
