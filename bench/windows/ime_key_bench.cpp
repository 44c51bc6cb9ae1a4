// The cost of one key through the IMM32 input method as an application
// sees it: ImeProcessKey and ImeToAsciiEx with their messages to the
// application's window, and the candidate window's layered update, against
// the same keys through an engine alone in the same run. Built for Windows
// and run under wine (scripts/bench). Prints each figure per key and as a
// ratio against the engine alone.

#include "engine/host.h"
#include "tests/host/installed_ime.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace zv;

constexpr int kPasses = 41;
// Words, a unique code, a fifth-key commit and a page turn, as typed.
constexpr char kStream[] = "wqvb ggllwq wqa lgyi khk wqvbw= ";

using ProcessKeyFn = BOOL(WINAPI*)(HIMC, UINT, LPARAM, const BYTE*);
using ToAsciiExFn = UINT(WINAPI*)(UINT, UINT, const BYTE*, void*, UINT, HIMC);

UINT virtualKeyOf(char c) {
    if (c == ' ') return VK_SPACE;
    if (c == '=') return VK_OEM_PLUS;
    return static_cast<UINT>(toupper(static_cast<unsigned char>(c)));
}

double seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

LRESULT CALLBACK application(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

// Nanoseconds per key of one pass of the stream through the engine alone.
double engineAlonePass(EngineContext& engine) {
    const double start = seconds();
    for (const char c : kStream) {
        if (!c) break;
        const UINT vk = virtualKeyOf(c);
        const uint32_t scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
        if (testKey(engine, static_cast<int>(vk), keyDataFor(scan, false, false), false, {})) processKey(engine);
        if (testKey(engine, static_cast<int>(vk), keyDataFor(scan, false, true), true, {})) processKey(engine);
    }
    return (seconds() - start) * 1e9 / (sizeof kStream - 1);
}

// The same through the input method's exports, with the candidate window
// drawn after every key as the system's UI window would.
double throughImePass(HIMC himc, HWND ui, ProcessKeyFn processKeyOf, ToAsciiExFn toAscii, bool draw) {
    const double start = seconds();
    BYTE state[256] = {};
    for (const char c : kStream) {
        if (!c) break;
        const UINT vk = virtualKeyOf(c);
        const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
        const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
        state[vk] = 0x80;
        if (processKeyOf(himc, vk, down, state)) toAscii(vk, scan, state, nullptr, 0, himc);
        state[vk] = 0;
        if (processKeyOf(himc, vk, down | static_cast<LPARAM>(0xC0000000u), state))
            toAscii(vk, scan | 0x8000, state, nullptr, 0, himc);
        if (!draw) continue;
        SendMessageW(ui, WM_IME_NOTIFY, IMN_CHANGECANDIDATE, 1);
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    }
    return (seconds() - start) * 1e9 / (sizeof kStream - 1);
}

}  // namespace

int main() {
    test::InstalledIme ime(application);
    HMODULE library = GetModuleHandleW(test::kImeFile);
    HIMC himc = ImmCreateContext();
    library = GetModuleHandleW(test::kImeFile);
    if (!ime.layout || !ime.window || !himc || !library) {
        std::printf("ime_key_bench: the input method could not be installed and loaded (is there a display?)\n");
        return 1;
    }
    ImmAssociateContext(ime.window, himc);
    SetFocus(ime.window);
    auto processKeyOf = reinterpret_cast<ProcessKeyFn>(reinterpret_cast<void*>(GetProcAddress(library, "ImeProcessKey")));
    auto toAscii = reinterpret_cast<ToAsciiExFn>(reinterpret_cast<void*>(GetProcAddress(library, "ImeToAsciiEx")));
    HWND ui = CreateWindowW(L"ZORVAN3UI", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, library, nullptr);
    if (!processKeyOf || !toAscii || !ui) {
        std::printf("ime_key_bench: the input method's exports or UI window are missing\n");
        return 1;
    }
    SetWindowLongPtrW(ui, 0, reinterpret_cast<LONG_PTR>(himc));

    Engine engine = openEngineFolder(ime.fx.dir.folder(), ime.fx.dir.folder(), platform::Platform{});
    if (!engine) return 1;
    focusGained(*engine);

    std::vector<double> alone, keys, through;
    for (int pass = 0; pass < kPasses; ++pass) {
        alone.push_back(engineAlonePass(*engine));
        keys.push_back(throughImePass(himc, ui, processKeyOf, toAscii, false));
        through.push_back(throughImePass(himc, ui, processKeyOf, toAscii, true));
    }
    const double base = median(alone), exports = median(keys), full = median(through);
    std::printf("one key, median of %d passes over %zu keys:\n", kPasses, sizeof kStream - 1);
    std::printf("  %-58s %10.0f ns  %6.2fx\n", "Baseline: the engine alone (testKey + processKey)", base, 1.0);
    std::printf("  %-58s %10.0f ns  %6.2fx\n", "ImeProcessKey + ImeToAsciiEx and their messages", exports,
                exports / base);
    std::printf("  %-58s %10.0f ns  %6.2fx\n", "ImeProcessKey + ImeToAsciiEx + candidate window update", full,
                full / base);
    DestroyWindow(ui);
    ImmAssociateContext(ime.window, nullptr);
    ImmDestroyContext(himc);
    return 0;
}
