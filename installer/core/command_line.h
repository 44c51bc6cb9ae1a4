#pragma once
// The installer's command line: which of its jobs a run does, for which
// instance, and whether it already runs as the temporary copy.

#include <string>
#include <string_view>

namespace zv::installer {

enum class Mode {
    Install,        // no mode option
    Uninstall,      // "/u"
    Repair,         // "/r"
    CleanOnly,      // "/z": only remove the working folder
    Update,         // "/g"
    ServiceSwitch,  // "/GUID=": register or remove the text service
};

// The longest instance GUID the command line keeps.
constexpr size_t MaxGuidUnits = 40;

struct InstallerCommand {
    Mode mode = Mode::Install;
    std::u16string instance;        // "/n ", cut at the first blank
    bool temporaryCopy = false;     // "/f"
    std::u16string switchGuid;      // "/GUID="
    int serviceMode = 0;            // "/EMMODE=": 1..3 register, anything else removes
};

// Options stand at the start of the text or after a blank, wherever they
// are. With several mode options the later one in the order uninstall,
// repair, clean, update wins; "/GUID=" takes precedence over all of them.
InstallerCommand parseInstallerCommand(std::u16string_view line);

// The temporary copy's command line: the same options followed by " /f".
std::u16string temporaryCopyCommand(std::u16string_view line);

// A GUID in its braced registry form, "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}".
bool isBracedGuid(std::u16string_view text);

}  // namespace zv::installer
