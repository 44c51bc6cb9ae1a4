#include "tools/mkdata/data_folder_builder.h"

#include "config/data_folder.h"
#include "config/table_build.h"
#include "config/table_check.h"
#include "config/text_file.h"
#include "config/word_list.h"
#include "engine/config_store.h"
#include "engine/default_store.h"
#include "engine/pair_table.h"
#include "engine/table_image.h"
#include "platform/folders.h"
#include "platform/mapped_file.h"
#include "platform/registry.h"
#include "platform/utf.h"
#include "tools/mkdata/haifeng.h"
#include "tools/mkdata/haifeng_db.h"
#include "ui/skin_package.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace zv::mkdata {

namespace {

namespace fs = std::filesystem;

std::u16string u16(const fs::path& p) { return utf8ToUtf16(p.string()); }

bool writeFile(const fs::path& p, const std::vector<uint8_t>& bytes) {
    return platform::writeWholeFile(u16(p), bytes.data(), bytes.size());
}

// An OpenCC dictionary as (source, target) pairs, through opencc_dict's text
// form; only pairs of equal length, as the conversion tables hold them.
bool readOpenccPairs(const fs::path& dict, const fs::path& work, std::vector<std::pair<std::u16string, std::u16string>>& out,
                     size_t* skipped) {
    fs::path text = work / (dict.stem().string() + ".txt");
    std::string cmd = "opencc_dict -i '" + dict.string() + "' -o '" + text.string() + "' -f ocd2 -t text";
    if (std::system(cmd.c_str()) != 0) return false;
    config::DecodedText d;
    if (!config::readTextFile(u16(text), d)) return false;
    fs::remove(text);
    config::forEachLine(d.text, [&](std::u16string_view line) {
        size_t tab = line.find(u'\t');
        if (tab == std::u16string_view::npos || tab == 0) return;
        std::u16string_view source = line.substr(0, tab), targets = line.substr(tab + 1);
        while (!targets.empty()) {
            size_t sp = targets.find(u' ');
            std::u16string_view t = targets.substr(0, sp);
            if (!t.empty()) {
                if (t.size() == source.size()) out.emplace_back(std::u16string(source), std::u16string(t));
                else ++*skipped;
            }
            if (sp == std::u16string_view::npos) break;
            targets = targets.substr(sp + 1);
        }
    });
    return true;
}

bool buildConversion(const FolderSources& a, const fs::path& work, const char* first, const char* second,
                     const fs::path& target, std::ostream& out, std::ostream& err) {
    std::vector<std::pair<std::u16string, std::u16string>> pairs;
    size_t skipped = 0;
    for (const char* name : {first, second})
        if (!readOpenccPairs(fs::path(a.opencc) / name, work, pairs, &skipped)) {
            err << "mkdata: 无法读取 OpenCC 词典 " << name << "\n";
            return false;
        }
    // The same pair from both dictionaries once.
    std::set<std::pair<std::u16string, std::u16string>> seen;
    std::vector<std::pair<std::u16string, std::u16string>> unique;
    for (auto& p : pairs)
        if (seen.insert(p).second) unique.push_back(p);
    size_t n = unique.size();
    if (!writeFile(target, buildPairTable(std::move(unique)))) return false;
    out << target.filename().string() << ": " << n << " 对（长度不同而略去 " << skipped << " 对）\n";
    return true;
}

std::u16string joinLines(const std::vector<std::u16string>& lines) {
    std::u16string s;
    for (const auto& l : lines) {
        s += l;
        s += u"\r\n";
    }
    return s;
}

}  // namespace

int buildDataFolder(const FolderSources& a, std::ostream& out, std::ostream& err) {
    const fs::path folder = fs::absolute(a.out);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder)) {
        err << "mkdata: 无法创建文件夹 " << folder.string() << "\n";
        return 1;
    }
    const fs::path work = folder / ".mkdata";
    fs::create_directories(work, ec);
    // A fresh folder: the builder never shrinks an existing main.dmg.
    for (const char* f : {"main.dmg", "temp.dmg", "sysl.dmg", "engl.dmg", "danzi.dmi", "traditional.dms",
                          "simplified.dms", "config.dsc"})
        fs::remove(folder / f, ec);

    // config.dsc: the shipped settings.
    std::vector<uint8_t> store = shippedConfigStore();
    if (!writeFile(folder / "config.dsc", store)) return 1;

    mkdata::HaifengData hf;
    if (!mkdata::readHaifengDatabase(a.db, hf)) {
        err << "mkdata: 无法读取 " << a.db << "\n";
        return 1;
    }
    auto& phrases = hf.phrases;
    auto& pinyin = hf.pinyin;
    auto& goucima = hf.goucima;
    auto& suggestions = hf.suggestions;

    // main.dmg: our macro entries, the Haifeng table and the pinyin entries
    // as one text code table, built by the configuration program's builder.
    config::DecodedText macros;
    if (!config::readTextFile(utf8ToUtf16(a.macros), macros)) {
        err << "mkdata: 无法读取 " << a.macros << "\n";
        return 1;
    }
    std::u16string text = u"---config@码表格式=单列码表\r\n---config@主码别名=五笔\r\n";
    text += macros.text;
    if (!text.empty() && text.back() != u'\n') text += u"\r\n";
    auto mainLines = mkdata::phraseLines(phrases);
    auto pinyinLines = mkdata::pinyinLines(pinyin, phrases);
    for (const auto& l : mainLines) text += mkdata::formatLine(l);
    for (const auto& l : pinyinLines) text += mkdata::formatLine(l);
    if (!a.keepText.empty() && !config::writeTextFile(utf8ToUtf16(a.keepText), text)) {
        err << "mkdata: 无法写入 " << a.keepText << "\n";
        return 1;
    }
    config::BuildOptions bo;
    bo.tempFolder = u16(work) + platform::pathSeparator();
    bo.mainPath = u16(folder / "main.dmg");
    size_t rejected = 0;
    bo.report = [&](std::u16string_view line) {
        if (line.substr(0, 9) == u"无法识别的编码定义") {
            ++rejected;
            err << utf16ToUtf8(line) << "\n";
        }
    };
    bo.invalidLine = [&](uint32_t n, std::u16string_view line) {
        ++rejected;
        err << "第 " << n << " 行无法识别: " << utf16ToUtf8(line) << "\n";
    };
    config::BuildResult built = config::buildMainTable(std::move(text), bo);
    if (built.status != config::BuildStatus::Ok) {
        err << "mkdata: " << utf16ToUtf8(config::buildStatusMessage(built.status)) << "\n";
        return 1;
    }
    out << "main.dmg: " << built.uniqueEntries << " 条词条（五笔 " << mainLines.size() << "，拼音 "
              << pinyinLines.size() << "，重复 " << built.duplicates << "）\n";
    if (rejected) {
        err << "mkdata: " << rejected << " 行无法使用\n";
        return 1;
    }

    // danzi.dmi: the codes that form words.
    size_t danziCount = goucima.size();
    if (!writeFile(folder / "danzi.dmi", buildPairTable(std::move(goucima)))) return 1;
    out << "danzi.dmi: " << danziCount << " 个字\n";

    // sysl.dmg: association phrases, most frequent first so that they get
    // the higher order values.
    std::stable_sort(suggestions.begin(), suggestions.end(),
                     [](const auto& x, const auto& y) { return x.second > y.second; });
    std::vector<std::u16string> phraseList;
    for (auto& s : suggestions) phraseList.push_back(s.first);
    config::WordListResult sysl =
        config::buildWordList(joinLines(phraseList), u16(folder / "sysl.dmg"), u16(work) + platform::pathSeparator());
    if (sysl.status != config::WordListStatus::Ok) {
        err << "mkdata: sysl.dmg 生成失败\n";
        return 1;
    }
    {
        platform::MappedFile cfg;
        if (!cfg.open(u16(folder / "config.dsc")) || cfg.isHeapCopy()) return 1;
        SettingsBlocks blocks = findBlocks(cfg.data(), cfg.size());
        if (!blocks.ime) return 1;
        blocks.ime.setBit(ImeSettings::OptionC, ImeSettings::C_AssociationSeparator, sysl.separator);
    }
    out << "sysl.dmg: " << sysl.words << " 条联想词\n";

    // engl.dmg: the English word list without possessive forms.
    config::DecodedText words;
    if (!config::readTextFile(utf8ToUtf16(a.words), words)) {
        err << "mkdata: 无法读取 " << a.words << "\n";
        return 1;
    }
    std::vector<std::u16string> english;
    config::forEachLine(words.text, [&](std::u16string_view w) {
        if (!w.empty() && w.find(u'\'') == std::u16string_view::npos) english.emplace_back(w);
    });
    config::WordListResult engl =
        config::buildWordList(joinLines(english), u16(folder / "engl.dmg"), u16(work) + platform::pathSeparator());
    if (engl.status != config::WordListStatus::Ok) {
        err << "mkdata: engl.dmg 生成失败\n";
        return 1;
    }
    out << "engl.dmg: " << engl.words << " 个英文词\n";

    if (!buildConversion(a, work, "STPhrases.ocd2", "STCharacters.ocd2", folder / "traditional.dms", out, err) ||
        !buildConversion(a, work, "TSPhrases.ocd2", "TSCharacters.ocd2", folder / "simplified.dms", out, err))
        return 1;

    if (!writeFile(folder / "temp.dmg", buildEmptyTempImage())) return 1;

    // skin.col and the skin folder "zoruraved" go to the installation folder.
    if (!a.skins.empty()) {
        const fs::path install = a.install.empty() ? folder : fs::path(a.install);
        if (!ui::installSkinPackages(utf8ToUtf16(a.skins), u16(install))) {
            err << "mkdata: 无法生成皮肤包 " << a.skins << "\n";
            return 1;
        }
        out << "skin.col: " << utf16ToUtf8(u16(install)) << "\n";
    }

    fs::remove_all(work, ec);
    auto problems = config::checkDataFolder(u16(folder) + platform::pathSeparator());
    for (const auto& p : problems) err << utf16ToUtf8(p) << "\n";
    if (!problems.empty()) return 1;

    if (a.registerInstance) {
        config::InstanceInfo info;
        info.name = utf8ToUtf16(a.name);
        info.imeName = config::ToolImeName;
        info.dataDir = u16(folder) + platform::pathSeparator();
        info.installDir = config::withSeparator(a.install.empty() ? u16(folder) : u16(fs::absolute(a.install)));
        info.displayName = u"佐文五笔";
        info.displayVersion = u"0.1";
        auto registry = platform::openSystemRegistry();
        if (!config::registerInstance(*registry, info)) {
            err << "mkdata: 无法写入注册表\n";
            return 1;
        }
        out << "已登记输入法 " << a.name << " → " << folder.string() << "\n";
    }
    out << "数据文件夹: " << folder.string() << "\n";
    return 0;
}

}  // namespace zv::mkdata
