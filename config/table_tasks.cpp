#include "config/table_tasks.h"

#include "config/table_build.h"
#include "config/table_clear.h"
#include "config/table_export.h"
#include "config/table_import.h"
#include "config/text_file.h"
#include "config/word_list.h"
#include "engine/code_table.h"
#include "engine/folder_write.h"
#include "engine/pair_table.h"
#include "platform/folders.h"
#include "platform/mapped_file.h"

#include <optional>

namespace zv::config {

namespace {

constexpr std::u16string_view kUnavailable = u"无法获取当前码表内容。";
constexpr std::u16string_view kNotAuthorized = u"该码表未被授权修改！";
constexpr std::u16string_view kCategoryProtected = u"当前分类的词条未被授权修改，所以您不能清空此类内容！";
constexpr std::u16string_view kReplaceAll = u"该操作将清空选中码表中已有的所有词条，并且不可恢复。\r\n确定这样做吗？";
constexpr std::u16string_view kReplaceCategory = u"该操作将会清空当前分类的所有词条，并且不可恢复。\r\n是否继续？";
constexpr std::u16string_view kListCaption = u"词条导入";

std::u16string decimal(uint64_t n) {
    std::u16string s;
    do {
        s.insert(s.begin(), static_cast<char16_t>(u'0' + n % 10));
        n /= 10;
    } while (n);
    return s;
}

TaskOutcome failure(std::u16string_view message) {
    TaskOutcome o;
    o.failed = true;
    o.message = message;
    return o;
}

// The picked file as text, or the refusal that leaves every table alone.
std::optional<std::u16string> readSource(std::u16string_view path, TaskOutcome* refusal) {
    DecodedText source;
    if (!readTextFile(path, source)) {
        *refusal = failure(u"无法读取文件: " + std::u16string(path) + u"\r\n码表未作改动。");
        return std::nullopt;
    }
    if (!isPlainText(source.text)) {
        *refusal = failure(u"所选文件不是文本格式的码表: " + std::u16string(path) + u"\r\n码表未作改动。");
        return std::nullopt;
    }
    return std::move(source.text);
}

// An existing table of the folder mapped so that changes reach the file.
bool openForWriting(platform::MappedFile& f, const std::u16string& path) {
    return platform::fileExists(path) && f.open(path) && !f.isHeapCopy();
}

TaskOutcome buildWhole(const TaskFolder& folder, std::u16string text, const Progress& progress) {
    BuildOptions o;
    o.tempFolder = folder.tempDir;
    o.mainPath = folder.dataDir + u"main.dmg";
    o.progress = progress;
    BuildResult r = buildMainTable(std::move(text), o);
    if (r.status != BuildStatus::Ok) return failure(buildStatusMessage(r.status));
    TaskOutcome done;
    done.changed = true;
    done.releaser = std::move(r.releaser);
    return done;
}

TaskOutcome importMain(const TaskFolder& folder, int category, std::u16string_view text, const Progress& progress) {
    platform::MappedFile main;
    if (!openForWriting(main, folder.dataDir + u"main.dmg")) return failure(kUnavailable);
    platform::MappedFile danziFile;
    CharCodeTable danzi;
    const std::u16string danziPath = folder.dataDir + u"danzi.dmi";
    if (platform::fileExists(danziPath) && danziFile.open(danziPath))
        danzi = CharCodeTable(danziFile.data(), danziFile.size());
    ImportOptions o;
    o.targetCategory = category;
    o.rules = folder.blocks.dme;
    o.danzi = danzi.valid() ? &danzi : nullptr;
    o.reportPath = folder.tempDir + std::u16string(ImportReportName);
    o.progress = progress;
    ImportResult r = importIntoMainTable(main, text, o);
    if (r.status == ImportStatus::DamagedTable) return failure(kUnavailable);
    if (r.status == ImportStatus::GrowFailed) return failure(u"无法重设主码表文件，新词条未能添加。");
    TaskOutcome done;
    done.changed = r.added > 0 || !r.report.empty();
    done.releaser = std::move(r.releaser);
    if (r.report.empty()) {
        done.message = u"批量加词完成，成功添加词条数: " + decimal(r.added);
        return done;
    }
    done.caption = u"批量添加完成";
    done.message = u"成功添加词条数: " + decimal(r.added) + u"\r\n无法添加的词条个数为: " + decimal(r.notAdded) +
                   u"。\r\n是否现在查看无法导入的词条？";
    if (r.status != ImportStatus::ReportFailed) done.reportPath = o.reportPath;
    return done;
}

TaskOutcome buildList(const TaskFolder& folder, PageTable table, std::u16string_view text, const Progress& progress) {
    const std::u16string target = folder.dataDir + std::u16string(pageTableFile(table));
    WordListResult r = buildWordList(text, target, folder.tempDir, progress);
    TaskOutcome o;
    o.caption = kListCaption;
    if (r.status != WordListStatus::Ok) {
        o.failed = true;
        o.message = u"词条导入失败。";
        return o;
    }
    o.changed = true;
    o.message = u"词条导入成功。";
    if (table == PageTable::Association) o.associationSeparator = r.separator;
    o.releaser = std::move(r.releaser);
    return o;
}

}  // namespace

std::u16string_view replaceQuestion(const TableRow& row) {
    return row.table == PageTable::Main && row.category > 0 ? kReplaceCategory : kReplaceAll;
}

TaskOutcome replaceTable(const TaskFolder& folder, const TableRow& row, std::u16string_view source,
                         const Progress& progress) {
    TaskOutcome refusal;
    std::optional<std::u16string> text = readSource(source, &refusal);
    if (!text) return refusal;
    FolderWrite lock(folder.dataDir);
    switch (row.table) {
    case PageTable::Temp: return failure(kNotAuthorized);
    case PageTable::Association:
    case PageTable::English: return buildList(folder, row.table, *text, progress);
    case PageTable::Main: break;
    }
    if (!categoryEditable(folder.blocks.soft, row.category)) return failure(kNotAuthorized);
    if (row.category == 0) return buildWhole(folder, std::move(*text), progress);
    {
        platform::MappedFile main;
        if (!openForWriting(main, folder.dataDir + u"main.dmg")) return failure(kUnavailable);
        const ClearStatus s = clearCategory(main, row.category, folder.tempDir, nullptr, {});
        if (s == ClearStatus::DamagedTable) return failure(kUnavailable);
        if (s != ClearStatus::Ok) return failure(u"无法写入临时文件 %temp%\\_zorvan.tempdmg，码表未作改动。");
    }
    TaskOutcome o = importMain(folder, row.category, *text, progress);
    o.changed = true;  // the category was emptied whatever the import did
    return o;
}

TaskOutcome importTable(const TaskFolder& folder, const TableRow& row, std::u16string_view source,
                        const Progress& progress) {
    TaskOutcome refusal;
    std::optional<std::u16string> text = readSource(source, &refusal);
    if (!text) return refusal;
    FolderWrite lock(folder.dataDir);
    switch (row.table) {
    case PageTable::Temp: return failure(kNotAuthorized);
    case PageTable::Association:
    case PageTable::English: return buildList(folder, row.table, *text, progress);
    case PageTable::Main: break;
    }
    if (!categoryEditable(folder.blocks.soft, row.category)) return failure(kNotAuthorized);
    return importMain(folder, row.category, *text, progress);
}

TaskOutcome exportRow(const TaskFolder& folder, const TableRow& row, const Progress& progress) {
    if (row.table == PageTable::Temp) return failure(kNotAuthorized);
    const ExportTable which = row.table == PageTable::Main          ? ExportTable::Main
                              : row.table == PageTable::Association ? ExportTable::Association
                                                                    : ExportTable::English;
    const int category = row.table == PageTable::Main ? row.category : 0;
    FolderWrite lock(folder.dataDir);  // no other writer moves entries while they are read
    const std::u16string path = folder.dataDir + std::u16string(pageTableFile(row.table));
    platform::MappedFile f;
    if (!platform::fileExists(path) || !f.open(path)) return failure(kUnavailable);
    const CodeTable table(f.data(), f.size());
    ExportResult r = exportTable(table, which, category, folder.blocks.soft, progress);
    if (r.status == ExportStatus::NotAuthorized) return failure(kNotAuthorized);
    if (r.status != ExportStatus::Ok) return failure(kUnavailable);
    const std::u16string dir =
        folder.documentsDir + exportFolderName(folder.imeName) + std::u16string(1, platform::pathSeparator());
    platform::makeDirectories(dir);
    const std::u16string out = dir + exportFileName(which, category, folder.blocks.soft);
    if (!writeTextFile(out, r.text)) return failure(u"无法写入文件: " + out);
    TaskOutcome o;
    o.exportedPath = out;
    o.releaser = std::move(r.releaser);
    return o;
}

TaskOutcome clearRow(const TaskFolder& folder, const TableRow& row, const Progress& progress) {
    const SoftSettings& soft = folder.blocks.soft;
    if (row.table == PageTable::Main && row.category > 0 && !categoryEditable(soft, row.category))
        return failure(kCategoryProtected);
    if (row.table == PageTable::Main && row.category == 0 && !categoryEditable(soft, 0)) return failure(kNotAuthorized);
    FolderWrite lock(folder.dataDir);
    const std::u16string path = folder.dataDir + std::u16string(pageTableFile(row.table));
    if (row.table != PageTable::Main && !platform::fileExists(path)) return {};  // nothing to empty
    platform::MappedFile f;
    if (!openForWriting(f, path)) return failure(kUnavailable);
    ClearStatus s;
    if (row.table == PageTable::Main && row.category > 0) s = clearCategory(f, row.category, folder.tempDir, nullptr, progress);
    else if (row.table == PageTable::Temp) s = clearTempTable(f);
    else s = clearTable(f);
    if (s == ClearStatus::DamagedTable) return failure(kUnavailable);
    if (s != ClearStatus::Ok) return failure(u"无法写入临时文件 %temp%\\_zorvan.tempdmg，码表未作改动。");
    TaskOutcome o;
    o.changed = true;
    return o;
}

}  // namespace zv::config
