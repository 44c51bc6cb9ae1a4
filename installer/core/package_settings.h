#pragma once
// What the installer takes from the package's config.dsc: the instance's
// identity and names (SoftSettings), whether the engine was built with the
// text-service framework and the composition-window style (ImeSettings).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zv::installer {

struct PackageSettings {
    std::u16string guid;          // braced registry form, upper case
    std::u16string displayName;   // "DisplayName"
    std::u16string languageName;  // the scheme's short name: "LanguageName", the profile's description
    std::u16string imeName;       // the scheme identifier: "IMEName", the .ime file's name
    std::u16string folder;        // the scheme folder, under the programs folder
    std::u16string version;       // "DisplayVersion"
    std::u16string author;        // "Publisher"
    std::u16string homePage;      // "URLInfoAbout"
    std::u16string updateUrl;     // "URLUpdateInfo"
    uint16_t language = 0;        // "LANGID"
    bool framework = false;       // the engine supports the text-services framework
    uint32_t style = 0;           // composition-window style bits (0: IME-传统样式)
};

// The language when a package or an instance key names none (2052).
constexpr uint16_t DefaultLanguage = 0x0804;

// Nothing when the file has no complete settings blocks, or the GUID is
// null, or a name the installer builds paths from is empty or unsafe.
std::optional<PackageSettings> readPackageSettings(std::span<const uint8_t> configDsc);

// Whether the style is one of the text-service styles (the profile is
// enabled only then).
bool isServiceStyle(uint32_t style);

// Windows 8 and later load no IMM32 input method in most programs: a
// traditional-style package whose engine has the framework is switched to
// "TSF-嵌入编码" in the installed config.dsc. True when the file changed.
bool switchToEmbeddedStyle(std::vector<uint8_t>& configDsc);

// The style the installed config.dsc holds once that switch is made.
uint32_t installedStyle(const PackageSettings& p, bool windows8OrLater);

// The text-service profile is enabled exactly when the engine has the
// framework and the installed style is a text-service one; otherwise it
// is registered but off.
bool profileEnabled(const PackageSettings& p, bool windows8OrLater);

}  // namespace zv::installer
