#include "platform/registry.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace zv::platform {
namespace {

TEST(Registry, MemoryStoreValuesAndKeys) {
    MemoryRegistry r;
    const std::u16string key = u"Software\\ZorvanIME3\\{GUID}";
    EXPECT_FALSE(r.keyExists(Hive::LocalMachine, key));
    ASSERT_TRUE(r.writeString(Hive::LocalMachine, key, u"IMEName", u"{GUID}"));
    ASSERT_TRUE(r.writeDword(Hive::LocalMachine, key, u"Flags", 0x1234));
    EXPECT_TRUE(r.keyExists(Hive::LocalMachine, u"software\\zorvanime3"));  // a parent, any case
    EXPECT_EQ(u"{GUID}", r.readString(Hive::LocalMachine, key + u"\\", u"imename"));
    EXPECT_EQ(0x1234u, r.readDword(Hive::LocalMachine, key, u"Flags"));
    EXPECT_FALSE(r.readDword(Hive::LocalMachine, key, u"IMEName"));  // wrong type
    EXPECT_FALSE(r.readString(Hive::CurrentUser, key, u"IMEName"));
    EXPECT_FALSE(r.writeString(Hive::LocalMachine, key, u"Bad", u"two\nlines"));
    ASSERT_TRUE(r.deleteKey(Hive::LocalMachine, u"Software\\ZorvanIME3"));
    EXPECT_FALSE(r.keyExists(Hive::LocalMachine, key));
}

TEST(Registry, FileStoreRoundTripsAndIsSharedThroughTheFile) {
    test::TempDir dir;
    std::string path = (dir.path() / "sub" / "registry.ini").string();
    FileRegistry writer(path), reader(path);
    ASSERT_TRUE(writer.writeString(Hive::LocalMachine, u"Software\\ZorvanIME3\\x", u"DataLocation", u"C:\\数据\\"));
    ASSERT_TRUE(writer.writeDword(Hive::LocalMachine, u"Software\\ZorvanIME3\\x", u"Version", 0xA));
    EXPECT_EQ(u"C:\\数据\\", reader.readString(Hive::LocalMachine, u"Software\\ZorvanIME3\\x", u"DataLocation"));
    EXPECT_EQ(0xAu, reader.readDword(Hive::LocalMachine, u"Software\\ZorvanIME3\\x", u"Version"));
    std::string text = formatRegistryFile(writer.keys());
    EXPECT_NE(std::string::npos, text.find("[HKEY_LOCAL_MACHINE\\Software\\ZorvanIME3\\x]"));
    EXPECT_NE(std::string::npos, text.find("Version=dword:0000000A"));
}

TEST(Registry, ParserSkipsMalformedLines) {
    auto keys = parseRegistryFile("name=outside\n[K]\nok=1\nnoequals\nd=dword:zz\nd2=dword:123456789\n\n[K2]\r\nx=dword:ff\r\n");
    ASSERT_EQ(2u, keys.size());
    EXPECT_EQ(1u, keys[u"K"].size());
    EXPECT_EQ(u"1", keys[u"K"][u"ok"].text);
    EXPECT_TRUE(keys[u"K2"][u"x"].isDword);
    EXPECT_EQ(0xFFu, keys[u"K2"][u"x"].dword);
}

}  // namespace
}  // namespace zv::platform
