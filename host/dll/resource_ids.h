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

// The settings pages the library hosts in the configuration program, and
// their controls.
#define ZV_DIALOG_GENERAL_PAGE 126     // 常用
#define ZV_DIALOG_APPEARANCE_PAGE 133  // 界面

// 常用
#define ZV_GENERAL_AUX_LABEL 1001
#define ZV_GENERAL_SECONDARY_LABEL 1002
#define ZV_GENERAL_QUERY_SINGLE 1010
#define ZV_GENERAL_ASSOCIATION 1014
#define ZV_GENERAL_FREQUENCY 1029
#define ZV_GENERAL_PROGRESSIVE 1032
#define ZV_GENERAL_PROGRESSIVE_EMPTY 1033
#define ZV_GENERAL_WILDCARD 1034
#define ZV_GENERAL_ENGLISH_LEAD 1035
#define ZV_GENERAL_DIGIT_PUNCTUATION 1036
#define ZV_GENERAL_AUX_LEAD 1050
#define ZV_GENERAL_SECONDARY_LEAD 1051
#define ZV_GENERAL_ENGLISH_LEAD_LABEL 1053

// 界面
#define ZV_LOOK_SKIN 1002
#define ZV_LOOK_CANDIDATE_POSITION 1008
#define ZV_LOOK_EMBEDDED_NOTE 1010
#define ZV_LOOK_SHOW_INDEX 1021
#define ZV_LOOK_SHOW_HINTS 1022
#define ZV_LOOK_SHOW_BUTTONS 1023
#define ZV_LOOK_HIDE_CANDIDATES 1025
#define ZV_LOOK_HIDE_STATUS_BAR 1026
#define ZV_LOOK_PAGE_SIZE 1027
#define ZV_LOOK_ARRANGEMENT 1037
#define ZV_LOOK_WINDOW_LAYOUT 1038
