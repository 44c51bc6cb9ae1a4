#pragma once
// What the windows read from the engine and the settings: a plain view of
// the candidate page, the composition and the modes, which the engine fills
// before every refresh, and the option words that decide the look.

#include "engine/config_store.h"
#include "engine/host.h"
#include "engine/host_view.h"
#include "ui/skin.h"
#include "ui/text.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zv::ui {

// Engine commands (uiCommand codes) that the windows and menus send.
inline constexpr int CommandSelect = 17;
inline constexpr int CommandNextPage = 257;
inline constexpr int CommandPreviousPage = 258;
inline constexpr int CommandChinese = 0x103;
inline constexpr int CommandEnglish = 0x104;
inline constexpr int CommandFullWidthOn = 0x2001;
inline constexpr int CommandFullWidthOff = 0x2002;
inline constexpr int CommandEnglishPunctuationOn = 0x2003;
inline constexpr int CommandEnglishPunctuationOff = 0x2004;
inline constexpr int CommandTraditional = 0x2005;
inline constexpr int CommandSimplified = 0x2006;
inline constexpr int CommandInputScheme = 0x2010;
inline constexpr int CommandSecondarySearch = 0x2011;
inline constexpr int CommandSoftKeyboard = 513;
inline constexpr int CommandCandidateOperation = 514;
// The argument of CommandSoftKeyboard that toggles the keyboard.
inline constexpr int SoftKeyboardToggle = -1;

// Where a candidate comes from, as the engine says (host_view.h).
using CandidateKind = CandidateOrigin;

struct CandidateItem {
    std::u16string text;  // what the candidate shows and commits
    std::u16string hint;  // the next code characters, may be empty
    CandidateKind kind = CandidateKind::Table;
    // For code-table candidates (the candidate menu's checks): pinned entry,
    // entry of the secondary-display table.
    bool fromTable = false, pinned = false, secondary = false;
};

struct UiView {
    std::vector<CandidateItem> items;  // the page, at most 10
    int highlight = 0;                 // 0-based on the page
    bool firstPage = true, lastPage = true;
    int candidateCount = 0;            // in the whole list, counted up to 2
    std::u16string display;            // the composition as shown
    int cursor = 0;                    // in display
    uint32_t modes = 0;
    int softKeyboardLayout = 0;        // 1..13 while the soft keyboard is shown
    bool capsLock = false;
};

enum class WindowLayout { Merged, SeparateRight, SeparateBelow };
enum class ListStyle { Horizontal, Vertical, Columns };
enum class CaretStyle { None, Bar, Line };
enum class PositionMode { FollowCaret, FollowStatusBar, Fixed };

struct UiOptions {
    uint32_t skin = 0;   // SkinSettings option word
    uint32_t imeA = 0;   // ImeSettings option word A
    uint32_t imeC = 0;   // ImeSettings option word C
    bool textService = false;  // the text-service front end, else IMM32

    WindowLayout layout() const;
    ListStyle listStyle() const;
    CaretStyle caret() const;
    PositionMode position() const;
    bool rightToLeft() const { return skin & SkinSettings::RightToLeft; }
    bool showIndex() const { return skin & SkinSettings::ShowIndex; }
    bool showHints() const { return skin & SkinSettings::ShowHints; }
    bool showButtons() const { return skin & SkinSettings::ShowButtons; }
    bool embedded() const { return imeA & (ImeSettings::A_StyleEmbedCode | ImeSettings::A_StyleEmbedFirst); }
    bool embedFirst() const { return imeA & ImeSettings::A_StyleEmbedFirst; }
    bool hideEmbeddedFirst() const { return embedFirst() && (imeC & ImeSettings::C_HideEmbeddedFirst); }
    bool hideCandidates() const { return imeA & ImeSettings::A_HideCandidates; }
    bool onlyWhenAmbiguous() const { return imeC & ImeSettings::C_OnlyShowWhenAmbiguous; }
};

UiOptions uiOptions(const SettingsBlocks& blocks, bool textService);

// The four interface fonts, made from the skin or the custom font.
struct UiFonts {
    std::unique_ptr<Font> composition, candidate, tip, label;
    bool complete() const { return composition && candidate && tip && label; }
};

// Creates the fonts for the skin's text style; with the custom-font bit the
// custom font of the settings serves all four. Magnification 2x/3x applies
// to the skin's fonts; with vertical columns the candidate font runs top to
// bottom.
UiFonts createUiFonts(TextRenderer& renderer, const SkinTextStyle& style, SkinSettings settings, bool columns);
UiFonts createUiFonts(TextRenderer& renderer, const SkinTextStyle& style, uint32_t skinWord, const SkinFont* custom,
                      bool columns);

// The custom font stored in the settings.
SkinFont customFont(SkinSettings settings);

}  // namespace zv::ui
