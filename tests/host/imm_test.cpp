// The IMM32 input method as the system loads it: installed as a keyboard
// layout of its own, selected into real input contexts, driven through its
// exports the way imm32 calls them on a key, and read back through the
// application's side of IMM32 (the messages its window receives, the
// composition string and candidate list it reads). Needs a display: the
// messages go to a window.

#include "engine/config_store.h"
#include "engine/data_files.h"
#include "host/imm/ime_api.h"
#include "platform/registry.h"
#include "tests/desktop/desktop_folder.h"
#include "tests/host/installed_ime.h"
#include "tests/host/screen_pixels.h"
#include "tests/support/data_fixture.h"
#include "ui/candidate_window.h"
#include "ui/engine_view.h"
#include "ui/paint.h"
#include "ui/skin_package.h"
#include "ui/soft_keyboard.h"
#include "ui/status_bar.h"
#include "engine/key_functions.h"
#include "ui/skin_loader.h"
#include "ui/win32/gdi_text.h"
#include "platform/utf.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace zv::test {
namespace {

using ProcessKeyFn = BOOL(WINAPI*)(HIMC, UINT, LPARAM, const BYTE*);
using ToAsciiExFn = UINT(WINAPI*)(UINT, UINT, const BYTE*, TRANSMSGLIST*, UINT, HIMC);
using InquireFn = BOOL(WINAPI*)(IMEINFO*, LPWSTR, DWORD);
using EscapeFn = LRESULT(WINAPI*)(HIMC, UINT, LPVOID);
using NotifyFn = BOOL(WINAPI*)(HIMC, DWORD, DWORD, DWORD);
using SelectFn = BOOL(WINAPI*)(HIMC, BOOL);

std::string utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

// What the application's window saw, one line per message.
struct Transcript {
    std::vector<std::string> lines;
    HIMC himc = nullptr;
    // Called from inside WM_IME_COMPOSITION, as some applications do.
    bool cancelOnComposition = false;
    NotifyFn notify = nullptr;
};
Transcript* g_transcript = nullptr;

std::wstring compositionString(HIMC himc, DWORD which) {
    LONG bytes = ImmGetCompositionStringW(himc, which, nullptr, 0);
    if (bytes <= 0) return {};
    std::wstring s(static_cast<size_t>(bytes) / sizeof(wchar_t), L'\0');
    ImmGetCompositionStringW(himc, which, s.data(), static_cast<DWORD>(bytes));
    return s;
}

LRESULT CALLBACK applicationWindow(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    Transcript* t = g_transcript;
    if (t && m >= WM_IME_STARTCOMPOSITION && m <= WM_IME_KEYLAST) {
        if (m == WM_IME_STARTCOMPOSITION) t->lines.push_back("start");
        if (m == WM_IME_ENDCOMPOSITION) t->lines.push_back("end");
        if (m == WM_IME_COMPOSITION) {
            if (lp & GCS_RESULTSTR) t->lines.push_back("result " + utf8(compositionString(t->himc, GCS_RESULTSTR)));
            else t->lines.push_back("comp " + utf8(compositionString(t->himc, GCS_COMPSTR)));
            if (t->cancelOnComposition && t->notify) {
                t->cancelOnComposition = false;
                t->notify(t->himc, NI_COMPOSITIONSTR, CPS_CANCEL, 0);
            }
        }
        return 0;
    }
    if (t && m == WM_IME_NOTIFY) {
        if (wp == IMN_OPENCANDIDATE) t->lines.push_back("open candidates");
        if (wp == IMN_CLOSECANDIDATE) t->lines.push_back("close candidates");
        return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

InstalledIme& process() {
    static InstalledIme p(applicationWindow);
    return p;
}

template <class F>
F exported(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(kImeFile), name)));
}

class ImeTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstalledIme& p = process();
        ASSERT_NE(nullptr, p.layout) << "the input method could not be installed as a layout";
        ASSERT_NE(nullptr, p.window) << "no window (is there a display?)";
        himc = ImmCreateContext();
        ASSERT_NE(nullptr, himc);
        // imm32 falls back to its own input method when ours fails to load.
        ASSERT_NE(nullptr, GetModuleHandleW(kImeFile)) << "imm32 did not load the input method";
        previous = ImmAssociateContext(p.window, himc);
        SetFocus(p.window);
        processKey = exported<ProcessKeyFn>("ImeProcessKey");
        toAscii = exported<ToAsciiExFn>("ImeToAsciiEx");
        transcript.himc = himc;
        transcript.notify = exported<NotifyFn>("NotifyIME");
        g_transcript = &transcript;
    }
    void TearDown() override {
        g_transcript = nullptr;
        if (himc) {
            ImmAssociateContext(process().window, previous);
            ImmDestroyContext(himc);
        }
    }

    // One key press as imm32 hands it on: the key test, then the key.
    bool press(UINT vk, bool ctrl = false, bool shift = false) {
        BYTE state[256] = {};
        if (ctrl) state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
        if (shift) state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
        state[vk & 0xFF] = 0x80;
        const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
        const LPARAM data = 1 | (static_cast<LPARAM>(scan) << 16);
        if (!processKey(himc, vk, data, state)) return false;
        toAscii(vk, scan, state, nullptr, 0, himc);
        // The release, as the system sends it.
        state[vk & 0xFF] = 0;
        const LPARAM up = data | static_cast<LPARAM>(0xC0000000u);
        if (processKey(himc, vk, up, state)) toAscii(vk, scan | 0x8000, state, nullptr, 0, himc);
        return true;
    }
    void type(const std::string& keys) {
        for (char c : keys) press(c == ' ' ? VK_SPACE : static_cast<UINT>(toupper(static_cast<unsigned char>(c))));
    }
    std::vector<std::wstring> candidates() {
        std::vector<std::wstring> out;
        DWORD bytes = ImmGetCandidateListW(himc, 0, nullptr, 0);
        if (!bytes) return out;
        std::vector<BYTE> buffer(bytes);
        auto* list = reinterpret_cast<CANDIDATELIST*>(buffer.data());
        ImmGetCandidateListW(himc, 0, list, bytes);
        for (DWORD i = 0; i < list->dwCount; ++i)
            out.emplace_back(reinterpret_cast<const wchar_t*>(buffer.data() + list->dwOffset[i]));
        return out;
    }
    // The composition messages alone, without the candidate notifications.
    std::vector<std::string> compositionEvents() const {
        std::vector<std::string> r;
        for (const std::string& l : transcript.lines)
            if (l.find("candidates") == std::string::npos) r.push_back(l);
        return r;
    }
    std::vector<std::string> results() const {
        std::vector<std::string> r;
        for (const std::string& l : transcript.lines)
            if (l.rfind("result ", 0) == 0) r.push_back(l.substr(7));
        return r;
    }

    HIMC himc = nullptr;
    HIMC previous = nullptr;
    ProcessKeyFn processKey = nullptr;
    ToAsciiExFn toAscii = nullptr;
    Transcript transcript;
};

TEST_F(ImeTest, DeclaresItselfAndSizesTheBlocksOfASelectedContext) {
    IMEINFO info = {};
    wchar_t uiClass[16] = {};
    ASSERT_TRUE(exported<InquireFn>("ImeInquire")(&info, uiClass, 0));
    EXPECT_EQ(40u, info.dwPrivateDataSize);
    EXPECT_EQ(0xA0002u, info.fdwProperty);
    EXPECT_EQ(0x5A9u, info.fdwConversionCaps);
    EXPECT_EQ(4u, info.fdwUICaps);
    EXPECT_STREQ(L"ZORVAN3UI", uiClass);

    INPUTCONTEXT* imc = ImmLockIMC(himc);
    ASSERT_NE(nullptr, imc);
    EXPECT_EQ(1050998u, ImmGetIMCCSize(imc->hCompStr));
    EXPECT_EQ(74784u, ImmGetIMCCSize(imc->hCandInfo));
    EXPECT_GE(ImmGetIMCCSize(imc->hPrivate), 40u);
    auto* priv = static_cast<BYTE*>(ImmLockIMCC(imc->hPrivate));
    void* record = nullptr;
    memcpy(&record, priv, sizeof record);
    EXPECT_NE(nullptr, record) << "no engine was attached";
    ImmUnlockIMCC(imc->hPrivate);
    ImmUnlockIMC(himc);
}

TEST_F(ImeTest, TypesAWordAndCommitsItWithSpace) {
    type("wqvb");
    const std::vector<std::wstring> shown = candidates();
    ASSERT_EQ(2u, shown.size());
    EXPECT_EQ(L"你好", shown[0]);
    EXPECT_EQ(L"wqvb", compositionString(himc, GCS_COMPSTR));
    press(VK_SPACE);
    EXPECT_EQ(std::vector<std::string>{"你好"}, results());
    ASSERT_FALSE(transcript.lines.empty());
    EXPECT_EQ("start", transcript.lines.front());
    EXPECT_EQ("end", compositionEvents().back());
    EXPECT_TRUE(candidates().empty());
}

TEST_F(ImeTest, AUniqueCodeAndAFifthKeyCommitEachAsOneResultBeforeTheNewComposition) {
    // ggll is unique: it commits at once; wq starts the next composition.
    type("ggllwq");
    EXPECT_EQ(std::vector<std::string>{"一"}, results());
    const std::vector<std::string> events = compositionEvents();
    auto at = std::find(events.begin(), events.end(), "result 一");
    ASSERT_NE(events.end(), at);
    ASSERT_GE(events.end() - at, 4);
    EXPECT_EQ("end", at[1]);
    EXPECT_EQ("start", at[2]);
    EXPECT_EQ("comp w", at[3]);
    EXPECT_EQ(L"wq", compositionString(himc, GCS_COMPSTR));

    // wqvb has two words; a fifth code key commits the first and begins
    // the next code with itself.
    transcript.lines.clear();
    type("vbw");
    EXPECT_EQ(std::vector<std::string>{"你好"}, results());
    EXPECT_EQ(L"w", compositionString(himc, GCS_COMPSTR));
    EXPECT_EQ("comp w", compositionEvents().back());
}

TEST_F(ImeTest, ControlLettersGoToTheApplication) {
    EXPECT_FALSE(press('C', true));
    EXPECT_TRUE(transcript.lines.empty());
}

TEST_F(ImeTest, CompletingTheCompositionFromOutsideClearsItWithoutACommit) {
    NotifyFn notify = exported<NotifyFn>("NotifyIME");
    EXPECT_FALSE(notify(himc, NI_COMPOSITIONSTR, CPS_COMPLETE, 0)) << "nothing to clear yet";
    type("wq");
    EXPECT_TRUE(notify(himc, NI_COMPOSITIONSTR, CPS_COMPLETE, 0));
    EXPECT_TRUE(results().empty());
    EXPECT_EQ("end", compositionEvents().back());
    EXPECT_EQ(L"", compositionString(himc, GCS_COMPSTR));
    // The next key starts afresh.
    type("wqvb ");
    EXPECT_EQ(std::vector<std::string>{"你好"}, results());
}

TEST_F(ImeTest, AnApplicationThatCancelsInsideTheMessageLosesNothingElse) {
    transcript.cancelOnComposition = true;
    type("w");
    // The cancel asked for inside the message ran when the key was done.
    EXPECT_EQ("end", compositionEvents().back());
    EXPECT_EQ(L"", compositionString(himc, GCS_COMPSTR));
    transcript.lines.clear();
    type("wqvb ");
    EXPECT_EQ(std::vector<std::string>{"你好"}, results());
}

TEST_F(ImeTest, EscapesAnswerTheirQuestions) {
    EscapeFn escape = exported<EscapeFn>("ImeEscape");
    UINT value = 0;
    EXPECT_EQ(1, escape(himc, IME_ESC_MAX_KEY, &value));
    EXPECT_EQ(128u, value);
    value = IME_ESC_MAX_KEY;
    EXPECT_EQ(1, escape(himc, IME_ESC_QUERY_SUPPORT, &value));
    EXPECT_EQ(1u, value);
    wchar_t text[MAX_PATH] = {};
    EXPECT_EQ(1, escape(himc, IME_ESC_GETHELPFILENAME, text));
    std::wstring help = text;
    ASSERT_GE(help.size(), 8u);
    EXPECT_EQ(L"main.chm", help.substr(help.size() - 8));
    EXPECT_EQ(0, escape(himc, 0x7777, text));
    EXPECT_EQ(0, escape(himc, IME_ESC_MAX_KEY, nullptr));
}

// Loaded by the sign-in desktop, the input method types with the user's
// tables but changes none of their files: not what it learns from a
// candidate chosen, temporary words or the commit history, nor the initial
// state saved when a context leaves. It starts no program there.
class ImeSecureDesktop : public ImeTest {
protected:
    void SetUp() override {
        IMEINFO info = {};
        wchar_t uiClass[16] = {};
        ASSERT_TRUE(exported<InquireFn>("ImeInquire")(&info, uiClass, kWinlogon));
        ImeTest::SetUp();
    }
    void TearDown() override {
        ImeTest::TearDown();
        IMEINFO info = {};
        wchar_t uiClass[16] = {};
        exported<InquireFn>("ImeInquire")(&info, uiClass, 0);
    }
    static constexpr DWORD kWinlogon = 0x0001;  // IME_SYSINFO_WINLOGON
};

TEST_F(ImeSecureDesktop, TypesWithTheUsersTablesButChangesNoneOfTheirFilesAndStartsNothing) {
    InstalledIme& p = process();
    SettingsBlocks b = p.fx.blocks();
    const uint32_t optionC = b.ime.c();
    b.ime.setU32(ImeSettings::OptionC, optionC | ImeSettings::C_CustomInitialState | ImeSettings::C_SaveInitialState);
    overwrite(p.fx, "config.dsc", p.fx.config);
    const auto before = folderBytes(p.fx.dir.path());

    type("wqvb2");
    type("ggllkhk lgyi");
    EXPECT_EQ((std::vector<std::string>{"您好", "一", "中", "国"}), results());
    DWORD conversion = 0, sentence = 0;
    ImmGetConversionStatus(himc, &conversion, &sentence);
    ImmSetConversionStatus(himc, conversion | IME_CMODE_FULLSHAPE, sentence);
    ImmAssociateContext(p.window, previous);
    ImmDestroyContext(himc);
    himc = nullptr;
    EXPECT_TRUE(before == folderBytes(p.fx.dir.path()));

    using ConfigureFn = BOOL(WINAPI*)(HKL, HWND, DWORD, LPVOID);
    EXPECT_FALSE(exported<ConfigureFn>("ImeConfigure")(p.layout, p.window, IME_CONFIG_GENERAL, nullptr));

    b.ime.setU32(ImeSettings::OptionC, optionC);
    overwrite(p.fx, "config.dsc", p.fx.config);
}

// With a stored initial state that is saved on leaving, a context starts as
// the last one ended: full shape and Chinese punctuation come back, but
// never no-conversion.
TEST(ImeInitialState, IsSavedOnDeselectAndNeverStartsWithoutConversion) {
    InstalledIme& p = process();
    ASSERT_NE(nullptr, p.layout);
    ASSERT_NE(nullptr, exported<SelectFn>("ImeSelect"));
    SettingsBlocks b = p.fx.blocks();
    b.ime.setU32(ImeSettings::OptionC,
                 b.ime.c() | ImeSettings::C_CustomInitialState | ImeSettings::C_SaveInitialState);
    b.ime.setU32(ImeSettings::InitialMode, IME_CMODE_SYMBOL);
    overwrite(p.fx, "config.dsc", p.fx.config);

    HIMC first = ImmCreateContext();
    ASSERT_NE(nullptr, first);
    DWORD conversion = 0, sentence = 0;
    ImmGetConversionStatus(first, &conversion, &sentence);
    EXPECT_TRUE(conversion & IME_CMODE_NATIVE);
    EXPECT_FALSE(conversion & IME_CMODE_FULLSHAPE);
    ImmSetConversionStatus(first, IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE | IME_CMODE_SYMBOL | IME_CMODE_NOCONVERSION,
                           sentence);
    ImmDestroyContext(first);

    HIMC second = ImmCreateContext();
    ASSERT_NE(nullptr, second);
    ImmGetConversionStatus(second, &conversion, &sentence);
    EXPECT_TRUE(conversion & IME_CMODE_FULLSHAPE);
    EXPECT_TRUE(conversion & IME_CMODE_SYMBOL);
    EXPECT_FALSE(conversion & IME_CMODE_NOCONVERSION);
    EXPECT_TRUE(ImmGetOpenStatus(second));
    ImmDestroyContext(second);

    b.ime.setU32(ImeSettings::OptionC, b.ime.c() & ~(ImeSettings::C_CustomInitialState | ImeSettings::C_SaveInitialState));
    overwrite(p.fx, "config.dsc", p.fx.config);
}

// A damaged config.dsc or main.dmg keeps the engine closed: every key goes
// to the application, and nothing crashes.
TEST(ImeDamagedData, LetsEveryKeyThrough) {
    InstalledIme& p = process();
    ASSERT_NE(nullptr, p.layout);
    ASSERT_NE(nullptr, exported<ProcessKeyFn>("ImeProcessKey"));
    for (const char* file : {"config.dsc", "main.dmg"}) {
        SCOPED_TRACE(file);
        const std::vector<uint8_t> intact = p.fx.dir.read(file);
        ASSERT_GT(intact.size(), 200u);
        overwrite(p.fx, file, std::vector<uint8_t>(200, 0xEE));
        HIMC himc = ImmCreateContext();
        ASSERT_NE(nullptr, himc);
        BYTE state[256] = {};
        state['W'] = 0x80;
        EXPECT_FALSE(exported<ProcessKeyFn>("ImeProcessKey")(himc, 'W', 1 | (0x11 << 16), state));
        ImmDestroyContext(himc);
        overwrite(p.fx, file, intact);
    }
}

// A skin package that does not load leaves the input method without its
// windows, and typing goes on.
TEST_F(ImeTest, ADamagedSkinShowsNoWindowAndTypingGoesOn) {
    DataFixture& fx = process().fx;
    Engine engine = openEngineFolder(fx.dir.folder(), fx.dir.folder(), platform::Platform{});
    ASSERT_NE(nullptr, engine);
    ui::LoadedSkin skin;
    ASSERT_TRUE(ui::loadCurrentSkin(fx.dir.folder(), settingsOf(*engine).skin, skin));
    const std::wstring package(skin.info.packagePath.begin(), skin.info.packagePath.end());
    FILE* f = _wfopen(package.c_str(), L"rb");
    ASSERT_NE(nullptr, f);
    std::vector<uint8_t> intact(1 << 20);
    intact.resize(fread(intact.data(), 1, intact.size(), f));
    fclose(f);
    f = _wfopen(package.c_str(), L"r+b");
    ASSERT_NE(nullptr, f);
    const std::vector<uint8_t> junk(intact.size(), 0xEE);
    fwrite(junk.data(), 1, junk.size(), f);
    fclose(f);

    HWND ui = CreateWindowW(L"ZORVAN3UI", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleW(kImeFile), nullptr);
    ASSERT_NE(nullptr, ui);
    SetWindowLongPtrW(ui, 0, reinterpret_cast<LONG_PTR>(himc));
    type("wq");
    SendMessageW(ui, WM_IME_NOTIFY, IMN_OPENCANDIDATE, 1);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    HWND popup = FindWindowExW(nullptr, nullptr, L"ZORURAVED_CAND", nullptr);
    EXPECT_FALSE(popup && IsWindowVisible(popup));
    ASSERT_FALSE(candidates().empty());
    const std::string first = utf8(candidates()[0]);
    type(" ");
    EXPECT_EQ(std::vector<std::string>{first}, results());
    DestroyWindow(ui);

    f = _wfopen(package.c_str(), L"r+b");
    ASSERT_NE(nullptr, f);
    fwrite(intact.data(), 1, intact.size(), f);
    fclose(f);
}

// The candidate window the input method shows for wq: a layered window that
// never takes the focus, of the size the portable layout gives the same page
// in the same skin with the same GDI text.
TEST_F(ImeTest, ShowsTheCandidateWindowOfThePortableLayout) {
    HMODULE ime = GetModuleHandleW(kImeFile);
    HWND ui = CreateWindowW(L"ZORVAN3UI", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, ime, nullptr);
    ASSERT_NE(nullptr, ui);
    // The system's own UI window would hold the context; this one is told.
    SetWindowLongPtrW(ui, 0, reinterpret_cast<LONG_PTR>(himc));
    type("wq");
    SendMessageW(ui, WM_IME_NOTIFY, IMN_OPENCANDIDATE, 1);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);

    HWND popup = FindWindowExW(nullptr, nullptr, L"ZORURAVED_CAND", nullptr);
    ASSERT_NE(nullptr, popup);
    EXPECT_TRUE(IsWindowVisible(popup));
    EXPECT_TRUE(GetWindowLongW(popup, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(GetWindowLongW(popup, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
    EXPECT_NE(popup, GetForegroundWindow());
    RECT r = {};
    GetWindowRect(popup, &r);

    // The same page laid out here, by the portable code.
    DataFixture& fx = process().fx;
    Engine engine = openEngineFolder(fx.dir.folder(), fx.dir.folder(), platform::Platform{});
    ASSERT_NE(nullptr, engine);
    focusGained(*engine);
    for (int vk : {'W', 'Q'}) {
        if (testKey(*engine, vk, keyDataFor(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC), false, false), false, {}))
            zv::processKey(*engine);
    }
    ui::LoadedSkin skin;
    ASSERT_TRUE(ui::loadCurrentSkin(fx.dir.folder(), settingsOf(*engine).skin, skin));
    ui::win32::GdiTextRenderer text;
    const ui::UiOptions options = ui::uiOptions(settingsOf(*engine), false);
    const ui::UiFonts fonts = ui::createUiFonts(text, skin.info.text, settingsOf(*engine).skin, false);
    const ui::UiView view = ui::viewOf(*engine, false);
    ui::CandidateWindowState expected;
    ui::layoutCandidateWindow(expected, {view, options, skin.info, skin.images, fonts});
    EXPECT_EQ(expected.width, r.right - r.left);
    EXPECT_EQ(expected.height, r.bottom - r.top);
    ASSERT_FALSE(view.items.empty());
    EXPECT_EQ(u"你", view.items[0].text);

    // What the screen shows there is the portable picture over what is
    // behind the window, texts included (the same GDI draws both).
    ui::Canvas painted;
    ui::paintCandidateWindow(expected, skin.images, fonts, painted);
    const PixelComparison same = screenMatches(r, painted, 3);
    EXPECT_EQ(static_cast<size_t>(expected.width) * static_cast<size_t>(expected.height), same.compared);
    // The window is shaped to its background: a pixel the skin leaves
    // fully transparent is not the window's (a click there goes behind).
    // (Without a region the window is its whole rectangle.)
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    const bool shaped = GetWindowRgn(popup, shape) != ERROR;
    size_t outside = 0, mismatched = 0;
    for (int32_t y = 0; y < expected.height; ++y) {
        for (int32_t x = 0; x < expected.width; ++x) {
            const bool opaque = (expected.background.at(x, y) >> 24) != 0;
            outside += !opaque;
            mismatched += opaque != (!shaped || PtInRegion(shape, x, y) != FALSE);
        }
    }
    DeleteObject(shape);
    EXPECT_EQ(0u, mismatched) << outside << " transparent pixels";
    EXPECT_EQ(0u, same.differing);

    // Clicks: the paging buttons turn the page, a candidate commits.
    auto click = [&](int32_t x, int32_t y) {
        const LPARAM at = MAKELPARAM(x, y);
        SendMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(popup, WM_LBUTTONUP, 0, at);
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    };
    const ui::WindowButton& next = expected.button(ui::CandidateButton::NextPage);
    ASSERT_TRUE(next.shown());
    click(next.x + next.width / 2, next.y + next.height / 2);
    ASSERT_FALSE(candidates().empty());
    EXPECT_NE(L"你", candidates()[0]) << "the second page";
    // The second page's window, laid out here the same way.
    uiCommand(*engine, ui_command::NextPage, 0, 0);
    ui::CandidateWindowState secondPage;
    const ui::UiView secondView = ui::viewOf(*engine, false);
    ui::layoutCandidateWindow(secondPage, {secondView, options, skin.info, skin.images, fonts});
    const ui::WindowButton& previous = secondPage.button(ui::CandidateButton::PreviousPage);
    ASSERT_TRUE(previous.shown());
    click(previous.x + previous.width / 2, previous.y + previous.height / 2);
    ASSERT_FALSE(candidates().empty());
    EXPECT_EQ(L"你", candidates()[0]);
    const ui::DisplayPart& second = expected.slots[1].text;
    click(second.x + second.width / 2, second.y + second.height / 2);
    EXPECT_EQ(std::vector<std::string>{utf16ToUtf8(view.items[1].text)}, results());
    type("wq");

    // Escape closes the composition, and the window goes.
    press(VK_ESCAPE);
    SendMessageW(ui, WM_IME_NOTIFY, IMN_CLOSECANDIDATE, 1);
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    EXPECT_FALSE(IsWindowVisible(popup));
    DestroyWindow(ui);
}

// The status bar shows when the system asks for it, and its Chinese/English
// button switches the context to English and back.
TEST_F(ImeTest, TheStatusBarButtonSwitchesToEnglishAndBack) {
    HMODULE ime = GetModuleHandleW(kImeFile);
    HWND ui = CreateWindowW(L"ZORVAN3UI", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, ime, nullptr);
    ASSERT_NE(nullptr, ui);
    SetWindowLongPtrW(ui, 0, reinterpret_cast<LONG_PTR>(himc));
    auto settle = [] {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    };
    SendMessageW(ui, WM_IME_NOTIFY, IMN_OPENSTATUSWINDOW, 0);
    settle();
    HWND bar = FindWindowExW(nullptr, nullptr, L"ZORURAVED_STATUS", nullptr);
    ASSERT_NE(nullptr, bar);
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_TRUE(GetWindowLongW(bar, GWL_EXSTYLE) & WS_EX_NOACTIVATE);

    // Where the button is: the portable layout of the same bar.
    DataFixture& fx = process().fx;
    Engine engine = openEngineFolder(fx.dir.folder(), fx.dir.folder(), platform::Platform{});
    ASSERT_NE(nullptr, engine);
    ui::LoadedSkin skin;
    ASSERT_TRUE(ui::loadCurrentSkin(fx.dir.folder(), settingsOf(*engine).skin, skin));
    ui::StatusBarState layout;
    const ui::Rect screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    ui::layoutStatusBar(layout, skin.info, skin.images, ui::viewOf(*engine, false), SkinSettings{}, screen, screen);
    const ui::WindowButton& button = layout.button(ui::StatusButton::ChineseEnglish);
    ASSERT_TRUE(button.shown());
    const LPARAM at = MAKELPARAM(button.x + button.width / 2, button.y + button.height / 2);
    auto click = [&] {
        SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(bar, WM_LBUTTONUP, 0, at);
        settle();
    };
    DWORD conversion = 0, sentence = 0;
    ImmGetConversionStatus(himc, &conversion, &sentence);
    EXPECT_FALSE(conversion & IME_CMODE_NOCONVERSION);
    click();
    ImmGetConversionStatus(himc, &conversion, &sentence);
    EXPECT_TRUE(conversion & IME_CMODE_NOCONVERSION) << "English after one click";
    EXPECT_FALSE(press('W')) << "English lets the letters through";
    click();
    ImmGetConversionStatus(himc, &conversion, &sentence);
    EXPECT_FALSE(conversion & IME_CMODE_NOCONVERSION);
    EXPECT_TRUE(press('W'));

    SendMessageW(ui, WM_IME_NOTIFY, IMN_CLOSESTATUSWINDOW, 0);
    settle();
    EXPECT_FALSE(IsWindowVisible(bar));
    DestroyWindow(ui);
}

// The whole way a typed key takes on Windows: SendInput, the window's
// message loop, TranslateMessage and the input method, into an EDIT
// control. (The input method hands its messages over through the
// context's own buffer, so the message list that 64-bit wine 8 misreads
// on this path is never used.)
class EditControl {
public:
    EditControl() {
        window = CreateWindowW(L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 80, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        SetForegroundWindow(window);
        SetActiveWindow(window);
        SetFocus(window);
        pump();
    }
    ~EditControl() { DestroyWindow(window); }
    static void pump() {
        MSG m;
        for (int round = 0; round < 20; ++round) {
            while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&m);
                DispatchMessageW(&m);
            }
            Sleep(10);
        }
    }
    static void key(UINT vk) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[1].ki.wVk = static_cast<WORD>(vk);
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
        pump();
    }
    std::wstring text() const {
        wchar_t t[64] = {};
        GetWindowTextW(window, t, 64);
        return t;
    }
    HWND window = nullptr;
};

TEST(ImeEndToEnd, AnEditControlReceivesTheWordTypedWithTheKeyboard) {
    InstalledIme& p = process();
    ASSERT_NE(nullptr, p.layout);
    EditControl edit;
    ASSERT_NE(nullptr, edit.window);
    for (UINT vk : {UINT('W'), UINT('Q'), UINT('V'), UINT('B'), UINT(VK_SPACE)}) edit.key(vk);
    EXPECT_EQ(L"你好", edit.text());
}

// The soft keyboard, switched on and to its Greek layout with a key bound
// to it, shows in its own window; a click on its Q key types α.
TEST(ImeEndToEnd, TheSoftKeyboardTypesAlpha) {
    InstalledIme& p = process();
    ASSERT_NE(nullptr, p.layout);
    SettingsBlocks b = p.fx.blocks();
    b.dme.setKeyMask(VK_F8, keyfn::SoftKeyboard);
    overwrite(p.fx, "config.dsc", p.fx.config);
    EditControl edit;
    ASSERT_NE(nullptr, edit.window);
    HIMC himc = ImmGetContext(edit.window);
    HWND ui = CreateWindowW(L"ZORVAN3UI", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleW(kImeFile), nullptr);
    ASSERT_NE(nullptr, ui);
    SetWindowLongPtrW(ui, 0, reinterpret_cast<LONG_PTR>(himc));
    edit.key(VK_F8);  // on, with the first layout
    edit.key(VK_F8);  // the next: Greek
    SendMessageW(ui, WM_IME_NOTIFY, IMN_SETCONVERSIONMODE, 0);
    EditControl::pump();
    HWND keyboard = FindWindowExW(nullptr, nullptr, L"ZORURAVED_SKBD", nullptr);
    ASSERT_NE(nullptr, keyboard);
    EXPECT_TRUE(IsWindowVisible(keyboard));
    EXPECT_TRUE(GetWindowLongW(keyboard, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
    int q = -1;
    for (int i = 0; i < ui::SoftKeyRects && q < 0; ++i)
        if (ui::softKeyVirtualKey(i) == 'Q') q = i;
    ASSERT_GE(q, 0);
    const ui::Rect r = ui::softKeyRect(q);
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(keyboard, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(keyboard, WM_LBUTTONUP, 0, at);
    EditControl::pump();
    EXPECT_EQ(L"α", edit.text());

    edit.key(VK_ESCAPE);
    ImmReleaseContext(edit.window, himc);
    DestroyWindow(ui);
    b.dme.setKeyMask(VK_F8, 0);
    overwrite(p.fx, "config.dsc", p.fx.config);
}

}  // namespace
}  // namespace zv::test
