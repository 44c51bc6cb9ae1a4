// Several processes writing one data folder at once: typing processes that
// learn (history, temporary words, promoted user words, frequency) and add
// user words, while another imports a table. Nothing may be lost or doubled,
// the folder must pass the check, and each typing process must see what the
// others added.
//
// ZV_CONCURRENT_COMMITS sets the words each typing process commits (a few
// hundred by default; the full run takes 10000).

// The processes are forked: POSIX only.
#ifndef _WIN32

#include "config/table_check.h"
#include "config/table_import.h"
#include "engine/code_table.h"
#include "engine/data_files.h"
#include "engine/default_store.h"
#include "engine/host.h"
#include "engine/set_command.h"
#include "engine/table_update.h"
#include "frontends/terminal/key_script.h"
#include "frontends/terminal/session.h"
#include "platform/utf.h"
#include "tests/support/data_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace zv {
namespace {

constexpr int kTypists = 4;
constexpr int kUserWordsEach = 40;
constexpr int kImported = 2000;

int commitsEach() {
    const char* n = std::getenv("ZV_CONCURRENT_COMMITS");
    return n && std::atoi(n) > 0 ? std::atoi(n) : 300;
}

std::string letters(int n, int width) {
    std::string s(width, 'a');
    for (int k = width; k-- > 0; n /= 25) s[k] = static_cast<char>('a' + n % 25);
    return s;
}

// The user words of one typing process: unique words under "zz" codes.
std::u16string userWord(int typist, int j) {
    return {static_cast<char16_t>(0x5000 + typist * 100 + j), u'词'};
}
std::string userCode(int typist, int j) { return "zz" + letters(typist * kUserWordsEach + j, 2); }

std::u16string importedWord(int j) { return {static_cast<char16_t>(0x6000 + j), u'导'}; }
std::string importedCode(int j) { return "yy" + letters(j, 2); }

bool holdsOnce(const CodeTable& t, const std::string& code, const std::u16string& word) {
    SearchKey key{reinterpret_cast<const uint8_t*>(code.data()), static_cast<uint32_t>(code.size()), word.data(),
                  static_cast<uint32_t>(word.size())};
    const int64_t found = t.search(key, 0, t.count());
    if (found <= 0) return false;
    // The entries next to it are other entries: the index is sorted.
    const uint32_t at = static_cast<uint32_t>(found - 1);
    auto same = [&](uint32_t i) {
        EntryView e = t.entry(i);
        return e.valid() && e.codeBytes() == code && e.wordText() == word;
    };
    return !(at > 0 && same(at - 1)) && !(at + 1 < t.count() && same(at + 1));
}

class ConcurrentWriters : public ::testing::Test {
protected:
    void SetUp() override {
        fx.config = shippedConfigStore();
        fx.registerInstance(fx.dir.folder());
        fx.writeTemp();
        // 625 characters with four-key codes (unique: each commits at once),
        // and a second character on 25 of the codes (chosen with 2, which
        // adjusts its frequency).
        std::vector<TableEntry> entries;
        for (int i = 0; i < 625; ++i) {
            const std::string code = letters(i, 2) + letters(i * 7 % 625, 2);
            entries.push_back({code, std::u16string(1, static_cast<char16_t>(0x4E00 + i)), attr::make(16000, 17)});
            if (i % 25 == 0)
                entries.push_back({code, std::u16string(1, static_cast<char16_t>(0x4E00 + 700 + i)),
                                   attr::make(15000, 17)});
        }
        fx.writeMain(entries);
        auto ctx = fx.open();
        ASSERT_TRUE(ctx);
        InstallerLaunch launch{&fx.services, ctx->installDir, ctx->imeName};
        ctx.reset();
        SettingsBlocks blocks = fx.blocks();
        ASSERT_TRUE(runSetCommand(blocks, u"set([-IME设置-],临时词功能开启=是)", launch).valid);
        fx.writeConfig();
    }

    // An engine on the folder as it is (the fixture's own opening writes
    // config.dsc first, which no process may do while others map it).
    std::unique_ptr<EngineContext> openAsIs() {
        auto ctx = std::make_unique<EngineContext>();
        ctx->platform = fx.platform();
        if (!openData(*ctx, test::DataFixture::Name)) return nullptr;
        return ctx;
    }

    // One typing process: commits words, learns, adds its user words; then,
    // once every process is done, checks that it sees the others' words.
    // Returns the exit status.
    int type(int typist, int done, int go) {
        auto ctx = openAsIs();
        if (!ctx) return 10;
        term::Session session(*ctx, fx.clock);
        focusGained(*ctx);
        std::mt19937 random(1234 + typist);
        const int commits = commitsEach();
        const int every = std::max(1, commits / kUserWordsEach);
        int added = 0;
        auto addUserWord = [&] {
            RecordBuffer rec;
            if (!buildCodeRecord(attr::make(1024, CategoryUser), userCode(typist, added), userWord(typist, added), rec) ||
                addEntry(*ctx, SlotMain, rec) != AddResult::Added)
                return false;
            ++added;
            return true;
        };
        for (int n = 0; n < commits; ++n) {
            const int i = static_cast<int>(random() % 625);
            std::string keys = letters(i, 2) + letters(i * 7 % 625, 2);
            if (i % 25 == 0) keys += "2";
            // Now and then a temporary word is typed back, which makes it a
            // user word.
            if (n % 7 == 6) {
                CodeTable temp = tableView(*ctx, SlotTemp);
                if (temp.valid() && temp.count() > 0)
                    keys = std::string(temp.entry(static_cast<uint32_t>(random() % temp.count())).codeBytes()) +
                           "{Space}";
            }
            auto strokes = term::parseKeyScript(keys);
            if (!strokes) return 11;
            for (auto& k : *strokes) session.play(k);
            if (viewOf(*ctx).composing) {
                auto escape = term::parseKeyScript("{Esc}");
                for (auto& k : *escape) session.play(k);
            }
            if (n % every == 0 && added < kUserWordsEach && !addUserWord()) return 12;
            // A host's text fields come and go.
            if (n % 50 == 49) {
                focusLost(*ctx);
                focusGained(*ctx);
            }
        }
        while (added < kUserWordsEach)
            if (!addUserWord()) return 12;
        char byte = 1;
        if (write(done, &byte, 1) != 1) return 13;
        close(done);
        if (read(go, &byte, 1) != 1) return 13;
        // Every other process has finished: a new focus shows their words.
        focusLost(*ctx);
        focusGained(*ctx);
        CodeTable main = tableView(*ctx, SlotMain);
        for (int other = 0; other < kTypists; ++other)
            for (int j = 0; j < kUserWordsEach; ++j)
                if (!holdsOnce(main, userCode(other, j), userWord(other, j))) return 20 + other;
        return 0;
    }

    int import() {
        std::u16string text;
        for (int j = 0; j < kImported; ++j)
            text += importedWord(j) + u"\t" + utf8ToUtf16(importedCode(j)) + u"\r\n";
        platform::MappedFile main;
        if (!main.open(fx.dir.folder() + u"main.dmg")) return 30;
        config::ImportResult r = config::importIntoMainTable(main, text, {});
        return r.status == config::ImportStatus::Ok && r.added == kImported ? 0 : 31;
    }

    test::DataFixture fx;
};

TEST_F(ConcurrentWriters, NothingIsLostOrDoubledAndEachSeesTheOthers) {
    int done[2], go[2];
    ASSERT_EQ(0, pipe(done));
    ASSERT_EQ(0, pipe(go));
    std::vector<pid_t> children;
    for (int t = 0; t <= kTypists; ++t) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(done[0]);
            close(go[1]);
            _exit(t < kTypists ? type(t, done[1], go[0]) : import());
        }
        children.push_back(pid);
    }
    // The typists report when they are done, and go on to look at the
    // others' words only when all of them are. Only the children hold the
    // pipes' other ends: a child that dies early ends the wait.
    close(done[1]);
    close(go[0]);
    char byte = 1;
    int finished = 0;
    while (finished < kTypists && read(done[0], &byte, 1) == 1) ++finished;
    EXPECT_EQ(kTypists, finished);
    for (int t = 0; t < kTypists; ++t) EXPECT_EQ(1, write(go[1], &byte, 1));
    close(go[1]);
    for (size_t k = 0; k < children.size(); ++k) {
        int status = 0;
        ASSERT_EQ(children[k], waitpid(children[k], &status, 0));
        EXPECT_TRUE(WIFEXITED(status)) << "process " << k;
        EXPECT_EQ(0, WEXITSTATUS(status)) << "process " << k;
    }

    const std::u16string folder = fx.dir.folder();
    EXPECT_EQ(std::vector<std::u16string>{}, config::checkDataFolder(folder));
    auto ctx = openAsIs();
    ASSERT_TRUE(ctx);
    CodeTable main = tableView(*ctx, SlotMain);
    for (int t = 0; t < kTypists; ++t)
        for (int j = 0; j < kUserWordsEach; ++j)
            EXPECT_TRUE(holdsOnce(main, userCode(t, j), userWord(t, j))) << t << " " << j;
    for (int j = 0; j < kImported; ++j) EXPECT_TRUE(holdsOnce(main, importedCode(j), importedWord(j))) << j;
    // Learning happened: temporary words typed back became user words.
    int promoted = 0;
    for (uint32_t i = 0; i < main.count(); ++i) {
        EntryView e = main.entry(i);
        promoted += attr::category(e.attributes) == CategoryUser && e.codeBytes().substr(0, 2) != "zz";
    }
    EXPECT_GT(promoted, 0);
    // The first 625 characters and their 25 companions are all still there.
    EXPECT_GE(main.count(), 650u + kTypists * kUserWordsEach + kImported);
}

}  // namespace
}  // namespace zv

#endif  // _WIN32
