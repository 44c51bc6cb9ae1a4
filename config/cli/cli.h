#pragma once
// zvconfig: the configuration program's operations on a data folder from the
// command line. run() parses the options common to every command (--data,
// --install, --name, --yes, anywhere on the line) and dispatches to the
// command's function; each group of commands lives in its own file and is
// listed in commandGroups().

#include "config/data_folder.h"
#include "config/progress.h"
#include "engine/engine_context.h"
#include "engine/folder_write.h"
#include "platform/registry.h"
#include "platform/services.h"

#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zv::config::cli {

// Exit statuses.
constexpr int ExitOk = 0;
constexpr int ExitRefused = 1;  // refused, or the operation could not be done
constexpr int ExitUsage = 2;    // usage errors, unusable data folder or files

// What the program gets from its surroundings; tests supply their own.
struct Io {
    Io(std::ostream& o, std::ostream& e, std::istream& i) : out(o), err(e), in(i) {}
    std::ostream& out;
    std::ostream& err;
    std::istream& in;
    bool inTerminal = false;
    bool errTerminal = false;
    platform::Registry* systemRegistry = nullptr;  // for --name; null: the real one
    platform::Clipboard* clipboard = nullptr;      // null: the system's
    platform::Shell* shell = nullptr;              // starts the installer; null: the system's
    std::u16string tempFolder;       // with a separator
    std::u16string documentsFolder;  // with a separator
};

struct Options {
    std::optional<std::u16string> dataDir;
    std::optional<std::u16string> installDir;
    std::optional<std::u16string> name;
    bool yes = false;
};

// One run of a command.
struct Session {
    Io& io;
    Options options;
    std::vector<std::string> args;  // after the command name, common options removed
    std::unique_ptr<platform::Registry> registry;
    // Held from the moment the folder is known until the command ends (and
    // after its files are closed): no other process writes the folder
    // while a command reads or changes it.
    std::optional<FolderWrite> write;
    DataFolder folder;
    std::unique_ptr<EngineContext> engine;

    // Opens the data folder named by the options; on failure prints the
    // message and returns false (the command then exits with ExitUsage).
    // With files = false only the registry is read (folder.info).
    bool openFolder(bool files = true);
    // Opens the folder as the engine does, for the commands that use its
    // tables and searches; nothing in the folder is reset or changed by
    // opening. Prints why it failed (the command then exits with ExitUsage).
    bool openEngine();
    // Asks a question the configuration program asks before destroying
    // data: --yes answers yes; otherwise it is asked on a terminal, and
    // refused without one. Prints why it was refused.
    bool confirm(std::u16string_view question);
    // A progress bar on a terminal; nothing otherwise. finishProgress()
    // ends the bar's line.
    Progress progress();
    void finishProgress();

    // Where an export goes: the -o file when given, else the file name in
    // the instance's export folder under the documents folder (made when
    // missing).
    std::u16string exportPath(const std::string* output, std::u16string_view fileName);

    void print(std::u16string_view text);  // a line on standard output
    void error(std::u16string_view text);  // a line on standard error

    int lastPercent = -1;
};

struct Command {
    std::string_view name;
    std::string_view usage;  // arguments after the name
    int (*run)(Session& session);
};

// The table commands: build, import, import-list, export, clear, check.
std::span<const Command> tableCommands();
// The settings commands: settings export, settings import, set.
std::span<const Command> settingsCommands();
// The viewer's commands: list, add, delete, undelete, lookup, reverse-lookup.
std::span<const Command> viewerCommands();
// Every group of commands, for dispatch and the usage text.
std::vector<std::span<const Command>> commandGroups();

int run(const std::vector<std::string>& args, Io& io);

// Helpers for commands.
std::u16string fromUtf8(std::string_view s);
std::string toUtf8(std::u16string_view s);
// Takes "--flag VALUE" out of args; false when the flag is absent; sets
// *bad when the value is missing.
bool takeValue(std::vector<std::string>& args, std::string_view flag, std::string* value, bool* bad);
// An integer made of decimal digits only (with an optional sign).
bool parseInt(std::string_view s, int* out);
// Takes a flag without a value; true when it was there.
bool takeFlag(std::vector<std::string>& args, std::string_view flag);
// Prints the command's usage line; returns ExitUsage.
int usageError(Session& s, std::string_view command);
std::u16string decimal(uint64_t n);
// The message for a table that cannot be read.
constexpr std::u16string_view TableUnavailable = u"无法获取当前码表内容。";

}  // namespace zv::config::cli
