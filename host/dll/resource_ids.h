#pragma once
// Resource numbers of the library, shared by its resource script and code.

#define ZV_STRING_INSTANCE 1  // the instance GUID (also the text service's CLSID)
#define ZV_STRING_PROFILE 3   // the language-profile GUID

// The language bar's and status indicator's icons (16 and 32 pixels each).
#define ZV_ICON_HALF_WIDTH 102
#define ZV_ICON_ENGLISH_WORDS 103
#define ZV_ICON_CHINESE_PUNCTUATION 104
#define ZV_ICON_ENGLISH_PUNCTUATION 105
#define ZV_ICON_CHINESE 106
#define ZV_ICON_MENU 107
#define ZV_ICON_FULL_WIDTH 108
#define ZV_ICON_SOFT_KEYBOARD 109
#define ZV_ICON_CAPS_LOCK 122
#define ZV_ICON_KEYBOARD_CLOSED 123
#define ZV_ICON_KEYBOARD_DISABLED 124
// The configuration program's page and dialog icons.
#define ZV_ICON_KEY_FUNCTIONS 117  // 高级 page, key-function editor
#define ZV_ICON_APPEARANCE 118     // 界面 page
#define ZV_ICON_ABOUT 119          // 关于 page
#define ZV_ICON_GENERAL 120        // 常用 page
#define ZV_ICON_CODE_TABLE 121     // 码表 page, viewer and entry dialogs
// The file's own icon (the language profile shows icon index 0): a named
// resource, so that it comes before every numbered one.
#define ZV_ICON_PRODUCT "ZORVAN"

// The soft keyboard's background, 440 x 169.
#define ZV_BITMAP_SOFT_KEYBOARD 129

// Context menus; each holds one popup, the menu itself (GetSubMenu 0).
#define ZV_MENU_MODE 105           // from the mode indicator
#define ZV_MENU_CANDIDATE 125
#define ZV_MENU_SOFT_KEYBOARD 127
#define ZV_MENU_MAIN 130
