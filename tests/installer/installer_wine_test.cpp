// installer.exe under wine: the package beside this program installs,
// registers the text service for both bitnesses, repairs and uninstalls,
// and bad packages change nothing. The program's message boxes and
// dialogs are answered the way a person would, by window messages. A
// package of the test's own adds fonts and a file for the Windows folder.

#include "installer/core/archive.h"
#include "installer/core/install_plan.h"
#include "installer/core/package_image.h"
#include "platform/utf.h"
#include "tests/installer/generated_font.h"
#include "tests/installer/installer_driver.h"
#include "ui/skin_package.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace zv::installer_test;

// A shortcut's target and arguments.
std::vector<std::wstring> linkOf(const std::wstring& file) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return {};
    std::vector<std::wstring> out;
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
        if (SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
            wchar_t path[MAX_PATH] = {}, arguments[MAX_PATH] = {};
            link->GetPath(path, MAX_PATH, nullptr, 0);
            link->GetArguments(arguments, MAX_PATH);
            out = {path, arguments};
        }
        persist->Release();
    }
    link->Release();
    return out;
}

void expectRefusedAndNothingChanged(const std::wstring& path) {
    const Answered a = drive(path, L"", [] { return true; });
    EXPECT_TRUE(a.saw(L"错误的安装文件，请联系软件发布者获取正确版本。")) << (a.texts.empty() ? L"" : a.texts[0]).size();
    EXPECT_FALSE(keyExists(kInstanceKey));
    EXPECT_FALSE(exists(installDir()));
}

TEST(InstallerPackage, BadPackagesAreRefusedAndChangeNothing) {
    ASSERT_TRUE(exists(package()));
    const std::vector<uint8_t> good = readAll(package());
    const size_t at = *zv::installer::loaderFlagsOffset(good);
    uint32_t split;
    std::memcpy(&split, &good[at], 4);
    std::vector<uint8_t> b = good;
    std::memset(&b[at], 0, 4);
    expectRefusedAndNothingChanged(variant(L"flags-zero.exe", b));
    b = good;
    const uint32_t beyond = static_cast<uint32_t>(good.size() + 10);
    std::memcpy(&b[at], &beyond, 4);
    expectRefusedAndNothingChanged(variant(L"flags-beyond.exe", b));
    // Truncated, and a byte of the data flipped.
    b.assign(good.begin(), good.end() - static_cast<long>((good.size() - split) / 2));
    expectRefusedAndNothingChanged(variant(L"truncated.exe", b));
    // A payload whose entry climbs out of the folder.
    std::vector<uint8_t> program(good.begin(), good.begin() + split);
    std::vector<uint8_t> zip = zv::ui::writeZip({{"..\\..\\evil.txt", {1, 2, 3}}, {"config.exe", {1}}}, true);
    b = program;
    b.insert(b.end(), zip.begin(), zip.end());
    expectRefusedAndNothingChanged(variant(L"climbing.exe", b));
    // A bomb: a million zero bytes claimed as 100.
    zip = zv::ui::writeZip({{"bomb.bin", std::vector<uint8_t>(1 << 20, 0)}}, true);
    for (size_t i = 0; i + 4 <= zip.size(); ++i) {
        uint32_t v;
        std::memcpy(&v, &zip[i], 4);
        if (v == (1u << 20)) {
            const uint32_t claim = 100;
            std::memcpy(&zip[i], &claim, 4);
        }
    }
    b = program;
    b.insert(b.end(), zip.begin(), zip.end());
    expectRefusedAndNothingChanged(variant(L"bomb.exe", b));
    EXPECT_FALSE(exists(programFiles() + L"\\evil.txt"));
}

TEST(InstallerPackage, AFolderThatIsNoFullPathIsRefusedAndChangesNothing) {
    ASSERT_TRUE(exists(package()));
    const Answered a = drive(package(), L"", [] { return true; }, Answers{false, L"VoraZerevo\\ZU86"});
    EXPECT_TRUE(a.saw(L"未能创建，请确定您的当前用户对该目录的访问权限！"));
    EXPECT_TRUE(a.logs.empty());
    EXPECT_FALSE(keyExists(kInstanceKey));
    EXPECT_FALSE(exists(installDir()));
}

TEST(InstallerPackage, InstallsRepairsSwitchesAndUninstallsWithoutLeftovers) {
    ASSERT_TRUE(exists(package()));
    CoInitialize(nullptr);
    // An earlier folder with old files: they are replaced.
    CreateDirectoryW((programFiles() + L"\\VoraZerevo").c_str(), nullptr);
    CreateDirectoryW(installDir().c_str(), nullptr);
    writeAll(installDir() + L"config.exe", {1, 2, 3});
    const Answered installed = drive(package(), L"", [] { return keyExists(kUninstallKey); });
    EXPECT_TRUE(installed.saw(L"欢迎使用 五笔输入法（标准86版） 安装程序"));
    EXPECT_TRUE(installed.saw(L"所选安装目录已经存在，是否继续安装并覆盖安装目录？"));
    EXPECT_TRUE(installed.logged({L"请稍候安装完成....\r\n", L"  1.创建文件系统....", L"  2.设置软件运行环境...",
                                  L"  3.写入卸载信息...", L"  4.备份安装数据...", L"  5.创建开始菜单及桌面快捷方式...",
                                  L"  6.清除安装程序创建的临时文件...", L"  7.安装完成。\r\n"}))
        << (installed.logs.empty() ? L"no log" : installed.logs.back()).size();
    ASSERT_TRUE(keyExists(kInstanceKey));
    EXPECT_EQ(installDir(), readText(kInstanceKey, L"InstallLocation"));
    EXPECT_EQ(L"VoraZerevo86", readText(kInstanceKey, L"IMEName"));
    EXPECT_NE(std::wstring::npos, readText(kUninstallKey, L"UninstallString").find(L"/u"));
    EXPECT_GT(readAll(installDir() + L"config.exe").size(), 3u);
    EXPECT_TRUE(exists(installDir() + L"installer.exe"));
    EXPECT_TRUE(exists(installDir() + L"_backup_.dat"));
    EXPECT_TRUE(exists(installDir() + L"skin.col"));
    const std::wstring data = readText(kInstanceKey, L"DataLocation");
    EXPECT_TRUE(exists(data + L"main.dmg"));
    EXPECT_TRUE(exists(systemFolder(true) + L"VoraZerevo86.ime"));
    EXPECT_TRUE(exists(systemFolder(false) + L"VoraZerevo86.ime"));
    // The class in both views, each naming its own side's library (paths
    // compared as Windows does, without regard to case: a 32-bit installer
    // spells the 64-bit folder from the Windows folder).
    EXPECT_EQ(lowered(systemFolder(true) + L"VoraZerevo86.ime"),
              lowered(readText(std::wstring(kClassKey) + L"\\InprocServer32", L"", KEY_WOW64_64KEY)));
    EXPECT_EQ(lowered(systemFolder(false) + L"VoraZerevo86.ime"),
              lowered(readText(std::wstring(kClassKey) + L"\\InprocServer32", L"", KEY_WOW64_32KEY)));
    EXPECT_TRUE(keyExists(kTipKey, KEY_WOW64_64KEY));
    EXPECT_TRUE(keyExists(kTipKey, KEY_WOW64_32KEY));

    // The settings shortcut starts config.exe for the instance.
    wchar_t programs[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, programs);
    const std::wstring menu = std::wstring(programs) + L"\\五笔输入法（标准86版）\\";
    EXPECT_EQ((std::vector<std::wstring>{installDir() + L"config.exe", std::wstring(L"/n ") + kGuid}),
              linkOf(menu + L"设置五笔输入法（标准86版）.lnk"));
    EXPECT_TRUE(exists(menu + L"卸载五笔输入法（标准86版）.lnk"));

    // Installing again registers nothing twice: it says it is installed.
    const Answered again = drive(package(), L"", [] { return true; });
    EXPECT_TRUE(again.saw(L"已经安装"));

    // Repair restores a deleted file.
    DeleteFileW((installDir() + L"config.exe").c_str());
    const Answered repaired = drive(installDir() + L"installer.exe", std::wstring(L"/n ") + kGuid + L" /r",
                                    [] { return exists(installDir() + L"config.exe"); });
    EXPECT_TRUE(exists(installDir() + L"config.exe"));
    EXPECT_TRUE(repaired.saw(L"五笔输入法（标准86版） - 修复程序|修复|单击“修复”按钮，以将软件恢复到初始状态。"));
    EXPECT_TRUE(repaired.saw(L"是否备份用户词后执行修复操作？"));
    EXPECT_TRUE(repaired.logged({L"请稍候修复完成....\r\n", L"  1.备份用户数据....", L"  2.修复文件系统....",
                                 L"  3.修复软件运行环境...", L"  4.修复开始菜单及桌面快捷方式...",
                                 L"  5.清除安装程序创建的临时文件...", L"  6.修复完成。\r\n"}));

    // The switch removes only the text service, and brings it back.
    drive(installDir() + L"installer.exe", std::wstring(L"/GUID=") + kGuid + L" /EMMODE=0", [] { return true; });
    EXPECT_FALSE(keyExists(kTipKey, KEY_WOW64_64KEY));
    EXPECT_FALSE(keyExists(kClassKey, KEY_WOW64_32KEY));
    EXPECT_TRUE(keyExists(kInstanceKey));
    EXPECT_TRUE(exists(systemFolder(true) + L"VoraZerevo86.ime"));
    drive(installDir() + L"installer.exe", std::wstring(L"/GUID=") + kGuid + L" /EMMODE=1", [] { return true; });
    EXPECT_TRUE(keyExists(kTipKey, KEY_WOW64_64KEY));
    EXPECT_TRUE(keyExists(kClassKey, KEY_WOW64_32KEY));

    // Uninstall runs from the temporary copy and leaves nothing of ours.
    // Its backup question answered yes: the user words land under Documents.
    wchar_t documents[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, documents);
    const std::wstring exported = std::wstring(documents) + L"\\[ VoraZerevo86 ]\\导出 - 用户词条.txt";
    DeleteFileW(exported.c_str());
    const Answered removed = drive(installDir() + L"installer.exe", std::wstring(L"/n ") + kGuid + L" /u",
                                   [] { return !keyExists(kUninstallKey); }, Answers{true});
    Sleep(1500);
    EXPECT_TRUE(removed.saw(L"是否备份用户词后执行卸载操作？"));
    EXPECT_TRUE(exists(exported));
    DeleteFileW(exported.c_str());
    RemoveDirectoryW((std::wstring(documents) + L"\\[ VoraZerevo86 ]").c_str());
    EXPECT_TRUE(removed.logged({L"请稍候卸载完成...\r\n", L"  1.卸载输入接口...", L"  2.删除语言栏项目...",
                                L"  3.删除文件系统...", L"  4.删除快捷方式...", L"  5.卸载字体...",
                                L"  6.卸载软件信息...", L"  7.卸载完成。\r\n"}));
    EXPECT_FALSE(keyExists(kInstanceKey));
    EXPECT_FALSE(keyExists(L"Software\\ZorvanIME3"));
    EXPECT_FALSE(keyExists(kUninstallKey));
    EXPECT_FALSE(keyExists(kClassKey, KEY_WOW64_64KEY));
    EXPECT_FALSE(keyExists(kClassKey, KEY_WOW64_32KEY));
    EXPECT_FALSE(keyExists(kTipKey, KEY_WOW64_64KEY));
    EXPECT_FALSE(keyExists(kTipKey, KEY_WOW64_32KEY));
    EXPECT_FALSE(exists(installDir()));
    EXPECT_FALSE(exists(data));
    EXPECT_FALSE(exists(systemFolder(true) + L"VoraZerevo86.ime"));
    EXPECT_FALSE(exists(systemFolder(false) + L"VoraZerevo86.ime"));
    EXPECT_FALSE(exists(menu));
    RemoveDirectoryW((programFiles() + L"\\VoraZerevo").c_str());
}

// The shipped package's entries and a font, a damaged font and a file for
// the Windows folder, as a package beside this program.
std::wstring packageWithFonts() {
    const std::vector<uint8_t> good = readAll(package());
    const auto parts = zv::installer::splitPackage(good);
    if (!parts) return {};
    struct Collect : zv::installer::EntryReceiver {
        std::vector<zv::ui::ZipEntry> entries;
        bool beginFolder(const std::u16string&) override { return true; }
        bool beginFile(const std::u16string& path) override {
            entries.push_back({zv::utf16ToUtf8(path), {}});
            return true;
        }
        bool write(const uint8_t* data, size_t size) override {
            entries.back().data.insert(entries.back().data.end(), data, data + size);
            return true;
        }
        bool endFile(bool) override { return true; }
    } collect;
    if (zv::installer::extractArchive(parts->archive, collect).status != zv::installer::ArchiveStatus::Ok) return {};
    using namespace zv::test_fonts;
    collect.entries.push_back({"$fonts$\\VoraTestSans.ttf", face(nameTable({windows(4, u"Vora Test Sans")}))});
    collect.entries.push_back({"$fonts$\\VoraBroken.ttf", ascii("no font at all, only words")});
    collect.entries.push_back({"$windows$\\VoraZerevoTest\\note.txt", {1, 2, 3}});
    std::vector<uint8_t> b(parts->program.begin(), parts->program.end());
    const std::vector<uint8_t> zip = zv::ui::writeZip(collect.entries, true);
    b.insert(b.end(), zip.begin(), zip.end());
    return variant(L"with-fonts.exe", b);
}

std::wstring knownFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, 0, path);
    return std::wstring(path) + L"\\";
}

std::wstring workingFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, path);
    std::wstring p = path;
    if (!p.empty() && p.back() != L'\\') p += L'\\';
    return p + L"$zorvanInstaller$";
}

// The temporary copy's folder goes a moment after the copy has ended.
bool goneWithin(const std::wstring& path, DWORD ms) {
    for (DWORD waited = 0; waited < ms && exists(path); waited += 250) Sleep(250);
    return !exists(path);
}

// The file version's high part (major, minor) in a library's version
// resource; `replace` writes another one there.
uint32_t fileVersionHigh(std::vector<uint8_t>& bytes, std::optional<uint32_t> replace = std::nullopt) {
    constexpr uint32_t kSignature = 0xFEEF04BD;
    for (size_t i = 0; i + 12 <= bytes.size(); i += 4) {
        uint32_t v;
        std::memcpy(&v, &bytes[i], 4);
        if (v != kSignature) continue;
        if (replace) std::memcpy(&bytes[i + 8], &*replace, 4);
        std::memcpy(&v, &bytes[i + 8], 4);
        return v;
    }
    return 0;
}

constexpr wchar_t kFontList[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

// What the test program does when it stands in for a running program of
// the product's: it waits until the installer ends it.
constexpr wchar_t kStayUntilEnded[] = L"--stay-until-ended";

TEST(HeldProgram, StaysUntilTheInstallerEndsIt) {
    if (!wcsstr(GetCommandLineW(), kStayUntilEnded)) GTEST_SKIP() << "only as a stand-in for a running program";
    Sleep(kWaitMs);
}

TEST(InstallerPackage, FontsWindowsFilesOlderFilesHeldFilesAndTheWorkingFolder) {
    ASSERT_TRUE(exists(package()));
    ASSERT_FALSE(keyExists(kInstanceKey)) << "an earlier test left the instance installed";
    CoInitialize(nullptr);
    const std::wstring withFonts = packageWithFonts();
    ASSERT_FALSE(withFonts.empty());
    const std::wstring fonts = knownFolder(CSIDL_FONTS);
    const std::wstring windowsFile = knownFolder(CSIDL_WINDOWS) + L"VoraZerevoTest\\note.txt";

    const Answered installed = drive(withFonts, L"", [] { return keyExists(kUninstallKey); });
    EXPECT_TRUE(installed.logged({L"  1.创建文件系统....", L"      字体文件已损坏，跳过: VoraBroken.ttf",
                                  L"  2.设置软件运行环境...", L"  7.安装完成。\r\n"}))
        << (installed.logs.empty() ? L"no log" : installed.logs.back()).size();
    EXPECT_EQ(L"VoraTestSans.ttf", readText(kFontList, L"Vora Test Sans (TrueType)", KEY_WOW64_64KEY));
    EXPECT_TRUE(exists(fonts + L"VoraTestSans.ttf"));
    EXPECT_FALSE(exists(fonts + L"VoraBroken.ttf"));
    EXPECT_TRUE(exists(windowsFile));
    EXPECT_TRUE(goneWithin(workingFolder(), 3000)) << "the working folder stays after the install";

    // Repair over an older library asks before replacing it, and a file
    // held open brings up the conflict dialog; freed, the retry succeeds.
    const std::wstring ime = systemFolder(false) + L"VoraZerevo86.ime";
    std::vector<uint8_t> library = readAll(ime);
    const uint32_t shipped = fileVersionHigh(library);
    ASSERT_NE(0u, shipped) << "the library carries no version resource";
    // The programs state the library's version: one release, one number.
    for (const wchar_t* program : {L"config.exe", L"installer.exe"}) {
        std::vector<uint8_t> bytes = readAll(installDir() + program);
        EXPECT_EQ(shipped, fileVersionHigh(bytes)) << program;
    }
    fileVersionHigh(library, 0x00010000);
    writeAll(ime, library);
    HANDLE held = CreateFileW((installDir() + L"skin.col").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    Answers answers;
    answers.beforeRetry = [&] {
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        held = INVALID_HANDLE_VALUE;
    };
    const Answered repaired = drive(installDir() + L"installer.exe", std::wstring(L"/n ") + kGuid + L" /r",
                                    [&] {
                                        std::vector<uint8_t> now = readAll(ime);
                                        return fileVersionHigh(now) == shipped;
                                    },
                                    answers);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    EXPECT_TRUE(repaired.saw(L"目标文件已存在，并且版本号 低于 安装程序版本，是否替换已有文件？\r\n目标文件: "));
    EXPECT_TRUE(repaired.saw(L"文件访问冲突|请关闭下列进程后重试操作:"));
    EXPECT_TRUE(repaired.logged({L"  2.修复文件系统....", L"  6.修复完成。\r\n"}));
    library = readAll(ime);
    EXPECT_EQ(shipped, fileVersionHigh(library));
    EXPECT_TRUE(goneWithin(workingFolder(), 8000)) << "the working folder stays after the repair";

    // A running program of ours holds its file (here the test program put in
    // the settings program's place): the conflict dialog names the file and
    // its process, and 强制结束(&E) ends that process before the file is
    // placed again.
    const std::wstring settingsProgram = installDir() + L"config.exe";
    const std::vector<uint8_t> shippedSettings = readAll(settingsProgram);
    ASSERT_TRUE(CopyFileW((folderOfThisProgram() + L"installer_tests.exe").c_str(), settingsProgram.c_str(), FALSE));
    {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION holder{};
        std::wstring line = L"\"" + settingsProgram + L"\" --gtest_filter=HeldProgram.* " + kStayUntilEnded;
        ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &holder));
        CloseHandle(holder.hThread);
        Sleep(2000);
        Answers ending;
        ending.endHolders = true;
        const Answered ended = drive(installDir() + L"installer.exe", std::wstring(L"/n ") + kGuid + L" /r",
                                     [&] { return readAll(settingsProgram) == shippedSettings; }, ending);
        const bool gone = WaitForSingleObject(holder.hProcess, 5000) == WAIT_OBJECT_0;
        DWORD code = 0;
        GetExitCodeProcess(holder.hProcess, &code);
        if (!gone) TerminateProcess(holder.hProcess, 9);
        CloseHandle(holder.hProcess);
        EXPECT_TRUE(ended.saw(L"文件访问冲突|" + settingsProgram + L"\r\n已经运行，请关闭该程序后，单击“重试”按钮。|" +
                              std::to_wstring(holder.dwProcessId) + L"  "));
        EXPECT_TRUE(gone && code == 1) << "the holder was not ended by the installer: " << code;
        EXPECT_TRUE(readAll(settingsProgram) == shippedSettings);
        EXPECT_TRUE(ended.logged({L"  2.修复文件系统....", L"  6.修复完成。\r\n"}));
        EXPECT_TRUE(goneWithin(workingFolder(), 8000)) << "the working folder stays after the repair";
    }

    // The settings program has the library loaded: the repair stops before
    // its first step and says why.
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION settings{};
    std::wstring line = L"\"" + installDir() + L"config.exe\" /n " + kGuid;
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &settings));
    CloseHandle(settings.hThread);
    Sleep(3000);
    Answers refused;
    refused.closeIfTurnedBack = true;
    refused.leaveAlone = settings.dwProcessId;
    // Done once the temporary copy has ended and its folder is gone.
    const Answered stopped = drive(installDir() + L"installer.exe", std::wstring(L"/n ") + kGuid + L" /r",
                                   [] { return !exists(workingFolder()); }, refused);
    TerminateProcess(settings.hProcess, 9);
    WaitForSingleObject(settings.hProcess, 5000);
    CloseHandle(settings.hProcess);
    EXPECT_TRUE(stopped.saw(L"提示信息|由于存在载入输入法的进程，修复操作无法继续。请重新启动计算机后重新运行修复程序。"));
    EXPECT_TRUE(stopped.logs.empty()) << "the repair ran its steps";

    // Uninstall takes the font and the Windows folder's file it added.
    const Answered removed = drive(installDir() + L"installer.exe", std::wstring(L"/n ") + kGuid + L" /u",
                                   [] { return !keyExists(kUninstallKey); });
    EXPECT_TRUE(removed.logged({L"  5.卸载字体...", L"  7.卸载完成。\r\n"}));
    EXPECT_EQ(L"", readText(kFontList, L"Vora Test Sans (TrueType)", KEY_WOW64_64KEY));
    EXPECT_FALSE(exists(fonts + L"VoraTestSans.ttf"));
    EXPECT_FALSE(keyExists(kInstanceKey));
    EXPECT_TRUE(goneWithin(workingFolder(), 8000)) << "the working folder stays after the uninstall";
    // The Windows folder's file and folder it added go with it.
    EXPECT_FALSE(exists(windowsFile));
    EXPECT_FALSE(exists(knownFolder(CSIDL_WINDOWS) + L"VoraZerevoTest"));
    DeleteFileW(windowsFile.c_str());
    RemoveDirectoryW((knownFolder(CSIDL_WINDOWS) + L"VoraZerevoTest").c_str());
    RemoveDirectoryW((programFiles() + L"\\VoraZerevo").c_str());
}

}  // namespace
