// The 码表 page and the viewer of config.exe driven by window messages, as
// a user drives them: importing a text table through the page's file
// dialog gives main.dmg the bytes zvconfig import gives it; a picked file
// that is no text is refused and changes nothing; the viewer marks the
// entries of a protected category deleted and brings them back, removes
// exactly the rows chosen in an editable one, and shows the codes of the
// text typed last and of the clipboard's text.

#include "config/cli/cli.h"
#include "config/viewer.h"
#include "config/win32/resource_ids.h"
#include "engine/code_table.h"
#include "engine/config_store.h"
#include "engine/user_words.h"
#include "tests/host/config_instance.h"
#include "tests/support/temp_dir.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace zv::test {
namespace {

constexpr wchar_t kCaption[] = L"配置程序";
constexpr wchar_t kPickTitle[] = L"选择一个文本格式的原始定义文件...";
constexpr wchar_t kViewerTitle[] = L"输入编码表详细视图 - 佐文五笔";
constexpr wchar_t kLookupTitle[] = L"码表浏览 - zvconfigtest";
constexpr int kMessageText = 0xFFFF;                 // a message box's text control
constexpr int kFileNameEdit = 0x480, kFileNameCombo = 0x47c;  // edt1, cmb13 of the file dialog

bool waitUntil(const std::function<bool()>& done, DWORD ms = kWaitMs) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        if (done()) return true;
        Sleep(50);
    }
    return done();
}

std::wstring textOf(HWND w, int id) {
    wchar_t text[512] = {};
    GetDlgItemTextW(w, id, text, 512);
    return text;
}

// Memory in config.exe for the list-view messages that carry pointers.
class Remote {
public:
    explicit Remote(HWND w, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) at_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~Remote() {
        if (at_) VirtualFreeEx(process_, at_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;
    void* at(size_t offset = 0) const { return static_cast<char*>(at_) + offset; }
    void write(const void* data, size_t n, size_t offset = 0) const {
        WriteProcessMemory(process_, at(offset), data, n, nullptr);
    }
    void read(void* data, size_t n, size_t offset = 0) const {
        ReadProcessMemory(process_, at(offset), data, n, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    void* at_ = nullptr;
    size_t size_;
};

void selectRows(HWND list, int first, int count) {
    Remote remote(list, sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    remote.write(&item, sizeof(item));
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(remote.at()));
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    remote.write(&item, sizeof(item));
    for (int i = first; i < first + count; ++i)
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote.at()));
}

std::wstring cellText(HWND list, int row, int column) {
    constexpr size_t kUnits = 256;
    Remote remote(list, sizeof(LVITEMW) + kUnits * sizeof(wchar_t));
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = kUnits;
    item.pszText = static_cast<wchar_t*>(remote.at(sizeof(LVITEMW)));
    remote.write(&item, sizeof(item));
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.at()));
    wchar_t text[kUnits] = {};
    remote.read(text, sizeof(text), sizeof(LVITEMW));
    text[kUnits - 1] = 0;
    return text;
}

int rowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

void command(HWND window, int id) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

// A message box of the program: its text, then the answer.
std::wstring answerBox(const wchar_t* title, int answer) {
    HWND box = waitForDialog(title);
    if (!box) return L"(no message box " + std::wstring(title) + L")";
    waitUntil([&] { return !textOf(box, kMessageText).empty(); });
    const std::wstring text = textOf(box, kMessageText);
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
    waitUntil([&] { return !IsWindow(box); });
    return text;
}

bool pickFile(const std::wstring& path) {
    HWND dialog = waitForDialog(kPickTitle);
    if (!dialog) return false;
    HWND name = GetDlgItem(dialog, kFileNameEdit);
    if (!name) name = GetDlgItem(dialog, kFileNameCombo);
    if (!name) return false;
    SetWindowTextW(name, path.c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return waitUntil([&] { return !IsWindow(dialog); });
}

class ConfigPages : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        instance = new ConfigInstance;
        fx = &instance->fx;
        shippedConfig = fx->config;
        shippedMain = fx->dir.read("main.dmg");
    }
    static void TearDownTestSuite() { delete instance; }
    void SetUp() override {
        fx->config = shippedConfig;
        fx->writeConfig();
        fx->writeFile("main.dmg", shippedMain);
    }
    // The rights of a category: 1 editable, 2 in use.
    static void setRights(int category, uint32_t rights) {
        SettingsBlocks blocks = fx->blocks();
        blocks.soft.setU32(SoftSettings::CategoryRights + 4 * static_cast<size_t>(category), rights);
        fx->writeConfig();
    }
    static std::vector<uint8_t> main() { return fx->dir.read("main.dmg"); }
    // The attributes of the entry with this word, or nothing.
    static std::optional<uint32_t> attributesOf(std::u16string_view word) {
        std::vector<uint8_t> m = main();
        const CodeTable t(m.data(), static_cast<uint32_t>(m.size()));
        for (uint32_t i = 0; i < t.count(); ++i)
            if (t.entry(i).valid() && t.entry(i).wordText() == word) return t.entry(i).attributes;
        return std::nullopt;
    }

    // The main dialog on 码表 with the first row (the whole table) chosen.
    struct CodeTablePage {
        Started program{ConfigInstance::instanceArgument() + L" /do 码表"};
        HWND window = nullptr, page = nullptr, list = nullptr;
        CodeTablePage() {
            window = waitForDialog(kMainTitle);
            if (!window) return;
            list = waitForControl(window, ZV_TABLES_LIST);
            if (!list) return;
            page = GetParent(list);
        }
        void chooseRow(int row) {
            selectRows(list, row, 1);
            waitUntil([&] { return IsWindowEnabled(GetDlgItem(page, ZV_TABLES_VIEW)) != FALSE; });
        }
        DWORD close() {
            PostMessageW(window, WM_CLOSE, 0, 0);
            return program.exitCode();
        }
    };

    static ConfigInstance* instance;
    static DataFixture* fx;
    static std::vector<uint8_t> shippedConfig, shippedMain;
};
ConfigInstance* ConfigPages::instance = nullptr;
DataFixture* ConfigPages::fx = nullptr;
std::vector<uint8_t> ConfigPages::shippedConfig, ConfigPages::shippedMain;

TEST_F(ConfigPages, ImportingThroughThePageGivesTheBytesOfZvconfigImport) {
    setRights(0, 3);  // the whole table may be edited
    TempDir work;
    const std::string source =
        "\xEF\xBB\xBF"
        "// 新词\r\n"
        "新词\twqxc\r\n"
        "工\ta\r\n"          // there already
        "坏\t\xE4\xB8\xAD\r\n"  // a code that is no key
        "大家\tddpe#固\r\n"
        "新词\twqxc\r\n";   // twice
    work.write("words.txt", std::vector<uint8_t>(source.begin(), source.end()));
    // zvconfig's import on a copy of the folder.
    TempDir copy;
    copy.write("config.dsc", fx->dir.read("config.dsc"));
    copy.write("main.dmg", main());
    {
        std::ostringstream out, err;
        std::istringstream in;
        config::cli::Io io(out, err, in);
        io.tempFolder = work.folder();
        io.documentsFolder = work.folder();
        const int status = config::cli::run(
            {"import", utf16ToUtf8(work.file("words.txt")), "--data", utf16ToUtf8(copy.folder()), "--yes"}, io);
        ASSERT_EQ(0, status) << err.str();
    }

    CodeTablePage p;
    ASSERT_NE(nullptr, p.list);
    p.chooseRow(0);
    ASSERT_TRUE(IsWindowEnabled(GetDlgItem(p.page, ZV_TABLES_IMPORT)));
    command(p.page, ZV_TABLES_IMPORT);
    const std::u16string picked = work.file("words.txt");
    ASSERT_TRUE(pickFile(std::wstring(picked.begin(), picked.end())));
    EXPECT_EQ(L"成功添加词条数: 2\r\n无法添加的词条个数为: 3。\r\n是否现在查看无法导入的词条？",
              answerBox(L"批量添加完成", IDNO));
    EXPECT_EQ(copy.read("main.dmg"), main());
    // The list counts the new entries.
    EXPECT_TRUE(waitUntil([&] { return cellText(p.list, 0, 2) == L"15"; })) << cellText(p.list, 0, 2);
    EXPECT_EQ(0u, p.close());
}

TEST_F(ConfigPages, APickedFileThatIsNoTextIsRefusedAndNothingChanges) {
    setRights(0, 3);
    TempDir work;
    work.write("picked.txt", main());  // a table file, named as a text
    const std::vector<uint8_t> before = main();
    CodeTablePage p;
    ASSERT_NE(nullptr, p.list);
    p.chooseRow(0);
    command(p.page, ZV_TABLES_REPLACE);
    EXPECT_EQ(L"该操作将清空选中码表中已有的所有词条，并且不可恢复。\r\n确定这样做吗？", answerBox(kCaption, IDYES));
    const std::u16string picked = work.file("picked.txt");
    ASSERT_TRUE(pickFile(std::wstring(picked.begin(), picked.end())));
    const std::wstring refusal = answerBox(kCaption, IDOK);
    EXPECT_NE(std::wstring::npos, refusal.find(L"所选文件不是文本格式的码表")) << refusal;
    EXPECT_NE(std::wstring::npos, refusal.find(L"码表未作改动"));
    EXPECT_EQ(before, main());
    // The page answers again once the task is over.
    EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(GetDlgItem(p.page, ZV_TABLES_REPLACE)) != FALSE; }));
    EXPECT_EQ(0u, p.close());
}

TEST_F(ConfigPages, CommandsFollowTheChosenRow) {
    setRights(0, 0);  // the whole table only viewed
    CodeTablePage p;
    ASSERT_NE(nullptr, p.list);
    p.chooseRow(0);
    EXPECT_EQ(L"查看(&E)", textOf(p.page, ZV_TABLES_VIEW));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(p.page, ZV_TABLES_IMPORT)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(p.page, ZV_TABLES_CLEAR)));
    const int rows = rowCount(p.list);
    p.chooseRow(rows - 3);  // 临时词表
    EXPECT_EQ(L"临时词表", cellText(p.list, rows - 3, 1));
    EXPECT_TRUE(waitUntil([&] { return textOf(p.page, ZV_TABLES_VIEW) == L"查看(&V)"; }));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(p.page, ZV_TABLES_CLEAR)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(p.page, ZV_TABLES_EXPORT)));
    EXPECT_EQ(0u, p.close());
}

struct Viewer {
    HWND window = nullptr, list = nullptr;
    explicit Viewer(const wchar_t* title) {
        window = waitForDialog(title);
        if (window) list = GetDlgItem(window, ZV_VIEWER_LIST);
    }
    // The list as made for these filters.
    bool find(const wchar_t* code, bool partial, int rows) {
        SetDlgItemTextW(window, ZV_VIEWER_CODE, code);
        SendDlgItemMessageW(window, ZV_VIEWER_PARTIAL, BM_SETCHECK, partial ? BST_CHECKED : BST_UNCHECKED, 0);
        command(window, ZV_VIEWER_FIND);
        return shows(rows);
    }
    bool shows(int rows) {
        return waitUntil([&] { return IsWindowVisible(list) && rowCount(list) == rows; });
    }
};

TEST_F(ConfigPages, TheViewerMarksProtectedEntriesDeletedAndBringsThemBack) {
    setRights(17, 2);  // in use, not editable
    CodeTablePage p;
    ASSERT_NE(nullptr, p.list);
    p.chooseRow(0);
    command(p.page, ZV_TABLES_VIEW);
    Viewer v(kViewerTitle);
    ASSERT_NE(nullptr, v.list);
    EXPECT_FALSE(IsWindowVisible(p.window));  // the main window waits hidden
    ASSERT_TRUE(v.find(L"wqa", false, 1));
    selectRows(v.list, 0, 1);
    PostMessageW(v.list, WM_KEYDOWN, VK_DELETE, 0);  // the accelerator
    EXPECT_EQ(L"是否继续删除选中词条？", answerBox(kCaption, IDYES));
    ASSERT_TRUE(waitUntil([] { return attributesOf(u"伦") && attr::deleted(*attributesOf(u"伦")); }));
    ASSERT_TRUE(v.shows(1));
    EXPECT_NE(std::wstring::npos, cellText(v.list, 0, 3).find(L" 已删除")) << cellText(v.list, 0, 3);
    selectRows(v.list, 0, 1);
    command(v.window, ZV_VIEWER_UNDELETE);
    EXPECT_TRUE(waitUntil([] { return attributesOf(u"伦") && !attr::deleted(*attributesOf(u"伦")); }));
    EXPECT_TRUE(v.shows(1));
    PostMessageW(v.window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(p.window) != FALSE; }));
    EXPECT_EQ(0u, p.close());
}

TEST_F(ConfigPages, DeletingThreeAdjacentRowsOfAnEditableCategoryRemovesThoseThree) {
    setRights(17, 3);
    CodeTablePage p;
    ASSERT_NE(nullptr, p.list);
    p.chooseRow(0);
    command(p.page, ZV_TABLES_VIEW);
    Viewer v(kViewerTitle);
    ASSERT_NE(nullptr, v.list);
    // wq, wqa .. wqf, and the two of wqvb, in code order.
    ASSERT_TRUE(v.find(L"wq", true, 9));
    EXPECT_EQ(L"wqb", cellText(v.list, 2, 1));
    selectRows(v.list, 2, 3);
    PostMessageW(v.list, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(L"是否继续删除选中词条？", answerBox(kCaption, IDYES));
    EXPECT_TRUE(v.shows(6));
    for (std::u16string_view gone : {u"伙", u"仪", u"们"}) EXPECT_FALSE(attributesOf(gone));
    for (std::u16string_view kept : {u"你", u"伦", u"仿", u"似", u"你好", u"您好"}) EXPECT_TRUE(attributesOf(kept));
    PostMessageW(v.window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(p.window) != FALSE; }));
    EXPECT_EQ(0u, p.close());
}

void putOnClipboard(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

TEST_F(ConfigPages, LookupsShowTheCodesOfTheTextTypedLastAndOfTheClipboard) {
    {
        SettingsBlocks blocks = fx->blocks();
        ASSERT_TRUE(recordCommit(blocks.ime, blocks.dme, u"中", "khk"));
        ASSERT_TRUE(recordCommit(blocks.ime, blocks.dme, u"你好", "wqvb"));
        fx->writeConfig();
    }
    {
        Started program(ConfigInstance::instanceArgument() + L" /do 输出反查");
        Viewer v(kLookupTitle);
        ASSERT_NE(nullptr, v.list);
        EXPECT_EQ(L"你好", textOf(v.window, ZV_VIEWER_WORD));
        ASSERT_TRUE(v.shows(1));
        EXPECT_EQ(L"wqvb", cellText(v.list, 0, 1));
        // A second start raises this window and ends.
        Started second(ConfigInstance::instanceArgument() + L" /do shuchufancha");
        EXPECT_EQ(0u, second.exitCode());
        PostMessageW(v.window, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, program.exitCode());
    }
    {
        const std::wstring text(200, L'工');
        putOnClipboard(text);
        Started program(ConfigInstance::instanceArgument() + L" /do 剪贴板反查");
        Viewer v(kLookupTitle);
        ASSERT_NE(nullptr, v.list);
        EXPECT_EQ(text.substr(0, 128), textOf(v.window, ZV_VIEWER_WORD));
        EXPECT_TRUE(v.shows(0));
        PostMessageW(v.window, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, program.exitCode());
    }
}

// Without a browser engine (wine without its HTML engine) the window still
// opens, says why it shows no page, names the address it was given with
// its Chinese characters percent-encoded, and closes.
TEST_F(ConfigPages, TheInformationWindowFallsBackToTextWithoutABrowser) {
    Started program(ConfigInstance::instanceArgument() + L" /showurl http://example.com/中文 /showurlCX 500 /showurlCY 300");
    HWND window = waitForDialog(L"信息提示窗口");
    ASSERT_NE(nullptr, window);
    // The text is put in once the browser control could not be made, which
    // in a prefix just created can take a moment after the window shows.
    waitUntil([&] { return textOf(window, ZV_HTML_BROWSER).find(L"没有可用的网页浏览控件") != std::wstring::npos; });
    const std::wstring text = textOf(window, ZV_HTML_BROWSER);
    EXPECT_NE(std::wstring::npos, text.find(L"没有可用的网页浏览控件")) << text;
    EXPECT_NE(std::wstring::npos, text.find(L"http://example.com/%E4%B8%AD%E6%96%87")) << text;
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ(500, r.right - r.left);
    EXPECT_EQ(300, r.bottom - r.top);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.exitCode());

    // The about page's control falls back the same way, above its line.
    Started about(ConfigInstance::instanceArgument() + L" /do about");
    HWND main = waitForDialog(kMainTitle);
    ASSERT_NE(nullptr, main);
    HWND place = waitForControl(main, ZV_ABOUT_BROWSER);
    ASSERT_NE(nullptr, place);
    wchar_t shown[512] = {};
    SendMessageW(place, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(shown));
    EXPECT_NE(std::wstring::npos, std::wstring(shown).find(L"main.chm::/About.html")) << shown;
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, about.exitCode());
}

}  // namespace
}  // namespace zv::test
