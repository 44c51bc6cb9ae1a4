#pragma once
// What an installation writes, worked out from the package's settings and
// the machine's folders before anything is touched: the instance key, the
// uninstall entry, the files' places and the shortcuts.

#include "installer/core/package_settings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zv::installer {

// The machine's folders, each ending in a backslash.
struct MachineFolders {
    std::u16string system32;    // the 32-bit system folder (SysWOW64 on a 64-bit Windows)
    std::u16string system64;    // the 64-bit system folder; empty on a 32-bit Windows
    std::u16string commonData;  // the all-users application-data folder
    std::u16string programs;    // the all-users programs menu
    std::u16string programFiles;
};

struct InstallPlaces {
    std::u16string installDir;  // "InstallLocation"
    std::u16string dataDir;     // "DataLocation"
    std::u16string ime32;       // "<system32><IMEName>.ime"
    std::u16string ime64;       // the 64-bit library under the same name; empty without a 64-bit side
    std::u16string menuFolder;  // "<programs><DisplayName>\"
};

// The folder the install dialog proposes: the programs-files folder and
// the scheme folder.
std::u16string defaultInstallFolder(const MachineFolders& m, const PackageSettings& p);
// "<common data>ZorvanIME3\"
std::u16string productDataRoot(const MachineFolders& m);
InstallPlaces placesFor(const MachineFolders& m, const PackageSettings& p, std::u16string installDir);

// A path with a backslash at its end.
std::u16string withBackslash(std::u16string path);

// "Software\ZorvanIME3" and its instance keys; the uninstall entry.
std::u16string productKey();
std::u16string instanceKeyFor(std::u16string_view guid);
std::u16string uninstallKeyFor(std::u16string_view guid);

struct RegistryItem {
    std::u16string name;
    bool isDword = false;
    std::u16string text;
    uint32_t dword = 0;
};

// "installer.exe" of the install folder, quoted, with "/n GUID" and the mode.
std::u16string installerCommand(const InstallPlaces& places, std::u16string_view guid, std::u16string_view mode);

// The instance key's values.
std::vector<RegistryItem> instanceValues(const PackageSettings& p, const InstallPlaces& places);

// The uninstall entry's values; owner and company come from the system's
// registered owner, source is the folder the package was started from.
std::vector<RegistryItem> uninstallValues(const PackageSettings& p, const InstallPlaces& places,
                                          std::u16string_view owner, std::u16string_view company,
                                          std::u16string_view source);

// The instance as the instance key describes it, for repair, uninstall and
// the text-service switch. Empty fields were missing.
struct InstalledInstance {
    std::u16string guid, installDir, dataDir, imeName, displayName, version, updateUrl, languageName;
    uint16_t language = DefaultLanguage;
    // The values uninstall needs (install folder, data folder, IMEName,
    // display name, version, language name) are all there.
    bool completeForUninstall() const;
};

struct Shortcut {
    std::u16string file;       // full path of the .lnk
    std::u16string target;     // full path of the program or document
    std::u16string arguments;
    std::u16string description;
};

// The programs-menu shortcuts; the help file's only when it is installed.
std::vector<Shortcut> shortcutsFor(const PackageSettings& p, const InstallPlaces& places, bool withHelp);

// Windows 8 (6.2) and later: no IMM32 registration, immersive applications.
struct SystemVersion {
    uint32_t major = 0, minor = 0;
};
bool isWindows8OrLater(SystemVersion v);

// Where each archive entry goes.
enum class Destination { DataFolder, WindowsFolder, Fonts, Ime32, Ime64, InstallFolder };
struct EntryPlace {
    Destination destination;
    std::u16string relative;  // below that destination (empty for the .ime files)
};
EntryPlace placeOfEntry(std::u16string_view path);

// The archive names of the two libraries.
constexpr std::u16string_view Ime32Entry = u"zorvanIME.ime";
constexpr std::u16string_view Ime64Entry = u"zorvanIME64.ime";

// The files an install over an existing folder deletes first.
std::vector<std::u16string> filesReplacedInExistingFolder(const InstallPlaces& places);
// "<install folder>_backup_.dat"
std::u16string backupPath(const InstallPlaces& places);

// Whether copying a program or library over the file at `target` first
// asks the user: only when the file there is older than the package's. A
// file without a version (0) is no program of a known release and is
// replaced without asking.
bool asksBeforeReplacing(std::u16string_view target, uint64_t packageVersion, uint64_t installedVersion);

}  // namespace zv::installer
