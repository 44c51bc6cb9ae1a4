#include "platform/mapped_file.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace zv::platform {
namespace {

TEST(MappedFile, MapsReadsWritesAndGrows) {
    test::TempDir dir;
    dir.write("t.bin", {1, 2, 3, 4});
    MappedFile f;
    ASSERT_TRUE(f.open(dir.file("t.bin")));
    EXPECT_FALSE(f.isHeapCopy());
    ASSERT_EQ(4u, f.size());
    EXPECT_EQ(3, f.data()[2]);
    f.data()[0] = 9;
    ASSERT_TRUE(f.resize(4096));
    EXPECT_EQ(4096u, f.size());
    EXPECT_EQ(9, f.data()[0]);
    EXPECT_EQ(0, f.data()[4095]);
    f.data()[4095] = 7;
    f.close();
    auto bytes = dir.read("t.bin");
    ASSERT_EQ(4096u, bytes.size());
    EXPECT_EQ(9, bytes[0]);
    EXPECT_EQ(7, bytes[4095]);
}

TEST(MappedFile, TwoMappingsShareChangesAndNoticeGrowth) {
    test::TempDir dir;
    dir.write("t.bin", std::vector<uint8_t>(100, 0));
    MappedFile a, b;
    ASSERT_TRUE(a.open(dir.file("t.bin")));
    ASSERT_TRUE(b.open(dir.file("t.bin")));
    a.data()[10] = 42;
    a.flush();
    EXPECT_EQ(42, b.data()[10]);
    ASSERT_TRUE(a.resize(200));
    EXPECT_EQ(200, b.sizeOnDisk());
    ASSERT_TRUE(b.reopen());
    EXPECT_EQ(200u, b.size());
    EXPECT_EQ(42, b.data()[10]);
}

TEST(MappedFile, EmptyFileFallsBackToHeapCopy) {
    test::TempDir dir;
    dir.write("empty.bin", {});
    MappedFile f;
    ASSERT_TRUE(f.open(dir.file("empty.bin")));
    EXPECT_TRUE(f.isHeapCopy());
    EXPECT_EQ(10u, f.size());  // size + 10 zeroed bytes
    EXPECT_FALSE(f.resize(100));
}

TEST(MappedFile, ACopyIsNeverWrittenBackAndStaysACopyWhenOpenedAgain) {
    test::TempDir dir;
    dir.write("t.bin", {1, 2, 3, 4});
    MappedFile f;
    ASSERT_TRUE(f.openCopy(dir.file("t.bin")));
    EXPECT_TRUE(f.isHeapCopy());
    EXPECT_EQ(3, f.data()[2]);
    f.data()[0] = 9;
    f.flush();
    EXPECT_EQ(1, dir.read("t.bin")[0]);
    // Another writer grows the file: it is read again, still as a copy.
    dir.write("t.bin", {5, 6, 7, 8, 9, 10});
    ASSERT_TRUE(f.reopen());
    EXPECT_TRUE(f.isHeapCopy());
    EXPECT_EQ(5, f.data()[0]);
    f.data()[1] = 0;
    f.close();
    EXPECT_EQ((std::vector<uint8_t>{5, 6, 7, 8, 9, 10}), dir.read("t.bin"));
}

TEST(MappedFile, MissingFileDoesNotOpen) {
    test::TempDir dir;
    MappedFile f;
    EXPECT_FALSE(fileExists(dir.file("none.bin")));
    EXPECT_FALSE(f.open(dir.file("none.bin")));
    EXPECT_FALSE(f.isOpen());
    EXPECT_FALSE(f.reopen());
}

}  // namespace
}  // namespace zv::platform
