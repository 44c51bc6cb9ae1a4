// The settings commands of zvconfig: settings export, settings import and
// set.

#include "config/cli/cli.h"
#include "config/settings_file.h"
#include "config/text_file.h"
#include "engine/set_command.h"
#include "engine/settings_text.h"

namespace zv::config::cli {

namespace {

// The file name the export takes without -o, in the folder of the table
// exports.
constexpr std::u16string_view SettingsExportName = u"导出全部设置.zvconfig.txt";

bool configWritable(Session& s) {
    if (!s.folder.config.isHeapCopy()) return true;
    s.error(u"数据文件无法写入: " + s.folder.path(u"config.dsc"));
    return false;
}

InstallerLaunch installerLaunch(Session& s) {
    return {s.io.shell ? s.io.shell : &platform::systemShell(), s.folder.info.installDir, s.folder.info.name};
}

int runSettingsExport(Session& s) {
    std::string output;
    bool bad = false;
    bool haveOutput = takeValue(s.args, "-o", &output, &bad);
    if (bad || !s.args.empty()) return usageError(s, "settings");
    if (!s.openFolder()) return ExitUsage;
    const std::u16string path = s.exportPath(haveOutput ? &output : nullptr, SettingsExportName);
    if (!writeTextFile(path, writeSettingsText(s.folder.blocks))) {
        s.error(u"无法写入文件: " + path);
        return ExitUsage;
    }
    s.print(u"全部设置已导出: " + path);
    return ExitOk;
}

int runSettingsImport(Session& s) {
    if (s.args.size() != 1) return usageError(s, "settings");
    if (!s.openFolder()) return ExitUsage;
    if (!configWritable(s)) return ExitUsage;
    DecodedText text;
    if (!readTextFile(fromUtf8(s.args[0]), text)) {
        s.error(u"无法读取文件: " + fromUtf8(s.args[0]));
        return ExitUsage;
    }
    SettingsImport r = importSettingsText(s.folder.config, text.text);
    if (r.status == SettingsImportStatus::NotWritable) {
        s.error(u"数据文件无法写入: " + s.folder.path(u"config.dsc"));
        return ExitUsage;
    }
    if (r.status == SettingsImportStatus::NotSettings) {
        s.error(u"文件中没有可识别的设置内容，设置未作改动: " + fromUtf8(s.args[0]));
        return ExitUsage;
    }
    for (const auto& p : r.problems)
        s.error(u"第 " + decimal(static_cast<uint64_t>(p.line)) + u" 行未生效（" +
                std::u16string(optionResultText(p.result)) + u"）: " + p.text);
    // The text service has to be registered or removed when the window
    // style moves between the traditional style and a text-service style.
    if (styleSwitchNeedsInstaller(r.optionABefore, r.optionAAfter))
        startStyleInstaller(installerLaunch(s), r.optionAAfter);
    s.print(u"设置已导入。");
    return ExitOk;
}

int runSettings(Session& s) {
    if (s.args.empty()) return usageError(s, "settings");
    const std::string what = s.args.front();
    s.args.erase(s.args.begin());
    if (what == "export") return runSettingsExport(s);
    if (what == "import") return runSettingsImport(s);
    return usageError(s, "settings");
}

int runSet(Session& s) {
    if (s.args.size() != 1) return usageError(s, "set");
    if (!s.openFolder()) return ExitUsage;
    if (!configWritable(s)) return ExitUsage;
    SetOutcome outcome = runSetCommand(s.folder.blocks, fromUtf8(s.args[0]), installerLaunch(s));
    s.folder.config.flush();
    if (!outcome.valid) {
        s.error(setOutcomeText(outcome));
        return ExitUsage;
    }
    if (outcome.refused || outcome.result != OptionResult::Applied) {
        s.error(setOutcomeText(outcome));
        return ExitRefused;
    }
    s.print(optionResultText(outcome.result));
    return ExitOk;
}

const Command kSettingsCommands[] = {
    {"settings", "export [-o FILE] | import FILE", runSettings},
    {"set", "'set(节,键=值)'", runSet},
};

}  // namespace

std::span<const Command> settingsCommands() { return kSettingsCommands; }

}  // namespace zv::config::cli
