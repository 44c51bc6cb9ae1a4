#include "tests/config/table_fixture.h"

#include "config/table_check.h"
#include "engine/config_store.h"
#include "platform/mapped_file.h"

#include <cstdlib>
#include <filesystem>

namespace zv::test {

std::vector<Entry> entriesOf(const std::vector<uint8_t>& file) {
    std::vector<Entry> out;
    CodeTable t(const_cast<uint8_t*>(file.data()), static_cast<uint32_t>(file.size()));
    for (uint32_t i = 0; i < t.count(); ++i) {
        EntryView e = t.entry(i);
        out.push_back({std::string(e.codeBytes()), e.wordText(), e.attributes});
    }
    return out;
}

std::vector<std::u16string> problemsOf(const std::vector<uint8_t>& file, bool wordList) {
    return config::checkTable(file.data(), static_cast<uint32_t>(file.size()),
                              wordList ? config::TableKind::WordList : config::TableKind::Code);
}

std::vector<uint8_t> configWithRights(std::initializer_list<std::pair<int, uint32_t>> rights) {
    std::vector<uint8_t> store = newConfigStore();
    SettingsBlocks b = findBlocks(store.data(), static_cast<uint32_t>(store.size()));
    const char16_t* names[] = {u"五笔", u"一简", u"自造词", u"生僻字", u"拼音"};
    for (int c = 0; c < 5; ++c) b.soft.setText(SoftSettings::CategoryNames + 2 * 9 * c, 9, names[c]);
    b.soft.setText(SoftSettings::CategoryNames + 2 * 9 * 16, 9, u"二简");
    b.soft.setText(SoftSettings::CategoryNames + 2 * 9 * 17, 9, u"三简");
    for (auto [c, r] : rights) b.soft.setU32(SoftSettings::CategoryRights + 4 * c, r);
    return store;
}

DataFolder::DataFolder(std::vector<TableEntry> mainEntries) {
    dir.write("config.dsc", configWithRights({{1, 3}, {3, 3}, {16, 3}, {4, 2}, {17, 2}}));
    dir.write("main.dmg", buildCodeTableImage(std::move(mainEntries)));
    std::filesystem::create_directories(dir.path() / "tmp");
}

std::u16string DataFolder::temp() const { return (dir.path() / "tmp").u16string() + u'/'; }

bool makeReadOnly(const std::filesystem::path& p) {
    std::error_code ec;
    std::filesystem::permissions(p, std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                        std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove, ec);
    auto writable = [&] {
        platform::MappedFile f;
        bool w = f.open(p.u16string()) && !f.isHeapCopy();
        f.discard();
        return w;
    };
    if (!writable()) return true;
#ifndef _WIN32
    // Permissions do not stop root; the immutable attribute does.
    std::string cmd = "chattr +i '" + p.string() + "' 2>/dev/null";
    if (std::system(cmd.c_str()) == 0 && !writable()) return true;
#endif
    makeWritable(p);
    return false;
}

void makeWritable(const std::filesystem::path& p) {
#ifndef _WIN32
    std::string cmd = "chattr -i '" + p.string() + "' 2>/dev/null";
    [[maybe_unused]] int r = std::system(cmd.c_str());
#endif
    std::error_code ec;
    std::filesystem::permissions(p, std::filesystem::perms::owner_write, std::filesystem::perm_options::add, ec);
}

}  // namespace zv::test
