// The request the update check sends: the digest of the adapter addresses,
// the filled template, and the address the shell is asked to open.
#include "installer/update/md5.h"
#include "installer/update/update_request.h"

#include <gtest/gtest.h>

namespace zv::installer {
namespace {

TEST(Md5, MatchesTheTestSuiteOfTheRfcAndBlockBoundaries) {
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", md5Hex(""));
    EXPECT_EQ("0cc175b9c0f1b6a831c399e269772661", md5Hex("a"));
    EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", md5Hex("abc"));
    EXPECT_EQ("f96b697d7cb7938d525a2f31aaf161d0", md5Hex("message digest"));
    EXPECT_EQ("c3fcd3d76192e4007dfb496cca67e13b", md5Hex("abcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ("d174ab98d277d9f5a5611c2c9f419d9f",
              md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"));
    std::string eighty;
    for (int i = 0; i < 8; ++i) eighty += "1234567890";
    EXPECT_EQ("57edf4a22be3c955ac49da2e2107b67a", md5Hex(eighty));
    // The length field fits after 55 bytes, not after 56; 64 fills a block.
    EXPECT_EQ("04364420e25c512fd958a70738aa8f72", md5Hex(std::string(55, 'x')));
    EXPECT_EQ("668a72d5ba17f08e62dabcafad6db14b", md5Hex(std::string(56, 'x')));
    EXPECT_EQ("c1bb4f81d892b2d57947682aeb252456", md5Hex(std::string(64, 'x')));
}

TEST(AdapterDigest, TwoAdaptersGiveTheDigestOfTheirBlankPaddedHex) {
    std::vector<HardwareAddress> adapters = {{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}, {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F}};
    EXPECT_EQ(" 01a2b3c4d5e a b c d e f", hardwareAddressText(adapters));
    EXPECT_EQ(u"c98bab0f7c75c339e01f4641742652ae", adapterDigest(adapters));
    EXPECT_EQ(u"", adapterDigest({}));
}

TEST(UpdateUrl, FillsEveryPlaceholderAndLeavesTheRest) {
    RequestValues v{u"0.18", u"{69a0c870-80e4-4cf1-9230-7672f125a919}", u"c98bab0f7c75c339e01f4641742652ae"};
    EXPECT_EQ(u"http://example.test/download/update.php?v=0.18&g=69A0C87080E44CF192307672F125A919"
              u"&m=c98bab0f7c75c339e01f4641742652ae",
              expandUpdateUrl(u"http://example.test/download/update.php?v={version}&g={guid}&m={macaddr}", v));
    // Repeated, unknown and unfinished placeholders.
    EXPECT_EQ(u"0.18/0.18/{other}/{guid", expandUpdateUrl(u"{version}/{version}/{other}/{guid", v));
    v.version.clear();
    v.macDigest.clear();
    EXPECT_EQ(u"v=0.0.0.0&m=", expandUpdateUrl(u"v={version}&m={macaddr}", v));
}

TEST(DownloadAddress, OnlyWebAndFtpAddressesAreOpenedAsTheyAre) {
    EXPECT_EQ(u"http://example.test/setup.exe", downloadAddress(u"example.test/setup.exe"));
    EXPECT_EQ(u"HTTPS://example.test/a", downloadAddress(u"HTTPS://example.test/a"));
    EXPECT_EQ(u"ftp://example.test/a", downloadAddress(u"ftp://example.test/a"));
    // Beginning with "http" is not enough: that could be a file beside the program.
    EXPECT_EQ(u"http://httpd.exe", downloadAddress(u"httpd.exe"));
    EXPECT_EQ(u"http://file:///C:/Windows/notepad.exe", downloadAddress(u"file:///C:/Windows/notepad.exe"));
}

}  // namespace
}  // namespace zv::installer
