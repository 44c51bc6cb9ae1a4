// The text service as the framework drives it, on a host written for the
// tests (tsf_fake_host.h): the library loaded from beside the program, its
// class factory asked for the service, the service activated on a fake
// thread manager and typed into through its key event sink. What it writes
// is read back from the fake document: text, composition, display
// attributes, selection, compartments and UI element calls.

#include "engine/config_store.h"
#include "host/com/tsf_declarations.h"
#include "tests/host/service_data.h"
#include "tests/host/tsf_fake_host.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <imm.h>
#include <msctf.h>

#include <memory>
#include <string>
#include <thread>

namespace zv::test {
namespace {

constexpr CLSID kServiceClass = {0x6F3A8E21, 0x5C4B, 0x4D97, {0xA1, 0xE0, 0x2B, 0x7C, 0x9D, 0x4F, 0x8A, 0x63}};
// The service's display-attribute identities (the installer registers them).
constexpr GUID kAttributeInput = {0x7d1e4a52, 0x93c6, 0x4b0f, {0x8e, 0x21, 0x5a, 0x64, 0xc3, 0x09, 0xd7, 0x11}};
constexpr GUID kAttributeConverted = {0x7d1e4a52, 0x93c6, 0x4b0f, {0x8e, 0x21, 0x5a, 0x64, 0xc3, 0x09, 0xd7, 0x12}};
constexpr GUID kAttributeNone = {0x7d1e4a52, 0x93c6, 0x4b0f, {0x8e, 0x21, 0x5a, 0x64, 0xc3, 0x09, 0xd7, 0x13}};
constexpr TfClientId kClient = 42;

using GetClassObjectFn = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using CanUnloadFn = HRESULT(WINAPI*)();

// The library and its data folder, once for the program.
struct Library {
    Library() {
        CoInitialize(nullptr);
        module = LoadLibraryW((folderOfThisProgram() + kImeFile).c_str());
        if (!module) return;
        getClassObject = reinterpret_cast<GetClassObjectFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
        canUnload = reinterpret_cast<CanUnloadFn>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    }
    // Changes the stored settings the next activation reads.
    template <class F>
    void settings(F&& change) {
        SettingsBlocks b = data.fx.blocks();
        change(b.ime);
        overwrite(data.fx, "config.dsc", data.fx.config);
    }

    ServiceData data;
    HMODULE module = nullptr;
    GetClassObjectFn getClassObject = nullptr;
    CanUnloadFn canUnload = nullptr;
};

Library& library() {
    static Library l;
    return l;
}

ITfTextInputProcessorEx* newService() {
    IClassFactory* factory = nullptr;
    if (FAILED(library().getClassObject(kServiceClass, IID_IClassFactory, reinterpret_cast<void**>(&factory))))
        return nullptr;
    ITfTextInputProcessorEx* service = nullptr;
    factory->CreateInstance(nullptr, __uuidof(ITfTextInputProcessorEx), reinterpret_cast<void**>(&service));
    factory->Release();
    return service;
}

std::string utf8(const std::u16string& s) {
    std::string r;
    const auto* w = reinterpret_cast<const wchar_t*>(s.data());
    const int n = WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    r.resize(static_cast<size_t>(n));
    WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(s.size()), r.data(), n, nullptr, nullptr);
    return r;
}

// The atom the framework gives a display-attribute identity.
LONG atomOf(const GUID& g) {
    ITfCategoryMgr* categories = nullptr;
    TfGuidAtom atom = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_TF_CategoryMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ITfCategoryMgr,
                                   reinterpret_cast<void**>(&categories)))) {
        categories->RegisterGUID(g, &atom);
        categories->Release();
    }
    return static_cast<LONG>(atom);
}

bool shown(const wchar_t* windowClass) {
    HWND w = FindWindowW(windowClass, nullptr);
    return w && IsWindowVisible(w);
}

// A thread with one focused document and the service active on it.
class TextServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, library().module) << "the library did not load";
        library().settings([&](ImeSettings& ime) {
            ime.setU32(ImeSettings::OptionA, (ime.a() & ~(ImeSettings::A_StyleMask | ImeSettings::A_NoHotKeys)) | style);
        });
        thread = Ref<FakeThreadMgr>(new FakeThreadMgr);
        document = Ref<FakeDocumentMgr>(new FakeDocumentMgr);
        doc()->layoutSinkIid = &__uuidof(ITfTextLayoutSink);
        thread->focus = document.get();
        document->AddRef();
        prepare();
        service = Ref<ITfTextInputProcessorEx>(newService());
        ASSERT_TRUE(service);
        ASSERT_EQ(S_OK, service->ActivateEx(thread.get(), kClient, flags));
    }
    void TearDown() override {
        if (service) {
            EXPECT_EQ(S_OK, service->Deactivate());
        }
        if (doc()) doc()->close();
        service = Ref<ITfTextInputProcessorEx>();
    }
    // What a test changes before the service is activated.
    virtual void prepare() {}

    FakeContext* doc() const { return document ? document->top : nullptr; }
    LONG compartment(const GUID& g) { return thread->compartments.get(g)->number(); }
    std::string text() const { return utf8(doc()->text()); }
    std::string composed() const { return utf8(doc()->composed()); }

    uint32_t style = ImeSettings::A_StyleEmbedCode;
    DWORD flags = 0;
    Ref<FakeThreadMgr> thread;
    Ref<FakeDocumentMgr> document;
    Ref<ITfTextInputProcessorEx> service;
};

TEST_F(TextServiceTest, TypesAWordIntoTheDocumentAndCommitsItWithSpace) {
    thread->type("wqvb");
    EXPECT_EQ("wqvb", text());
    EXPECT_EQ("wqvb", composed());
    // The code carries the input attribute; the caret sits at its end.
    ASSERT_EQ(4u, doc()->attributes.size());
    EXPECT_EQ(atomOf(kAttributeInput), doc()->attributes[0]);
    EXPECT_NE(0, doc()->attributes[0]);
    EXPECT_EQ(4, doc()->selStart);
    thread->type(" ");
    EXPECT_EQ("你好", text());
    EXPECT_EQ("-", composed());
    EXPECT_EQ(0, doc()->attributes[0]);
    EXPECT_EQ(2, doc()->selStart);
    EXPECT_EQ(2, doc()->selEnd);
}

TEST_F(TextServiceTest, AUniqueOrFifthKeyCommitEndsTheCompositionAndStartsTheNextInOneSession) {
    thread->type("ggll");
    EXPECT_EQ("一", text());
    EXPECT_EQ("-", composed());
    doc()->sessionLog.clear();
    thread->type("wqvb");
    EXPECT_EQ("一wqvb", text());
    doc()->sessionLog.clear();
    // The fifth key commits 你好 and begins the next code with itself.
    thread->type("w");
    EXPECT_EQ("一你好w", text());
    EXPECT_EQ("w", composed());
    EXPECT_EQ((std::vector<std::string>{"session", "end", "start"}), doc()->sessionLog);
    EXPECT_EQ(4, doc()->selStart);
}

TEST_F(TextServiceTest, KeysTheServiceDoesNotWantGoToTheApplication) {
    EXPECT_FALSE(thread->press('1'));
    EXPECT_EQ("", text());
    // A key for a context that is not the focus is refused.
    Ref<FakeDocumentMgr> other(new FakeDocumentMgr);
    EXPECT_FALSE(thread->press('W', other->top));
    EXPECT_EQ("", utf8(other->top->text()));
    // A disabled keyboard (a password box) takes nothing.
    doc()->compartments.set(GUID_COMPARTMENT_KEYBOARD_DISABLED, 1);
    EXPECT_FALSE(thread->press('W'));
    EXPECT_EQ("", text());
    doc()->compartments.set(GUID_COMPARTMENT_KEYBOARD_DISABLED, 0);
    EXPECT_TRUE(thread->press('W'));
    EXPECT_EQ("w", text());
}

TEST_F(TextServiceTest, ADocumentThatRefusesTheSessionKeepsItsTextAndGetsTheKey) {
    doc()->refuseSessions = true;
    EXPECT_FALSE(thread->press('W'));
    EXPECT_EQ("", text());
    doc()->refuseSessions = false;
    thread->type("wqvb ");
    EXPECT_EQ("你好", text());
}

TEST_F(TextServiceTest, AnApplicationThatGrantsOnlyLaterSessionsStillGetsEveryKeyInOrder) {
    doc()->onlyAsync = true;
    EXPECT_TRUE(thread->press('G'));
    EXPECT_TRUE(thread->press('G'));
    EXPECT_EQ("", text()) << "nothing is written before the application lets the service in";
    doc()->drain();
    EXPECT_EQ("gg", text());
    thread->type("ll");
    thread->type("wq");
    doc()->drain();
    EXPECT_EQ("一wq", text());
    EXPECT_EQ("wq", composed());
    doc()->onlyAsync = false;
    thread->type(" ");
    EXPECT_EQ("一你", text());
}

TEST_F(TextServiceTest, AnExceptionInTheHostNeverLeavesTheServiceAndTheKeyGoesToTheApplication) {
    // A host's exception reaches the service's frames only where unwinding
    // crosses modules: 32-bit builds link an unwinder into each module, and
    // one module's exception cannot pass through another's frames there.
    if (sizeof(void*) == 4) GTEST_SKIP() << "a 32-bit exception cannot pass from the test into the library";
    doc()->throwOnInsert = true;
    BOOL eaten = TRUE;
    const LPARAM down = 1 | (0x11 << 16);
    EXPECT_EQ(S_OK, thread->keySink->OnKeyDown(doc(), 'W', down, &eaten));
    EXPECT_FALSE(eaten);
    doc()->throwOnInsert = false;
    thread->type(" ");
    thread->type("wqvb ");
    EXPECT_EQ("你好", text().substr(text().size() - 6));
}

TEST_F(TextServiceTest, ASelectionMovedOutOfTheCompositionEndsItWithoutCommitting) {
    thread->type("ggll");
    thread->type("wq");
    EXPECT_EQ("一wq", text());
    doc()->click(0);
    EXPECT_EQ("一", text());
    EXPECT_EQ("-", composed());
    // The code was dropped: the next key starts afresh.
    doc()->click(1);
    thread->type("wqvb ");
    EXPECT_EQ("一你好", text());
    // A click inside the composition keeps it.
    thread->type("wq");
    doc()->click(3);
    EXPECT_EQ("wq", composed());
}

TEST_F(TextServiceTest, LosingTheThreadFocusOrTheDocumentEndsTheComposition) {
    thread->type("wq");
    thread->killThreadFocus();
    EXPECT_EQ("", text());
    EXPECT_EQ("-", composed());

    thread->type("wq");
    Ref<FakeDocumentMgr> other(new FakeDocumentMgr);
    thread->setFocus(other.get());
    EXPECT_EQ("", text());
    EXPECT_EQ("-", composed());
    // The service follows the new document.
    thread->type("wqvb ");
    EXPECT_EQ("你好", utf8(other->top->text()));
    thread->setFocus(document.get());
    other->top->close();

    // A document that lets the service in only later still loses the
    // composition then.
    thread->type("wq");
    doc()->onlyAsync = true;
    thread->killThreadFocus();
    doc()->drain();
    doc()->onlyAsync = false;
    EXPECT_EQ("", text());
    EXPECT_EQ("-", composed());
}

TEST_F(TextServiceTest, ACompositionTheApplicationEndsDropsTheCode) {
    thread->type("wq");
    doc()->terminateComposition();
    EXPECT_EQ("", text());
    thread->type("wqvb ");
    EXPECT_EQ("你好", text());
}

TEST_F(TextServiceTest, TheCompartmentsFollowEveryModeSwitch) {
    EXPECT_EQ(1, compartment(GUID_COMPARTMENT_KEYBOARD_OPENCLOSE));
    const GUID conversion = zv::tsf_guid::KeyboardInputModeConversion;
    EXPECT_TRUE(compartment(conversion) & TF_CONVERSIONMODE_NATIVE);

    // Shift+Space: full width, with or without a composition.
    ASSERT_TRUE(thread->preservedKeyPressed(VK_SPACE, TF_MOD_SHIFT));
    EXPECT_TRUE(compartment(conversion) & TF_CONVERSIONMODE_FULLSHAPE);
    thread->type("wq");
    ASSERT_TRUE(thread->preservedKeyPressed(VK_SPACE, TF_MOD_SHIFT));
    EXPECT_FALSE(compartment(conversion) & TF_CONVERSIONMODE_FULLSHAPE);
    thread->type(" ");
    EXPECT_EQ("你", text());

    // Ctrl+period: the punctuation.
    const LONG before = compartment(conversion) & TF_CONVERSIONMODE_SYMBOL;
    ASSERT_TRUE(thread->preservedKeyPressed(VK_OEM_PERIOD, TF_MOD_CONTROL));
    EXPECT_NE(before, compartment(conversion) & TF_CONVERSIONMODE_SYMBOL);

    // A lone Shift tap switches to English: the system's indicator hears.
    BYTE keys[256] = {};
    keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
    SetKeyboardState(keys);
    BOOL eaten = FALSE;
    const LPARAM shiftDown = 1 | (0x2A << 16);
    thread->keySink->OnTestKeyDown(doc(), VK_SHIFT, shiftDown, &eaten);
    thread->keySink->OnKeyDown(doc(), VK_SHIFT, shiftDown, &eaten);
    keys[VK_SHIFT] = keys[VK_LSHIFT] = 0;
    SetKeyboardState(keys);
    const LPARAM shiftUp = shiftDown | static_cast<LPARAM>(0xC0000000u);
    // Tested twice, as some applications do, then handed over.
    thread->keySink->OnTestKeyUp(doc(), VK_SHIFT, shiftUp, &eaten);
    thread->keySink->OnTestKeyUp(doc(), VK_SHIFT, shiftUp, &eaten);
    if (eaten) thread->keySink->OnKeyUp(doc(), VK_SHIFT, shiftUp, &eaten);
    EXPECT_EQ(0, compartment(GUID_COMPARTMENT_KEYBOARD_OPENCLOSE));
    EXPECT_TRUE(compartment(conversion) & TF_CONVERSIONMODE_NOCONVERSION);
    EXPECT_FALSE(compartment(conversion) & TF_CONVERSIONMODE_NATIVE);

    // The system switches back (its indicator, Ctrl+Space): the engine
    // follows and Chinese typing resumes.
    thread->compartments.set(GUID_COMPARTMENT_KEYBOARD_OPENCLOSE, 1);
    EXPECT_TRUE(compartment(conversion) & TF_CONVERSIONMODE_NATIVE);
    thread->type("wqvb ");
    EXPECT_EQ("你你好", text().substr(0, 9));

    // The system sets full shape: the engine takes it, so Shift+Space now
    // turns it off.
    thread->compartments.set(conversion, compartment(conversion) | TF_CONVERSIONMODE_FULLSHAPE);
    ASSERT_TRUE(thread->preservedKeyPressed(VK_SPACE, TF_MOD_SHIFT));
    EXPECT_FALSE(compartment(conversion) & TF_CONVERSIONMODE_FULLSHAPE);
}

// Shift held, Space (the preserved key), Shift released: the release is no
// lone Shift tap, so the mode stays Chinese.
TEST_F(TextServiceTest, TheShiftOfShiftSpaceIsNoTap) {
    BYTE keys[256] = {};
    keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
    SetKeyboardState(keys);
    BOOL eaten = FALSE;
    const LPARAM shiftDown = 1 | (0x2A << 16);
    thread->keySink->OnTestKeyDown(doc(), VK_SHIFT, shiftDown, &eaten);
    thread->keySink->OnKeyDown(doc(), VK_SHIFT, shiftDown, &eaten);
    ASSERT_TRUE(thread->preservedKeyPressed(VK_SPACE, TF_MOD_SHIFT));
    keys[VK_SHIFT] = keys[VK_LSHIFT] = 0;
    SetKeyboardState(keys);
    const LPARAM shiftUp = shiftDown | static_cast<LPARAM>(0xC0000000u);
    thread->keySink->OnTestKeyUp(doc(), VK_SHIFT, shiftUp, &eaten);
    if (eaten) thread->keySink->OnKeyUp(doc(), VK_SHIFT, shiftUp, &eaten);
    EXPECT_EQ(1, compartment(GUID_COMPARTMENT_KEYBOARD_OPENCLOSE));
    thread->type("wqvb ");
    EXPECT_EQ("你好", text());
}

// Ctrl+Space or the system's indicator while composing: no composition is
// left dangling in the document, and English typing goes to the application.
TEST_F(TextServiceTest, TheSystemsSwitchToEnglishWhileComposingLeavesNoComposition) {
    thread->type("wq");
    thread->compartments.set(GUID_COMPARTMENT_KEYBOARD_OPENCLOSE, 0);
    EXPECT_EQ("-", composed());
    const std::string left = text();
    EXPECT_TRUE(left == "" || left == "wq") << left;
    EXPECT_FALSE(thread->press('A'));
    EXPECT_EQ(left, text());
}

TEST_F(TextServiceTest, RegistersShiftSpaceAndCtrlPeriodAsPreservedKeysAndRemovesThemOnDeactivation) {
    const PreservedKey* shiftSpace = thread->preservedKey(VK_SPACE, TF_MOD_SHIFT);
    ASSERT_NE(nullptr, shiftSpace);
    EXPECT_EQ(L"---", shiftSpace->description);
    EXPECT_NE(nullptr, thread->preservedKey(VK_OEM_PERIOD, TF_MOD_CONTROL));
    EXPECT_EQ(S_OK, service->Deactivate());
    EXPECT_TRUE(thread->preserved.empty());
    EXPECT_EQ(nullptr, thread->keySink);
    EXPECT_TRUE(thread->sinks.empty());
    EXPECT_TRUE(doc()->editSinks.empty());
    EXPECT_EQ(0u, thread->compartments.advised());
    service = Ref<ITfTextInputProcessorEx>();
}

class WithoutHotKeys : public TextServiceTest {
    void prepare() override {
        library().settings([](ImeSettings& ime) { ime.setU32(ImeSettings::OptionA, ime.a() | ImeSettings::A_NoHotKeys); });
    }
};

TEST_F(WithoutHotKeys, ShiftSpacePassesToTheApplication) {
    EXPECT_TRUE(thread->preserved.empty());
    EXPECT_FALSE(thread->preservedKeyPressed(VK_SPACE, TF_MOD_SHIFT));
    EXPECT_FALSE(compartment(zv::tsf_guid::KeyboardInputModeConversion) & TF_CONVERSIONMODE_FULLSHAPE);
}

class FromNoConversion : public TextServiceTest {
    void prepare() override {
        thread->compartments.set(zv::tsf_guid::KeyboardInputModeConversion, TF_CONVERSIONMODE_NOCONVERSION);
    }
};

TEST_F(FromNoConversion, StartsInChineseAnyway) {
    const LONG conversion = compartment(zv::tsf_guid::KeyboardInputModeConversion);
    EXPECT_TRUE(conversion & TF_CONVERSIONMODE_NATIVE);
    EXPECT_FALSE(conversion & TF_CONVERSIONMODE_NOCONVERSION);
    thread->type("wqvb ");
    EXPECT_EQ("你好", text());
}

// A stored custom initial state that is saved on leaving: the next
// activation starts as the last one ended.
class CustomInitialState : public TextServiceTest {
    void prepare() override { store(TF_CONVERSIONMODE_FULLSHAPE | TF_CONVERSIONMODE_SYMBOL, true); }
    void TearDown() override {
        TextServiceTest::TearDown();
        store(0, false);
    }

protected:
    static void store(uint32_t state, bool on) {
        library().settings([&](ImeSettings& ime) {
            const uint32_t both = ImeSettings::C_CustomInitialState | ImeSettings::C_SaveInitialState;
            ime.setU32(ImeSettings::OptionC, on ? ime.c() | both : ime.c() & ~both);
            ime.setU32(ImeSettings::InitialMode, state);
        });
    }
};

TEST_F(CustomInitialState, StartsFromTheStoredStateAndSavesTheLastOne) {
    const GUID conversion = zv::tsf_guid::KeyboardInputModeConversion;
    EXPECT_EQ(TF_CONVERSIONMODE_FULLSHAPE | TF_CONVERSIONMODE_SYMBOL | TF_CONVERSIONMODE_NATIVE,
              compartment(conversion));
    ASSERT_TRUE(thread->preservedKeyPressed(VK_SPACE, TF_MOD_SHIFT));
    EXPECT_FALSE(compartment(conversion) & TF_CONVERSIONMODE_FULLSHAPE);
    ASSERT_EQ(S_OK, service->Deactivate());
    // The system's value is no longer what the next activation starts from.
    thread->compartments.set(conversion, TF_CONVERSIONMODE_FULLSHAPE);
    ASSERT_EQ(S_OK, service->ActivateEx(thread.get(), kClient, 0));
    EXPECT_EQ(TF_CONVERSIONMODE_SYMBOL | TF_CONVERSIONMODE_NATIVE, compartment(conversion));
}

class SecureCustomInitialState : public CustomInitialState {
public:
    SecureCustomInitialState() { flags = TF_TMAE_SECUREMODE; }
};

TEST_F(SecureCustomInitialState, TheSecureDesktopSavesNothing) {
    const GUID conversion = zv::tsf_guid::KeyboardInputModeConversion;
    ASSERT_TRUE(thread->preservedKeyPressed(VK_SPACE, TF_MOD_SHIFT));
    EXPECT_FALSE(compartment(conversion) & TF_CONVERSIONMODE_FULLSHAPE);
    ASSERT_EQ(S_OK, service->Deactivate());
    ASSERT_EQ(S_OK, service->ActivateEx(thread.get(), kClient, 0));
    EXPECT_TRUE(compartment(conversion) & TF_CONVERSIONMODE_FULLSHAPE);
}

class SecureDesktop : public TextServiceTest {
public:
    SecureDesktop() { flags = TF_TMAE_SECUREMODE; }
};

TEST_F(SecureDesktop, TypesWithTheUsersTablesButChangesNoneOfTheirFiles) {
    const auto before = folderBytes(library().data.fx.dir.path());
    // A second candidate (a frequency change), then characters that form
    // temporary words and fill the commit history.
    thread->type("wqvb2");
    thread->type("ggllkhk lgyi");
    EXPECT_EQ("您好一中国", text());
    ASSERT_EQ(S_OK, service->Deactivate());
    EXPECT_TRUE(before == folderBytes(library().data.fx.dir.path()));
    ASSERT_EQ(S_OK, service->ActivateEx(thread.get(), kClient, flags));
}

// A host that activates the service COM-less may not have COM at all: on a
// thread that never initialized it, the service still types, and the text
// it writes carries no display attributes, which need the framework's
// category manager.
TEST(ComlessHost, TypesOnAThreadWithoutComWithoutDisplayAttributes) {
    ASSERT_NE(nullptr, library().module);
    HRESULT activated = E_FAIL, deactivated = E_FAIL, comOnThread = S_OK;
    std::vector<LONG> attributes;
    std::string composedText, typed;
    std::thread host([&] {
        // A thread of its own, where COM was never set up.
        IUnknown* probe = nullptr;
        comOnThread = CoCreateInstance(CLSID_TF_CategoryMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ITfCategoryMgr,
                                       reinterpret_cast<void**>(&probe));
        if (probe) probe->Release();
        Ref<FakeThreadMgr> thread(new FakeThreadMgr);
        Ref<FakeDocumentMgr> document(new FakeDocumentMgr);
        thread->focus = document.get();
        document->AddRef();
        Ref<ITfTextInputProcessorEx> service(newService());
        if (!service) return;
        activated = service->ActivateEx(thread.get(), kClient, TF_TMAE_COMLESS);
        if (SUCCEEDED(activated)) {
            thread->type("wqvb");
            composedText = utf8(document->top->composed());
            attributes = document->top->attributes;
            thread->type(" ");
            typed = utf8(document->top->text());
            deactivated = service->Deactivate();
        }
        document->top->close();
    });
    host.join();
    ASSERT_TRUE(FAILED(comOnThread)) << "COM answered on a thread that never set it up";
    EXPECT_EQ(S_OK, activated);
    EXPECT_EQ("wqvb", composedText);
    EXPECT_EQ(std::vector<LONG>(4, 0), attributes);
    EXPECT_EQ("你好", typed);
    EXPECT_EQ(S_OK, deactivated);
}

class ClassicStyle : public TextServiceTest {
public:
    ClassicStyle() { style = ImeSettings::A_StyleTsfClassic; }
};

TEST_F(ClassicStyle, LeavesOneSpaceWithoutAttributeBeforeTheCaret) {
    thread->type("wq");
    // The code shows in the service's own window.
    EXPECT_TRUE(shown(L"ZORURAVED_COMP") || shown(L"ZORURAVED_CAND"));
    EXPECT_EQ(" ", text());
    EXPECT_EQ(" ", composed());
    EXPECT_EQ(0, doc()->attributes[0]);
    EXPECT_EQ(0, doc()->selStart);
    EXPECT_EQ(0, doc()->selEnd);
    thread->type(" ");
    EXPECT_EQ("你", text());
    EXPECT_EQ(1, doc()->selStart);
}

class CaretTracking : public TextServiceTest {
    void prepare() override {
        view = new FakeView;
        doc()->view = view;
    }

protected:
    RECT candidateWindow() {
        RECT r{};
        HWND w = FindWindowW(L"ZORURAVED_CAND", nullptr);
        if (w && IsWindowVisible(w)) GetWindowRect(w, &r);
        return r;
    }
    FakeView* view = nullptr;
};

TEST_F(CaretTracking, AFailedOrEmptyExtentKeepsTheLastGoodPlace) {
    thread->type("wq");
    EXPECT_GT(view->asked, 0);
    const RECT first = candidateWindow();
    ASSERT_NE(0, first.right) << "the candidate window is not shown";
    EXPECT_GE(first.top, view->extent.bottom);
    EXPECT_LE(first.left, view->extent.left + 40);

    view->failing = true;
    thread->type("vb");
    RECT kept = candidateWindow();
    EXPECT_EQ(first.left, kept.left);
    EXPECT_EQ(first.top, kept.top);

    view->failing = false;
    view->extent = RECT{0, 0, 0, 0};
    thread->type(" wq");
    kept = candidateWindow();
    EXPECT_EQ(first.left, kept.left);
    EXPECT_EQ(first.top, kept.top);

    // A few pixels of jitter leave the window where it is.
    view->extent = RECT{303, 203, 313, 226};
    thread->type("a");
    kept = candidateWindow();
    EXPECT_EQ(first.left, kept.left);
    EXPECT_EQ(first.top, kept.top);

    view->extent = RECT{500, 400, 510, 420};
    thread->type(" wq");
    EXPECT_GE(candidateWindow().top, 420);

    // The application moves its text (it scrolled): the window follows.
    ASSERT_EQ(1u, doc()->layoutSinks.size());
    view->extent = RECT{100, 600, 110, 620};
    static_cast<ITfTextLayoutSink*>(doc()->layoutSinks.begin()->second)->OnLayoutChange(doc(), TF_LC_CHANGE, view);
    EXPECT_GE(candidateWindow().top, 620);
    EXPECT_LT(candidateWindow().left, 300);
}

class WithStatusBar : public TextServiceTest {
    void prepare() override {
        library().settings([](ImeSettings& ime) {
            ime.setU32(ImeSettings::OptionA, ime.a() & ~(ImeSettings::A_HideStatusBar | ImeSettings::A_EmbedStatusBar));
        });
    }
};

TEST_F(WithStatusBar, ShowsWithTheFocusAndNeverTakesIt) {
    EXPECT_TRUE(shown(L"ZORURAVED_STATUS"));
    EXPECT_NE(FindWindowW(L"ZORURAVED_STATUS", nullptr), GetFocus());
    thread->killThreadFocus();
    EXPECT_FALSE(shown(L"ZORURAVED_STATUS"));
    Ref<FakeDocumentMgr> other(new FakeDocumentMgr);
    thread->setFocus(other.get());
    EXPECT_TRUE(shown(L"ZORURAVED_STATUS"));
    thread->setFocus(nullptr);
    EXPECT_FALSE(shown(L"ZORURAVED_STATUS"));
}

class Immersive : public TextServiceTest {
public:
    Immersive() { flags = TF_TMF_IMMERSIVEMODE; }
};

// The system's version as programs see it (wine's prefix may claim an
// older one than it is).
bool windowsEightOrLater() {
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&v);
#pragma GCC diagnostic pop
    return v.dwMajorVersion > 6 || (v.dwMajorVersion == 6 && v.dwMinorVersion >= 2);
}

TEST_F(WithStatusBar, AnActivationWithoutFlagsAsksTheThreadManagerAndToleratesNoAnswer) {
    // No answer (wine's framework): an ordinary host, with the status bar.
    ASSERT_EQ(S_OK, service->Deactivate());
    ASSERT_EQ(S_OK, service->Activate(thread.get(), kClient));
    EXPECT_TRUE(shown(L"ZORURAVED_STATUS"));
    // An immersive host tells: no status bar.
    ASSERT_EQ(S_OK, service->Deactivate());
    const DWORD immersive = TF_TMF_IMMERSIVEMODE | TF_TMF_ACTIVATED;
    thread->activeFlags = &immersive;
    ASSERT_EQ(S_OK, service->Activate(thread.get(), kClient));
    EXPECT_FALSE(shown(L"ZORURAVED_STATUS"));
    thread->type("wqvb ");
    EXPECT_EQ("你好", text());
}

TEST_F(Immersive, ShowsTheModeTipOnWindowsEightAndNeverTheStatusBar) {
    EXPECT_FALSE(shown(L"ZORURAVED_STATUS"));
    thread->compartments.set(GUID_COMPARTMENT_KEYBOARD_OPENCLOSE, 0);
    // Before Windows 8 there are no immersive applications to need it.
    EXPECT_EQ(windowsEightOrLater(), shown(L"ZORURAVED_TIPS"));
    EXPECT_FALSE(shown(L"ZORURAVED_STATUS"));
    // Typing closes it.
    thread->compartments.set(GUID_COMPARTMENT_KEYBOARD_OPENCLOSE, 1);
    thread->type("w");
    EXPECT_FALSE(shown(L"ZORURAVED_TIPS"));
}

// An application window with an input context of its own, which hears of
// the candidate window.
std::vector<WPARAM>* g_notifications = nullptr;

LRESULT CALLBACK notifiedWindow(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_IME_NOTIFY && g_notifications) {
        g_notifications->push_back(wp);
        return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

TEST_F(CaretTracking, AnApplicationWindowWithAnInputContextHearsOfTheCandidateWindow) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = notifiedWindow;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZvTsfApplication";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(wc.lpszClassName, L"application", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                nullptr, wc.hInstance, nullptr);
    ASSERT_NE(nullptr, window);
    HIMC context = ImmCreateContext();
    HIMC previous = ImmAssociateContext(window, context);
    view->window = window;
    std::vector<WPARAM> heard;
    g_notifications = &heard;
    thread->type("wq");
    thread->type("a");
    thread->type(" ");
    g_notifications = nullptr;
    // w opens the list, q and a change it, Space closes it.
    EXPECT_EQ((std::vector<WPARAM>{IMN_OPENCANDIDATE, IMN_CHANGECANDIDATE, IMN_CHANGECANDIDATE, IMN_CLOSECANDIDATE}),
              heard);
    view->window = nullptr;
    ImmAssociateContext(window, previous);
    ImmDestroyContext(context);
    DestroyWindow(window);
}

TEST_F(CaretTracking, APlaceOutsideTheApplicationsWindowGivesWayToTheSystemCaret) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZvTsfEditor";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(wc.lpszClassName, L"editor", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                                nullptr, wc.hInstance, nullptr);
    ASSERT_NE(nullptr, window);
    CreateCaret(window, nullptr, 2, 20);
    SetCaretPos(50, 60);
    view->window = window;
    // Inside the window: the application's place.
    view->extent = RECT{200, 150, 210, 170};
    thread->type("wq");
    EXPECT_GE(candidateWindow().top, 170);
    EXPECT_LT(candidateWindow().top, 200);
    // Far outside it: the system caret's place (window at 100,100, caret at
    // 50,60 in it).
    thread->type(" ");
    view->extent = RECT{3000, 3000, 3010, 3020};
    thread->type("wq");
    EXPECT_GE(candidateWindow().top, 160 + 20);
    EXPECT_LT(candidateWindow().top, 160 + 60);
    view->window = nullptr;
    DestroyCaret();
    DestroyWindow(window);
}

class UiLessHost : public TextServiceTest {
    void prepare() override { thread->drawsOwnList = true; }
};

TEST_F(UiLessHost, ReadsThePageThroughTheElementAndOurWindowStaysHidden) {
    thread->type("wq");
    ASSERT_FALSE(thread->elements.empty());
    EXPECT_EQ("begin", thread->uiLog.front());
    ITfCandidateListUIElement* list = nullptr;
    ASSERT_EQ(S_OK, thread->elements.back()->QueryInterface(__uuidof(ITfCandidateListUIElement),
                                                             reinterpret_cast<void**>(&list)));
    UINT count = 0, selection = 9, page = 9;
    EXPECT_EQ(S_OK, list->GetCount(&count));
    EXPECT_GT(count, 5u) << "the wq list runs to a second page";
    EXPECT_EQ(S_OK, list->GetSelection(&selection));
    EXPECT_EQ(0u, selection);
    EXPECT_EQ(S_OK, list->GetCurrentPage(&page));
    EXPECT_EQ(0u, page);
    BSTR first = nullptr;
    ASSERT_EQ(S_OK, list->GetString(0, &first));
    EXPECT_EQ(std::wstring(L"你"), std::wstring(first));
    SysFreeString(first);
    UINT pages = 0;
    EXPECT_EQ(S_OK, list->GetPageIndex(nullptr, 0, &pages));
    ASSERT_GE(pages, 2u);
    std::vector<UINT> starts(pages);
    EXPECT_EQ(E_INVALIDARG, list->GetPageIndex(starts.data(), pages - 1, &pages));
    EXPECT_EQ(S_OK, list->GetPageIndex(starts.data(), pages, &pages));
    EXPECT_EQ(0u, starts[0]);
    EXPECT_GT(starts[1], 0u);
    EXPECT_LT(starts[1], count);
    DWORD flags = 0;
    EXPECT_EQ(S_OK, list->GetUpdatedFlags(&flags));
    EXPECT_EQ(63u, flags);
    BSTR beyond = nullptr;
    EXPECT_EQ(E_INVALIDARG, list->GetString(count, &beyond));

    thread->type("a");
    EXPECT_EQ("update", thread->uiLog.back());
    HWND ours = FindWindowW(L"ZORURAVED_CAND", nullptr);
    EXPECT_TRUE(!ours || !IsWindowVisible(ours));

    thread->type(" ");
    EXPECT_EQ("end", thread->uiLog.back());
    // The element outlives the list it showed without reading freed state.
    EXPECT_EQ(E_FAIL, list->GetCount(&count));
    list->Release();
}

TEST_F(UiLessHost, TheApplicationsCommitAndAbortReachTheDocumentThroughASession) {
    thread->type("wqvb");
    ITfCandidateListUIElementBehavior* list = nullptr;
    ASSERT_EQ(S_OK, thread->elements.back()->QueryInterface(__uuidof(ITfCandidateListUIElementBehavior),
                                                             reinterpret_cast<void**>(&list)));
    const int sessions = doc()->sessionsRun;
    EXPECT_EQ(S_OK, list->Finalize());
    EXPECT_GT(doc()->sessionsRun, sessions);
    EXPECT_EQ("你好", text());
    EXPECT_EQ("-", composed());
    list->Release();

    thread->type("wq");
    ASSERT_EQ(S_OK, thread->elements.back()->QueryInterface(__uuidof(ITfCandidateListUIElementBehavior),
                                                             reinterpret_cast<void**>(&list)));
    EXPECT_EQ(S_OK, list->Abort());
    EXPECT_EQ("你好", text());
    EXPECT_EQ("-", composed());
    list->Release();
}

class BareHost : public TextServiceTest {
    void prepare() override { thread->hasUiElementMgr = false; }
};

TEST_F(BareHost, AHostWithoutUiElementsOrLanguageBarStillTypes) {
    thread->type("wqvb ");
    EXPECT_EQ("你好", text());
}

// A language-bar sink that counts what it is told.
class BarSink final : public ITfLangBarItemSink {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_ITfLangBarItemSink)) return E_NOINTERFACE;
        *out = static_cast<ITfLangBarItemSink*>(this);
        AddRef();
        return S_OK;
    }
    ZV_FAKE_REFCOUNT
    HRESULT STDMETHODCALLTYPE OnUpdate(DWORD flags) override {
        updates.push_back(flags);
        return S_OK;
    }
    std::vector<DWORD> updates;
};

class WithLanguageBar : public TextServiceTest {
    void prepare() override { thread->hasLangBar = true; }
};

TEST_F(WithLanguageBar, TheInputModeItemSwitchesAndIsToldOfEveryModeChange) {
    ASSERT_EQ(1u, thread->barItems.size());
    ITfLangBarItem* item = thread->barItems.front();
    TF_LANGBARITEMINFO info{};
    ASSERT_EQ(S_OK, item->GetInfo(&info));
    EXPECT_TRUE(IsEqualGUID(zv::tsf_guid::LbiInputMode, info.guidItem));
    EXPECT_TRUE(IsEqualGUID(kServiceClass, info.clsidService));
    EXPECT_EQ(0x10002u, info.dwStyle);

    ITfSource* source = nullptr;
    ASSERT_EQ(S_OK, item->QueryInterface(IID_ITfSource, reinterpret_cast<void**>(&source)));
    Ref<BarSink> sink(new BarSink);
    DWORD cookie = 0, second = 0;
    EXPECT_EQ(CONNECT_E_CANNOTCONNECT, source->AdviseSink(IID_ITfThreadFocusSink, sink.get(), &cookie));
    ASSERT_EQ(S_OK, source->AdviseSink(IID_ITfLangBarItemSink, sink.get(), &cookie));
    EXPECT_EQ(CONNECT_E_ADVISELIMIT, source->AdviseSink(IID_ITfLangBarItemSink, sink.get(), &second));

    ITfLangBarItemButton* button = nullptr;
    ASSERT_EQ(S_OK, item->QueryInterface(__uuidof(ITfLangBarItemButton), reinterpret_cast<void**>(&button)));
    HICON icon = nullptr;
    EXPECT_EQ(S_OK, button->GetIcon(&icon));
    EXPECT_NE(nullptr, icon);
    DestroyIcon(icon);
    // A left click switches to English; the compartments and the item hear.
    EXPECT_EQ(S_OK, button->OnClick(TF_LBI_CLK_LEFT, POINT{}, nullptr));
    EXPECT_EQ(0, compartment(GUID_COMPARTMENT_KEYBOARD_OPENCLOSE));
    ASSERT_FALSE(sink->updates.empty());
    EXPECT_EQ(static_cast<DWORD>(TF_LBI_ICON | TF_LBI_STATUS), sink->updates.back());
    const size_t told = sink->updates.size();
    ASSERT_TRUE(thread->preservedKeyPressed(VK_SPACE, TF_MOD_SHIFT));
    EXPECT_GT(sink->updates.size(), told);
    // Hidden while the thread has no focus.
    thread->killThreadFocus();
    DWORD status = 0;
    item->GetStatus(&status);
    EXPECT_TRUE(status & TF_LBI_STATUS_HIDDEN);

    EXPECT_EQ(CONNECT_E_NOCONNECTION, source->UnadviseSink(cookie + 1));
    EXPECT_EQ(S_OK, source->UnadviseSink(cookie));
    EXPECT_EQ(CONNECT_E_NOCONNECTION, source->UnadviseSink(cookie));
    button->Release();
    source->Release();
    EXPECT_EQ(S_OK, service->Deactivate());
    EXPECT_TRUE(thread->barItems.empty());
    service = Ref<ITfTextInputProcessorEx>();
}

// The language bar's menu as it records what the service puts in it.
class RecordedMenu final : public ITfMenu {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, __uuidof(ITfMenu))) return E_NOINTERFACE;
        *out = static_cast<ITfMenu*>(this);
        AddRef();
        return S_OK;
    }
    ZV_FAKE_REFCOUNT
    HRESULT STDMETHODCALLTYPE AddMenuItem(UINT id, DWORD flags, HBITMAP, HBITMAP, const WCHAR* text, ULONG length,
                                          ITfMenu** submenu) override {
        items.push_back({id, flags, std::wstring(text ? text : L"", length)});
        if (submenu) {
            *submenu = new RecordedMenu;
            (*submenu)->AddRef();
            submenus.emplace_back(static_cast<RecordedMenu*>(*submenu));
        }
        return S_OK;
    }
    struct Item {
        UINT id;
        DWORD flags;
        std::wstring text;
    };
    std::vector<Item> items;
    std::vector<Ref<RecordedMenu>> submenus;
};

// The status bar embedded in the language bar, on a system before Windows 8
// (as wine's prefix claims to be): its buttons become items.
class EmbeddedStatusBar : public TextServiceTest {
    void prepare() override {
        thread->hasLangBar = true;
        library().settings([](ImeSettings& ime) {
            ime.setU32(ImeSettings::OptionA, ime.a() | ImeSettings::A_EmbedStatusBar);
            ime.setU32(ImeSettings::OptionE, ime.e() | 0x40 | 0x80 | 0x100 | 0x200);
        });
    }
    void TearDown() override {
        TextServiceTest::TearDown();
        library().settings([](ImeSettings& ime) {
            ime.setU32(ImeSettings::OptionA, ime.a() & ~ImeSettings::A_EmbedStatusBar);
            ime.setU32(ImeSettings::OptionE, ime.e() & ~(0x40u | 0x80 | 0x100 | 0x200));
        });
    }
};

TEST_F(EmbeddedStatusBar, TheSoftKeyboardItemsMenuTurnsTheKeyboardOn) {
    if (windowsEightOrLater()) GTEST_SKIP() << "the status bar's buttons embed only before Windows 8";
    ASSERT_EQ(5u, thread->barItems.size());
    EXPECT_FALSE(shown(L"ZORURAVED_STATUS"));
    ITfLangBarItemButton* keyboard = nullptr;
    ASSERT_EQ(S_OK, thread->barItems[3]->QueryInterface(__uuidof(ITfLangBarItemButton),
                                                       reinterpret_cast<void**>(&keyboard)));
    BSTR tip = nullptr;
    keyboard->GetTooltipString(&tip);
    EXPECT_EQ(std::wstring(L"软键盘"), std::wstring(tip));
    SysFreeString(tip);
    Ref<RecordedMenu> menu(new RecordedMenu);
    ASSERT_EQ(S_OK, keyboard->InitMenu(menu.get()));
    ASSERT_GE(menu->items.size(), 13u);
    EXPECT_NE(std::wstring::npos, menu->items[0].text.find(L"PC"));
    EXPECT_FALSE(shown(L"ZORURAVED_SKBD"));
    EXPECT_EQ(S_OK, keyboard->OnMenuSelect(menu->items[0].id));
    EXPECT_TRUE(shown(L"ZORURAVED_SKBD"));
    keyboard->Release();
}

TEST(TextServiceActivation, AHostWithoutAKeystrokeManagerFailsActivationAndKeepsNothing) {
    ASSERT_NE(nullptr, library().module);
    Ref<FakeThreadMgr> thread(new FakeThreadMgr);
    thread->hasKeystrokeMgr = false;
    Ref<ITfTextInputProcessorEx> service(newService());
    ASSERT_TRUE(service);
    EXPECT_EQ(E_FAIL, service->ActivateEx(thread.get(), kClient, 0));
    EXPECT_TRUE(thread->sinks.empty());
    EXPECT_EQ(0u, thread->compartments.advised());
    EXPECT_EQ(E_INVALIDARG, service->ActivateEx(nullptr, kClient, 0));
}

TEST(TextServiceActivation, AnExceptionDuringActivationRollsItBack) {
    // A host's exception reaches the service's frames only where unwinding
    // crosses modules: 32-bit builds link an unwinder into each module, and
    // one module's exception cannot pass through another's frames there.
    if (sizeof(void*) == 4) GTEST_SKIP() << "a 32-bit exception cannot pass from the test into the library";
    ASSERT_NE(nullptr, library().module);
    Ref<FakeThreadMgr> thread(new FakeThreadMgr);
    thread->throwOnPreserve = true;
    Ref<ITfTextInputProcessorEx> service(newService());
    EXPECT_EQ(E_FAIL, service->ActivateEx(thread.get(), kClient, 0));
    EXPECT_TRUE(thread->sinks.empty());
    EXPECT_EQ(nullptr, thread->keySink);
    EXPECT_EQ(0u, thread->compartments.advised());
    thread->throwOnPreserve = false;
    EXPECT_EQ(S_OK, service->ActivateEx(thread.get(), kClient, 0));
    EXPECT_EQ(S_OK, service->Deactivate());
}

TEST(TextServiceActivation, ThousandCyclesLeaveNoObjectAndNoWindowResourceBehind) {
    ASSERT_NE(nullptr, library().module);
    {
        // The first cycle makes what lives with the process (window classes,
        // fonts of the skin).
        Ref<FakeThreadMgr> thread(new FakeThreadMgr);
        Ref<ITfTextInputProcessorEx> service(newService());
        service->ActivateEx(thread.get(), kClient, 0);
        service->Deactivate();
    }
    EXPECT_EQ(S_OK, library().canUnload());
    const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    {
        Ref<FakeThreadMgr> thread(new FakeThreadMgr);
        Ref<FakeDocumentMgr> document(new FakeDocumentMgr);
        thread->setFocus(document.get());
        for (int i = 0; i < 1000; ++i) {
            Ref<ITfTextInputProcessorEx> service(newService());
            ASSERT_EQ(S_OK, service->ActivateEx(thread.get(), kClient, i % 2 ? TF_TMF_IMMERSIVEMODE : 0));
            // Now and then with a composition and its candidate list open.
            if (i % 100 == 0) thread->type("wq");
            ASSERT_EQ(S_OK, service->Deactivate());
        }
        EXPECT_TRUE(thread->sinks.empty());
        EXPECT_EQ(nullptr, thread->keySink);
        EXPECT_TRUE(document->top->compositions.empty());
        thread->setFocus(nullptr);
        // The host still holds the candidate-list elements it was given.
    }
    EXPECT_EQ(S_OK, library().canUnload());
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdi);
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user);
}

// ---- The library's COM exports and display attributes ---------------------------

TEST(ClassFactory, AnswersOnlyTheServiceClassAsFactoryAndCountsItsReferences) {
    ASSERT_NE(nullptr, library().module);
    EXPECT_EQ(S_OK, library().canUnload());
    IUnknown* object = nullptr;
    const CLSID foreign = {0x12345678, 0x1, 0x2, {3, 4, 5, 6, 7, 8, 9, 10}};
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, library().getClassObject(foreign, IID_IClassFactory, reinterpret_cast<void**>(&object)));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, library().getClassObject(kServiceClass, IID_IDispatch, reinterpret_cast<void**>(&object)));
    EXPECT_EQ(S_OK, library().canUnload());

    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, library().getClassObject(kServiceClass, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    EXPECT_EQ(S_FALSE, library().canUnload());
    void* made = nullptr;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(reinterpret_cast<IUnknown*>(&made), IID_IUnknown, &made));
    EXPECT_EQ(E_INVALIDARG, factory->CreateInstance(nullptr, IID_IUnknown, nullptr));
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IDispatch, &made));
    factory->LockServer(TRUE);
    factory->Release();
    EXPECT_EQ(S_FALSE, library().canUnload());
    factory->LockServer(FALSE);
    EXPECT_EQ(S_OK, library().canUnload());
}

TEST(ServiceInterfaces, AnswersItsOwnInterfacesAndNoOther) {
    ASSERT_NE(nullptr, library().module);
    Ref<ITfTextInputProcessorEx> service(newService());
    ASSERT_TRUE(service);
    const IID answered[] = {IID_IUnknown, IID_ITfTextInputProcessor, __uuidof(ITfTextInputProcessorEx),
                            IID_ITfThreadMgrEventSink, IID_ITfTextEditSink, IID_ITfKeyEventSink,
                            IID_ITfCompositionSink, __uuidof(ITfDisplayAttributeProvider),
                            IID_ITfActiveLanguageProfileNotifySink, IID_ITfThreadFocusSink,
                            IID_ITfCompartmentEventSink, __uuidof(ITfTextLayoutSink), IID_ITfFunctionProvider,
                            __uuidof(ITfFnConfigure),
                            __uuidof(ITfFnReconversion)};
    // COM's identity rule: asked from any of its interfaces, the service
    // answers IUnknown with one and the same pointer.
    IUnknown* identity = nullptr;
    ASSERT_EQ(S_OK, service->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
    for (const IID& iid : answered) {
        IUnknown* p = nullptr;
        EXPECT_EQ(S_OK, service->QueryInterface(iid, reinterpret_cast<void**>(&p)));
        if (!p) continue;
        IUnknown* same = nullptr;
        EXPECT_EQ(S_OK, p->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&same)));
        EXPECT_EQ(identity, same);
        if (same) same->Release();
        p->Release();
    }
    identity->Release();
    IUnknown* p = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(E_NOINTERFACE, service->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&p)));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(E_INVALIDARG, service->QueryInterface(IID_IUnknown, nullptr));

    // Reconversion is offered, but nothing is reconvertible.
    ITfFunctionProvider* provider = nullptr;
    ASSERT_EQ(S_OK, service->QueryInterface(IID_ITfFunctionProvider, reinterpret_cast<void**>(&provider)));
    GUID type{};
    EXPECT_EQ(S_OK, provider->GetType(&type));
    EXPECT_TRUE(IsEqualGUID(kServiceClass, type));
    IUnknown* function = nullptr;
    EXPECT_EQ(E_NOINTERFACE, provider->GetFunction(kServiceClass, __uuidof(ITfFnReconversion), &function));
    ASSERT_EQ(S_OK, provider->GetFunction(GUID_NULL, __uuidof(ITfFnReconversion), &function));
    auto* reconversion = static_cast<ITfFnReconversion*>(static_cast<void*>(function));
    BOOL convertible = TRUE;
    ITfRange* range = reinterpret_cast<ITfRange*>(1);
    EXPECT_EQ(S_OK, reconversion->QueryRange(nullptr, &range, &convertible));
    EXPECT_FALSE(convertible);
    EXPECT_EQ(nullptr, range);
    function->Release();
    provider->Release();
}

TEST(DisplayAttributes, EnumerateInputConvertedAndNoneAndReadTheUsersValueOnlyAtItsSize) {
    ASSERT_NE(nullptr, library().module);
    Ref<ITfTextInputProcessorEx> service(newService());
    ITfDisplayAttributeProvider* provider = nullptr;
    ASSERT_EQ(S_OK, service->QueryInterface(__uuidof(ITfDisplayAttributeProvider), reinterpret_cast<void**>(&provider)));
    IEnumTfDisplayAttributeInfo* all = nullptr;
    ASSERT_EQ(S_OK, provider->EnumDisplayAttributeInfo(&all));
    ITfDisplayAttributeInfo* infos[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_OK, all->Next(3, infos, &fetched));
    ASSERT_EQ(3u, fetched);
    const GUID expected[3] = {kAttributeInput, kAttributeConverted, kAttributeNone};
    for (int i = 0; i < 3; ++i) {
        GUID g{};
        infos[i]->GetGUID(&g);
        EXPECT_TRUE(IsEqualGUID(expected[i], g)) << i;
    }
    ITfDisplayAttributeInfo* more = nullptr;
    EXPECT_EQ(S_FALSE, all->Next(1, &more, &fetched));
    EXPECT_EQ(0u, fetched);
    all->Reset();
    EXPECT_EQ(S_OK, all->Skip(2));
    EXPECT_EQ(S_OK, all->Next(1, &more, &fetched));
    GUID g{};
    more->GetGUID(&g);
    EXPECT_TRUE(IsEqualGUID(kAttributeNone, g));
    more->Release();
    all->Release();

    // The user's value is used only when it has the record's exact size.
    TF_DISPLAYATTRIBUTE fallback{}, read{};
    ITfDisplayAttributeInfo* converted = infos[1];
    HKEY key = nullptr;
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Zorvan Text Service");
    EXPECT_EQ(S_OK, converted->GetAttributeInfo(&fallback));
    EXPECT_EQ(TF_LS_SOLID, fallback.lsStyle);
    EXPECT_EQ(TF_ATTR_TARGET_CONVERTED, fallback.bAttr);
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Zorvan Text Service", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    TF_DISPLAYATTRIBUTE bold = fallback;
    bold.fBoldLine = TRUE;
    RegSetValueExW(key, L"DisplayAttributeConverted", 0, REG_BINARY, reinterpret_cast<BYTE*>(&bold), sizeof bold - 1);
    EXPECT_EQ(S_OK, converted->GetAttributeInfo(&read));
    EXPECT_FALSE(read.fBoldLine) << "a 35-byte value is not the user's";
    EXPECT_EQ(S_OK, converted->SetAttributeInfo(&bold));
    EXPECT_EQ(S_OK, converted->GetAttributeInfo(&read));
    EXPECT_TRUE(read.fBoldLine);
    EXPECT_EQ(S_OK, converted->Reset());
    EXPECT_EQ(S_OK, converted->GetAttributeInfo(&read));
    EXPECT_FALSE(read.fBoldLine);
    RegCloseKey(key);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Zorvan Text Service");

    ITfDisplayAttributeInfo* foreign = nullptr;
    EXPECT_EQ(E_INVALIDARG, provider->GetDisplayAttributeInfo(kServiceClass, &foreign));
    for (ITfDisplayAttributeInfo* i : infos) i->Release();
    provider->Release();
}

}  // namespace
}  // namespace zv::test
