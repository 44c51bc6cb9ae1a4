// Two engines of one process on one data folder, as an application with
// two text fields, or a text field beside the configuration program: the
// first is typed into with keys from the input while the second edits the
// tables under it (adds and deletes entries, moves and pins words, learns
// and drops temporary words, changes settings). Whenever the input asks,
// and at its end, the first engine's pages for a code must be exactly those
// of an engine opened on the folder at that moment, which has nothing kept:
// a kept lookup that outlives a change it should have seen shows up here.
//
// The keys go through the host interface only; the edits use the engine's
// and the configuration program's own table operations.

#include "config/entry_editor.h"
#include "engine/data_files.h"
#include "engine/default_store.h"
#include "engine/host.h"
#include "engine/host_view.h"
#include "engine/set_command.h"
#include "engine/table_image.h"
#include "engine/table_update.h"
#include "engine/user_words.h"
#include "frontends/terminal/key_script.h"
#include "platform/clock.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/utf.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace zv;
namespace fs = std::filesystem;

namespace {

// Services that say yes to a question (a word deleted from the menu asks).
class Agreeing : public platform::NullServices {
public:
    bool confirm(std::u16string_view, std::u16string_view) override { return true; }
};

struct Folder {
    fs::path dir;    // the data folder
    fs::path alias;  // the same folder under another name: an engine there shares nothing
    std::vector<uint8_t> main, temp;
    std::vector<std::vector<uint8_t>> configs;  // the settings an input starts from
    platform::MemoryRegistry registry;
    platform::ManualClock clock;
    Agreeing services;

    std::u16string path() const { return utf8ToUtf16(dir.string()) + u'/'; }
    std::u16string aliasPath() const { return utf8ToUtf16(alias.string()) + u'/'; }
    platform::Platform platform() {
        platform::Platform p = services.forAll(&clock);
        p.registry = &registry;
        return p;
    }
};

void writeFile(const fs::path& p, const std::vector<uint8_t>& bytes) {
    std::ofstream(p, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::u16string wordFrom(std::mt19937& rng) {
    std::u16string w;
    const int n = 1 + static_cast<int>(rng() % 3);
    for (int k = 0; k < n; ++k) w.push_back(static_cast<char16_t>(0x4E00 + rng() % 1500));
    return w;
}

// A small table whose first keys still fill a whole scan (a thousand
// entries begin with "aa" and with "g"), so that their lookups are kept.
std::vector<TableEntry> smallTable() {
    std::mt19937 rng(20261209);
    std::set<std::pair<std::string, std::u16string>> seen;
    std::vector<TableEntry> entries;
    auto add = [&](std::string code) {
        std::u16string word = wordFrom(rng);
        if (!seen.insert({code, word}).second) return;
        const int category = rng() % 5 == 0 ? CategoryUser : CategorySystem;
        entries.push_back({code, word, attr::make(static_cast<uint16_t>(rng()), category, rng() % 23 == 0)});
    };
    for (int i = 0; i < 1150; ++i) {
        std::string code = "aa";
        for (int k = static_cast<int>(rng() % 3); k > 0; --k) code.push_back(static_cast<char>('a' + rng() % 5));
        add(code);
    }
    for (int i = 0; i < 1150; ++i) {
        std::string code = "g";
        for (int k = 1 + static_cast<int>(rng() % 3); k > 0; --k) code.push_back(static_cast<char>('a' + rng() % 8));
        add(code);
    }
    for (int i = 0; i < 300; ++i) {
        std::string code(1, static_cast<char>('a' + rng() % 25));
        for (int k = static_cast<int>(rng() % 4); k > 0; --k) code.push_back(static_cast<char>('a' + rng() % 25));
        add(code);
    }
    return entries;
}

Folder& folder() {
    static Folder* f = [] {
        auto* f = new Folder;
        // In memory where the system has it: the engine flushes its tables
        // after every change, and a disk would make each input take seconds.
        std::error_code ec;
        const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string tmpl = (base / "zv-shared-tables-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        f->dir = fs::path(tmpl) / "data";
        f->alias = fs::path(tmpl) / "alias";
        fs::create_directories(f->dir);
        fs::create_directory_symlink(f->dir, f->alias);
        std::atexit([] { std::error_code ec; fs::remove_all(folder().dir.parent_path(), ec); });
        f->main = buildCodeTableImage(smallTable());
        f->temp = buildEmptyTempImage();
        const std::vector<std::u16string> common = {
            u"set([-IME设置-],临时词功能开启=是)",
            u"set([-DME设置-],开启首键查询=是)",
        };
        const std::vector<std::vector<std::u16string>> variants = {
            {},
            {u"set([-IME设置-],词频调整=一次到顶)"},
            {u"set([-IME设置-],词频调整=累加上屏数)", u"set([-IME设置-],候选列表排序依据=单字先见)"},
            {u"set([-DME设置-],是否启用编码逐渐提示=是)", u"set([-IME设置-],候选列表显示个数=9)"},
        };
        for (const auto& v : variants) {
            std::vector<uint8_t> store = shippedConfigStore();
            SettingsBlocks blocks = findBlocks(store.data(), static_cast<uint32_t>(store.size()));
            InstallerLaunch launch{&f->services, f->path(), std::u16string(kDefaultImeName)};
            for (const auto& c : common) runSetCommand(blocks, c, launch);
            for (const auto& c : v) runSetCommand(blocks, c, launch);
            f->configs.push_back(std::move(store));
        }
        return f;
    }();
    return *f;
}

class Input {
public:
    Input(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
    bool empty() const { return p_ == end_; }
    uint8_t byte() { return p_ == end_ ? 0 : *p_++; }
    uint32_t below(uint32_t n) { return n ? byte() % n : 0; }
    std::string code() {
        static const char* const kBeginnings[] = {"aa", "g", "a", "aab", "ga", "gc", "k", "ab"};
        std::string c = kBeginnings[below(8)];
        for (uint32_t k = below(3); k > 0; --k) c.push_back(static_cast<char>('a' + below(8)));
        return c;
    }
    std::u16string word() {
        std::u16string w;
        for (uint32_t k = 1 + below(3); k > 0; --k) w.push_back(static_cast<char16_t>(0x4E00 + byte() * 6));
        return w;
    }

private:
    const uint8_t* p_;
    const uint8_t* end_;
};

void press(EngineContext& ctx, int vk) {
    bool extended = false;
    const uint32_t scan = term::scanCodeOf(vk, &extended);
    const KeyboardState keys;
    for (bool up : {false, true})
        if (testKey(ctx, vk, keyDataFor(scan, extended, up), up, keys)) processKey(ctx);
}

void typeCode(EngineContext& ctx, std::string_view code) {
    for (char c : code) press(ctx, c >= 'a' && c <= 'z' ? c - 32 : c);
}

// The keys typed into the first engine: codes, commits, pages, edits of the
// code. None of them changes a mode.
constexpr int kKeys[] = {'A', 'A', 'A', 'G', 'G', 'B', 'C', 'D', 'E', 'K', 'Z', '1', '2', '3',
                         0x20, 0x20, 0x08, 0x1B, 0x0D, 0xBB, 0xBD, 0xBA, 0xDE, 0x25, 0x27};
constexpr uint32_t kKeyCount = sizeof kKeys / sizeof kKeys[0];

std::string text(std::u16string_view s) { return utf16ToUtf8(s); }

void describe(const char* who, const EngineView& v) {
    std::fprintf(stderr, "%s: code \"%s\", page %d (%s%s), %zu items, highlight %d:\n", who, text(v.reading).c_str(),
                 v.pageNumber, v.firstPage ? "first" : "", v.lastPage ? " last" : "", v.items.size(), v.highlight);
    for (const ViewCandidate& c : v.items)
        std::fprintf(stderr, "  %s / %s [%s] origin %d%s\n", text(c.display).c_str(), text(c.output).c_str(),
                     text(c.hint).c_str(), static_cast<int>(c.origin), c.pinned ? " pinned" : "");
}

bool samePage(const EngineView& a, const EngineView& b) {
    if (a.reading != b.reading || a.display != b.display || a.composing != b.composing ||
        a.items.size() != b.items.size() || a.highlight != b.highlight || a.pageNumber != b.pageNumber ||
        a.pageSize != b.pageSize || a.firstPage != b.firstPage || a.lastPage != b.lastPage ||
        a.candidates != b.candidates)
        return false;
    for (size_t i = 0; i < a.items.size(); ++i) {
        const ViewCandidate &x = a.items[i], &y = b.items[i];
        if (x.display != y.display || x.output != y.output || x.hint != y.hint || x.origin != y.origin ||
            x.fromTable != y.fromTable || x.pinned != y.pinned || x.secondary != y.secondary)
            return false;
    }
    return true;
}

struct Sizes {
    uintmax_t main = 0, temp = 0;
    bool operator==(const Sizes&) const = default;
};
Sizes sizesOnDisk(const Folder& f) {
    std::error_code ec;
    return {fs::file_size(f.dir / "main.dmg", ec), fs::file_size(f.dir / "temp.dmg", ec)};
}

// An engine that has the focus sees what another engine wrote in place at
// once; a table that grew is mapped again when it next gains the focus.
void focusIfGrown(EngineContext& ctx, Sizes& seen, const Folder& f) {
    const Sizes now = sizesOnDisk(f);
    if (now == seen) return;
    focusGained(ctx);
    seen = now;
}

// The typer's pages for a code against those of an engine opened afresh.
void compareWithFresh(EngineContext& typer, Sizes& seen, Folder& f, std::string_view code, int pages) {
    focusIfGrown(typer, seen, f);
    clearInput(typer, true);
    Engine fresh = openEngineFolder(f.aliasPath(), f.aliasPath(), f.platform());
    if (!fresh) __builtin_trap();
    focusGained(*fresh);
    if (viewOf(typer).modes != viewOf(*fresh).modes) {
        clearInput(typer, true);
        return;
    }
    // Three keys at most: a fourth may commit a single candidate, and what
    // a commit teaches (temporary words) would change the tables between
    // the two engines' lookups.
    code = code.substr(0, 3);
    typeCode(typer, code);
    typeCode(*fresh, code);
    const std::u16string typed = utf8ToUtf16(code);
    if (viewOf(typer).reading != typed || viewOf(*fresh).reading != typed) {
        clearInput(typer, true);
        return;
    }
    for (int page = 0;; ++page) {
        const EngineView a = viewOf(typer), b = viewOf(*fresh);
        if (!samePage(a, b)) {
            describe("kept", a);
            describe("fresh", b);
            std::abort();
        }
        if (page == pages || b.lastPage) break;
        press(typer, 0xBB);
        press(*fresh, 0xBB);
    }
    clearInput(typer, true);
}

uint32_t mainCount(const EngineContext& ctx) { return tableView(ctx, SlotMain).count(); }

// One edit of the tables by the second engine.
void edit(EngineContext& editor, Input& in) {
    switch (in.below(12)) {
    case 0: {  // an entry added in place, or by growing the file
        RecordBuffer r;
        const int category = in.below(2) ? CategoryUser : CategorySystem;
        if (buildCodeRecord(attr::make(static_cast<uint16_t>(in.byte() << 8), category), in.code(), in.word(), r))
            addEntry(editor, SlotMain, r);
        break;
    }
    case 1: {  // the entry dialog's add
        config::EntryRequest req;
        req.word = in.word();
        req.code = utf8ToUtf16(in.code());
        req.beforeSystemWords = in.below(2);
        config::confirmEntry(editor, req);
        break;
    }
    case 2:
    case 3: {  // the viewer deletes or undeletes a few entries
        const uint32_t n = mainCount(editor);
        if (!n) break;
        std::vector<uint32_t> positions;
        for (uint32_t k = 1 + in.below(3); k > 0; --k) positions.push_back((in.byte() << 4 | in.below(16)) % n);
        std::set<uint32_t> distinct(positions.begin(), positions.end());
        positions.assign(distinct.begin(), distinct.end());
        if (in.below(2)) config::deleteEntries(editor, positions);
        else config::undeleteEntries(editor, positions);
        break;
    }
    case 4: {  // the deleted mark set or cleared in place
        const CodeTable t = tableView(editor, SlotMain);
        if (!t.count()) break;
        const EntryView e = t.entry((in.byte() << 4 | in.below(16)) % t.count());
        if (e.valid()) setEntryDeleted(editor, SlotMain, e.offset, !attr::deleted(e.attributes));
        break;
    }
    case 5:
    case 6: {  // a word of the page moved, pinned or deleted from the menu
        typeCode(editor, in.code());
        static const int kOperations[] = {WordMoveUp, WordMoveDown, WordMoveToTop, WordMoveToBottom, WordPin, WordDelete};
        wordOperation(editor, 1 + static_cast<int>(in.below(5)), kOperations[in.below(6)]);
        clearInput(editor, true);
        break;
    }
    case 7: {  // committed words, learnt as temporary words
        typeCode(editor, in.code());
        press(editor, in.below(2) ? 0x20 : '2');
        typeCode(editor, in.code());
        press(editor, 0x20);
        clearInput(editor, true);
        break;
    }
    case 8: {
        RecordBuffer r;
        if (buildCodeRecord(0, in.code(), in.word(), r)) addTempWord(editor, r);
        break;
    }
    case 9: {
        const CodeTable t = tableView(editor, SlotTemp);
        if (t.count()) removeTempWord(editor, in.below(t.count()));
        break;
    }
    case 10:
        if (in.below(4) == 0) clearTempWords(editor);
        else formTemporaryWords(editor);
        break;
    case 11: {  // a setting that the order of the candidates depends on
        static const char16_t* const kSettings[] = {
            u"set([-IME设置-],词频调整=一次到顶)",          u"set([-IME设置-],词频调整=累加上屏数)",
            u"set([-IME设置-],候选列表排序依据=单字先见)", u"set([-IME设置-],候选列表排序依据=词组先见)",
            u"set([-IME设置-],候选列表显示个数=3)",         u"set([-DME设置-],是否启用编码逐渐提示=切换)",
        };
        applySetCommand(editor, kSettings[in.below(6)], nullptr);
        break;
    }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Folder& f = folder();
    Input in(data, size);
    writeFile(f.dir / "config.dsc", f.configs[in.below(static_cast<uint32_t>(f.configs.size()))]);
    writeFile(f.dir / "main.dmg", f.main);
    writeFile(f.dir / "temp.dmg", f.temp);
    {
        Engine typer = openEngineFolder(f.path(), f.path(), f.platform());
        Engine editor = openEngineFolder(f.path(), f.path(), f.platform());
        if (!typer || !editor) __builtin_trap();
        focusGained(*typer);
        Sizes seen = sizesOnDisk(f);
        int checks = 0;
        while (!in.empty()) {
            const uint8_t op = in.byte();
            if (op < 176) {
                press(*typer, kKeys[op % kKeyCount]);
            } else if (op < 240) {
                focusGained(*editor);
                edit(*editor, in);
            } else if (op < 248) {
                f.clock.advance(1000);
            } else if (checks++ < 8) {
                compareWithFresh(*typer, seen, f, in.code(), 1 + static_cast<int>(in.below(3)));
            }
        }
        for (const char* code : {"aa", "g"}) compareWithFresh(*typer, seen, f, code, 1);
    }
    return 0;
}
