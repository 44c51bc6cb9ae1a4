// The viewer's list and rows, and the entry operations: delete, undelete,
// the entry dialog's add and edit, and the codes it proposes.

#include "config/entry_editor.h"
#include "config/viewer.h"
#include "engine/data_files.h"
#include "engine/default_store.h"
#include "tests/config/table_fixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace zv::config {
namespace {

using test::Entry;

// A folder (categories 1, 3 and 16 editable; 4 and 17 not) opened as the
// configuration program opens it.
struct Viewer {
    test::DataFolder f;
    std::unique_ptr<EngineContext> ctx;

    explicit Viewer(std::vector<TableEntry> entries) : f(std::move(entries)) { open(); }
    void open() {
        ctx = std::make_unique<EngineContext>();
        ASSERT_TRUE(openDataFolder(*ctx, f.folder(), u"", OpenAs::Tool));
    }
    CodeTable table() const { return tableView(*ctx, SlotMain); }
    std::vector<uint32_t> list(const ViewFilter& filter) const { return buildViewList(table(), filter); }
    std::vector<std::u16string> words(const ViewFilter& filter) const {
        std::vector<std::u16string> out;
        for (uint32_t p : list(filter)) out.push_back(table().entry(p).wordText());
        return out;
    }
    uint32_t at(std::u16string_view code, std::u16string_view word) const {
        auto p = findEntry(table(), code, word);
        EXPECT_TRUE(p) << "no entry " << std::string(code.begin(), code.end());
        return p.value_or(0);
    }
    std::vector<Entry> main() {
        ctx->file(SlotMain)->flush();
        return f.main();
    }
    bool sound() const { return test::problemsOf(f.dir.read("main.dmg")).empty(); }
};

const std::vector<TableEntry> kEntries = {
    {"a", u"工", attr::make(30, 1)},
    {"aa", u"式", attr::make(20, 16, true)},
    {"aaa", u"工工", attr::make(10, 17)},
    {"ab", u"节", attr::make(5, 4)},
    {"b", u"了", attr::make(9, 2)},
    {"ba", u"工人", attr::make(8, 3, false, true)},
};

TEST(ViewerList, FiltersAsTheViewerDoes) {
    Viewer v(kEntries);
    ViewFilter f;
    EXPECT_EQ(6u, v.list(f).size());
    f.code = u"a";
    EXPECT_EQ((std::vector<std::u16string>{u"工"}), v.words(f));
    f.partial = true;
    EXPECT_EQ((std::vector<std::u16string>{u"工", u"式", u"工工", u"节"}), v.words(f));

    // The word: equal without partial match, contained with it.
    f = {};
    f.word = u"工";
    EXPECT_EQ((std::vector<std::u16string>{u"工"}), v.words(f));
    f.partial = true;
    EXPECT_EQ((std::vector<std::u16string>{u"工", u"工工", u"工人"}), v.words(f));
    f.code = u"b";
    EXPECT_EQ((std::vector<std::u16string>{u"工人"}), v.words(f));

    // The toggles: deleted-only ignores fixed-only and the category,
    // fixed-only ignores the category.
    f = {};
    f.category = 16;
    EXPECT_EQ((std::vector<std::u16string>{u"式"}), v.words(f));
    f.fixedOnly = true;
    f.category = 1;
    EXPECT_EQ((std::vector<std::u16string>{u"式"}), v.words(f));
    f.deletedOnly = true;
    EXPECT_EQ((std::vector<std::u16string>{u"工人"}), v.words(f));
}

TEST(ViewerList, RowTextsAndCopy) {
    Viewer v(kEntries);
    const SoftSettings& soft = v.ctx->blocks.soft;
    auto row = [&](std::u16string_view code, std::u16string_view word) {
        return *viewRow(v.table(), v.at(code, word), ViewerTable::Main, soft);
    };
    EXPECT_EQ(u"五笔 - 一简", row(u"a", u"工").category);
    EXPECT_EQ(30, row(u"a", u"工").order);
    EXPECT_EQ(u"五笔 - 二简 固顶", row(u"aa", u"式").category);
    EXPECT_EQ(u"拼音", row(u"ab", u"节").category);
    ViewRow user = row(u"b", u"了");
    EXPECT_TRUE(user.user);
    EXPECT_EQ(u"五笔 - 自造词", user.category);
    ViewRow deleted = row(u"ba", u"工人");
    EXPECT_TRUE(deleted.deleted);
    EXPECT_EQ(u"五笔 - 生僻字 已删除", deleted.category);
    EXPECT_EQ(u"联想表", categoryText(ViewerTable::Association, 5, soft));
    EXPECT_EQ(u"英文表", categoryText(ViewerTable::English, 5, soft));

    // Keypad bytes show full width; copying 30 rows takes the first 24,
    // bottom-most first.
    std::vector<TableEntry> many;
    for (int i = 0; i < 30; ++i) many.push_back({"k" + std::string(1, char('a' + i % 26)) + char('a' + i / 26), u"字"});
    many.push_back({"\x12", u"二"});
    Viewer w(many);
    EXPECT_EQ(u"２", viewRow(w.table(), w.at(u"２", u"二"), ViewerTable::Main, soft)->code);
    std::vector<uint32_t> all = w.list({});
    std::vector<uint32_t> selected(all.begin() + 1, all.end());  // 30 rows from the second down
    std::u16string text = copyText(w.table(), selected);
    EXPECT_EQ(24 * std::u16string(u"字\tkaa\r\n").size(), text.size());
    EXPECT_EQ(u"字\tkta\r\n", text.substr(0, 7));
    EXPECT_EQ(u"字\tkaa\r\n", text.substr(text.size() - 7));
}

TEST(EntryDelete, RemovesEditableAndMarksProtectedEntries) {
    Viewer v(kEntries);
    // 工工 (category 17) and 节 (4) are protected; 工 (1), 式 (16) and 了 (2)
    // go. The positions are taken before anything changes.
    std::vector<uint32_t> positions = {v.at(u"a", u"工"), v.at(u"aaa", u"工工"), v.at(u"b", u"了"),
                                       v.at(u"aa", u"式"), v.at(u"ab", u"节")};
    DeleteCounts counts;
    ASSERT_EQ(EditStatus::Ok, deleteEntries(*v.ctx, positions, &counts));
    EXPECT_EQ(3u, counts.removed);
    EXPECT_EQ(2u, counts.marked);
    std::vector<Entry> want = {
        {"aaa", u"工工", attr::make(10, 17, false, true)},
        {"ab", u"节", attr::make(5, 4, false, true)},
        {"ba", u"工人", attr::make(8, 3, false, true)},
    };
    EXPECT_EQ(want, v.main());
    EXPECT_TRUE(v.sound());  // offsets, order and prefix index

    // Undelete brings the marked ones back, shown without " 已删除".
    ASSERT_EQ(EditStatus::Ok, undeleteEntries(*v.ctx, {v.at(u"aaa", u"工工"), v.at(u"ab", u"节")}));
    EXPECT_EQ(u"五笔 - 三简", viewRow(v.table(), v.at(u"aaa", u"工工"), ViewerTable::Main, v.ctx->blocks.soft)->category);
    EXPECT_EQ(attr::make(5, 4), v.main()[1].attributes);
}

TEST(EntryDelete, ThreeAdjacentEntriesOfABigTable) {
    std::vector<TableEntry> entries;
    for (int i = 0; i < 200; ++i)
        entries.push_back({"x" + std::to_string(1000 + i), u"词" + std::u16string(1, char16_t(u'一' + i)), attr::make(uint16_t(i), 16)});
    Viewer v(entries);
    const uint32_t first = v.at(u"x1100", u"词" + std::u16string(1, char16_t(u'一' + 100)));
    ASSERT_EQ(EditStatus::Ok, deleteEntries(*v.ctx, {first, first + 1, first + 2}));
    std::vector<Entry> left = v.main();
    ASSERT_EQ(197u, left.size());
    EXPECT_EQ("x1099", left[99].code);
    EXPECT_EQ("x1103", left[100].code);
    EXPECT_TRUE(v.sound());
    // The freed room takes the next addition without growing the file.
    const auto size = v.f.dir.read("main.dmg").size();
    EntryRequest r;
    r.word = u"新词";
    r.code = u"x1100";
    EXPECT_EQ(EntryVerdict::Added, confirmEntry(*v.ctx, r));
    EXPECT_EQ(size, v.f.dir.read("main.dmg").size());
    EXPECT_TRUE(v.sound());
}

TEST(EntryDelete, DamagedTablesAreLeftAlone) {
    Viewer v(kEntries);
    auto image = v.f.dir.read("main.dmg");
    wr32(image.data() + dmg::IndexStart + 8, 70);  // the third record inside the index
    v.ctx.reset();
    v.f.dir.write("main.dmg", image);
    v.open();
    EXPECT_EQ(EditStatus::DamagedTable, deleteEntries(*v.ctx, {0, 1}));
    EntryRequest r;
    r.word = u"新";
    r.code = u"x";
    EXPECT_EQ(EntryVerdict::TableUnavailable, confirmEntry(*v.ctx, r));
    v.ctx.reset();
    EXPECT_EQ(image, v.f.dir.read("main.dmg"));
}

struct Dialog : Viewer {
    Dialog() : Viewer(kEntries) {}
    EntryVerdict add(std::u16string word, std::u16string code, int category = CategoryUser) {
        EntryRequest r;
        r.word = std::move(word);
        r.code = std::move(code);
        r.category = category;
        return confirmEntry(*ctx, r);
    }
    EntryVerdict edit(std::u16string_view oldCode, std::u16string_view oldWord, std::u16string word,
                      std::u16string code) {
        EntryRequest r;
        r.mode = EntryMode::Edit;
        r.oldPosition = at(oldCode, oldWord);
        r.category = attr::category(table().entry(r.oldPosition).attributes);
        r.word = std::move(word);
        r.code = std::move(code);
        return confirmEntry(*ctx, r);
    }
};

TEST(EntryDialog, ConfirmChecksInOrderAndChangesNothingOnRefusal) {
    Dialog d;
    const auto before = d.main();
    EXPECT_EQ(u"词条不能为空", entryVerdictText(d.add(u"", u"")));
    EXPECT_EQ(u"编码不能为空", entryVerdictText(d.add(u"新", u"")));
    EXPECT_EQ(u"编码不能非键盘字符", entryVerdictText(d.add(u"新", u"ab中")));
    EXPECT_EQ(u"编码不能非键盘字符", entryVerdictText(d.add(u"新", u"ab#序5")));  // markers are no keys
    EXPECT_EQ(u"非法的定义", entryVerdictText(d.add(u"新", u"a\tb")));        // would be cut
    EXPECT_EQ(u"非法的定义", entryVerdictText(d.add(u"新", std::u16string(129, u'a'))));
    EXPECT_EQ(u"非法的定义", entryVerdictText(d.add(std::u16string(129, u'新'), u"x")));
    EXPECT_EQ(u"词条已存在", entryVerdictText(d.add(u"工", u"a")));
    EXPECT_EQ(before, d.main());

    // A deleted equal entry comes back instead of a second one.
    EXPECT_EQ(u"取消删除", entryVerdictText(d.add(u"工人", u"ba")));
    EXPECT_EQ(attr::make(8, 3), d.main()[5].attributes);
}

TEST(EntryDialog, AddsWithTheDialogsCategoryAndOrder) {
    Dialog d;
    EXPECT_EQ(EntryVerdict::Added, d.add(u"新", u"x"));
    EntryRequest r;
    r.word = u"前";
    r.code = u"１x";  // the keypad key 1
    r.category = 16;
    r.beforeSystemWords = true;
    EXPECT_EQ(EntryVerdict::Added, confirmEntry(*d.ctx, r));
    auto entries = d.main();
    EXPECT_EQ((Entry{"x", u"新", attr::make(1024, CategoryUser)}), entries.back());
    EXPECT_EQ((Entry{"\x11x", u"前", attr::make(0x4400, 16)}), entries.front());
    EXPECT_TRUE(d.sound());
}

TEST(EntryDialog, EditReplacesTheOldEntryOnlyWhenTheNewOneIsIn) {
    Dialog d;
    EXPECT_EQ(EntryVerdict::NotAuthorized, d.edit(u"aaa", u"工工", u"工工", u"aaab"));  // category 17
    EXPECT_EQ(EntryVerdict::Exists, d.edit(u"aa", u"式", u"工", u"a"));
    EXPECT_EQ(EntryVerdict::BadDefinition, d.edit(u"aa", u"式", u"式", u"a b\t"));
    ASSERT_TRUE(findEntry(d.table(), u"aa", u"式"));

    EXPECT_EQ(EntryVerdict::Added, d.edit(u"aa", u"式", u"式", u"aaaa"));
    EXPECT_FALSE(findEntry(d.table(), u"aa", u"式"));
    EXPECT_EQ(attr::make(1024, 16), d.table().entry(d.at(u"aaaa", u"式")).attributes);
    // The same code and word: the entry takes the dialog's attributes.
    EXPECT_EQ(EntryVerdict::Added, d.edit(u"b", u"了", u"了", u"b"));
    EXPECT_EQ(attr::make(1024, CategoryUser), d.table().entry(d.at(u"b", u"了")).attributes);
    EXPECT_EQ(6u, d.main().size());
    EXPECT_TRUE(d.sound());
}

TEST(EntryDialog, CategoryForAdding) {
    auto config = test::configWithRights({{16, 1}});
    SoftSettings soft = findBlocks(config.data(), static_cast<uint32_t>(config.size())).soft;
    EntryVerdict refusal;
    EXPECT_EQ(CategoryUser, categoryForAdding(soft, 0, &refusal));
    EXPECT_EQ(16, categoryForAdding(soft, 16, &refusal));
    EXPECT_FALSE(categoryForAdding(soft, 17, &refusal));
    EXPECT_EQ(EntryVerdict::Added, refusal);  // refused silently
    soft.setText(SoftSettings::CategoryNames + 2 * 9 * CategoryUser, 9, u"");
    EXPECT_FALSE(categoryForAdding(soft, 0, &refusal));
    EXPECT_EQ(u"当前输入法未支持用户词功能！", entryVerdictText(refusal));
}

TEST(EntryDialog, ProposedCodes) {
    std::vector<uint8_t> store = shippedConfigStore();
    const DmeSettings rules = findBlocks(store.data(), static_cast<uint32_t>(store.size())).dme;
    std::vector<std::pair<std::u16string, std::u16string>> codes = {
        {u"工", u"aaaa"}, {u"人", u"wwww"}, {u"中", u"khk"}, {u"国", u"lgyi"}, {u"民", u"nav"},
        {u"共", u"awu"},  {u"和", u"tkg"},  {u"\U00020000", u"ggmk"}};
    std::vector<uint8_t> danziFile = buildPairTable(codes);
    CharCodeTable danzi(danziFile.data(), static_cast<uint32_t>(danziFile.size()));
    EXPECT_EQ(u"khk", proposeCode(u"中", rules, danzi));
    EXPECT_EQ(u"khlg", proposeCode(u"中国", rules, danzi));
    EXPECT_EQ(u"wlna", proposeCode(u"人国民", rules, danzi));
    EXPECT_EQ(u"kwgg", proposeCode(u"中人\U00020000", rules, danzi));  // a surrogate pair is one character
    EXPECT_EQ(u"klat", proposeCode(u"中国共和", rules, danzi));
    EXPECT_EQ(u"klaw", proposeCode(u"中国共和人民中国人", rules, danzi));
    EXPECT_EQ(u"", proposeCode(u"中华共和", rules, danzi));  // 华 has no code
    // Ten characters and more have no rule.
    EXPECT_EQ(u"", proposeCode(u"中国人民共和国中国人", rules, danzi));
    EXPECT_EQ(u"", proposeCode(u"", rules, danzi));
    // Sixteen characters are past the dialog's reach, even with a rule.
    DmeSettings more = rules;
    for (int n : {15, 16}) more.setU16(DmeSettings::Rules + DmeSettings::RuleRowSize * n, 0x0101);
    EXPECT_EQ(u"a", proposeCode(std::u16string(15, u'工'), more, danzi));
    EXPECT_EQ(u"", proposeCode(std::u16string(16, u'工'), more, danzi));
}

}  // namespace
}  // namespace zv::config
