// The undo journal: a change saved before it began is undone after a writer
// died part-way; a journal cut short or pointing outside the file is only
// removed, and the file stays as it is.

#include "engine/write_journal.h"
#include "platform/mapped_file.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <new>
#include <numeric>

namespace zv {
namespace {

std::vector<uint8_t> counting(size_t n) {
    std::vector<uint8_t> v(n);
    std::iota(v.begin(), v.end(), uint8_t{0});
    return v;
}

// Writes a sealed journal of [offset, offset + length) and then changes the
// file there, as a writer that dies before finishing leaves it.
void changeAndDie(const std::u16string& path, uint32_t offset, uint32_t length) {
    platform::MappedFile f;
    ASSERT_TRUE(f.open(path));
    // Never destroyed: the writer died. (Static room, so that what it holds
    // stays reachable.)
    alignas(WriteJournal) static unsigned char room[4][sizeof(WriteJournal)];
    static int used = 0;
    auto* journal = new (room[used++ % 4]) WriteJournal(path);
    journal->keep(f.data(), offset, length);
    ASSERT_TRUE(journal->seal(f.size()));
    std::fill(f.data() + offset, f.data() + offset + length, uint8_t{0xEE});
    f.flush();
}

TEST(WriteJournal, UndoesWhatADeadWriterLeftAndOnlyThat) {
    test::TempDir dir;
    const auto original = counting(4096);
    dir.write("main.dmg", original);
    const std::u16string path = dir.file("main.dmg");

    changeAndDie(path, 100, 200);
    EXPECT_NE(original, dir.read("main.dmg"));
    EXPECT_TRUE(rollBackJournal(path));
    EXPECT_EQ(original, dir.read("main.dmg"));
    EXPECT_FALSE(platform::fileExists(journalPath(path)));
    EXPECT_FALSE(rollBackJournal(path)) << "nothing left to undo";

    // A change that finished leaves no journal behind.
    {
        platform::MappedFile f;
        ASSERT_TRUE(f.open(path));
        WriteJournal journal(path);
        journal.keep(f.data(), 0, 16);
        ASSERT_TRUE(journal.seal(f.size()));
        f.data()[0] = 0x55;
        journal.finish();
    }
    EXPECT_FALSE(platform::fileExists(journalPath(path)));
    EXPECT_EQ(0x55, dir.read("main.dmg")[0]);
}

TEST(WriteJournal, AFailedChangeUndoesItself) {
    test::TempDir dir;
    const auto original = counting(1024);
    dir.write("temp.dmg", original);
    const std::u16string path = dir.file("temp.dmg");
    {
        platform::MappedFile f;
        ASSERT_TRUE(f.open(path));
        WriteJournal journal(path);
        journal.keep(f.data(), 0, f.size());
        ASSERT_TRUE(journal.seal(f.size()));
        std::fill(f.data(), f.data() + 512, uint8_t{0});
        f.flush();
    }  // not finished: put back
    EXPECT_EQ(original, dir.read("temp.dmg"));
    EXPECT_FALSE(platform::fileExists(journalPath(path)));
}

TEST(WriteJournal, ACutOrForeignJournalChangesNothing) {
    test::TempDir dir;
    const std::u16string path = dir.file("main.dmg");
    for (int damage = 0; damage < 3; ++damage) {
        SCOPED_TRACE(damage);
        const auto original = counting(2048);
        dir.write("main.dmg", original);
        changeAndDie(path, 0, 1024);
        const auto changed = dir.read("main.dmg");
        std::string journal;
        ASSERT_TRUE(platform::readWholeFile(journalPath(path), journal));
        if (damage == 0) journal.resize(journal.size() / 2);  // cut short while it was written
        if (damage == 1) journal[20] ^= 1;                    // a flipped byte
        if (damage == 2) {
            // A whole journal of a larger file: its stretch lies outside this one.
            dir.write("main.dmg", counting(512));
        }
        ASSERT_TRUE(platform::writeWholeFile(journalPath(path), journal.data(), journal.size()));
        const auto before = dir.read("main.dmg");
        EXPECT_FALSE(rollBackJournal(path));
        EXPECT_EQ(before, dir.read("main.dmg"));
        EXPECT_FALSE(platform::fileExists(journalPath(path)));
        (void)changed;
    }
}

}  // namespace
}  // namespace zv
