// The server's answer: versions, the UpdateInfo document and its limits,
// and what the log shows.
#include "installer/update/update_info.h"

#include <gtest/gtest.h>

namespace zv::installer {
namespace {

constexpr uint64_t v(uint64_t a, uint64_t b, uint64_t c, uint64_t d) { return a << 48 | b << 32 | c << 16 | d; }

TEST(Version, FourSixteenBitPartsFirstHighest) {
    EXPECT_EQ(v(0, 18, 0, 0), parseVersion(u"0.18"));
    EXPECT_EQ(v(1, 2, 3, 4), parseVersion(u" 1.2.3.4 "));
    EXPECT_EQ(v(65535, 0, 0, 1), parseVersion(u"65535.0.0.1"));
    EXPECT_LT(*parseVersion(u"1.0.0.65535"), *parseVersion(u"1.0.1"));
    EXPECT_LT(*parseVersion(u"0.9.9.9"), *parseVersion(u"1"));
    // A part beyond 16 bits would wrap into a lower version: refused.
    for (auto bad : {u"", u"1.65536", u"1.2.3.4.5", u"1..2", u".1", u"1.", u"1.2b", u"v1.2"})
        EXPECT_FALSE(parseVersion(bad));
    EXPECT_EQ(0u, installedVersion(u"unknown"));
    EXPECT_EQ(u"1.2.0.65535", formatVersion(v(1, 2, 0, 65535)));
}

TEST(UpdateInfo, ReadsTheThreeElementsUnderARootOfAnyCase) {
    auto info = parseUpdateInfo(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- answer -->\n"
        "<updateinfo lang='zh'><other>x</other><version> 1.2.3.4 </version>"
        "<url>example.test/a?x=1&amp;y=2</url><log><![CDATA[修复<错误>]]>[r]&#x65B0;功能</log></updateinfo>\n");
    ASSERT_TRUE(info);
    EXPECT_EQ(v(1, 2, 3, 4), info->version);
    EXPECT_EQ(u"example.test/a?x=1&y=2", info->url);
    EXPECT_EQ(u"修复<错误>[r]新功能", info->log);

    auto noVersion = parseUpdateInfo("\xEF\xBB\xBF<UPDATEINFO><log>服务器维护中</log><version></version></UPDATEINFO>");
    ASSERT_TRUE(noVersion);
    EXPECT_FALSE(noVersion->version);
    EXPECT_EQ(u"服务器维护中", noVersion->log);

    // UTF-16 with its byte-order mark.
    std::string wide = "\xFF\xFE";
    for (char c : std::string("<UpdateInfo><version>2</version></UpdateInfo>")) wide += std::string{c, '\0'};
    ASSERT_TRUE(parseUpdateInfo(wide));
    EXPECT_EQ(v(2, 0, 0, 0), parseUpdateInfo(wide)->version);
}

TEST(UpdateInfo, RefusesWhatIsNotAnUpdateList) {
    const char* bad[] = {
        "",
        "<html><body>404</body></html>",
        "<UpdateInfo><version>1.0</version>",                        // cut off
        "<UpdateInfo><version>1.0</url></UpdateInfo>",               // unbalanced
        "<UpdateInfo></UpdateInfo><UpdateInfo></UpdateInfo>",         // two roots
        "<UpdateInfo><version>1.x</version></UpdateInfo>",           // a version that is none
        "<UpdateInfo><log>&unknown;</log></UpdateInfo>",
        "<UpdateInfo><log>&#0;</log></UpdateInfo>",
        "<UpdateInfo><log>\xC3\x28</log></UpdateInfo>",               // not UTF-8
        "<!DOCTYPE x [<!ENTITY a \"aaaa\">]><UpdateInfo><log>&a;</log></UpdateInfo>",
        "<UpdateInfo a=1></UpdateInfo>",
    };
    for (const char* b : bad) EXPECT_FALSE(parseUpdateInfo(b)) << b;

    std::string deep;
    for (int i = 0; i < 100; ++i) deep += "<a>";
    EXPECT_FALSE(parseUpdateInfo("<UpdateInfo>" + deep + "</UpdateInfo>"));
}

TEST(UpdateInfo, HoldsToTheLimitsOfAddressLogAndSize) {
    auto doc = [](std::string url, std::string log) {
        return "<UpdateInfo><version>9</version><url>" + url + "</url><log>" + log + "</log></UpdateInfo>";
    };
    EXPECT_TRUE(parseUpdateInfo(doc(std::string(512, 'u'), "")));
    // A cut address would lead somewhere else: the answer is refused.
    EXPECT_FALSE(parseUpdateInfo(doc(std::string(513, 'u'), "")));
    // A long log is only text to read: it is cut, not a pair split.
    std::string log(4095, 'l');
    log += "\xF0\x9F\x98\x80";  // one character, two UTF-16 units, across the limit
    auto info = parseUpdateInfo(doc("", log));
    ASSERT_TRUE(info);
    EXPECT_EQ(std::u16string(4095, u'l'), info->log);
    EXPECT_FALSE(parseUpdateInfo(doc("", std::string(MaxUpdateInfoBytes, 'l'))));
}

TEST(DisplayedLog, EveryMarkAndLineBreakIsOneLine) {
    EXPECT_EQ(u"一 \r\n二 \r\n三", displayedLog(u"一[r]二[r]三"));
    EXPECT_EQ(u"a\r\nb\r\nc\r\n[r", displayedLog(u"a\nb\r\nc\r[r"));
}

}  // namespace
}  // namespace zv::installer
