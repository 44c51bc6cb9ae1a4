// Writes the seed corpus of every fuzz target: tables, settings and skin
// packages made by the same builders the tools use, and texts as users
// write them. Run by scripts/fuzz as
//
//   fuzz_seeds SOURCE_DIR CORPUS_DIR

#include "engine/code_table.h"
#include "engine/default_store.h"
#include "engine/pair_table.h"
#include "engine/settings_text.h"
#include "engine/table_image.h"
#include "fuzz/file_patches.h"
#include "platform/mapped_file.h"
#include "platform/utf.h"
#include "tests/installer/generated_font.h"
#include "ui/image.h"
#include "ui/skin_package.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace zv;
namespace fs = std::filesystem;

namespace {

fs::path corpus;
int written = 0;

void seed(const std::string& target, const std::string& name, const void* data, size_t size) {
    fs::path dir = corpus / target;
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary).write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    ++written;
}
void seed(const std::string& target, const std::string& name, const std::vector<uint8_t>& bytes) {
    seed(target, name, bytes.data(), bytes.size());
}
void seed(const std::string& target, const std::string& name, const std::string& text) {
    seed(target, name, text.data(), text.size());
}
// The same text as a UTF-16LE file with its mark, as the export writes.
void seedUtf16(const std::string& target, const std::string& name, std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t u : text) {
        bytes.push_back(static_cast<char>(u & 0xFF));
        bytes.push_back(static_cast<char>(u >> 8));
    }
    seed(target, name, bytes);
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Text seeds stay below the text targets' input limits (scripts/fuzz).
constexpr size_t kTextSeedBytes = 1800, kTableSeedBytes = 900;

// A text cut at line ends into parts of at most `limit` bytes (a longer
// line is a part of its own).
std::vector<std::string> lineChunks(const std::string& text, size_t limit) {
    std::vector<std::string> chunks(1);
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        if (!chunks.back().empty() && chunks.back().size() + (end - at) > limit) chunks.emplace_back();
        chunks.back() += text.substr(at, end - at);
        at = end;
    }
    return chunks;
}

// A settings text cut into its sections, each part of one beginning with
// the section's header line ("[-...-]").
std::vector<std::string> sectionChunks(const std::string& text, size_t limit) {
    std::vector<std::string> sections;
    size_t at = 0;
    while (at < text.size()) {
        size_t next = text.find("\n[-", at);
        size_t end = next == std::string::npos ? text.size() : next + 1;
        sections.push_back(text.substr(at, end - at));
        at = end;
    }
    std::vector<std::string> chunks;
    for (const std::string& section : sections) {
        if (section.rfind("[-", 0) != 0) continue;  // the banner before the first header
        const std::string header = section.substr(0, section.find('\n') + 1);
        for (std::string part : lineChunks(section.substr(header.size()), limit - header.size()))
            chunks.push_back(header + part);
    }
    return chunks;
}

TableEntry entry(const char* code, const char16_t* word, uint16_t order, int category) {
    return {code, word, attr::make(order, category)};
}

void codeTables() {
    std::vector<TableEntry> main = {
        entry("g", u"一", 0x2000, 1),         entry("gg", u"五", 0x2001, 16),
        entry("gggg", u"王", 0x2000, 18),     entry("ggll", u"一", 0x2001, 1),
        entry("wqvb", u"你好", 0x2000, 20),   entry("wqvb", u"您好", 0x2001, 20),
        entry("khlg", u"中国", 0x2000, 20),   entry("k", u"中", 0x2000, 1),
        entry("zzbd", u"$zvcmd(，,bd)", 0x2000, 24), entry("nihao", u"你好", 0x2000, 4),
        entry("a", u"工", 0x2000, 1),         entry("~~", u"～", 0x2000, 3),
    };
    seed("code_table", "main.dmg", buildCodeTableImage(main));
    seed("code_table", "sysl.dmg", buildWordListImage({{"", u"中国人", 3}, {"", u"你好吗", 2}, {"", u"中#华", 1}}));
}

// temp.dmg as the engine leaves it after learning words: records in the
// first slots in index order, their ages, the count and the prefix index.
std::vector<uint8_t> tempTableWith(std::vector<TableEntry> words) {
    sortAndDeduplicate(words, false);
    std::vector<uint8_t> image = buildEmptyTempImage();
    CodeTable t(image.data(), static_cast<uint32_t>(image.size()));
    uint32_t count = 0;
    for (const TableEntry& w : words) {
        RecordBuffer r;
        if (count == dmg::TempSlotCount || !buildCodeRecord(w.attributes, w.code, w.word, r)) continue;
        std::copy(r.bytes, r.bytes + r.size, image.begin() + t.indexSlot(count));
        ++count;
    }
    std::copy_n(reinterpret_cast<const uint8_t*>(&count), 4, image.begin() + 4);
    rebuildPrefixIndex(t);
    return image;
}

// Temporary tables, as patches over an empty one (see temp_table_fuzz.cpp).
void tempTables() {
    const std::vector<uint8_t> empty = buildEmptyTempImage();
    seed("temp_table", "empty", std::string());
    seed("temp_table", "two", fuzz::patchesBetween(empty, tempTableWith({{"khlg", u"中国", 0}, {"wqvb", u"你好", 1}})));
    std::vector<TableEntry> many;
    for (uint32_t i = 0; i < 40; ++i) {
        std::string code = {static_cast<char>('a' + i % 25), static_cast<char>('a' + i * 7 % 25)};
        many.push_back({code, std::u16string(1 + i % 3, static_cast<char16_t>(0x4E00 + i * 31)), i});
    }
    seed("temp_table", "forty", fuzz::patchesBetween(empty, tempTableWith(many)));
}

void pairTables() {
    seed("pair_table", "danzi.dmi",
         buildPairTable({{u"中", u"khk"}, {u"国", u"lgyi"}, {u"你", u"wqiy"}, {u"好", u"vbg"}}));
    seed("pair_table", "traditional.dms",
         buildPairTable({{u"国", u"國"}, {u"后", u"後"}, {u"后", u"后"}, {u"中国", u"中國"}}));
}

void settings(const fs::path& source) {
    std::vector<uint8_t> shipped = shippedConfigStore();
    seed("config_store", "config.dsc", shipped);
    seed("config_store", "empty.dsc", newConfigStore());
    // One seed a section (or a part of one), each with its header, so that
    // an input stays small and a run spends its time on what it changed.
    std::string text = readFile(source / "resources/default-settings.zvconfig.txt");
    int part = 0;
    for (const std::string& chunk : sectionChunks(text, kTextSeedBytes))
        seed("settings_text", "default-" + std::to_string(part++) + ".zvconfig.txt", chunk);
    SettingsBlocks blocks = findBlocks(shipped.data(), static_cast<uint32_t>(shipped.size()));
    part = 0;
    for (const std::string& chunk : sectionChunks(utf16ToUtf8(writeSettingsText(blocks)), kTextSeedBytes / 2))
        seedUtf16("settings_text", "export-" + std::to_string(part++) + ".zvconfig.txt", utf8ToUtf16(chunk));
    const char* const commands[] = {
        "set([-IME设置-],候选列表显示个数=9)",
        "set(\"[-IME设置-]\",词频调整=一次到顶)",
        "set([-IME设置-],编码窗口样式=TSF-传统样式)",
        "set([-SKIN设置-],窗口布局=合并编码框与候选框)",
        "set([-DME设置-],是否启用编码逐渐提示=是)",
        "set([-SKIN设置-],皮肤名称=切换)",
    };
    int n = 0;
    for (const char* c : commands) seed("set_command", "set" + std::to_string(n++), std::string(c));
}

void textTables(const fs::path& source) {
    std::string macros = readFile(source / "resources/tables/macros.txt");
    int part = 0;
    for (const std::string& chunk : lineChunks(macros, kTableSeedBytes))
        seed("text_table", "macros-" + std::to_string(part++) + ".txt", chunk);
    std::string table =
        "---config@码表分类=主码-系统码表\n---config@全局排序数值=100\n---config@码表别名=系统码表\n"
        "---config@允许编辑主码-分类码表3=是\n// comment\n///escaped\tab\n"
        "你好\twqvb#序8192\n中国\tkhlg#类5#固\n\\s空格\\t\\\\\tzzkg#用\n工\ta#次\n删\tabc#已删除\n"
        "拼\tpin#辅\n全角\t\xEF\xBC\x90\xEF\xBC\x91\n";
    seed("text_table", "small.txt", table);
    seedUtf16("text_table", "small-utf16.txt", utf8ToUtf16(table));
    seed("text_table", "gbk.txt", std::string("\xC4\xE3\xBA\xC3\twqvb\r\n\xD6\xD0\tk\r\n"));

    // Macro entries and the commands they carry, one per file.
    int n = 0;
    size_t at = 0;
    while (at < macros.size() && n < 40) {
        size_t end = macros.find('\n', at);
        if (end == std::string::npos) end = macros.size();
        std::string line = macros.substr(at, end - at);
        at = end + 1;
        size_t tab = line.find('\t');
        if (line.rfind("$zvcmd(", 0) != 0 || tab == std::string::npos) continue;
        std::string word = line.substr(0, tab);
        seed("macro", "macro" + std::to_string(n), word);
        // The output part of "$zvcmd(OUTPUT,DISPLAY)" is what a commit runs.
        size_t comma = word.rfind(',');
        if (comma != std::string::npos) seed("command", "command" + std::to_string(n), word.substr(7, comma - 7));
        ++n;
    }
    const char* const macros2[] = {
        "$zvcmd(<date.yyyy>年<date.MM>月<date.dd>日,<time.HH>:<time.mm>)",
        "$zvcmd(<u16value.中>\\s<last.1>\\t<last.2>,<clipboard>)",
        "$zvcmd(\\r\\\\,<date.unknown><nothing.1>)",
    };
    for (const char* m : macros2) seed("macro", "macro" + std::to_string(n++), std::string(m));
    for (const char* c : {"2026.5.7", "1234.56", "0.5", "20260507"}) seed("macro", "english" + std::to_string(n++), std::string(c));
    const char* const commands[] = {
        "run(https://example.org/搜索?q=中文)",
        "run(%apppath%config.exe)",
        "keyboard(<65.2+Ctrl+Shift>x<13+Win+Alt><300><9)",
        "help(index.htm,640,480)",
        "config(/viewer)",
        "convert(简繁)",
        "skbd(3)",
        "newkey(zzbd)",
        "前缀set([-IME设置-],词频调整=一次到顶)",
    };
    for (const char* c : commands) seed("command", "command" + std::to_string(n++), std::string(c));
}

void skins(const fs::path& source) {
    // Whole skins, with every image cut to its top left corner: the
    // package loads as the shipped one does, in a few kilobytes, so that a
    // run goes into the archive and the description rather than into
    // decoding pictures (skin_image has those).
    for (const char* name : {"default", "night"}) {
        fs::path folder = source / "resources/skins" / name;
        std::vector<ui::ZipEntry> entries;
        for (const auto& f : fs::directory_iterator(folder)) {
            std::string data = readFile(f.path());
            const std::string file = f.path().filename().string();
            if (f.path().extension() == ".png") {
                ui::SkinImage image = ui::decodePng({reinterpret_cast<const uint8_t*>(data.data()), data.size()});
                ui::SkinImage corner;
                corner.width = std::min(image.width, 3);
                corner.height = std::min(image.height, 3);
                for (int y = 0; y < corner.height; ++y)
                    for (int x = 0; x < corner.width; ++x) corner.pixels.push_back(image.pixels[y * image.width + x]);
                std::vector<uint8_t> png = ui::encodePng(corner);
                data.assign(png.begin(), png.end());
            }
            entries.push_back({file, {data.begin(), data.end()}});
        }
        std::sort(entries.begin(), entries.end(), [](const ui::ZipEntry& a, const ui::ZipEntry& b) { return a.name < b.name; });
        seed("skin_package", std::string(name) + "-corners.col", ui::writeZip(entries, true));
        seed("skin_package", std::string(name) + "-corners-stored.col", ui::writeZip(entries, false));
        seed("skin_ini", std::string(name) + ".ini", readFile(folder / "skin.ini"));
    }
    // A deflated package holding only the description and the smallest
    // images, so that most of the fuzzer's time goes into the archive.
    fs::path folder = source / "resources/skins/default";
    std::vector<ui::ZipEntry> entries;
    for (const char* name : {"skin.ini", "menu.png", "cn.png", "up_2.png"}) {
        std::string data = readFile(folder / name);
        entries.push_back({name, {data.begin(), data.end()}});
        if (std::string(name) != "skin.ini") seed("skin_image", name, data);
    }
    seed("skin_package", "small-deflated.col", ui::writeZip(entries, true));
}

// Key scripts as zvtype reads them, and sequences of typing, edits and
// comparisons for the two engines on one folder (each byte an operation:
// below 176 a key, below 240 an edit, from 248 a comparison; see
// shared_tables_fuzz.cpp).
void keysAndEdits() {
    const char* const scripts[] = {
        "wqvb gggg {Enter}",
        "{LShift}abc{LShift}{Ctrl+Space}khlg2",
        "ab==-{PageDown}{PageUp}{Backspace}{Esc}\r\n",
        "{Wait 250}{F5}{Num3}{Num.}{Ctrl+a}{Alt+F4}{Shift+Tab}{{}{RCtrl}",
        "ggll;'{Up}{Down}{Home}{End}{Delete}{CapsLock}A{CapsLock}",
    };
    int n = 0;
    for (const char* k : scripts) seed("key_script", "script" + std::to_string(n++), std::string(k));
    const std::vector<std::vector<uint8_t>> runs = {
        {0, 0, 248, 0, 0, 1},                                   // "aa" typed, then compared
        {0, 0, 14, 176, 0, 0, 0, 0, 0, 248, 0, 0, 2},           // a commit, an entry added
        {3, 180, 1, 0, 0, 3, 7, 248, 1, 0, 1, 181, 2, 2, 5},    // deleted from the viewer
        {0, 0, 188, 5, 0, 2, 3, 248, 0, 0, 1, 189, 7, 1, 0, 14},  // words moved on the page
        {0, 14, 3, 14, 0, 14, 186, 10, 1, 248, 0, 0, 0, 187, 9, 0, 248, 1, 0, 1},  // temporary words
        {0, 0, 191, 11, 2, 248, 0, 0, 2, 240, 0, 0, 14},        // a setting changed under the typer
    };
    n = 0;
    for (const auto& r : runs) seed("shared_tables", "run" + std::to_string(n++), r);
}

// Fonts as a package carries them: one face, a collection of two.
void fonts() {
    using namespace zv::test_fonts;
    seed("font_names", "sans.ttf",
         face(nameTable({{1, 0, 0, 4, ascii("Mac Sans")}, windows(1, u"Vora Sans"), windows(4, u"Vora Sans Bold"),
                         windows(4, u"沃拉黑体 粗", 0x0804)})));
    seed("font_names", "mono.ttc",
         collection({nameTable({windows(4, u"Vora Mono")}), nameTable({windows(1, u"Vora Mono P")})}));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_seeds SOURCE_DIR CORPUS_DIR\n");
        return 2;
    }
    fs::path source = argv[1];
    corpus = argv[2];
    codeTables();
    tempTables();
    pairTables();
    settings(source);
    textTables(source);
    skins(source);
    keysAndEdits();
    fonts();
    std::printf("fuzz_seeds: %d seed files in %s\n", written, corpus.string().c_str());
    return 0;
}
