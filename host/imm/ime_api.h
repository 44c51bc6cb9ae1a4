#pragma once
// What an IMM32 input method needs of the system that the compiler's
// imm.h leaves out: the input context as the input method sees it, the
// blocks it fills, the input-method information, the message records and
// the IMM functions for them. Declared from the published IMM32 interface
// for input-method writers.

#include <windows.h>
#include <imm.h>

extern "C" {

struct INPUTCONTEXT {
    HWND hWnd;
    BOOL fOpen;
    POINT ptStatusWndPos;
    POINT ptSoftKbdPos;
    DWORD fdwConversion;
    DWORD fdwSentence;
    union {
        LOGFONTA A;
        LOGFONTW W;
    } lfFont;
    COMPOSITIONFORM cfCompForm;
    CANDIDATEFORM cfCandForm[4];
    HIMCC hCompStr;
    HIMCC hCandInfo;
    HIMCC hGuideLine;
    HIMCC hPrivate;
    DWORD dwNumMsgBuf;
    HIMCC hMsgBuf;
    DWORD fdwInit;
    DWORD dwReserve[3];
};

struct IMEINFO {
    DWORD dwPrivateDataSize;
    DWORD fdwProperty;
    DWORD fdwConversionCaps;
    DWORD fdwSentenceCaps;
    DWORD fdwUICaps;
    DWORD fdwSCSCaps;
    DWORD fdwSelectCaps;
};

struct TRANSMSG {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct TRANSMSGLIST {
    UINT uMsgCount;
    TRANSMSG TransMsg[1];
};

INPUTCONTEXT* WINAPI ImmLockIMC(HIMC);
BOOL WINAPI ImmUnlockIMC(HIMC);
LPVOID WINAPI ImmLockIMCC(HIMCC);
BOOL WINAPI ImmUnlockIMCC(HIMCC);
DWORD WINAPI ImmGetIMCCSize(HIMCC);
HIMCC WINAPI ImmCreateIMCC(DWORD);
HIMCC WINAPI ImmDestroyIMCC(HIMCC);
HIMCC WINAPI ImmReSizeIMCC(HIMCC, DWORD);
BOOL WINAPI ImmGenerateMessage(HIMC);

}  // extern "C"

// The input-method capabilities and the flags the system passes.
constexpr DWORD kImePropKeyboardCharFirst = 0x2;  // IME_PROP_KBD_CHAR_FIRST
constexpr DWORD kImeUiSoftKeyboard = 0x4;         // UI_CAP_SOFTKBD
constexpr DWORD kScsCapCompositionString = 0x1;   // SCS_CAP_COMPSTR
constexpr DWORD kSelectCapConversion = 0x1;       // SELECT_CAP_CONVERSION
constexpr DWORD kImeClassStyle = 0x10000;         // CS_IME

// NotifyIME: the application changed the context (NI_CONTEXTUPDATE), its
// conversion mode (IMC_SETCONVERSIONMODE) or its open status
// (IMC_SETOPENSTATUS).
constexpr DWORD kNotifyContextUpdate = 0x3;
constexpr DWORD kContextSetConversionMode = 0x2;
constexpr DWORD kContextSetOpenStatus = 0x6;

// The window-extra slots of an input method's UI window.
constexpr int kUiWindowContextSlot = 0;                       // IMMGWLP_IMC
constexpr int kUiWindowPrivateSlot = sizeof(LONG_PTR);        // IMMGWLP_PRIVATE

// The input context's initialised fields (fdwInit).
constexpr DWORD kInitConversion = 0x2;  // INIT_CONVERSION
constexpr DWORD kInitSentence = 0x4;    // INIT_SENTENCE
