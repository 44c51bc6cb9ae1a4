// The code-table commands of zvconfig: build, import, import-list, export,
// clear and check.

#include "config/cli/cli.h"
#include "config/table_build.h"
#include "config/table_check.h"
#include "config/table_clear.h"
#include "config/table_export.h"
#include "config/table_import.h"
#include "config/text_file.h"
#include "config/word_list.h"
#include "engine/code_table.h"
#include "engine/pair_table.h"
#include "platform/folders.h"
#include "platform/mapped_file.h"

#include <string>

namespace zv::config::cli {

namespace {

constexpr std::u16string_view ReplaceQuestion = u"该操作将清空选中码表中已有的所有词条，并且不可恢复。\r\n确定这样做吗？";
constexpr std::u16string_view ClearQuestion = u"该操作将清空选中码表类型中的所有词条，此操作是不可恢复的。\r\n确定这样做吗？";
constexpr std::u16string_view NotAuthorized = u"该码表未被授权修改！";

// A category number that an entry can carry: 1..4 or 16..31.
bool validCategory(int c) { return (c >= CategorySystem && c <= CategoryAuxiliary) || (c >= 16 && c <= 31); }

// Takes "--category N"; -1 when the option is malformed.
int takeCategory(Session& s) {
    std::string v;
    bool bad = false;
    if (!takeValue(s.args, "--category", &v, &bad)) return bad ? -1 : 0;
    int c = 0;
    return parseInt(v, &c) && validCategory(c) ? c : -1;
}

bool readSource(Session& s, const std::string& file, DecodedText& out) {
    if (!readTextFile(fromUtf8(file), out)) {
        s.error(u"无法读取文件: " + fromUtf8(file));
        return false;
    }
    if (isPlainText(out.text)) return true;
    s.error(u"所选文件不是文本格式的码表: " + fromUtf8(file));
    return false;
}

// Opens a table of the data folder for writing; a file that can only be
// read would take the changes into a copy that is never written back.
bool openForWriting(Session& s, platform::MappedFile& f, std::u16string_view file) {
    std::u16string path = s.folder.path(file);
    if (!platform::fileExists(path) || !f.open(path)) {
        s.error(TableUnavailable);
        s.error(u"（" + path + u"）");
        return false;
    }
    if (f.isHeapCopy()) {
        s.error(u"数据文件无法写入: " + path);
        return false;
    }
    return true;
}

// Makes sure a file of the data folder can be written (or created) before
// anything is changed.
bool writable(Session& s, std::u16string_view file) {
    std::u16string path = s.folder.path(file);
    if (!platform::fileExists(path)) return true;
    platform::MappedFile f;
    // An empty file cannot be mapped but can be written.
    bool ok = f.open(path) && (!f.isHeapCopy() || f.sizeOnDisk() == 0);
    f.discard();  // nothing was written
    if (ok) return true;
    s.error(u"数据文件无法写入: " + path);
    return false;
}

int runBuild(Session& s) {
    if (s.args.size() != 1) return usageError(s, "build");
    if (!s.openFolder()) return ExitUsage;
    if (!writable(s, u"main.dmg")) return ExitUsage;
    DecodedText source;
    if (!readSource(s, s.args[0], source)) return ExitUsage;
    if (!s.confirm(ReplaceQuestion)) return ExitRefused;

    BuildOptions o;
    o.tempFolder = s.io.tempFolder;
    o.mainPath = s.folder.path(u"main.dmg");
    o.progress = s.progress();
    o.report = [&](std::u16string_view line) { s.print(line); };
    o.invalidLine = [&](uint32_t line, std::u16string_view text) {
        s.print(u"第 " + decimal(line) + u" 行无法识别: " + std::u16string(text.substr(0, 80)));
    };
    BuildResult r = buildMainTable(std::move(source.text), o);
    s.finishProgress();
    s.print(u"有效行 " + decimal(r.validLines) + u"，无效行 " + decimal(r.invalidLines) + u"，重复 " +
            decimal(r.duplicates) + u"，无法存储 " + decimal(r.dropped) + u"，写入词条 " +
            decimal(r.status == BuildStatus::Ok ? r.uniqueEntries : 0));
    if (r.status != BuildStatus::Ok) {
        s.error(buildStatusMessage(r.status));
        return ExitRefused;
    }
    return ExitOk;
}

int runImport(Session& s) {
    int category = takeCategory(s);
    if (category < 0 || s.args.size() != 1) return usageError(s, "import");
    if (!s.openFolder()) return ExitUsage;
    platform::MappedFile main;
    if (!openForWriting(s, main, u"main.dmg")) return ExitUsage;
    DecodedText source;
    if (!readSource(s, s.args[0], source)) return ExitUsage;

    platform::MappedFile danziFile;
    CharCodeTable danzi;
    if (platform::fileExists(s.folder.path(u"danzi.dmi")) && danziFile.open(s.folder.path(u"danzi.dmi")))
        danzi = CharCodeTable(danziFile.data(), danziFile.size());
    ImportOptions o;
    o.targetCategory = category;
    o.rules = s.folder.blocks.dme;
    o.danzi = danzi.valid() ? &danzi : nullptr;
    o.reportPath = s.io.tempFolder + std::u16string(ImportReportName);
    o.progress = s.progress();
    ImportResult r = importIntoMainTable(main, source.text, o);
    s.finishProgress();
    if (r.status == ImportStatus::DamagedTable) {
        s.error(TableUnavailable);
        s.error(u"（main.dmg 已损坏，可用 zvconfig check 查看）");
        return ExitUsage;
    }
    for (const auto& line : r.report) s.print(line);
    if (r.status == ImportStatus::GrowFailed) {
        s.error(u"无法重设主码表文件，新词条未能添加。");
        return ExitRefused;
    }
    if (r.report.empty()) {
        s.print(u"批量加词完成，成功添加词条数: " + decimal(r.added));
    } else {
        s.print(u"成功添加词条数: " + decimal(r.added));
        s.print(u"无法添加的词条个数为: " + decimal(r.notAdded) + u"。");
        if (r.status == ImportStatus::ReportFailed) s.error(u"无法写入报告文件: " + o.reportPath);
        else s.print(u"无法导入的词条见: " + o.reportPath);
    }
    return ExitOk;
}

int runImportList(Session& s) {
    if (s.args.size() != 2 || (s.args[0] != "sysl" && s.args[0] != "engl")) return usageError(s, "import-list");
    const bool association = s.args[0] == "sysl";
    const std::u16string file = association ? u"sysl.dmg" : u"engl.dmg";
    if (!s.openFolder()) return ExitUsage;
    if (!writable(s, file)) return ExitUsage;
    if (association && s.folder.config.isHeapCopy()) {
        s.error(u"数据文件无法写入: " + s.folder.path(u"config.dsc"));
        return ExitUsage;
    }
    DecodedText source;
    if (!readSource(s, s.args[1], source)) return ExitUsage;
    if (!s.confirm(ReplaceQuestion)) return ExitRefused;

    WordListResult r = buildWordList(source.text, s.folder.path(file), s.io.tempFolder, s.progress());
    s.finishProgress();
    if (r.status != WordListStatus::Ok) {
        s.error(u"词条导入失败。");
        if (r.status == WordListStatus::NoWords) s.error(u"（文件中没有词条，码表未作改动）");
        return ExitRefused;
    }
    if (association) {
        s.folder.blocks.ime.setBit(ImeSettings::OptionC, ImeSettings::C_AssociationSeparator, r.separator);
        s.folder.config.flush();
    }
    s.print(u"词条导入成功。");
    s.print(u"读入 " + decimal(r.lines) + u" 行，重复 " + decimal(r.duplicates) + u"，写入词条 " + decimal(r.words));
    return ExitOk;
}

int runExport(Session& s) {
    int category = takeCategory(s);
    std::string output;
    bool bad = false;
    bool haveOutput = takeValue(s.args, "-o", &output, &bad);
    if (category < 0 || bad || s.args.size() != 1) return usageError(s, "export");
    const std::string& which = s.args[0];
    ExportTable table;
    std::u16string file;
    if (which == "main") table = ExportTable::Main, file = u"main.dmg";
    else if (which == "sysl") table = ExportTable::Association, file = u"sysl.dmg";
    else if (which == "engl") table = ExportTable::English, file = u"engl.dmg";
    else return usageError(s, "export");
    if (category && table != ExportTable::Main) return usageError(s, "export");
    if (!s.openFolder()) return ExitUsage;

    platform::MappedFile f;
    if (!platform::fileExists(s.folder.path(file)) || !f.open(s.folder.path(file))) {
        s.error(TableUnavailable);
        return ExitUsage;
    }
    const SoftSettings& soft = s.folder.blocks.soft;
    CodeTable t(f.data(), f.size());
    ExportResult r = exportTable(t, table, category, soft, s.progress());
    s.finishProgress();
    if (r.status == ExportStatus::NotAuthorized) {
        s.error(NotAuthorized);
        return ExitRefused;
    }
    if (r.status != ExportStatus::Ok) {
        s.error(TableUnavailable);
        return ExitUsage;
    }
    const std::u16string path = s.exportPath(haveOutput ? &output : nullptr, exportFileName(table, category, soft));
    if (!writeTextFile(path, r.text)) {
        s.error(u"无法写入文件: " + path);
        return ExitUsage;
    }
    s.print(u"已导出 " + decimal(r.entries) + u" 条词条: " + path);
    return ExitOk;
}

int runClear(Session& s) {
    int category = takeCategory(s);
    if (category < 0 || s.args.size() != 1) return usageError(s, "clear");
    const std::string& which = s.args[0];
    std::u16string file;
    if (which == "main") file = u"main.dmg";
    else if (which == "temp") file = u"temp.dmg";
    else if (which == "sysl") file = u"sysl.dmg";
    else if (which == "engl") file = u"engl.dmg";
    else return usageError(s, "clear");
    if (category && which != "main") return usageError(s, "clear");
    if (!s.openFolder()) return ExitUsage;

    const SoftSettings& soft = s.folder.blocks.soft;
    if (which == "main" && category && !categoryEditable(soft, category)) {
        s.error(u"当前分类的词条未被授权修改，所以您不能清空此类内容！");
        return ExitRefused;
    }
    if (which == "main" && !category && !categoryEditable(soft, 0)) {
        s.error(NotAuthorized);
        return ExitRefused;
    }
    platform::MappedFile f;
    if (!openForWriting(s, f, file)) return ExitUsage;
    if (!s.confirm(ClearQuestion)) return ExitRefused;

    ClearStatus status;
    uint32_t removed = 0;
    if (category) status = clearCategory(f, category, s.io.tempFolder, &removed, s.progress());
    else if (which == "temp") status = clearTempTable(f);
    else status = clearTable(f);
    s.finishProgress();
    if (status == ClearStatus::DamagedTable) {
        s.error(TableUnavailable);
        return ExitUsage;
    }
    if (status != ClearStatus::Ok) {
        s.error(u"无法写入临时文件 %temp%\\_zorvan.tempdmg，码表未作改动。");
        return ExitRefused;
    }
    s.print(category ? u"已删除 " + decimal(removed) + u" 条词条。" : std::u16string(u"码表已清空。"));
    return ExitOk;
}

int runCheck(Session& s) {
    if (!s.args.empty()) return usageError(s, "check");
    // A folder with missing or damaged files is what check reports on, so
    // only the registry has to be sound.
    if (!s.openFolder(false)) return ExitUsage;
    if (!platform::fileExists(s.folder.info.dataDir)) {
        s.error(u"非法的软件环境，本程序无法继续。");
        s.error(u"（数据文件夹 " + s.folder.info.dataDir + u" 不存在）");
        return ExitUsage;
    }
    auto problems = checkDataFolder(s.folder.info.dataDir);
    for (const auto& p : problems) s.print(p);
    // A sound folder prints nothing, so that scripts can test the output.
    return problems.empty() ? ExitOk : ExitRefused;
}

const Command kTableCommands[] = {
    {"build", "FILE", runBuild},
    {"import", "FILE [--category N]", runImport},
    {"import-list", "sysl|engl FILE", runImportList},
    {"export", "main|sysl|engl [--category N] [-o FILE]", runExport},
    {"clear", "main|temp|sysl|engl [--category N]", runClear},
    {"check", "", runCheck},
};

}  // namespace

std::span<const Command> tableCommands() { return kTableCommands; }

}  // namespace zv::config::cli
