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
