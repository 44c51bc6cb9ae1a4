// The installer's portable core: what a command line asks for, which
// packages are refused before anything is written, and what an install
// writes where.

#include "engine/config_store.h"
#include "engine/default_store.h"
#include "installer/core/archive.h"
#include "installer/core/command_line.h"
#include "installer/core/font_names.h"
#include "installer/core/install_plan.h"
#include "installer/core/package_image.h"
#include "installer/core/package_settings.h"
#include "installer/core/pending_renames.h"
#include "ui/skin_package.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace zv::installer {
namespace {

constexpr char16_t kGuid[] = u"{6F3A8E21-5C4B-4D97-A1E0-2B7C9D4F8A63}";

TEST(InstallerCommandLine, ModesFollowTheirPrecedence) {
    EXPECT_EQ(Mode::Install, parseInstallerCommand(u"").mode);
    EXPECT_EQ(Mode::Uninstall, parseInstallerCommand(u"/n {G} /u").mode);
    // Later in the order uninstall, repair, clean, update wins, wherever it stands.
    EXPECT_EQ(Mode::Repair, parseInstallerCommand(u"-R /u").mode);
    EXPECT_EQ(Mode::CleanOnly, parseInstallerCommand(u"/z /r /U").mode);
    EXPECT_EQ(Mode::Update, parseInstallerCommand(u"/g /z /u").mode);
    // "/GUID=" beats all of them; "/g" is not read out of "/GUID=".
    InstallerCommand c = parseInstallerCommand(u"/u /GUID={A} /EMMODE=2");
    EXPECT_EQ(Mode::ServiceSwitch, c.mode);
    EXPECT_EQ(u"{A}", c.switchGuid);
    EXPECT_EQ(2, c.serviceMode);
    EXPECT_EQ(0, parseInstallerCommand(u"/GUID={A} /EMMODE=0").serviceMode);
    EXPECT_EQ(0, parseInstallerCommand(u"/GUID={A} /EMMODE=7").serviceMode);
    EXPECT_EQ(Mode::Install, parseInstallerCommand(u"/GUIDX").mode);
    // Letters inside a word or a path are not options.
    EXPECT_EQ(Mode::Install, parseInstallerCommand(u"C:\\my-reports\\setup/u.exe").mode);
}

TEST(InstallerCommandLine, InstanceIsCutAtABlankAndAtFortyUnits) {
    InstallerCommand c = parseInstallerCommand(u"/r /n {6F3A8E21-5C4B-4D97-A1E0-2B7C9D4F8A63} /f");
    EXPECT_EQ(kGuid, c.instance);
    EXPECT_TRUE(c.temporaryCopy);
    EXPECT_EQ(MaxGuidUnits, parseInstallerCommand(u"-n " + std::u16string(60, u'x')).instance.size());
    EXPECT_FALSE(parseInstallerCommand(u"/n {G}").temporaryCopy);
    EXPECT_EQ(u"/n {G} /u /f", temporaryCopyCommand(u"/n {G} /u  "));
}

TEST(InstallerCommandLine, OnlyBracedGuidsAreGuids) {
    EXPECT_TRUE(isBracedGuid(kGuid));
    EXPECT_TRUE(isBracedGuid(u"{6f3a8e21-5c4b-4d97-a1e0-2b7c9d4f8a63}"));
    EXPECT_FALSE(isBracedGuid(u"6F3A8E21-5C4B-4D97-A1E0-2B7C9D4F8A63"));
    EXPECT_FALSE(isBracedGuid(u"{6F3A8E21-5C4B-4D97-A1E0-2B7C9D4F8A6G}"));
    EXPECT_FALSE(isBracedGuid(u"{6F3A8E21+5C4B-4D97-A1E0-2B7C9D4F8A63}"));
    EXPECT_FALSE(isBracedGuid(u"/EMMODE=0"));
}

// A minimal PE image: DOS header, signature, COFF header and an optional
// header of the given magic.
std::vector<uint8_t> peImage(uint16_t magic, size_t size = 1024) {
    std::vector<uint8_t> b(size, 0);
    b[0] = 'M';
    b[1] = 'Z';
    const uint32_t pe = 128;
    std::memcpy(&b[60], &pe, 4);
    std::memcpy(&b[pe], "PE\0\0", 4);
    const uint16_t optionalSize = magic == 0x20B ? 240 : 224;
    std::memcpy(&b[pe + 4 + 16], &optionalSize, 2);
    std::memcpy(&b[pe + 24], &magic, 2);
    return b;
}

TEST(PackageImage, LoaderFlagsSplitsOnlyInsideTheFile) {
    for (uint16_t magic : {uint16_t(0x10B), uint16_t(0x20B)}) {
        std::vector<uint8_t> program = peImage(magic);
        // An ordinary program (LoaderFlags 0) is no package.
        std::vector<uint8_t> file = program;
        file.insert(file.end(), 100, 0x55);
        EXPECT_FALSE(splitPackage(file));
        ASSERT_TRUE(markProgramImage(program));
        file = program;
        // The program alone: the split lies at the end of the file.
        EXPECT_FALSE(splitPackage(file));
        file.insert(file.end(), 100, 0x55);
        auto parts = splitPackage(file);
        ASSERT_TRUE(parts);
        EXPECT_EQ(program.size(), parts->program.size());
        EXPECT_EQ(100u, parts->archive.size());
        // Beyond the file.
        const size_t at = *loaderFlagsOffset(file);
        const uint32_t beyond = static_cast<uint32_t>(file.size() + 1);
        std::memcpy(&file[at], &beyond, 4);
        EXPECT_FALSE(splitPackage(file));
    }
    // Truncated headers and other magics are not images.
    std::vector<uint8_t> cut = peImage(0x10B);
    cut.resize(140);
    EXPECT_FALSE(loaderFlagsOffset(cut));
    EXPECT_FALSE(loaderFlagsOffset(peImage(0x107)));
    std::vector<uint8_t> wild = peImage(0x10B);
    const uint32_t far = 0xFFFFFFF0u;
    std::memcpy(&wild[60], &far, 4);
    EXPECT_FALSE(loaderFlagsOffset(wild));
}

TEST(ArchiveNames, NamesThatLeaveTheFolderAreRefused) {
    EXPECT_EQ(u"$dataFiles$\\main.dmg", safeEntryPath(u"$dataFiles$/main.dmg"));
    EXPECT_EQ(u"zoruraved", safeEntryPath(u"zoruraved/"));
    for (std::u16string_view bad :
         {u"..\\evil.dll", u"../evil.dll", u"a/../../b", u"\\windows\\x", u"/etc/x", u"C:\\x", u"c:x", u"a//b",
          u"a/./b", u"file.txt:stream", u"NUL", u"con.txt", u"lpt1", u"trailing.", u"blank ", u"a\x01b", u"",
          u"a<b", u"x//"})
        EXPECT_FALSE(safeEntryPath(bad)) << std::string(bad.begin(), bad.end());
    EXPECT_FALSE(safeEntryPath(std::u16string(201, u'a')));
}

// Collects what an extraction delivers.
struct MemoryReceiver : EntryReceiver {
    std::map<std::u16string, std::vector<uint8_t>> files;
    std::u16string current;
    std::vector<uint8_t> data;
    bool failWrites = false;
    bool beginFolder(const std::u16string&) override { return true; }
    bool beginFile(const std::u16string& path) override {
        current = path;
        data.clear();
        return true;
    }
    bool write(const uint8_t* p, size_t n) override {
        if (failWrites) return false;
        data.insert(data.end(), p, p + n);
        return true;
    }
    bool endFile(bool complete) override {
        if (complete) files[current] = data;
        return true;
    }
};

std::vector<uint8_t> zipOf(std::vector<ui::ZipEntry> entries, bool deflate = true) {
    return ui::writeZip(entries, deflate);
}

TEST(ArchiveReading, ExtractsEveryEntryAndReportsEachLine) {
    const std::vector<uint8_t> zip = zipOf({{"$dataFiles$/main.dmg", std::vector<uint8_t>(70000, 7)},
                                            {"config.exe", {1, 2, 3}}});
    MemoryReceiver r;
    std::vector<std::u16string> lines;
    uint64_t lastDone = 0, lastTotal = 0;
    ArchiveReport report = extractArchive(
        zip, r, {}, [&](uint64_t d, uint64_t t) { lastDone = d, lastTotal = t; },
        [&](const std::u16string& p, bool ok) { lines.push_back((ok ? u"+" : u"-") + p); });
    ASSERT_EQ(ArchiveStatus::Ok, report.status);
    EXPECT_EQ(2u, report.entries);
    EXPECT_EQ(std::vector<uint8_t>(70000, 7), r.files[u"$dataFiles$\\main.dmg"]);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), r.files[u"config.exe"]);
    EXPECT_EQ((std::vector<std::u16string>{u"+$dataFiles$\\main.dmg", u"+config.exe"}), lines);
    EXPECT_EQ(70003u, lastDone);
    EXPECT_EQ(70003u, lastTotal);
}

TEST(ArchiveReading, BadPackagesAreRefusedBeforeAnythingIsWritten) {
    // A climbing name after a good entry: the good one is not delivered either.
    MemoryReceiver r;
    ArchiveReport report = extractArchive(zipOf({{"ok.txt", {1}}, {"..\\evil.dll", {2}}}), r);
    EXPECT_EQ(ArchiveStatus::UnsafePath, report.status);
    EXPECT_EQ(u"..\\evil.dll", report.entry);
    EXPECT_TRUE(r.files.empty());

    // Too many entries, too large an entry, too large a whole.
    ArchiveLimits small;
    small.maxEntries = 2;
    small.maxEntryBytes = 1000;
    small.maxTotalBytes = 1500;
    EXPECT_EQ(ArchiveStatus::TooMany, extractArchive(zipOf({{"a", {1}}, {"b", {1}}, {"c", {1}}}), r, small).status);
    EXPECT_EQ(ArchiveStatus::TooLarge,
              extractArchive(zipOf({{"a", std::vector<uint8_t>(1001, 0)}}), r, small).status);
    EXPECT_EQ(ArchiveStatus::TooLarge, extractArchive(zipOf({{"a", std::vector<uint8_t>(800, 0)},
                                                             {"b", std::vector<uint8_t>(800, 0)}}),
                                                      r, small)
                                           .status);
    // Two entries for one file.
    EXPECT_EQ(ArchiveStatus::Damaged, extractArchive(zipOf({{"a.txt", {1}}, {"A.TXT", {2}}}), r).status);
    EXPECT_TRUE(r.files.empty());
    // Not an archive; an empty file.
    EXPECT_EQ(ArchiveStatus::Damaged, extractArchive(std::vector<uint8_t>(100, 0x41), r).status);
    EXPECT_EQ(ArchiveStatus::Damaged, extractArchive({}, r).status);
}

TEST(ArchiveReading, LiesAndDamageInTheDataAreCaught) {
    const std::vector<uint8_t> bytes(4096, 9);
    const std::vector<uint8_t> good = zipOf({{"big.bin", bytes}}, false);
    MemoryReceiver r;
    // A bomb whose headers claim a small size: the stored entry's local and
    // central sizes say 16 bytes, the data holds 4096.
    std::vector<uint8_t> bomb = good;
    for (size_t i = 0; i + 4 <= bomb.size(); ++i) {
        uint32_t v;
        std::memcpy(&v, &bomb[i], 4);
        if (v == 4096) {
            const uint32_t small = 16;
            std::memcpy(&bomb[i], &small, 4);
        }
    }
    EXPECT_NE(ArchiveStatus::Ok, extractArchive(bomb, r).status);
    EXPECT_TRUE(r.files.empty());
    // A flipped data byte fails the checksum; a cut archive is damaged.
    std::vector<uint8_t> flipped = good;
    flipped[60] ^= 0xFF;
    EXPECT_EQ(ArchiveStatus::Damaged, extractArchive(flipped, r).status);
    std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
    EXPECT_EQ(ArchiveStatus::Damaged, extractArchive(cut, r).status);
    EXPECT_TRUE(r.files.empty());
    // A receiver that cannot write ends the extraction.
    r.failWrites = true;
    EXPECT_EQ(ArchiveStatus::WriteFailed, extractArchive(good, r).status);
}

std::vector<uint8_t> shippedConfig() { return shippedConfigStore(); }

TEST(PackageSettings, TheShippedSettingsNameTheLibrarysInstance) {
    auto p = readPackageSettings(shippedConfig());
    ASSERT_TRUE(p);
    EXPECT_EQ(kGuid, p->guid);
    EXPECT_EQ(u"五笔输入法（标准86版）", p->displayName);
    EXPECT_EQ(u"五笔 - 标准86版", p->languageName);
    EXPECT_EQ(u"VoraZerevo86", p->imeName);
    EXPECT_EQ(0x0804, p->language);
    EXPECT_TRUE(p->framework);
    // A damaged file, and names that would leave their folders.
    EXPECT_FALSE(readPackageSettings(std::vector<uint8_t>(200, 0)));
    std::vector<uint8_t> bad = shippedConfig();
    SettingsBlocks blocks = findBlocks(bad.data(), static_cast<uint32_t>(bad.size()));
    blocks.soft.setText(SoftSettings::Identifier, 40, u"..\\..\\evil");
    EXPECT_FALSE(readPackageSettings(bad));
}

TEST(PackageSettings, OnlyATraditionalStyleWithTheFrameworkIsSwitched) {
    std::vector<uint8_t> config = shippedConfig();
    SettingsBlocks blocks = findBlocks(config.data(), static_cast<uint32_t>(config.size()));
    blocks.ime.setU32(ImeSettings::OptionA, blocks.ime.a() & ~uint32_t(ImeSettings::A_StyleMask));
    EXPECT_TRUE(switchToEmbeddedStyle(config));
    blocks = findBlocks(config.data(), static_cast<uint32_t>(config.size()));
    EXPECT_EQ(uint32_t(ImeSettings::A_StyleEmbedCode), blocks.ime.a() & ImeSettings::A_StyleMask);
    // Already a text-service style: unchanged.
    blocks.ime.setU32(ImeSettings::OptionA, (blocks.ime.a() & ~uint32_t(ImeSettings::A_StyleMask)) |
                                                ImeSettings::A_StyleTsfClassic);
    EXPECT_FALSE(switchToEmbeddedStyle(config));
    // Without the framework the traditional style stays.
    blocks.ime.setU32(ImeSettings::OptionA, blocks.ime.a() & ~uint32_t(ImeSettings::A_StyleMask));
    blocks.ime.setBit(ImeSettings::OptionC, ImeSettings::C_Framework, false);
    EXPECT_FALSE(switchToEmbeddedStyle(config));
}

TEST(InstallPlan, PlacesValuesAndShortcutsOfOneInstance) {
    const PackageSettings p = *readPackageSettings(shippedConfig());
    MachineFolders m{u"C:\\windows\\syswow64\\", u"C:\\windows\\system32\\", u"C:\\ProgramData\\",
                     u"C:\\ProgramData\\Start Menu\\Programs\\", u"C:\\Program Files\\"};
    const InstallPlaces places = placesFor(m, p, u"D:\\IME");
    EXPECT_EQ(u"D:\\IME\\", places.installDir);
    EXPECT_EQ(std::u16string(u"C:\\ProgramData\\ZorvanIME3\\") + kGuid + u"\\", places.dataDir);
    EXPECT_EQ(u"C:\\windows\\syswow64\\VoraZerevo86.ime", places.ime32);
    EXPECT_EQ(u"C:\\windows\\system32\\VoraZerevo86.ime", places.ime64);
    EXPECT_EQ(u"C:\\Program Files\\VoraZerevo\\ZU86\\", defaultInstallFolder(m, p));
    m.system64.clear();
    EXPECT_TRUE(placesFor(m, p, u"D:\\IME").ime64.empty());

    std::map<std::u16string, RegistryItem> values;
    for (const RegistryItem& i : instanceValues(p, places)) values[i.name] = i;
    EXPECT_EQ(9u, values.size());
    EXPECT_EQ(u"D:\\IME\\", values[u"InstallLocation"].text);
    EXPECT_EQ(u"VoraZerevo86", values[u"IMEName"].text);
    EXPECT_TRUE(values[u"LANGID"].isDword);
    EXPECT_EQ(2052u, values[u"LANGID"].dword);
    std::map<std::u16string, RegistryItem> entry;
    for (const RegistryItem& i : uninstallValues(p, places, u"owner", u"company", u"E:\\")) entry[i.name] = i;
    EXPECT_EQ(std::u16string(u"\"D:\\IME\\installer.exe\" /n ") + kGuid + u" /u", entry[u"UninstallString"].text);
    EXPECT_EQ(u"D:\\IME\\main.chm", entry[u"HelpLink"].text);
    EXPECT_EQ(u"owner", entry[u"RegOwner"].text);

    const auto links = shortcutsFor(p, places, false);
    ASSERT_EQ(5u, links.size());
    EXPECT_EQ(u"C:\\ProgramData\\Start Menu\\Programs\\五笔输入法（标准86版）\\设置五笔输入法（标准86版）.lnk",
              links[0].file);
    EXPECT_EQ(u"D:\\IME\\config.exe", links[0].target);
    EXPECT_EQ(std::u16string(u"/n ") + kGuid, links[0].arguments);
    EXPECT_EQ(6u, shortcutsFor(p, places, true).size());
}

TEST(InstallPlan, EntriesGoToTheirFoldersAndVersionsDecideTheRegistration) {
    EXPECT_EQ(Destination::DataFolder, placeOfEntry(u"$dataFiles$\\main.dmg").destination);
    EXPECT_EQ(u"main.dmg", placeOfEntry(u"$DATAFILES$\\main.dmg").relative);
    EXPECT_EQ(Destination::WindowsFolder, placeOfEntry(u"$windows$\\x\\y.txt").destination);
    EXPECT_EQ(Destination::Fonts, placeOfEntry(u"$fonts$\\a.ttf").destination);
    EXPECT_EQ(Destination::Ime32, placeOfEntry(u"zorvanIME.ime").destination);
    EXPECT_EQ(Destination::Ime64, placeOfEntry(u"ZORVANIME64.IME").destination);
    EXPECT_EQ(Destination::InstallFolder, placeOfEntry(u"zoruraved\\night.col").destination);
    // Only an older program or library of a known version is asked about.
    EXPECT_TRUE(asksBeforeReplacing(u"C:\\W\\SysWOW64\\VoraZerevo86.IME", 0x0003000000000001, 0x0002000000000000));
    EXPECT_TRUE(asksBeforeReplacing(u"config.exe", 0x0003000000000001, 0x0003000000000000));
    EXPECT_FALSE(asksBeforeReplacing(u"config.exe", 0x0003000000000001, 0x0003000000000001));
    EXPECT_FALSE(asksBeforeReplacing(u"config.exe", 0x0003000000000001, 0x0004000000000000));
    EXPECT_FALSE(asksBeforeReplacing(u"config.exe", 0x0003000000000001, 0));
    EXPECT_FALSE(asksBeforeReplacing(u"main.chm", 0x0003000000000001, 0x0001000000000000));
    EXPECT_FALSE(asksBeforeReplacing(u"exe", 0x0003000000000001, 0x0001000000000000));
    EXPECT_FALSE(isWindows8OrLater({6, 1}));
    EXPECT_TRUE(isWindows8OrLater({6, 2}));
    EXPECT_TRUE(isWindows8OrLater({10, 0}));
}

TEST(PendingRenames, OnlyDeletionsAreFoundAndACutListKeepsItsWholePairs) {
    using namespace std::string_view_literals;
    // A rename, two deletions, the list's closing NUL.
    const std::u16string_view list =
        u"\\??\\C:\\old.txt\0!\\??\\C:\\new.txt\0\\??\\C:\\W\\SysWOW64\\VoraZerevo86.ime\0\0"
        u"\\??\\C:\\W\\Fonts\\a.ttf.0000ABCD.old\0\0\0"sv;
    const auto deletions = pendingDeletions(list);
    ASSERT_EQ(2u, deletions.size());
    EXPECT_TRUE(isPendingDeletion(deletions, u"c:/w/syswow64/vorazerevo86.IME"));
    EXPECT_FALSE(isPendingDeletion(deletions, u"C:\\W\\Fonts\\a.ttf"));
    EXPECT_FALSE(isPendingDeletion(deletions, u"C:\\old.txt"));
    // Cut inside the second deletion's path: only the first is whole.
    EXPECT_EQ(1u, pendingDeletions(list.substr(0, list.size() - 12)).size());
    EXPECT_TRUE(pendingDeletions(u"\\??\\C:\\x.txt"sv).empty());
    EXPECT_TRUE(pendingDeletions(u""sv).empty());
    EXPECT_TRUE(pendingDeletions(u"\0\0\0\0"sv).empty());
}

}  // namespace
}  // namespace zv::installer
