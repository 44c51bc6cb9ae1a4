#pragma once
// A skin as the windows use it: the description read from "skin.ini"
// (fonts, colours, the geometry of every window layout) and the decoded
// images of the package.

#include "ui/image.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zv::ui {

struct Point {
    int32_t x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// An inclusive pixel range of a background image (x1..x2 or y1..y2).
struct Range {
    int32_t from = 0, to = 0;
    friend bool operator==(const Range&, const Range&) = default;
};

// Colours are the platform's 0x00BBGGRR values; a negative value means
// "none" or "as the candidate's", depending on the key.
using Colour = int32_t;
constexpr bool isNone(Colour c) { return c < 0; }

struct SkinFont {
    Colour colour = 0;
    std::u16string face;      // at most 39 units
    int32_t height = 0;       // negative: character height in pixels; 0: the default
    int32_t weight = 0;       // 100..900; 0: the default
    uint8_t italic = 0, underline = 0, strikeOut = 0;
};

struct SkinTextStyle {
    SkinFont composition, tip, candidate, label;
    Colour caret = 0;
    Colour firstText = 0, firstBackground = 0;
    Colour tempWord = 0, userWord = 0;
    Colour hoverText = 0, hoverBackground = 0;
    int32_t maxCompositionChars = 0;  // 0: no limit
    int32_t maxCandidateChars = 0;
};

// The elements of the status bar, in the order of their position keys.
enum class StatusElement { Logo, ChineseEnglish, Width, Punctuation, SoftKeyboard, Menu, SimpTrad, Extension1,
                           Extension2, Count };

struct StatusBarLayout {
    int32_t defaultPosition = 0;  // 1..6: top left, top centre, top right, bottom left, centre, right
    std::array<Point, static_cast<size_t>(StatusElement::Count)> positions{};
    Point position(StatusElement e) const { return positions[static_cast<size_t>(e)]; }
};

struct CandidateLayout {
    Point nextPage, previousPage, punctuation, width, extension1, extension2;
    Point codeStart, candidateStart;
    int32_t labelGap = 0;      // 序号-字词间距
    int32_t tipGap = 0;        // 字词-提示间距
    int32_t candidateGap = 0;  // 候选间距
    int32_t lineGap = 0;       // 行间距
    Range stretchX, stretchY;
    int32_t rightMargin = 0, bottomMargin = 0, minWidth = 0, minHeight = 0;
    int32_t valueA = 0, valueB = 0;
    Range compStretchX, compStretchY;
    int32_t compRightMargin = 0, compBottomMargin = 0;
    Point rightOffset, belowOffset;
    char16_t indexSuffix = 0;
};

// The six candidate-window sections of "skin.ini".
enum class LayoutSection { Merged, MergedVertical, Separate, SeparateVertical, Embedded, EmbeddedVertical, Count };

struct SkinInfo {
    std::u16string packagePath;
    std::u16string name, description, version, ownerName, ownerContact;
    SkinTextStyle text;
    StatusBarLayout statusBar;
    std::array<CandidateLayout, static_cast<size_t>(LayoutSection::Count)> layouts{};

    const CandidateLayout& layout(LayoutSection s) const { return layouts[static_cast<size_t>(s)]; }
    CandidateLayout& layout(LayoutSection s) { return layouts[static_cast<size_t>(s)]; }
};

// The single background images of a package.
enum class Background { StatusBar, SeparateComposition, SeparateCandidates, SeparateCandidatesVertical, Merged,
                        MergedVertical, Embedded, EmbeddedVertical, Count };

// The buttons that come as a triple: normal, "_1" and "_2" images.
enum class ButtonKind { Logo, English, Chinese, CapsLock, EnglishPunctuation, ChinesePunctuation, FullWidth,
                        HalfWidth, Traditional, Simplified, SoftKeyboardOn, SoftKeyboardOff, Menu, PreviousPage,
                        NextPage, Extension1, Extension2, Count };

struct ButtonImages {
    SkinImage normal, first, second;  // "x.png", "x_1.png", "x_2.png"
};

// Window part states shared by every window.
enum PartState : int { StateNormal = 0, StateDisabled = 1, StateHover = 2, StatePressed = 3, StateHidden = 5 };

// How a button's state picks its image: mode buttons show "_1" on
// mouse-over and "_2" when pressed; paging buttons show "_1" on mouse-over
// and when pressed, and "_2" when disabled.
enum class ButtonRule { Mode, Paging };

struct SkinImages {
    std::array<SkinImage, static_cast<size_t>(Background::Count)> backgrounds;
    std::array<ButtonImages, static_cast<size_t>(ButtonKind::Count)> buttons;

    const SkinImage& background(Background b) const { return backgrounds[static_cast<size_t>(b)]; }
    const ButtonImages& button(ButtonKind k) const { return buttons[static_cast<size_t>(k)]; }
    // The slot an archive entry name fills (compared without case), or null.
    SkinImage* slotFor(std::string_view entryName);
    const SkinImage* slotFor(std::string_view entryName) const;
    bool hasRequired() const;
    void clear();
};

inline constexpr size_t SkinImageSlots = static_cast<size_t>(Background::Count) + 3 * static_cast<size_t>(ButtonKind::Count);

// The image drawn for a button in a state; null when nothing is drawn.
const SkinImage* buttonImage(const ButtonImages& images, int state, ButtonRule rule);

}  // namespace zv::ui
