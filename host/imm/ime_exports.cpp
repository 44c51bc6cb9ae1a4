// The IMM32 entry points of the library. Each locks its input context for
// the length of the call, drives the engine through its host interface,
// and lets the context's record turn what changed into blocks and
// messages. Nothing thrown and no allocation failure leaves an entry
// point: it fails safe, and the key goes to the application.

#include "engine/config_store.h"
#include "engine/host.h"
#include "engine/host_view.h"
#include "host/dll/engines.h"
#include "host/dll/module.h"
#include "host/imm/ime_api.h"
#include "host/imm/ime_blocks.h"
#include "host/imm/ime_context.h"
#include "host/imm/ui_window.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

using namespace zv;
using namespace zv::imm;

namespace {

template <class R, class F>
R guarded(R failed, F&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failed;
    }
}

// The capabilities this input method declares to the system.
constexpr DWORD kProperties = IME_PROP_UNICODE | IME_PROP_SPECIAL_UI | kImePropKeyboardCharFirst;
constexpr DWORD kConversionCaps = IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE | IME_CMODE_CHARCODE | IME_CMODE_SOFTKBD |
                                  IME_CMODE_NOCONVERSION | IME_CMODE_SYMBOL;
constexpr UINT kUiClassUnits = 11;  // the room the system gives the class name, with its terminator
constexpr UINT kMaxKey = 128;       // the most key strokes a composition takes (IME_ESC_MAX_KEY)
constexpr size_t kImeNameUnits = 10;
constexpr size_t kHelpPathUnits = 260;
// The system's word, when it loads the input method, that this process is
// the sign-in desktop's (IME_SYSINFO_WINLOGON).
constexpr DWORD kSystemInfoWinlogon = 0x0001;

// Whether the process that loaded the library is the sign-in desktop's:
// told once, when the system asks the input method about itself.
std::atomic<bool> g_onSecureDesktop{false};

host::Desktop desktop() { return g_onSecureDesktop.load() ? host::Desktop::Secure : host::Desktop::User; }

// Makes a block of the context the right size. False when it had to be made
// again from nothing (the system would not resize it) or not at all.
bool ensureBlock(HIMCC& block, DWORD size) {
    if (!block) {
        block = ImmCreateIMCC(size);
        return block != nullptr;
    }
    if (ImmGetIMCCSize(block) == size) return true;
    if (HIMCC resized = ImmReSizeIMCC(block, size)) {
        block = resized;
        return true;
    }
    ImmDestroyIMCC(block);
    block = ImmCreateIMCC(size);
    return false;
}

template <class Init>
bool initBlock(HIMCC handle, Init init) {
    auto* data = static_cast<uint8_t*>(ImmLockIMCC(handle));
    if (!data) return false;
    const bool ok = init(Block{data, ImmGetIMCCSize(handle)});
    ImmUnlockIMCC(handle);
    return ok;
}

// The conversion and open state an input context starts with: a stored
// custom state, or what the system gave it.
void applyInitialState(INPUTCONTEXT& imc, EngineContext& engine) {
    const ImeSettings& ime = settingsOf(engine).ime;
    if (ime && (ime.c() & ImeSettings::C_CustomInitialState)) {
        const DWORD stored = ime.u32(ImeSettings::InitialMode);
        const bool closed = (stored & IME_CMODE_NOCONVERSION) != 0;
        imc.fOpen = closed ? FALSE : TRUE;
        imc.fdwConversion = closed ? stored & ~IME_CMODE_NATIVE : (stored & ~IME_CMODE_NOCONVERSION) | IME_CMODE_NATIVE;
        imc.fdwInit |= kInitConversion;
    }
    takeModesFromConversion(engine, imc.fdwConversion);
}

BOOL select(HIMC himc) {
    INPUTCONTEXT* imc = ImmLockIMC(himc);
    if (!imc) return FALSE;
    bool ok = ensureBlock(imc->hCompStr, composition_block::Size);
    ok = ensureBlock(imc->hCandInfo, candidate_block::Size) && ok;
    ok = ensureBlock(imc->hPrivate, PrivateBlockSize) && ok;
    ok = ok && initBlock(imc->hCompStr, initCompositionBlock) && initBlock(imc->hCandInfo, initCandidateBlock);
    if (ok) {
        delete recordOf(*imc);
        setRecord(*imc, nullptr);
        // A library that cannot open its data leaves the context without an
        // engine: every key then goes to the application.
        if (Engine engine = host::openInstanceEngine(desktop())) {
            auto* record = new ImeContext(std::move(engine));
            setRecord(*imc, record);
            focusGained(record->engine());
            applyInitialState(*imc, record->engine());
        }
    }
    ImmUnlockIMC(himc);
    return ok ? TRUE : FALSE;
}

BOOL deselect(HIMC himc) {
    ImeContext* record = nullptr;
    {
        LockedContext locked(himc);
        INPUTCONTEXT* imc = locked.imc();
        if (!imc) return FALSE;
        ImeContext* ime = locked.ime();
        if (!ime) return TRUE;
        imc->fdwConversion &= ~IME_CMODE_NOCONVERSION;
        ImeSettings& settings = settingsOf(ime->engine()).ime;
        const uint32_t saveBoth = ImeSettings::C_CustomInitialState | ImeSettings::C_SaveInitialState;
        if (settings && (settings.c() & saveBoth) == saveBoth) {
            settings.setU32(ImeSettings::InitialMode, imc->fdwConversion);
            saveSettings(ime->engine());
        }
        clearInput(ime->engine(), true);
        record = ime;
        setRecord(*imc, nullptr);
    }
    delete record;
    return TRUE;
}

bool composing(EngineContext& engine) { return viewOf(engine).composing; }

void copyText(void* data, std::u16string_view text, size_t units) {
    const size_t n = std::min(text.size(), units);
    auto* out = static_cast<wchar_t*>(data);
    std::memcpy(out, text.data(), n * sizeof(wchar_t));
    out[n] = 0;
}

// An engine for the calls that have no selected context of their own.
Engine temporaryEngine() { return host::openInstanceEngine(desktop()); }

// The context's engine, or one opened for the call when it has none.
template <class F>
void withAnyEngine(HIMC himc, F&& use) {
    LockedContext locked(himc);
    if (locked.record()) return use(&locked.record()->engine());
    Engine temporary = temporaryEngine();
    use(temporary.get());
}

}  // namespace

extern "C" {

BOOL WINAPI ImeInquire(IMEINFO* info, LPWSTR uiClass, DWORD systemInfo) {
    return guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (!info || !uiClass) return FALSE;
        g_onSecureDesktop = (systemInfo & kSystemInfoWinlogon) != 0;
        *info = IMEINFO{PrivateBlockSize, kProperties, kConversionCaps, 0, kImeUiSoftKeyboard,
                        kScsCapCompositionString, kSelectCapConversion};
        registerUiWindowClass(host::moduleHandle());
        const size_t n = std::min<size_t>(wcslen(kUiClassName), kUiClassUnits - 1);
        std::memcpy(uiClass, kUiClassName, n * sizeof(wchar_t));
        uiClass[n] = 0;
        return TRUE;
    });
}

BOOL WINAPI ImeConfigure(HKL, HWND, DWORD, LPVOID) {
    return guarded<BOOL>(FALSE, []() -> BOOL {
        // Nothing is started from the sign-in desktop: the program would
        // run for the system.
        if (desktop() == host::Desktop::Secure) return FALSE;
        Engine engine = temporaryEngine();
        if (!engine) return FALSE;
        std::u16string program = std::u16string(installFolder(*engine)) + u"config.exe";
        std::u16string arguments = u"/n '" + std::u16string(instanceName(*engine)) + u"'";
        return services(*engine).shell && services(*engine).shell->run(program, arguments, false) ? TRUE : FALSE;
    });
}

BOOL WINAPI ImeSelect(HIMC himc, BOOL selecting) {
    return guarded<BOOL>(FALSE, [&] { return selecting ? select(himc) : deselect(himc); });
}

BOOL WINAPI ImeSetActiveContext(HIMC, BOOL) { return TRUE; }

BOOL WINAPI ImeDestroy(UINT) { return TRUE; }

BOOL WINAPI ImeProcessKey(HIMC himc, UINT virtualKey, LPARAM keyData, const BYTE* keyState) {
    return guarded<BOOL>(FALSE, [&]() -> BOOL {
        LockedContext locked(himc);
        ImeContext* ime = locked.ime();
        if (!ime || !locked.imc()->fOpen || !keyState) return FALSE;
        KeyboardState keys;
        keys.shift = (keyState[VK_SHIFT] & 0x80) != 0;
        keys.ctrl = (keyState[VK_CONTROL] & 0x80) != 0;
        keys.alt = (keyState[VK_MENU] & 0x80) != 0;
        keys.capsLock = (keyState[VK_CAPITAL] & 0x01) != 0;
        keys.fromEngine = static_cast<uintptr_t>(GetMessageExtraInfo()) == platform::EngineKeyMark;
        const auto data = static_cast<uint32_t>(keyData);
        const bool up = (data & 0x80000000u) != 0;
        return testKey(ime->engine(), static_cast<int>(virtualKey & 0xFF), data, up, keys) ? TRUE : FALSE;
    });
}

UINT WINAPI ImeToAsciiEx(UINT, UINT, const BYTE*, TRANSMSGLIST*, UINT, HIMC himc) {
    // The messages go through the context's own buffer (ImmGenerateMessage),
    // so the list the system passes stays empty.
    return guarded<UINT>(0, [&]() -> UINT {
        LockedContext locked(himc);
        if (ImeContext* ime = locked.ime()) processKey(ime->engine());
        return 0;
    });
}

BOOL WINAPI NotifyIME(HIMC himc, DWORD action, DWORD index, DWORD) {
    return guarded<BOOL>(FALSE, [&]() -> BOOL {
        LockedContext locked(himc);
        if (action == NI_COMPOSITIONSTR && (index == CPS_COMPLETE || index == CPS_REVERT || index == CPS_CANCEL)) {
            // Asked from inside a message this input method sent: the
            // composition goes when that call is done.
            if (!locked.ime() && locked.record()) {
                locked.record()->deferCancel();
                return TRUE;
            }
            ImeContext* ime = locked.ime();
            if (!ime || !composing(ime->engine())) return FALSE;
            clearInput(ime->engine(), true);
            return TRUE;
        }
        // The application or the system set the conversion or open status.
        if (action == kNotifyContextUpdate && (index == kContextSetConversionMode || index == kContextSetOpenStatus)) {
            ImeContext* ime = locked.ime();
            if (!ime) return FALSE;
            takeModesFromConversion(ime->engine(), locked.imc()->fdwConversion);
            return TRUE;
        }
        return FALSE;
    });
}

LRESULT WINAPI ImeEscape(HIMC himc, UINT escape, LPVOID data) {
    return guarded<LRESULT>(0, [&]() -> LRESULT {
        if (!data) return 0;
        switch (escape) {
        case IME_ESC_QUERY_SUPPORT: *static_cast<UINT*>(data) = 1; return 1;
        case IME_ESC_MAX_KEY: *static_cast<UINT*>(data) = kMaxKey; return 1;
        case IME_ESC_IME_NAME:
            withAnyEngine(himc, [&](EngineContext* engine) {
                const SoftSettings soft = engine ? settingsOf(*engine).soft : SoftSettings{};
                copyText(data, soft ? soft.text(SoftSettings::DisplayName, kImeNameUnits + 1) : u"", kImeNameUnits);
            });
            return 1;
        case IME_ESC_GETHELPFILENAME:
            withAnyEngine(himc, [&](EngineContext* engine) {
                const std::u16string path = engine ? std::u16string(installFolder(*engine)) + u"main.chm" : u"";
                copyText(data, path, kHelpPathUnits - 1);
            });
            return 1;
        default: return 0;
        }
    });
}

// Conversion lists and the registration of words go through the input
// method's own word tools, not through these.
DWORD WINAPI ImeConversionList(HIMC, LPCWSTR, CANDIDATELIST*, DWORD, UINT) { return 0; }
UINT WINAPI ImeEnumRegisterWord(REGISTERWORDENUMPROCW, LPCWSTR, DWORD, LPCWSTR, LPVOID) { return 0; }
UINT WINAPI ImeGetRegisterWordStyle(UINT, STYLEBUFW*) { return 0; }
BOOL WINAPI ImeRegisterWord(LPCWSTR, DWORD, LPCWSTR) { return FALSE; }
BOOL WINAPI ImeUnregisterWord(LPCWSTR, DWORD, LPCWSTR) { return FALSE; }
BOOL WINAPI ImeSetCompositionString(HIMC, DWORD, LPVOID, DWORD, LPVOID, DWORD) { return FALSE; }

}  // extern "C"
