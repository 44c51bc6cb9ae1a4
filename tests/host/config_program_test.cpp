// config.exe started as the engine starts it, and the library's own
// settings pages: the program opens from its command line on the asked-for
// tab and closes, refuses an unusable instance with its message, brings an
// open window to the front instead of opening a second, and the pages it
// hosts write their settings through to config.dsc.

#include "config/entry_editor.h"
#include "config/key_editor.h"
#include "engine/config_store.h"
#include "engine/host_view.h"
#include "engine/settings_text.h"
#include "engine/user_words.h"
#include "host/dll/config_objects.h"
#include "resources/version.h"
#include "tests/host/config_instance.h"

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#define ZV_WIDEN2(x) L##x
#define ZV_WIDEN(x) ZV_WIDEN2(x)
#define ZV_VERSION_WIDE ZV_WIDEN(ZV_VERSION_TEXT)

namespace zv::test {
namespace {

// Control ids of the dialogs (the program's and the library's resources).
constexpr int kTabs = 1000;
constexpr int kPageSize = 1027, kWindowLayout = 1038, kEmbeddedNote = 1010, kHideStatusBar = 1026;
constexpr int kEnglishLead = 1035, kAuxLabel = 1001, kAuxLead = 1050, kProgressive = 1032,
              kProgressiveEmpty = 1033, kFrequency = 1029, kAssociation = 1014;

int dialogsTitled(const wchar_t* title) {
    int n = 0;
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", title); w;
         w = FindWindowExW(nullptr, w, L"#32770", title))
        ++n;
    return n;
}

// What a user's choice sends: the selection, then its notification.
void chooseItem(HWND combo, int index) {
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}
void click(HWND button) {
    SendMessageW(button, BM_CLICK, 0, 0);
}

class ConfigProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        instance = new ConfigInstance;
        fx = &instance->fx;
        shipped = fx->config;
    }
    static void TearDownTestSuite() { delete instance; }
    void SetUp() override {
        fx->config = shipped;
        fx->writeConfig();
    }
    // config.dsc as the program left it.
    static std::vector<uint8_t> storedConfig() { return fx->dir.read("config.dsc"); }
    static std::wstring instanceArgument() { return ConfigInstance::instanceArgument(); }

    static ConfigInstance* instance;
    static DataFixture* fx;
    static std::vector<uint8_t> shipped;
};
ConfigInstance* ConfigProgram::instance = nullptr;
DataFixture* ConfigProgram::fx = nullptr;
std::vector<uint8_t> ConfigProgram::shipped;

TEST_F(ConfigProgram, OpensOnTheAskedForTabAndCloses) {
    Started program(instanceArgument() + L" /do MaBiao");
    ASSERT_TRUE(program.ok);
    HWND window = waitForDialog(kMainTitle);
    ASSERT_NE(nullptr, window);
    HWND tabs = GetDlgItem(window, kTabs);
    EXPECT_EQ(5, TabCtrl_GetItemCount(tabs));
    EXPECT_EQ(2, TabCtrl_GetCurSel(tabs));  // 码表, whatever the case of its name
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.exitCode());
}

TEST_F(ConfigProgram, APageMaskThatHidesAPageMapsTheAskedForTab) {
    SettingsBlocks blocks = fx->blocks();
    blocks.ime.setU32(ImeSettings::OptionE, 0xFFFF & ~4u);  // no 界面
    fx->writeConfig();
    Started program(instanceArgument() + L" /do 界面");
    HWND window = waitForDialog(kMainTitle);
    ASSERT_NE(nullptr, window);
    HWND tabs = GetDlgItem(window, kTabs);
    EXPECT_EQ(4, TabCtrl_GetItemCount(tabs));
    EXPECT_EQ(1, TabCtrl_GetCurSel(tabs));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.exitCode());
}

TEST_F(ConfigProgram, CtrlTabMovesToTheNextTabAndWraps) {
    Started program(instanceArgument() + L" /do 关于");
    HWND window = waitForDialog(kMainTitle);
    ASSERT_NE(nullptr, window);
    HWND tabs = GetDlgItem(window, kTabs);
    ASSERT_EQ(4, TabCtrl_GetCurSel(tabs));
    SetForegroundWindow(window);
    for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i) Sleep(20);
    INPUT keys[4] = {};
    for (INPUT& k : keys) k.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_CONTROL;
    keys[1].ki.wVk = VK_TAB;
    keys[2].ki.wVk = VK_TAB;
    keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
    keys[3].ki.wVk = VK_CONTROL;
    keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));
    for (int i = 0; i < 100 && TabCtrl_GetCurSel(tabs) == 4; ++i) Sleep(20);
    EXPECT_EQ(0, TabCtrl_GetCurSel(tabs));  // from the last tab to the first
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.exitCode());
}

TEST_F(ConfigProgram, AboutPageNamesTheSchemeAndTheLibrarysVersion) {
    constexpr int kAboutText = 1100;
    SettingsBlocks blocks = fx->blocks();
    blocks.soft.setText(SoftSettings::DisplayName, 40, u"佐文五笔");
    blocks.soft.setText(SoftSettings::Version, 40, u"0.18");
    fx->writeConfig();
    Started program(instanceArgument() + L" /do about");
    HWND window = waitForDialog(kMainTitle);
    ASSERT_NE(nullptr, window);
    HWND text = waitForControl(window, kAboutText);
    ASSERT_NE(nullptr, text);
    wchar_t line[128] = {};
    GetWindowTextW(text, line, 128);
    // The version from the library's version resource, as four numbers.
    EXPECT_STREQ(L"佐文五笔: 0.18\u3000\u3000\u3000佐文程序版本: " ZV_VERSION_WIDE, line);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.exitCode());
}

TEST_F(ConfigProgram, AnUnusableInstanceIsRefusedWithItsMessage) {
    for (const std::wstring& arguments : {std::wstring(L"/do 码表"), std::wstring(L"/n {NO-SUCH-INSTANCE}")}) {
        Started program(arguments);
        ASSERT_TRUE(program.ok);
        HWND box = waitForDialog(L"配置程序");
        ASSERT_NE(nullptr, box) << "no message for " << utf16ToUtf8(std::u16string(arguments.begin(), arguments.end()));
        wchar_t text[128] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 128);  // a message box's text control
        EXPECT_STREQ(L"非法的软件环境，本程序无法继续。", text);
        EXPECT_EQ(nullptr, FindWindowW(L"#32770", kMainTitle));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(1u, program.exitCode());
    }
}

TEST_F(ConfigProgram, ASecondStartRaisesTheOpenWindow) {
    Started first(instanceArgument());
    HWND window = waitForDialog(kMainTitle);
    ASSERT_NE(nullptr, window);
    Started second(instanceArgument() + L" /do 高级");
    EXPECT_EQ(0u, second.exitCode());  // ends at once, opening nothing
    EXPECT_EQ(1, dialogsTitled(kMainTitle));
    EXPECT_EQ(0, TabCtrl_GetCurSel(GetDlgItem(window, kTabs)));  // the first window as it was
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, first.exitCode());
}

TEST_F(ConfigProgram, HostedPagesWriteThroughToConfig) {
    {
        Started program(instanceArgument() + L" /do jiemian");
        HWND window = waitForDialog(kMainTitle);
        ASSERT_NE(nullptr, window);
        HWND sizes = waitForControl(window, kPageSize);
        ASSERT_NE(nullptr, sizes);
        EXPECT_EQ(10, SendMessageW(sizes, CB_GETCOUNT, 0, 0));
        chooseItem(sizes, 9);  // "10"
        click(findControl(window, kHideStatusBar));
        PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_EQ(0u, program.exitCode());
    }
    std::vector<uint8_t> stored = storedConfig();
    SettingsBlocks blocks = findBlocks(stored.data(), static_cast<uint32_t>(stored.size()));
    ASSERT_TRUE(blocks.complete());
    EXPECT_EQ(10, blocks.ime.pageSize());
    {
        // An engine on the folder shows ten candidates a page from now on.
        fx->config = stored;
        auto engine = fx->open();
        ASSERT_NE(nullptr, engine);
        focusGained(*engine);
        for (int key : {'W', 'Q'})
            if (testKey(*engine, key, keyDataFor(MapVirtualKeyW(key, MAPVK_VK_TO_VSC), false, false), false, {}))
                processKey(*engine);
        const EngineView view = viewOf(*engine);
        EXPECT_EQ(10, view.pageSize);
        EXPECT_GT(view.items.size(), 5u);  // the shipped five would have left the rest for a second page
    }
    EXPECT_NE(blocks.ime.bit(ImeSettings::OptionA, ImeSettings::A_HideStatusBar),
              findBlocks(shipped.data(), static_cast<uint32_t>(shipped.size()))
                  .ime.bit(ImeSettings::OptionA, ImeSettings::A_HideStatusBar));

    {
        Started program(instanceArgument());
        HWND window = waitForDialog(kMainTitle);
        ASSERT_NE(nullptr, window);
        HWND lead = waitForControl(window, kEnglishLead);
        ASSERT_NE(nullptr, lead);
        SetWindowTextW(lead, L"");
        // Typed: the edit takes one character.
        SendMessageW(lead, WM_CHAR, L';', 0);
        SendMessageW(lead, WM_CHAR, L'q', 0);
        PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_EQ(0u, program.exitCode());
    }
    stored = storedConfig();
    blocks = findBlocks(stored.data(), static_cast<uint32_t>(stored.size()));
    EXPECT_EQ(';', blocks.dme.u8(DmeSettings::TempEnglishLead));
    EXPECT_EQ(10, blocks.ime.pageSize());  // the other page's setting stays
}

TEST_F(ConfigProgram, TemporaryWordsGoAfterARestartWhenAsked) {
    SettingsBlocks blocks = fx->blocks();
    blocks.ime.setBit(ImeSettings::OptionA, ImeSettings::A_TempClearOnBoot, true);
    blocks.ime.setU64(ImeSettings::BootTime, 0);  // emptied before some earlier start of the system
    fx->writeConfig();
    Started program(instanceArgument());
    HWND window = waitForDialog(kMainTitle);
    ASSERT_NE(nullptr, window);
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(0u, program.exitCode());
    std::vector<uint8_t> stored = storedConfig();
    SettingsBlocks after = findBlocks(stored.data(), static_cast<uint32_t>(stored.size()));
    ASSERT_TRUE(after.complete());
    const uint64_t stamp = after.ime.u64(ImeSettings::BootTime);
    EXPECT_NE(0u, stamp);
    EXPECT_EQ(0u, stamp & 0xFF);  // the start time to 256 seconds
}

TEST_F(ConfigProgram, FinishingCopiesTheSettingsForProtectedModeInstances) {
    wchar_t cache[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_INTERNET_CACHE, nullptr, 0, cache)));
    const std::filesystem::path copyFolder = std::filesystem::path(cache) / L"Virtualized" / L"d" / L"ProgramData" /
                                             L"ZorvanIME3" / kLibraryName;
    std::filesystem::create_directories(copyFolder);
    const std::filesystem::path copy = copyFolder / L"config.dsc";
    {
        FILE* f = _wfopen(copy.c_str(), L"wb");
        ASSERT_NE(nullptr, f);
        fputs("stale", f);
        fclose(f);
    }
    SettingsBlocks blocks = fx->blocks();
    blocks.ime.setU32(ImeSettings::OptionB, (blocks.ime.b() & 0x0FFFFFFF) | (7u << ImeSettings::B_PageSizeShift));
    fx->writeConfig();
    Started program(instanceArgument());
    HWND window = waitForDialog(kMainTitle);
    ASSERT_NE(nullptr, window);
    PostMessageW(window, WM_COMMAND, IDOK, 0);  // 完成设置
    ASSERT_EQ(0u, program.exitCode());
    FILE* f = _wfopen(copy.c_str(), L"rb");
    ASSERT_NE(nullptr, f);
    std::vector<uint8_t> copied(storedConfig().size() + 16);
    copied.resize(fread(copied.data(), 1, copied.size(), f));
    fclose(f);
    EXPECT_EQ(storedConfig(), copied);
    std::filesystem::remove_all(std::filesystem::path(cache) / L"Virtualized");
}

// The keys of the key-function editor are numbered from 2000 in its
// keyboard's order.
int keyButton(uint8_t virtualKey) {
    const auto keys = config::keyboardKeys();
    for (size_t i = 0; i < keys.size(); ++i)
        if (keys[i].virtualKey == virtualKey) return 2000 + static_cast<int>(i);
    return 0;
}

void pressKeys(std::initializer_list<WORD> keys) {
    for (WORD vk : keys) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[1].ki.wVk = vk;
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
        Sleep(60);
    }
}

TEST_F(ConfigProgram, KeyEditorBindsCtrlF5AndIsOpenOnce) {
    constexpr wchar_t kTitle[] = L"按键功能定义 - 佐文五笔";
    constexpr int kCtrlBox = 1400;
    {
        Started program(instanceArgument() + L" /do 按键设置");
        HWND window = waitForDialog(kTitle);
        ASSERT_NE(nullptr, window);
        Started second(instanceArgument() + L" /do anjianshezhi");
        EXPECT_EQ(0u, second.exitCode());
        EXPECT_EQ(1, dialogsTitled(kTitle));

        HWND leftShift = GetDlgItem(window, keyButton(0xA0));
        ASSERT_NE(nullptr, leftShift);
        EXPECT_TRUE(IsWindowEnabled(leftShift));
        click(GetDlgItem(window, kCtrlBox));
        EXPECT_FALSE(IsWindowEnabled(leftShift));  // no Ctrl with a modifier key of its own

        // F5 with Ctrl: the function menu, 候选上屏 (its fifth submenu), 第(&2)候选.
        SetForegroundWindow(window);
        for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i) Sleep(20);
        HWND f5 = GetDlgItem(window, keyButton(0x74));
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(keyButton(0x74), BN_CLICKED), reinterpret_cast<LPARAM>(f5));
        Sleep(500);
        pressKeys({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, '2'});
        Sleep(300);
        PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_EQ(0u, program.exitCode());
    }
    std::vector<uint8_t> stored = storedConfig();
    SettingsBlocks blocks = findBlocks(stored.data(), static_cast<uint32_t>(stored.size()));
    ASSERT_TRUE(blocks.complete());
    const uint32_t ctrlF5 = config::editorKeyCode(0x74, {.ctrl = true});
    EXPECT_TRUE(config::hasFunction(config::boundFunctions(blocks.dme, ctrlF5), u"第2候选上屏"));
    EXPECT_NE(std::u16string::npos, writeSettingsText(blocks).find(u"键F5+键Ctrl=第2候选上屏"));
}

TEST_F(ConfigProgram, SettingsEditorSavesItsTextThroughTheSettingsReader) {
    constexpr wchar_t kTitle[] = L"高级设置模式 - 佐文五笔";
    constexpr int kText = 1506, kSave = 1503;
    auto saveAndClose = [](HWND window) {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(kSave, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, kSave)));
        PostMessageW(window, WM_CLOSE, 0, 0);
    };
    {
        // Every setting as it is shown, saved unchanged: nothing changes.
        Started program(instanceArgument() + L" /do 高级设置");
        HWND window = waitForDialog(kTitle);
        ASSERT_NE(nullptr, window);
        HWND text = GetDlgItem(window, kText);
        ASSERT_NE(nullptr, text);
        EXPECT_GT(SendMessageW(text, EM_GETLINECOUNT, 0, 0), 100);  // the whole settings text
        // The text's context menu opens (and goes again with Esc).
        PostMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(text), MAKELPARAM(200, 200));
        HWND menu = nullptr;
        for (int i = 0; i < 100; ++i) {
            menu = FindWindowW(L"#32768", nullptr);
            if (menu && IsWindowVisible(menu)) break;
            Sleep(20);
        }
        ASSERT_NE(nullptr, menu);
        EXPECT_TRUE(IsWindowVisible(menu));
        if (menu) PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        for (int i = 0; i < 100 && menu && IsWindowVisible(menu); ++i) Sleep(20);
        saveAndClose(window);
        ASSERT_EQ(0u, program.exitCode());
    }
    EXPECT_EQ(shipped, storedConfig());
    {
        // Only one option: it changes, and the key bindings go with the rest of the text.
        Started program(instanceArgument() + L" /do gaojishezhi");
        HWND window = waitForDialog(kTitle);
        ASSERT_NE(nullptr, window);
        SetWindowTextW(GetDlgItem(window, kText), L"[-IME设置-]\r\n候选列表显示个数=7\r\n");
        saveAndClose(window);
        ASSERT_EQ(0u, program.exitCode());
    }
    std::vector<uint8_t> stored = storedConfig();
    SettingsBlocks blocks = findBlocks(stored.data(), static_cast<uint32_t>(stored.size()));
    ASSERT_TRUE(blocks.complete());
    EXPECT_EQ(7, blocks.ime.pageSize());
    EXPECT_EQ(0u, config::boundFunctions(blocks.dme, 0x20));  // Space no longer commits
}

TEST_F(ConfigProgram, EntryDialogAddsAUserWordAndSaysWhatIsMissing) {
    constexpr int kWord = 1600, kCode = 1601, kHint = 1604;
    {
        Started program(instanceArgument() + L" /do 添加用户词");
        HWND window = waitForDialog(L"添加词条 - 佐文五笔");
        ASSERT_NE(nullptr, window);
        SetDlgItemTextW(window, kWord, L"中国");
        SetDlgItemTextW(window, kCode, L"");
        SendMessageW(window, WM_COMMAND, IDOK, 0);
        wchar_t hint[64] = {};
        GetDlgItemTextW(window, kHint, hint, 64);
        EXPECT_STREQ(L"编码不能为空", hint);  // and the dialog stays
        SetDlgItemTextW(window, kCode, L"khlg");
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        ASSERT_EQ(0u, program.exitCode());
    }
    fx->config = storedConfig();
    auto engine = fx->open();
    ASSERT_NE(nullptr, engine);
    EXPECT_TRUE(config::findEntry(tableView(*engine, SlotMain), u"khlg", u"中国"));
}

TEST_F(ConfigProgram, OnlineAddOffersTheLastTwoCharactersTyped) {
    SettingsBlocks blocks = fx->blocks();
    ASSERT_TRUE(recordCommit(blocks.ime, blocks.dme, u"中华人民", "khwl"));
    fx->writeConfig();
    Started program(instanceArgument() + L" /do 在线加词");
    HWND window = waitForDialog(L"在线加词 - 佐文五笔");
    ASSERT_NE(nullptr, window);
    wchar_t word[32] = {};
    GetDlgItemTextW(window, 1600, word, 32);
    EXPECT_STREQ(L"人民", word);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.exitCode());
}

TEST_F(ConfigProgram, AdvancedPageAndEmbeddedDisplayWriteThrough) {
    constexpr int kNoHotKeys = 1200, kSkipSecondary = 1207, kSecondaryWhenEmpty = 1208, kEmbedded = 1210,
                  kTsfClassic = 1303;
    SettingsBlocks before = fx->blocks();
    before.ime.setBit(ImeSettings::OptionC, ImeSettings::C_Framework, true);
    before.ime.setBit(ImeSettings::OptionA, ImeSettings::A_SearchSecondary, true);
    before.ime.setU32(ImeSettings::OptionA, (before.ime.a() & ~ImeSettings::A_StyleMask) | ImeSettings::A_StyleEmbedCode);
    const bool hotKeysWereOff = before.ime.bit(ImeSettings::OptionA, ImeSettings::A_NoHotKeys);
    fx->writeConfig();
    {
        Started program(instanceArgument() + L" /do GAOJI");
        HWND window = waitForDialog(kMainTitle);
        ASSERT_NE(nullptr, window);
        EXPECT_EQ(3, TabCtrl_GetCurSel(GetDlgItem(window, kTabs)));
        HWND noHotKeys = waitForControl(window, kNoHotKeys);
        ASSERT_NE(nullptr, noHotKeys);
        click(noHotKeys);
        HWND whenEmpty = findControl(window, kSecondaryWhenEmpty);
        ASSERT_NE(nullptr, whenEmpty);
        EXPECT_FALSE(IsWindowEnabled(whenEmpty));  // only while the secondary table is not searched
        click(findControl(window, kSkipSecondary));
        EXPECT_TRUE(IsWindowEnabled(whenEmpty));

        // The embedded-display dialog is modal: its button is pressed by a posted command.
        HWND embedded = findControl(window, kEmbedded);
        ASSERT_NE(nullptr, embedded);
        PostMessageW(GetParent(embedded), WM_COMMAND, MAKEWPARAM(kEmbedded, BN_CLICKED),
                     reinterpret_cast<LPARAM>(embedded));
        HWND dialog = waitForDialog(L"嵌入显示模式设置");
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(BST_CHECKED, SendMessageW(GetDlgItem(dialog, 1301), BM_GETCHECK, 0, 0));  // 嵌入编码
        click(GetDlgItem(dialog, kTsfClassic));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1305)));  // 隐藏嵌入的首候选: 嵌入首选 only
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(20);
        PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_EQ(0u, program.exitCode());
    }
    std::vector<uint8_t> stored = storedConfig();
    SettingsBlocks blocks = findBlocks(stored.data(), static_cast<uint32_t>(stored.size()));
    ASSERT_TRUE(blocks.complete());
    EXPECT_NE(hotKeysWereOff, blocks.ime.bit(ImeSettings::OptionA, ImeSettings::A_NoHotKeys));
    EXPECT_FALSE(blocks.ime.bit(ImeSettings::OptionA, ImeSettings::A_SearchSecondary));
    EXPECT_EQ(uint32_t{ImeSettings::A_StyleTsfClassic}, blocks.ime.a() & ImeSettings::A_StyleMask);
}

// ---- The library's objects in this process ---------------------------------

class LibraryObjects : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryW((folderOfThisProgram() + L"zorvantsf.dll").c_str());
        ASSERT_NE(nullptr, module);
        get = reinterpret_cast<host::GetConfigObject>(
            reinterpret_cast<void*>(GetProcAddress(module, host::GetConfigObjectName)));
        ASSERT_NE(nullptr, get);
        writeDesktopFolder(fx);
        ui::installSkinPackages(sourcePath("resources/skins"), fx.dir.folder());
        folder = wide(fx.dir.folder());
        parent = CreateWindowExW(0, L"STATIC", L"pages", WS_OVERLAPPEDWINDOW, 0, 0, 700, 700, nullptr, nullptr,
                                 nullptr, nullptr);
        ShowWindow(parent, SW_SHOWNA);
    }
    void TearDown() override {
        if (parent) DestroyWindow(parent);
        if (module) FreeLibrary(module);
    }
    host::PageContext context() {
        return host::PageContext{sizeof(host::PageContext), fx.config.data(), static_cast<uint32_t>(fx.config.size()),
                                 folder.c_str(), folder.c_str()};
    }
    host::PageHost* pageHost() {
        void* p = nullptr;
        EXPECT_EQ(1, get(host::ObjectPageHost, &p));
        return static_cast<host::PageHost*>(p);
    }

    HMODULE module = nullptr;
    host::GetConfigObject get = nullptr;
    DataFixture fx;
    std::wstring folder;
    HWND parent = nullptr;
};

TEST_F(LibraryObjects, AnswersEachTypeAsCallersExpect) {
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(0, get(host::ObjectCodeCodec, &p));
    EXPECT_EQ(nullptr, p);  // no code converter: the built-in alphabet
    p = reinterpret_cast<void*>(1);
    EXPECT_EQ(1, get(99, &p));
    EXPECT_EQ(reinterpret_cast<void*>(1), p);  // left as it was
    EXPECT_EQ(0, get(host::ObjectPageHost, nullptr));

    EXPECT_EQ(1, get(host::ObjectSettingsCodec, &p));
    auto* codec = static_cast<host::SettingsCodec*>(p);
    ASSERT_NE(nullptr, codec);
    uint8_t* config = fx.config.data();
    const auto size = static_cast<uint32_t>(fx.config.size());
    EXPECT_EQ(0, codec->applyOption(config, size, L"查询输入字符", L"z", host::CodecDme));
    EXPECT_EQ('z', fx.blocks().dme.u8(DmeSettings::QueryChar));
    EXPECT_NE(0, codec->applyOption(config, size, L"查询输入字符", L"zz", host::CodecDme));
    EXPECT_EQ('z', fx.blocks().dme.u8(DmeSettings::QueryChar));  // a refused value changes nothing
    EXPECT_EQ(-1, codec->applyOption(config, 100, L"查询输入字符", L"y", host::CodecDme));  // no blocks there

    const uint32_t needed = codec->writeSection(config, size, host::CodecSkin, nullptr, 0);
    ASSERT_GT(needed, 0u);
    std::wstring text(needed + 1, L'\0');
    EXPECT_EQ(needed, codec->writeSection(config, size, host::CodecSkin, text.data(), needed + 1));
    EXPECT_NE(std::wstring::npos, text.find(L"候选序号是否可见="));
    wchar_t small[8];
    codec->writeSection(config, size, host::CodecSkin, small, 8);
    EXPECT_EQ(L'\0', small[7]);  // cut, and terminated
    EXPECT_EQ(0u, codec->writeSection(config, size, 7, nullptr, 0));
    codec->release(codec);
}

TEST_F(LibraryObjects, AppearancePageWritesEachChoiceAsItChanges) {
    SettingsBlocks blocks = fx.blocks();
    blocks.ime.setBit(ImeSettings::OptionC, ImeSettings::C_Framework, true);
    blocks.ime.setU32(ImeSettings::OptionA, (blocks.ime.a() & ~ImeSettings::A_StyleMask) | ImeSettings::A_StyleEmbedCode);
    host::PageHost* h = pageHost();
    ASSERT_NE(nullptr, h);
    const host::PageContext c = context();
    HWND page = h->createPage(parent, host::PageKindAppearance, &c);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(page, h->createPage(parent, 2, &c));  // another kind: the current page

    // The embedded code style keeps the candidates below the code.
    HWND layout = GetDlgItem(page, kWindowLayout);
    EXPECT_EQ(2, SendMessageW(layout, CB_GETCURSEL, 0, 0));
    EXPECT_FALSE(IsWindowEnabled(layout));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, kEmbeddedNote)));

    chooseItem(GetDlgItem(page, kPageSize), 9);
    EXPECT_EQ(10, blocks.ime.pageSize());
    chooseItem(GetDlgItem(page, kPageSize), 0);
    EXPECT_EQ(1, blocks.ime.pageSize());
    chooseItem(GetDlgItem(page, 1037), 2);  // 左起纵向
    EXPECT_EQ(SkinSettings::LayoutLeftColumns, blocks.skin.option() & SkinSettings::LayoutListMask);
    chooseItem(GetDlgItem(page, 1008), 1);  // 跟随状态栏
    EXPECT_EQ(ImeSettings::A_CandidatePosStatusBar, blocks.ime.a() & ImeSettings::A_CandidatePosMask);

    // The skins installed beside the data; choosing one names it twice.
    HWND skins = GetDlgItem(page, 1002);
    ASSERT_GE(SendMessageW(skins, CB_GETCOUNT, 0, 0), 2);
    chooseItem(skins, 1);
    const std::u16string chosen = blocks.skin.text(SkinSettings::SkinFile, SkinSettings::NameUnits);
    EXPECT_NE(std::u16string::npos, chosen.find(u".col"));
    EXPECT_EQ(chosen, blocks.skin.text(SkinSettings::LastSkinFile, SkinSettings::NameUnits));

    EXPECT_EQ(1, h->closePage(1));
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(1, h->closePage(1));  // nothing open
    h->release(h);
}

TEST_F(LibraryObjects, GeneralPageReadsItsEditsBackWhenItCloses) {
    SettingsBlocks blocks = fx.blocks();
    blocks.soft.setText(SoftSettings::CategoryNames + 2 * SoftSettings::CategoryNameUnits * 4,
                        SoftSettings::CategoryNameUnits, u"拼音");
    blocks.dme.setBit(DmeSettings::OptionD, DmeSettings::D_Progressive, false);
    host::PageHost* h = pageHost();
    ASSERT_NE(nullptr, h);
    const host::PageContext c = context();
    HWND page = h->createPage(parent, host::PageKindGeneral, &c);
    ASSERT_NE(nullptr, page);
    RECT r;
    GetWindowRect(page, &r);
    EXPECT_EQ(600, r.right - r.left);

    wchar_t label[32] = {};
    GetDlgItemTextW(page, kAuxLabel, label, 32);
    EXPECT_STREQ(L"拼音: ", label);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, kAuxLead)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, kAssociation)));  // no sysl.dmg in the folder

    // 逐渐提示 on: the empty-page variant is not asked for.
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, kProgressiveEmpty)));
    click(GetDlgItem(page, kProgressive));
    EXPECT_TRUE(blocks.dme.bit(DmeSettings::OptionD, DmeSettings::D_Progressive));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kProgressiveEmpty)));

    chooseItem(GetDlgItem(page, kFrequency), 1);  // 逐渐到顶
    EXPECT_EQ(uint32_t{ImeSettings::B_FreqGradual}, blocks.ime.b() & ImeSettings::B_FreqMask);
    chooseItem(GetDlgItem(page, kFrequency), 3);  // 禁止调整
    EXPECT_EQ(0u, blocks.ime.b() & ImeSettings::B_FreqMask);

    HWND aux = GetDlgItem(page, kAuxLead);
    SetWindowTextW(aux, L"");
    SendMessageW(aux, WM_CHAR, L'~', 0);
    SendMessageW(aux, WM_CHAR, L'!', 0);  // a second character is not taken
    SetDlgItemTextW(page, 1034, L"中");   // no code character: no wildcard
    SetDlgItemTextW(page, 1036, L".,");
    EXPECT_EQ(1, h->closePage(1));
    EXPECT_EQ('~', blocks.dme.u8(DmeSettings::AuxLead));
    EXPECT_EQ(0, blocks.dme.u8(DmeSettings::QueryChar));
    EXPECT_TRUE(blocks.dme.charClass('.') & DmeSettings::ClassEnglishAfterDigit);
    EXPECT_TRUE(blocks.dme.charClass(',') & DmeSettings::ClassEnglishAfterDigit);
    EXPECT_FALSE(blocks.dme.charClass(':') & DmeSettings::ClassEnglishAfterDigit);
    h->release(h);
}

TEST_F(LibraryObjects, APageWithoutSettingsIsNotMade) {
    host::PageHost* h = pageHost();
    ASSERT_NE(nullptr, h);
    std::vector<uint8_t> damaged(64, 0xFF);
    host::PageContext c{sizeof(host::PageContext), damaged.data(), 64, folder.c_str(), folder.c_str()};
    EXPECT_EQ(nullptr, h->createPage(parent, host::PageKindGeneral, &c));
    c.size = 4;  // a record from some other program
    c.config = fx.config.data();
    c.configSize = static_cast<uint32_t>(fx.config.size());
    EXPECT_EQ(nullptr, h->createPage(parent, host::PageKindGeneral, &c));
    EXPECT_EQ(nullptr, h->createPage(parent, host::PageKindGeneral, nullptr));
    h->release(h);
}

}  // namespace
}  // namespace zv::test
