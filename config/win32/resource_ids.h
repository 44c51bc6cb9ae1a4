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

#define ZV_DIALOG_CODE_TABLE_PAGE 108

// The 码表 page; its context menu's items carry the buttons' ids.
#define ZV_TABLES_LIST 1700
#define ZV_TABLES_VIEW 1701
#define ZV_TABLES_IMPORT 1702
#define ZV_TABLES_EXPORT 1703
#define ZV_TABLES_REPLACE 1704
#define ZV_TABLES_CLEAR 1705
#define ZV_TABLES_PROGRESS 1706

#define ZV_DIALOG_VIEWER 109
#define ZV_VIEWER_MENU 110
#define ZV_VIEWER_KEYS 111

// The code-table viewer.
#define ZV_VIEWER_CODE 1800
#define ZV_VIEWER_WORD 1801
#define ZV_VIEWER_PARTIAL 1802
#define ZV_VIEWER_FIND 1803
#define ZV_VIEWER_LIST 1804
#define ZV_VIEWER_OVERLAY 1805
#define ZV_VIEWER_ADD 1810
#define ZV_VIEWER_EDIT 1811
#define ZV_VIEWER_DELETE 1812
#define ZV_VIEWER_UNDELETE 1813
#define ZV_VIEWER_COPY 1814
#define ZV_VIEWER_EXIT 1815
#define ZV_VIEWER_FIXED 1816
#define ZV_VIEWER_DELETED 1817
#define ZV_VIEWER_ALL 1818
// One item per category: this plus the category number.
#define ZV_VIEWER_CATEGORY 1850

#define ZV_DIALOG_HTML 112
// The browser control (or the text that stands in for it).
#define ZV_HTML_BROWSER 1900
#define ZV_ABOUT_BROWSER 1901
#define ZV_ABOUT_BROWSER_PLACE 1902
