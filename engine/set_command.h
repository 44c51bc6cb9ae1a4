#pragma once
// The settings command "set(section,key=value)" of macro entries and of the
// command-line tools: one option applied in place, and the installer run
// when the composition window switches between the traditional style and a
// text-service style (the text service must be registered or removed).

#include "engine/config_store.h"
#include "engine/settings_options.h"

#include <optional>
#include <string>
#include <string_view>

namespace zv {

namespace platform {
class Shell;
}

struct SetCommand {
    std::u16string section, key, value;
};
// Each part is either in double quotes or runs to its separator ("," "="
// ")"); nothing when a separator is missing or a part is empty.
std::optional<SetCommand> parseSetCommand(std::u16string_view text);

// Where the installer lives and which instance it is to switch.
struct InstallerLaunch {
    platform::Shell* shell = nullptr;
    std::u16string installDir;
    std::u16string instanceName;
};

struct SetOutcome {
    bool valid = false;    // the text had the command's form
    bool refused = false;  // a key that commands may not change
    OptionResult result = OptionResult::UnknownSection;
    bool installerStarted = false;
};
SetOutcome runSetCommand(SettingsBlocks& blocks, std::u16string_view text, const InstallerLaunch& launch);
// A short message for an outcome that changed nothing.
std::u16string_view setOutcomeText(const SetOutcome& outcome);

// True when the style bits moved between none (the traditional style) and
// some (a text-service style).
bool styleSwitchNeedsInstaller(uint32_t oldOptionA, uint32_t newOptionA);
// Runs "installer.exe" of the install folder hidden with "/EMMODE=1
// /GUID=name" for a text-service style, "/EMMODE=0 /GUID=name" otherwise.
bool startStyleInstaller(const InstallerLaunch& launch, uint32_t newOptionA);

}  // namespace zv
