#pragma once
// The embedded-display settings: which composition-window style the input
// method uses, the two options that go with the framework styles, and the
// installer run that registers or removes the text service when the choice
// moves between the traditional style and a framework style.

#include "engine/config_store.h"
#include "engine/set_command.h"

#include <string_view>

namespace zv::config {

enum class EmbedStyle { Traditional, EmbedCode, EmbedFirst, TsfClassic };

struct EmbedChoice {
    EmbedStyle style = EmbedStyle::Traditional;
    bool onlyWhenAmbiguous = false;   // 仅重码时显示候选窗口
    bool hideEmbeddedFirst = false;   // 隐藏嵌入的首候选
};

EmbedChoice currentEmbedChoice(const ImeSettings& ime);

// Which of the two options the user may change with a style chosen.
struct EmbedOptionsEnabled {
    bool onlyWhenAmbiguous = false;  // the three framework styles
    bool hideEmbeddedFirst = false;  // 嵌入首选 only
};
EmbedOptionsEnabled embedOptionsEnabled(EmbedStyle style);

// The radio button's caption; on Windows 8 and later the traditional style
// says that Metro applications cannot use it.
std::u16string_view embedStyleCaption(EmbedStyle style, int windowsMajor, int windowsMinor);

struct EmbedApplied {
    bool written = false;           // false: the settings refused the style, nothing changed
    bool installerStarted = false;
};

// Writes the choice through the settings' own options; starts the installer
// (hidden, "/EMMODE=1 /GUID=<instance>" or "/EMMODE=0 ...") only when the
// choice crosses between the traditional style and a framework style.
EmbedApplied applyEmbedChoice(ImeSettings& ime, const EmbedChoice& choice, const InstallerLaunch& launch);

}  // namespace zv::config
