#pragma once
// The four context menus as data: items with their texts, checks and the
// command each sends. The Windows layer turns them into popup menus; tests
// and other front ends read them directly.

#include "ui/skin_loader.h"
#include "ui/ui_view.h"

#include <string>
#include <vector>

namespace zv::ui {

enum class MenuActionKind {
    None,             // separators, submenus, 取消
    Command,          // an engine command (uiCommand code and argument)
    Program,          // a program command: 1 settings, 3 key map, 4 about, 5 help, 8 add user word
    KeyMap,           // the text-service path opens "keyboardmap.html" itself
    ChooseSkin,       // argument: the entry of the skin list
    ToggleEmbedStatusBar,
    EnglishWords,     // argument 1 on, 0 off
    ToggleKeyboard,   // Chinese/English, as the keyboard-open switch
};

struct MenuAction {
    MenuActionKind kind = MenuActionKind::None;
    int code = 0;
    int argument = 0;
    int operation = 0;  // candidate operations 1..7
    friend bool operator==(const MenuAction&, const MenuAction&) = default;
};

struct MenuItem {
    std::u16string text;  // empty for a separator
    MenuAction action;
    bool checked = false;
    std::vector<MenuItem> items;  // a submenu when not empty
    bool separator() const { return text.empty(); }
};

// What the main menu reads from the engine and the settings.
struct MenuContext {
    uint32_t modes = 0;
    int softKeyboardLayout = 0;      // 0 when off
    uint32_t imeA = 0;               // ImeSettings option word A
    std::u16string mainName, auxiliaryName, secondaryName;  // table display names
    bool userWords = true;           // the add-user-word function is available
    bool traditionalOpen = false, simplifiedOpen = false;   // the conversion tables
    bool textService = false;
    const SkinList* skins = nullptr;  // loaded on the first opening of the menu
    std::u16string currentSkin;       // the skin-name setting
};

std::vector<MenuItem> buildMainMenu(const MenuContext& c);
// The menu of one candidate (display slot 0..9).
std::vector<MenuItem> buildCandidateMenu(int slot, const CandidateItem& item, std::u16string_view secondaryName);
std::vector<MenuItem> buildSoftKeyboardMenu(int activeLayout);
// The tip window's menu.
std::vector<MenuItem> buildModeMenu(uint32_t modes);

// The skin menu's choice: stores the entry's file name as the skin setting,
// resets the stored status-bar position and reloads. False (nothing done)
// for the current skin or an entry that does not exist.
bool chooseSkin(const SkinList& list, size_t index, std::u16string_view installFolder, SkinSettings settings,
                LoadedSkin& skin);

// The id of an item, the same in the library's menu resources and in the
// popup menus built from this data: an engine command is its code plus
// 0x100 times its argument (for a candidate operation the operation; the
// slot is the menu's own), a program command its number, the menus' own
// actions 0x3000 and up, a skin 0x4000 plus its entry; 0 for what does
// nothing, which is also what a dismissed menu returns. Every id fits the
// 16 bits a menu command carries.
uint32_t menuItemId(const MenuAction& action);
// The item of a built menu (submenus searched too) that has this id; null
// when none has.
const MenuItem* findMenuItem(const std::vector<MenuItem>& menu, uint32_t id);

// Program commands sent by the menus.
inline constexpr int ProgramSettings = 1;
inline constexpr int ProgramKeyMap = 3;
inline constexpr int ProgramAbout = 4;
inline constexpr int ProgramHelp = 5;
inline constexpr int ProgramAddUserWord = 8;

}  // namespace zv::ui
