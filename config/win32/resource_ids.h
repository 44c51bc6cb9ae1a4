#pragma once
// Resource numbers of config.exe, shared by its resource script and code.

#define ZV_PROGRAM_ICON 1
#define ZV_PROGRAM_MANIFEST 1

#define ZV_DIALOG_MAIN 100
#define ZV_DIALOG_EMPTY_PAGE 101
#define ZV_DIALOG_ABOUT_PAGE 102

// The main dialog.
#define ZV_MAIN_TABS 1000
#define ZV_MAIN_PAGE_PLACE 1001

// The about page.
#define ZV_ABOUT_TEXT 1100
#define ZV_ABOUT_TITLE 1101

#define ZV_DIALOG_ADVANCED_PAGE 103
#define ZV_DIALOG_EMBEDDED 104

// The advanced page.
#define ZV_ADVANCED_NO_HOT_KEYS 1200
#define ZV_ADVANCED_SCHEME_GROUP 1201
#define ZV_ADVANCED_SCHEME_MAIN 1202
#define ZV_ADVANCED_SCHEME_AUX 1203
#define ZV_ADVANCED_SCHEME_BOTH 1204
#define ZV_ADVANCED_SEARCH_GROUP 1205
#define ZV_ADVANCED_SEARCH_SECONDARY 1206
#define ZV_ADVANCED_SKIP_SECONDARY 1207
#define ZV_ADVANCED_SECONDARY_WHEN_EMPTY 1208
#define ZV_ADVANCED_EDITOR 1209
#define ZV_ADVANCED_EMBEDDED 1210
#define ZV_ADVANCED_EMBEDDED_LABEL 1211
#define ZV_ADVANCED_EDITOR_LABEL 1212

// The embedded-display dialog: the four styles in the order of EmbedStyle.
#define ZV_EMBEDDED_TRADITIONAL 1300
#define ZV_EMBEDDED_CODE 1301
#define ZV_EMBEDDED_FIRST 1302
#define ZV_EMBEDDED_TSF_CLASSIC 1303
#define ZV_EMBEDDED_ONLY_AMBIGUOUS 1304
#define ZV_EMBEDDED_HIDE_FIRST 1305

#define ZV_DIALOG_KEY_EDITOR 105

// The key-function editor: its modifier boxes and the first key button
// (one per key of the keyboard, in the model's order).
#define ZV_KEYS_CTRL 1400
#define ZV_KEYS_ALT 1401
#define ZV_KEYS_SHIFT 1402
#define ZV_KEYS_FIRST_KEY 2000

#define ZV_DIALOG_SETTINGS_EDITOR 106

// The advanced settings editor.
#define ZV_EDITOR_SEARCH 1500
#define ZV_EDITOR_FIND 1501
#define ZV_EDITOR_TEXT_PLACE 1502
#define ZV_EDITOR_SAVE 1503
#define ZV_EDITOR_RESTORE 1504
#define ZV_EDITOR_BACKUP 1505
#define ZV_EDITOR_TEXT 1506

#define ZV_DIALOG_ENTRY 107

// The entry dialog.
#define ZV_ENTRY_WORD 1600
#define ZV_ENTRY_CODE 1601
#define ZV_ENTRY_BEFORE_SYSTEM 1602
#define ZV_ENTRY_CLIPBOARD 1603
#define ZV_ENTRY_HINT 1604
