// installer.exe: unpacks the package appended to it, installs, repairs and
// uninstalls one input-method instance, and switches its text-service
// registration. Every run does one job and removes its working folder.

#include "installer/core/archive.h"
#include "installer/core/command_line.h"
#include "installer/core/install_plan.h"
#include "installer/core/package_image.h"
#include "installer/core/package_settings.h"
#include "installer/update/update_dialog.h"
#include "installer/win32/file_placement.h"
#include "installer/win32/files.h"
#include "installer/win32/fonts.h"
#include "installer/win32/machine.h"
#include "installer/win32/processes.h"
#include "installer/win32/registry.h"
#include "installer/win32/service_registration.h"
#include "installer/win32/shortcuts.h"
#include "installer/win32/step_dialog.h"
#include "installer/win32/unpack_window.h"
#include "installer/win32/user_words.h"
#include "installer/win32/wide.h"
#include "installer/win32/windows_files.h"
#include "installer/win32/working_folder.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <optional>
#include <string>


namespace zv::installer::win32 {

namespace {

constexpr wchar_t kBadPackage[] = L"错误的安装文件，请联系软件发布者获取正确版本。";
constexpr wchar_t kBadEnvironment[] = L"错误的安装环境，可能程序已经损坏。";

void message(const std::wstring& text, const wchar_t* title, UINT kind = MB_ICONINFORMATION) {
    MessageBoxW(nullptr, text.c_str(), title, MB_OK | kind | MB_SETFOREGROUND);
}

std::wstring workingFolder() { return temporaryFolder() + L"$zorvanInstaller$\\"; }

// Entries written below "zipdatas"; folders made as they are needed.
class FolderReceiver : public EntryReceiver {
public:
    explicit FolderReceiver(std::wstring root) : root_(std::move(root)) {}
    ~FolderReceiver() override { close(); }
    bool beginFolder(const std::u16string& path) override { return makeFolders(root_ + wide(path)); }
    bool beginFile(const std::u16string& path) override {
        path_ = root_ + wide(path);
        const size_t cut = path_.find_last_of(L'\\');
        if (cut != std::wstring::npos && !makeFolders(path_.substr(0, cut))) return false;
        file_ = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        return file_ != INVALID_HANDLE_VALUE;
    }
    bool write(const uint8_t* data, size_t size) override {
        DWORD n = 0;
        return WriteFile(file_, data, static_cast<DWORD>(size), &n, nullptr) && n == size;
    }
    bool endFile(bool complete) override {
        close();
        if (!complete) DeleteFileW(path_.c_str());
        return true;
    }

private:
    void close() {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }
    std::wstring root_, path_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

struct Unpacked {
    std::wstring folder;  // "zipdatas\"
    std::vector<uint8_t> program;
    std::vector<uint8_t> package;
    std::vector<uint8_t> config;
    PackageSettings settings;
};

// Splits the package, writes its two parts into the working folder and
// extracts the archive; nothing when any of it fails.
std::optional<Unpacked> unpack(const std::wstring& source) {
    auto file = readWholeFile(source);
    if (!file) return std::nullopt;
    const auto parts = splitPackage(*file);
    if (!parts) return std::nullopt;
    const std::wstring work = workingFolder();
    Unpacked u;
    u.folder = work + L"zipdatas\\";
    u.program.assign(parts->program.begin(), parts->program.end());
    // The temporary copy that repairs runs as that very "installer.exe".
    const bool running = _wcsicmp((work + L"installer.exe").c_str(), programPath().c_str()) == 0;
    if (!makeFolders(u.folder) || (!running && !writeWholeFile(work + L"installer.exe", u.program)) ||
        !writeWholeFile(work + L"makedata.zip", parts->archive.data(), parts->archive.size()))
        return std::nullopt;
    FolderReceiver receiver(u.folder);
    UnpackWindow window;
    const ArchiveReport report = extractArchive(
        parts->archive, receiver, {}, [&](uint64_t done, uint64_t total) { window.progress(done, total); },
        [&](const std::u16string& path, bool ok) {
            window.line(format(ok ? L"Success: %ls" : L"Failure: %ls", wide(path).c_str()));
        });
    if (report.status != ArchiveStatus::Ok) {
        removeTree(u.folder);
        return std::nullopt;
    }
    window.line(L"Completed.");
    auto config = readWholeFile(u.folder + L"$dataFiles$\\config.dsc");
    if (!config) return std::nullopt;
    auto settings = readPackageSettings(*config);
    if (!settings) return std::nullopt;
    u.config = std::move(*config);
    u.settings = std::move(*settings);
    u.package = std::move(*file);
    return u;
}

// Step 1: the package's files into the system, Windows, data and install folders.
bool installFiles(const Unpacked& u, const InstallPlaces& places, HWND owner, const LogLine& log) {
    const std::wstring z = u.folder;
    const Placement how{owner, {wide(places.ime32), wide(places.ime64)}};
    bool ok = makeFolders(wide(places.installDir)) && makeFolders(wide(places.dataDir));
    {
        NativeFileSystem native;
        ok = ok && placeFile(how, z + wide(Ime32Entry), wide(places.ime32));
        if (ok) grantApplicationAccess(wide(places.ime32));
        if (ok && !places.ime64.empty() && fileExists(z + wide(Ime64Entry))) {
            ok = placeFile(how, z + wide(Ime64Entry), wide(places.ime64));
            if (ok) grantApplicationAccess(wide(places.ime64));
        }
    }
    ok = installWindowsFiles(how, z + L"$windows$\\", wide(u.settings.guid)) && ok;
    ok = ok && installFonts(z + L"$fonts$\\", wide(u.settings.guid), log);
    ok = ok && copyTree(how, z + L"$dataFiles$\\", wide(places.dataDir));
    grantApplicationAccess(wide(places.dataDir));
    // Windows 8 and later: the traditional style becomes "TSF-嵌入编码".
    if (ok && isWindows8OrLater(systemVersion())) {
        std::vector<uint8_t> config = u.config;
        if (switchToEmbeddedStyle(config)) ok = writeWholeFile(wide(places.dataDir) + L"config.dsc", config);
    }
    for (const std::wstring& rel : filesBelow(z)) {
        const EntryPlace place = placeOfEntry(utf16(rel));
        if (place.destination != Destination::InstallFolder) continue;
        const std::wstring target = wide(places.installDir) + rel;
        ok = ok && makeFolders(target.substr(0, target.find_last_of(L'\\'))) && placeFile(how, z + rel, target);
    }
    return ok && writeWholeFile(wide(places.installDir) + L"installer.exe", u.program);
}

// Step 2: the instance key, then the input method registered afresh.
ServicePlan servicePlanFor(const std::u16string& guid, uint16_t language, const std::u16string& languageName,
                           const std::u16string& imeName, const InstallPlaces& places) {
    ServicePlan plan;
    plan.guid = wide(guid);
    plan.language = language;
    plan.description = wide(languageName);
    plan.imeFile = wide(imeName) + L".ime";
    plan.ime32 = wide(places.ime32);
    plan.ime64 = wide(places.ime64);
    plan.windows8OrLater = isWindows8OrLater(systemVersion());
    return plan;
}

RegistrationOutcome registerInstance(const PackageSettings& p, const InstallPlaces& places) {
    if (!writeItems(HKEY_LOCAL_MACHINE, wide(instanceKeyFor(p.guid)), instanceValues(p, places)))
        return RegistrationOutcome::Failed;
    ServicePlan plan = servicePlanFor(p.guid, p.language, p.languageName, p.imeName, places);
    plan.enabled = profileEnabled(p, plan.windows8OrLater);
    return registerInputMethod(plan);
}

constexpr wchar_t kComFailure[] = L"COM初始化错误，操作无法继续";

// Step 3: the entry in the system's list of installed programs.
bool writeUninstallEntry(const PackageSettings& p, const InstallPlaces& places, const std::wstring& source) {
    RegistryKey nt = RegistryKey::open(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion");
    const std::wstring sourceFolder = source.substr(0, source.find_last_of(L'\\') + 1);
    return writeItems(HKEY_LOCAL_MACHINE, wide(uninstallKeyFor(p.guid)),
                      uninstallValues(p, places, utf16(nt.readText(L"RegisteredOwner").value_or(L"")),
                                      utf16(nt.readText(L"RegisteredOrganization").value_or(L"")),
                                      utf16(sourceFolder)));
}

// Step 4: the package kept for repairs.
bool keepPackage(const Unpacked& u, const InstallPlaces& places) {
    return writeWholeFile(wide(backupPath(places)), u.package);
}

// Step 5: the programs-menu shortcuts.
bool createMenu(const PackageSettings& p, const InstallPlaces& places) {
    return createShortcuts(places.menuFolder, shortcutsFor(p, places, fileExists(wide(places.installDir) + L"main.chm")));
}

constexpr wchar_t kInstallTitle[] = L"输入法安装";

int ask(HWND owner, const std::wstring& text, const wchar_t* title, UINT kind = MB_YESNO | MB_ICONQUESTION) {
    return MessageBoxW(owner, text.c_str(), title, kind);
}

// Install step 1's questions: a missing folder is created after asking, an
// existing one is overwritten after asking. False: the user turned back or
// the folder could not be made, and nothing has been changed.
bool prepareInstallFolder(HWND owner, std::wstring& folder) {
    // Only a full path names one folder: "C:\…" or "\\server\…".
    const bool full = (folder.size() >= 3 && folder[1] == L':' && folder[2] == L'\\') ||
                      (folder.size() >= 3 && folder[0] == L'\\' && folder[1] == L'\\');
    if (!full) {
        ask(owner, format(L"所选安装目录:\r\n%ls\r\n未能创建，请确定您的当前用户对该目录的访问权限！", folder.c_str()),
            L"安装错误？", MB_OK | MB_ICONERROR);
        return false;
    }
    if (folder.back() != L'\\') folder += L'\\';
    if (folderExists(folder)) {
        return ask(owner, L"所选安装目录已经存在，是否继续安装并覆盖安装目录？", kInstallTitle) == IDYES;
    }
    const std::wstring shown = folder.substr(0, folder.size() - 1);
    if (ask(owner, format(L"目录“%ls”不存在。\r\n是否创建该目录？", shown.c_str()), kInstallTitle) != IDYES)
        return false;
    if (!makeFolders(folder)) {
        ask(owner, L"创建目录失败，请确定程序对当前路径的访问权限。", kInstallTitle, MB_OK | MB_ICONERROR);
        return false;
    }
    return true;
}

int install(const std::wstring& source) {
    auto u = unpack(source);
    if (!u) {
        message(kBadPackage, L"安装错误", MB_ICONERROR);
        return 1;
    }
    const PackageSettings& p = u->settings;
    const InstalledInstance existing = readInstance(wide(p.guid));
    if (!existing.installDir.empty() && fileExists(wide(existing.installDir) + L"installer.exe") &&
        fileExists(wide(existing.dataDir) + L"main.dmg") && !existing.displayName.empty()) {
        message(wide(existing.displayName) + L" 已经安装。", kInstallTitle);
        return 0;
    }
    const MachineFolders m = machineFolders();
    StepDialogSetup setup;
    setup.title = kInstallTitle;
    setup.welcome = format(L"欢迎使用 %ls 安装程序", wide(p.displayName).c_str());
    setup.hint = L"请确认相关设定，并单击“安装”按钮，执行安装操作。";
    setup.action = L"安装(&I)";
    setup.choosesFolder = true;
    setup.folder = wide(defaultInstallFolder(m, p));
    return runStepDialog(setup, [&](StepReport& r) {
        std::wstring folder = r.folder();
        if (!prepareInstallFolder(r.owner(), folder)) return StepOutcome::NotStarted;
        const InstallPlaces places = placesFor(m, p, utf16(folder));
        for (const std::u16string& f : filesReplacedInExistingFolder(places)) DeleteFileW(wide(f).c_str());
        if (!makeFolders(wide(places.installDir))) {
            ask(r.owner(),
                format(L"所选安装目录:\r\n%ls\r\n未能创建，请确定您的当前用户对该目录的访问权限！",
                       wide(places.installDir).c_str()),
                L"安装错误？", MB_OK | MB_ICONERROR);
            return StepOutcome::NotStarted;
        }
        auto failed = [&] {
            r.step(100, L"安装程序发生错误！");
            return StepOutcome::Failed;
        };
        r.step(0, L"请稍候安装完成....\r\n");
        r.step(10, L"  1.创建文件系统....");
        if (!installFiles(*u, places, r.owner(), [&](const std::wstring& line) { r.step(10, line); }))
            return failed();
        r.step(25, L"  2.设置软件运行环境...");
        if (const RegistrationOutcome o = registerInstance(p, places); o != RegistrationOutcome::Done) {
            if (o == RegistrationOutcome::ComFailure) r.step(100, kComFailure);
            return o == RegistrationOutcome::ComFailure ? StepOutcome::Failed : failed();
        }
        r.step(40, L"  3.写入卸载信息...");
        if (!writeUninstallEntry(p, places, source)) return failed();
        r.step(55, L"  4.备份安装数据...");
        if (!keepPackage(*u, places)) return failed();
        r.step(70, L"  5.创建开始菜单及桌面快捷方式...");
        if (!createMenu(p, places)) return failed();
        r.step(85, L"  6.清除安装程序创建的临时文件...");
        r.pause(300);
        r.step(100, L"  7.安装完成。\r\n");
        return StepOutcome::Done;
    });
}

constexpr wchar_t kNoticeTitle[] = L"提示信息";

// Whether a process has the input method's library of either side loaded.
bool inputMethodInUse(const InstallPlaces& places) {
    const std::vector<std::wstring> libraries = {wide(places.ime32), wide(places.ime64)};
    if (!processesUsing(libraries).empty()) return true;
    NativeFileSystem native;
    for (const std::wstring& library : libraries)
        if (!library.empty() && fileExists(library) && isHeldOpen(library)) return true;
    return false;
}

// "是否备份用户词后执行…操作？": yes writes the user words of main.dmg into
// the Documents folder the way the settings program exports them.
// False when the backup was wanted and failed: the words are not removed
// without the copy the user asked for.
bool offerUserWordBackup(HWND owner, const InstalledInstance& i, const wchar_t* question) {
    if (ask(owner, question, L"操作提示") != IDYES) return true;
    if (exportUserWords(i.dataDir, i.imeName)) return true;
    ask(owner, L"用户词条导出失败，操作没有执行。", L"操作提示", MB_OK | MB_ICONERROR);
    return false;
}

// The folders the install made above the install folder (the scheme
// folder's parents below the programs-files folder) go once they are empty;
// a folder that still holds anything stays.
void removeEmptyParents(std::wstring folder, const std::wstring& programFiles) {
    while (folder.size() > programFiles.size() && _wcsnicmp(folder.c_str(), programFiles.c_str(), programFiles.size()) == 0) {
        if (folder.back() == L'\\') folder.pop_back();
        const size_t cut = folder.find_last_of(L'\\');
        if (cut == std::wstring::npos) return;
        folder.resize(cut + 1);
        if (folder.size() <= programFiles.size() || !RemoveDirectoryW(folder.c_str())) return;
    }
}

int uninstall(const std::wstring& guid) {
    const InstalledInstance i = readInstance(guid);
    if (!i.completeForUninstall()) {
        message(kBadEnvironment, L"卸载错误", MB_ICONERROR);
        return 1;
    }
    const MachineFolders m = machineFolders();
    PackageSettings p;
    p.guid = i.guid;
    p.imeName = i.imeName;
    p.displayName = i.displayName;
    const InstallPlaces places = placesFor(m, p, i.installDir);
    StepDialogSetup setup;
    setup.title = wide(i.displayName) + L" - 卸载程序";
    setup.welcome = L"卸载";
    setup.hint = format(L"单击“卸载”按钮，从计算机中移除 %ls .", wide(i.displayName).c_str());
    setup.action = L"卸载(&U)";
    setup.doneHint = L"请单击“完成”按钮退出卸载程序。";
    return runStepDialog(setup, [&](StepReport& r) {
        if (!offerUserWordBackup(r.owner(), i, L"是否备份用户词后执行卸载操作？")) return StepOutcome::NotStarted;
        if (inputMethodInUse(places)) {
            ask(r.owner(), L"由于存在载入输入法的进程，卸载操作无法继续。请重新启动计算机后重新运行卸载程序。", kNoticeTitle,
                MB_OK | MB_ICONWARNING);
            return StepOutcome::NotStarted;
        }
        SetDlgItemTextW(r.owner(), StepHintId, format(L"正在卸载 %ls ，请稍候。", wide(i.displayName).c_str()).c_str());
        r.step(0, L"请稍候卸载完成...\r\n");
        r.step(5, L"  1.卸载输入接口...");
        r.step(20, L"  2.删除语言栏项目...");
        removeInputMethod(servicePlanFor(i.guid, i.language, i.languageName, i.imeName, places));
        r.step(40, L"  3.删除文件系统...");
        {
            NativeFileSystem native;
            for (const std::u16string& ime : {places.ime32, places.ime64})
                if (!ime.empty() && !DeleteFileW(wide(ime).c_str()) && fileExists(wide(ime))) {
                    const std::wstring aside = format(L"%ls.%08lX.old", wide(ime).c_str(), GetTickCount());
                    if (MoveFileExW(wide(ime).c_str(), aside.c_str(), 0))
                        MoveFileExW(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
                }
        }
        removeTree(wide(i.installDir));
        removeEmptyParents(wide(i.installDir), wide(m.programFiles));
        removeTree(wide(i.dataDir));
        removeWindowsFiles(guid);
        r.step(60, L"  4.删除快捷方式...");
        removeShortcuts(places.menuFolder);
        r.step(70, L"  5.卸载字体...");
        removeFonts(guid, [&](const std::wstring& line) { r.step(70, line); });
        const std::wstring root = wide(productDataRoot(m));
        if (folderIsEmpty(root)) {
            r.step(80, L"      执行完整卸载...");
            RemoveDirectoryW(root.c_str());
            deleteKeyTree(HKEY_LOCAL_MACHINE, wide(productKey()));
        }
        r.step(90, L"  6.卸载软件信息...");
        deleteKeyTree(HKEY_LOCAL_MACHINE, wide(uninstallKeyFor(i.guid)));
        deleteKeyTree(HKEY_LOCAL_MACHINE, wide(instanceKeyFor(i.guid)));
        r.step(100, L"  7.卸载完成。\r\n");
        return StepOutcome::Done;
    });
}

int repair(const std::wstring& guid) {
    const InstalledInstance i = readInstance(guid);
    if (i.installDir.empty()) {
        message(kBadEnvironment, L"修复错误", MB_ICONERROR);
        return 1;
    }
    auto u = unpack(wide(i.installDir) + L"_backup_.dat");
    if (!u) {
        message(kBadEnvironment, L"修复错误", MB_ICONERROR);
        return 1;
    }
    const InstallPlaces places = placesFor(machineFolders(), u->settings, i.installDir);
    const PackageSettings& p = u->settings;
    const std::wstring name = wide(i.displayName.empty() ? p.displayName : i.displayName);
    StepDialogSetup setup;
    setup.title = name + L" - 修复程序";
    setup.welcome = L"修复";
    setup.hint = L"单击“修复”按钮，以将软件恢复到初始状态。";
    setup.action = L"修复(&R)";
    setup.doneHint = L"单击“完成”按钮，退出修复程序。";
    return runStepDialog(setup, [&](StepReport& r) {
        if (!offerUserWordBackup(r.owner(), i, L"是否备份用户词后执行修复操作？")) return StepOutcome::NotStarted;
        if (inputMethodInUse(places)) {
            ask(r.owner(), L"由于存在载入输入法的进程，修复操作无法继续。请重新启动计算机后重新运行修复程序。", kNoticeTitle,
                MB_OK | MB_ICONWARNING);
            return StepOutcome::NotStarted;
        }
        SetDlgItemTextW(r.owner(), StepHintId, format(L"正在修复 %ls ，请稍候。", name.c_str()).c_str());
        auto failed = [&] {
            r.step(100, L"修复程序发生错误！");
            return StepOutcome::Failed;
        };
        r.step(0, L"请稍候修复完成....\r\n");
        r.step(10, L"  1.备份用户数据....");
        r.step(20, L"  2.修复文件系统....");
        if (!installFiles(*u, places, r.owner(), [&](const std::wstring& line) { r.step(20, line); }))
            return failed();
        r.step(40, L"  3.修复软件运行环境...");
        const RegistrationOutcome o = registerInstance(p, places);
        if (o == RegistrationOutcome::ComFailure) {
            r.step(100, kComFailure);
            return StepOutcome::Failed;
        }
        if (o != RegistrationOutcome::Done || !writeUninstallEntry(p, places, wide(i.installDir)) ||
            !keepPackage(*u, places))
            return failed();
        r.step(70, L"  4.修复开始菜单及桌面快捷方式...");
        if (!createMenu(p, places)) return failed();
        r.step(85, L"  5.清除安装程序创建的临时文件...");
        r.pause(100);
        r.step(100, L"  6.修复完成。\r\n");
        return StepOutcome::Done;
    });
}

// "/GUID= /EMMODE=": the text service on or off; IMM32 stays as it is.
int switchService(const InstallerCommand& c) {
    if (!isBracedGuid(c.switchGuid)) {
        message(kBadEnvironment, L"输入法安装", MB_ICONERROR);
        return 1;
    }
    const std::wstring guid = wide(c.switchGuid);
    const InstalledInstance i = readInstance(guid);
    PackageSettings p;
    p.guid = i.guid;
    p.imeName = i.imeName;
    const InstallPlaces places = placesFor(machineFolders(), p, i.installDir);
    ServicePlan plan = servicePlanFor(i.guid, i.language, i.languageName, i.imeName, places);
    if (c.serviceMode == 0) {
        removeTextService(plan);
        return 0;
    }
    if (i.imeName.empty()) {
        message(kBadEnvironment, L"输入法安装", MB_ICONERROR);
        return 1;
    }
    // A text-service style was chosen; the classic layout is kept as it is.
    plan.enabled = true;
    plan.installClassic = false;
    return registerInputMethod(plan) == RegistrationOutcome::Done ? 0 : 1;
}

// Uninstall, repair and update run from a copy in the working folder, so
// that the installed files can be removed.
int restartFromWorkingFolder(const InstallerCommand& c, const std::wstring& line) {
    const InstalledInstance i = readInstance(wide(c.instance));
    const std::wstring source = wide(i.installDir) + L"installer.exe";
    const std::wstring copy = workingFolder() + L"installer.exe";
    if (!makeFolders(workingFolder()) || !CopyFileW(source.c_str(), copy.c_str(), FALSE)) {
        message(format(L"安装程序无法访问临时目录: \r\ninstall:%ls\r\nsource:%ls\r\ndest:%ls\r\n",
                       wide(i.installDir).c_str(), source.c_str(), copy.c_str()),
                L"初始化错误", MB_ICONERROR);
        return 1;
    }
    const std::wstring arguments = wide(temporaryCopyCommand(utf16(line)));
    if (reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", copy.c_str(), arguments.c_str(), nullptr,
                                                SW_SHOWNORMAL)) <= 32) {
        message(L"安装程序位于临时目录中的副本无法运行，将中止进程。", L"初始化错误", MB_ICONERROR);
        return 1;
    }
    return 0;
}

int run(const std::wstring& line) {
    const InstallerCommand c = parseInstallerCommand(utf16(line));
    if (c.mode == Mode::ServiceSwitch) return switchService(c);
    const bool temporaryCopy = c.temporaryCopy;
    if (!temporaryCopy) removeWorkingFolder(workingFolder());
    if (c.mode == Mode::CleanOnly) return 0;
    if (c.mode != Mode::Install && !temporaryCopy) return restartFromWorkingFolder(c, line);
    int result = 0;
    switch (c.mode) {
    case Mode::Uninstall: result = uninstall(wide(c.instance)); break;
    case Mode::Repair: result = repair(wide(c.instance)); break;
    case Mode::Update:
        result = runUpdateDialog(GetModuleHandleW(nullptr), wide(c.instance));
        break;
    default: result = install(programPath()); break;
    }
    // The running copy cannot delete itself: the command interpreter does
    // it once this program has ended.
    if (temporaryCopy)
        removeWorkingFolderAfterExit(workingFolder(), programPath());
    else
        removeWorkingFolder(workingFolder());
    return result;
}

}  // namespace

}  // namespace zv::installer::win32

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int result = 1;
    try {
        result = zv::installer::win32::run(commandLine ? commandLine : L"");
    } catch (...) {
        result = 1;
    }
    CoUninitialize();
    return result;
}
