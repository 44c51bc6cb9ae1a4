#pragma once
// What the library offers the configuration program through its export
// ZVITFGetObject: the host of the library's own settings pages (常用, 界面)
// and the codec of the settings text's [-DME设置-] and [-SKIN设置-]
// sections. Plain records of function addresses over plain records, so
// that the program and the library share no C++ object, runtime or heap.

#include <windows.h>

#include <cstdint>

namespace zv::host {

// The types ZVITFGetObject answers.
enum ConfigObjectType : int {
    ObjectPageHost = 1,
    ObjectSettingsCodec = 2,
    ObjectCodeCodec = 3,  // none: the program uses its built-in code alphabet
};

// The pages createPage makes.
enum ConfigPageKind : int { PageKindGeneral = 1, PageKindAppearance = 3 };

// The sections of the settings codec.
enum SettingsCodecKind : int { CodecDme = 1, CodecSkin = 2 };

// The configuration program's instance as the pages see it: config.dsc as
// the program maps it, so that every change lands in the program's own
// store at once. The library finds and checks the settings blocks itself.
struct PageContext {
    uint32_t size;  // sizeof(PageContext)
    uint8_t* config;
    uint32_t configSize;
    const wchar_t* dataFolder;     // ending in a separator
    const wchar_t* installFolder;  // ending in a separator
};

struct PageHost {
    void(WINAPI* release)(PageHost* self);
    // The page of the kind as a child of parent; another kind returns the
    // current page (null when there is none) without making one.
    HWND(WINAPI* createPage)(HWND parent, int kind, const PageContext* context);
    // 1 when the page is closed (or there was none); 0 when the page, asked
    // to apply, answered that it stays.
    int(WINAPI* closePage)(int apply);
};

struct SettingsCodec {
    void(WINAPI* release)(SettingsCodec* self);
    // One "key=value" of the section applied in place; the engine's option
    // result as a number (0: applied), -1 for a store without the blocks.
    int(WINAPI* applyOption)(uint8_t* config, uint32_t configSize, const wchar_t* key, const wchar_t* value,
                             int kind);
    // The section's option lines into text (capacity units, terminated
    // when there is room); returns the units the lines need, 0 for an
    // unknown kind or a store without the blocks.
    uint32_t(WINAPI* writeSection)(const uint8_t* config, uint32_t configSize, int kind, wchar_t* text,
                                   uint32_t capacity);
};

// ZVITFGetObject(type, out): 1 with *out set for types 1 and 2; 0 with
// *out null for type 3; 1 with *out untouched for any other type.
using GetConfigObject = int(WINAPI*)(int type, void** out);
constexpr char GetConfigObjectName[] = "ZVITFGetObject";

}  // namespace zv::host
