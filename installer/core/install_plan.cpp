#include "installer/core/install_plan.h"

namespace zv::installer {

namespace {

bool startsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char16_t a = text[i], b = prefix[i];
        if (a >= u'A' && a <= u'Z') a = static_cast<char16_t>(a - u'A' + u'a');
        if (b >= u'A' && b <= u'Z') b = static_cast<char16_t>(b - u'A' + u'a');
        if (a != b) return false;
    }
    return true;
}

bool equalNoCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && startsWithNoCase(a, b);
}

RegistryItem text(std::u16string_view name, std::u16string value) {
    return RegistryItem{std::u16string(name), false, std::move(value), 0};
}

}  // namespace

std::u16string withBackslash(std::u16string path) {
    if (path.empty() || (path.back() != u'\\' && path.back() != u'/')) path += u'\\';
    return path;
}

std::u16string defaultInstallFolder(const MachineFolders& m, const PackageSettings& p) {
    return withBackslash(m.programFiles + p.folder);
}

std::u16string productDataRoot(const MachineFolders& m) { return m.commonData + u"ZorvanIME3\\"; }

InstallPlaces placesFor(const MachineFolders& m, const PackageSettings& p, std::u16string installDir) {
    InstallPlaces places;
    places.installDir = withBackslash(std::move(installDir));
    places.dataDir = productDataRoot(m) + p.guid + u"\\";
    places.ime32 = m.system32 + p.imeName + u".ime";
    if (!m.system64.empty()) places.ime64 = m.system64 + p.imeName + u".ime";
    places.menuFolder = m.programs + p.displayName + u"\\";
    return places;
}

std::u16string productKey() { return u"Software\\ZorvanIME3"; }
std::u16string instanceKeyFor(std::u16string_view guid) { return productKey() + u"\\" + std::u16string(guid); }
std::u16string uninstallKeyFor(std::u16string_view guid) {
    return u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + std::u16string(guid);
}

std::u16string installerCommand(const InstallPlaces& places, std::u16string_view guid, std::u16string_view mode) {
    // Quoted: the install folder is usually under "Program Files".
    std::u16string c = u"\"" + places.installDir + u"installer.exe\" /n " + std::u16string(guid);
    if (!mode.empty()) c += u" " + std::u16string(mode);
    return c;
}

std::vector<RegistryItem> instanceValues(const PackageSettings& p, const InstallPlaces& places) {
    std::vector<RegistryItem> v = {
        text(u"DataLocation", places.dataDir),
        text(u"InstallLocation", places.installDir),
        text(u"IMEName", p.imeName),
        text(u"DisplayName", p.displayName),
        text(u"DisplayVersion", p.version),
        text(u"URLUpdateInfo", p.updateUrl),
        text(u"LanguageName", p.languageName),
        text(u"UnstallCommand", installerCommand(places, p.guid, u"/u")),
    };
    v.push_back(RegistryItem{u"LANGID", true, {}, p.language});
    return v;
}

std::vector<RegistryItem> uninstallValues(const PackageSettings& p, const InstallPlaces& places,
                                          std::u16string_view owner, std::u16string_view company,
                                          std::u16string_view source) {
    return {
        text(u"RegOwner", std::u16string(owner)),
        text(u"RegCompany", std::u16string(company)),
        text(u"DisplayName", p.displayName),
        text(u"Comments", p.languageName),
        text(u"DisplayVersion", p.version),
        text(u"DisplayIcon", places.installDir + u"installer.exe"),
        text(u"Contact", p.author),
        text(u"Publisher", p.author),
        text(u"URLInfoAbout", p.homePage),
        text(u"URLUpdateInfo", p.updateUrl),
        text(u"HelpLink", places.installDir + u"main.chm"),
        text(u"HelpTelephone", u""),
        text(u"UninstallString", installerCommand(places, p.guid, u"/u")),
        text(u"InstallLocation", places.installDir),
        text(u"InstallSource", std::u16string(source)),
        text(u"ModifyPath", installerCommand(places, p.guid, u"/r")),
    };
}

bool InstalledInstance::completeForUninstall() const {
    return !installDir.empty() && !dataDir.empty() && !imeName.empty() && !displayName.empty() &&
           !version.empty() && !languageName.empty();
}

std::vector<Shortcut> shortcutsFor(const PackageSettings& p, const InstallPlaces& places, bool withHelp) {
    const std::u16string& f = places.menuFolder;
    const std::u16string& name = p.displayName;
    const std::u16string config = places.installDir + u"config.exe";
    const std::u16string installer = places.installDir + u"installer.exe";
    const std::u16string instance = u"/n " + p.guid;
    std::vector<Shortcut> s = {
        {f + u"设置" + name + u".lnk", config, instance, u"设置" + name},
        {f + u"更新" + name + u".lnk", installer, instance + u" /g", u"更新" + name},
        {f + u"修复" + name + u".lnk", installer, instance + u" /r", u"修复" + name},
        {f + u"卸载" + name + u".lnk", installer, instance + u" /u", u"卸载" + name},
        {f + name + u"按键功能设定.lnk", config, instance + u" /do 按键设置", name + u"按键功能设定"},
    };
    if (withHelp) s.push_back({f + name + u"帮助文档.lnk", places.installDir + u"main.chm", u"", name + u"帮助文档"});
    return s;
}

bool isWindows8OrLater(SystemVersion v) { return v.major > 6 || (v.major == 6 && v.minor >= 2); }

EntryPlace placeOfEntry(std::u16string_view path) {
    struct Prefix {
        std::u16string_view text;
        Destination destination;
    };
    static constexpr Prefix prefixes[] = {
        {u"$dataFiles$\\", Destination::DataFolder},
        {u"$windows$\\", Destination::WindowsFolder},
        {u"$fonts$\\", Destination::Fonts},
    };
    for (const Prefix& x : prefixes)
        if (startsWithNoCase(path, x.text)) return {x.destination, std::u16string(path.substr(x.text.size()))};
    if (equalNoCase(path, Ime32Entry)) return {Destination::Ime32, {}};
    if (equalNoCase(path, Ime64Entry)) return {Destination::Ime64, {}};
    return {Destination::InstallFolder, std::u16string(path)};
}

std::vector<std::u16string> filesReplacedInExistingFolder(const InstallPlaces& places) {
    std::vector<std::u16string> files;
    for (std::u16string_view name : {u"config.exe", u"installer.exe", u"_backup_.dat", u"main.chm"})
        files.push_back(places.installDir + std::u16string(name));
    return files;
}

std::u16string backupPath(const InstallPlaces& places) { return places.installDir + u"_backup_.dat"; }

bool asksBeforeReplacing(std::u16string_view target, uint64_t packageVersion, uint64_t installedVersion) {
    const size_t dot = target.rfind(u'.');
    if (dot == std::u16string_view::npos) return false;
    const std::u16string_view extension = target.substr(dot);
    if (!equalNoCase(extension, u".exe") && !equalNoCase(extension, u".ime")) return false;
    return installedVersion != 0 && installedVersion < packageVersion;
}

}  // namespace zv::installer
