#include "config/win32/code_table_page.h"

#include "config/table_page.h"
#include "config/table_export.h"
#include "config/table_tasks.h"
#include "config/win32/resource_ids.h"
#include "config/win32/viewer_dialog.h"
#include "engine/code_table.h"
#include "platform/folders.h"
#include "platform/mapped_file.h"
#include "platform/services.h"

#include <commctrl.h>
#include <commdlg.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace zv::config::win32 {

namespace {

// Posted by the worker: the bar's new percentage, and the end of the task.
constexpr UINT kProgressMessage = WM_APP + 1;
constexpr UINT kDoneMessage = WM_APP + 2;
constexpr int kPercentMax = 100;

enum Column { ColumnKey, ColumnName, ColumnEntries, ColumnWritable, ColumnInUse, ColumnCount };
struct ColumnSpec {
    const wchar_t* title;
    int width;
    int format;
};
constexpr ColumnSpec kColumns[ColumnCount] = {
    {L"", 10, LVCFMT_LEFT},
    {L"码表名称", 200, LVCFMT_LEFT},
    {L"词条数", 60, LVCFMT_LEFT},
    {L"可写", 40, LVCFMT_CENTER},
    {L"使用", 0, LVCFMT_CENTER},
};
constexpr int kCommands[] = {ZV_TABLES_VIEW, ZV_TABLES_IMPORT, ZV_TABLES_EXPORT, ZV_TABLES_REPLACE, ZV_TABLES_CLEAR};
constexpr std::u16string_view kCaption = u"配置程序";
constexpr wchar_t kPickTitle[] = L"选择一个文本格式的原始定义文件...";
constexpr wchar_t kPickFilter[] = L"TXT文件(*.txt)\0*.txt\0所有文件(*.*)\0*.*\0";
constexpr wchar_t kYes[] = L"√", kNo[] = L"", kNotApplicable[] = L"-";

std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

struct CodeTablePage {
    Program& program;
    HWND window = nullptr;
    HWND list = nullptr;
    std::vector<TableRow> rows;
    // The running task: its outcome is handed over under the lock, then the
    // done message tells the page.
    std::jthread worker;
    std::mutex lock;
    std::optional<TaskOutcome> outcome;
    std::atomic<int> percent{-1};
    bool busy = false;
    TableRow taskRow;

    // Set once the window owns the page (it is freed with the window).
    bool* owned = nullptr;

    explicit CodeTablePage(Program& p) : program(p) {}
};

CodeTablePage* pageOf(HWND window) { return reinterpret_cast<CodeTablePage*>(GetWindowLongPtrW(window, DWLP_USER)); }

uint32_t entriesOf(const std::u16string& path) {
    if (!platform::fileExists(path)) return 0;
    platform::MappedFile f;
    if (!f.open(path, platform::MappedFile::Pages::OnDemand)) return 0;
    const CodeTable t(f.data(), f.size());
    return t.valid() ? t.count() : 0;
}

const TableRow* selectedRow(const CodeTablePage& p) {
    const int i = ListView_GetNextItem(p.list, -1, LVNI_SELECTED);
    return i >= 0 && static_cast<size_t>(i) < p.rows.size() ? &p.rows[static_cast<size_t>(i)] : nullptr;
}

void updateCommands(CodeTablePage& p) {
    const RowCommands c = rowCommands(p.busy ? nullptr : selectedRow(p), p.program.folder.blocks.soft);
    EnableWindow(GetDlgItem(p.window, ZV_TABLES_VIEW), c.view);
    EnableWindow(GetDlgItem(p.window, ZV_TABLES_IMPORT), c.import);
    EnableWindow(GetDlgItem(p.window, ZV_TABLES_EXPORT), c.exportTable);
    EnableWindow(GetDlgItem(p.window, ZV_TABLES_REPLACE), c.replace);
    EnableWindow(GetDlgItem(p.window, ZV_TABLES_CLEAR), c.clear);
    SetDlgItemTextW(p.window, ZV_TABLES_VIEW, wide(c.viewCaption).c_str());
}

void setCell(HWND list, int row, int column, const std::wstring& text) {
    ListView_SetItemText(list, row, column, const_cast<wchar_t*>(text.c_str()));
}

void fillList(CodeTablePage& p) {
    const int selected = ListView_GetNextItem(p.list, -1, LVNI_SELECTED);
    const DataFolder& folder = p.program.folder;
    CategoryCounts main;
    {
        platform::MappedFile f;
        if (f.open(folder.path(u"main.dmg"), platform::MappedFile::Pages::OnDemand))
            main = countCategories(CodeTable(f.data(), f.size()));
    }
    OtherCounts others;
    others.temp = entriesOf(folder.path(u"temp.dmg"));
    others.association = entriesOf(folder.path(u"sysl.dmg"));
    others.english = entriesOf(folder.path(u"engl.dmg"));
    p.rows = tableRows(folder.blocks.soft, main, others);

    SendMessageW(p.list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(p.list);
    for (size_t i = 0; i < p.rows.size(); ++i) {
        const TableRow& r = p.rows[i];
        const int row = static_cast<int>(i);
        std::wstring key = std::to_wstring(r.category);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = key.data();
        ListView_InsertItem(p.list, &item);
        setCell(p.list, row, ColumnName, wide(r.label));
        setCell(p.list, row, ColumnEntries, std::to_wstring(r.entries));
        setCell(p.list, row, ColumnWritable, r.writable ? kYes : kNo);
        const bool categoryRow = r.table == PageTable::Main && r.category > 0;
        setCell(p.list, row, ColumnInUse, categoryRow ? (r.inUse ? kYes : kNo) : kNotApplicable);
    }
    if (selected >= 0 && static_cast<size_t>(selected) < p.rows.size())
        ListView_SetItemState(p.list, selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageW(p.list, WM_SETREDRAW, TRUE, 0);
    updateCommands(p);
}

// The main window's tabs and 完成设置 wait while a task runs.
void holdMainWindow(CodeTablePage& p, bool hold) {
    HWND main = GetAncestor(p.window, GA_ROOT);
    EnableWindow(GetDlgItem(main, ZV_MAIN_TABS), !hold);
    EnableWindow(GetDlgItem(main, IDOK), !hold);
    EnableWindow(p.list, !hold);
}

TaskFolder taskFolder(const Program& program) {
    TaskFolder f;
    f.dataDir = program.folder.info.dataDir;
    f.tempDir = platform::tempFolder();
    f.documentsDir = platform::documentsFolder();
    f.imeName = program.folder.info.imeName;
    f.blocks = program.folder.blocks;
    return f;
}

using Task = std::function<TaskOutcome(const TaskFolder&, const TableRow&, const Progress&)>;

void startTask(CodeTablePage& p, const TableRow& row, Task task) {
    p.busy = true;
    p.taskRow = row;
    p.percent = -1;
    HWND bar = GetDlgItem(p.window, ZV_TABLES_PROGRESS);
    SendMessageW(bar, PBM_SETRANGE32, 0, kPercentMax);
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    ShowWindow(bar, SW_SHOW);
    holdMainWindow(p, true);
    updateCommands(p);
    HWND window = p.window;
    CodeTablePage* page = &p;
    p.worker = std::jthread([page, window, row, task = std::move(task), folder = taskFolder(p.program)] {
        // The bar moves only when the whole percentage does.
        const Progress progress = [page, window](uint64_t done, uint64_t total) {
            if (total == 0) return;
            const int now = static_cast<int>(std::min<uint64_t>(done * kPercentMax / total, kPercentMax));
            if (page->percent.exchange(now) != now) PostMessageW(window, kProgressMessage, static_cast<WPARAM>(now), 0);
        };
        TaskOutcome outcome;
        try {
            outcome = task(folder, row, progress);
        } catch (...) {
            outcome.failed = true;
            outcome.message = u"操作未能完成，码表未作改动。";
        }
        {
            std::lock_guard<std::mutex> hold(page->lock);
            page->outcome = std::move(outcome);
        }
        PostMessageW(window, kDoneMessage, 0, 0);
    });
}

void openFileOrReport(HWND owner, const TaskOutcome& o) {
    if (!o.reportPath.empty()) {
        if (MessageBoxW(owner, wide(o.message).c_str(), wide(o.caption).c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES)
            platform::systemShell().open(o.reportPath);
        return;
    }
    if (!o.exportedPath.empty()) {
        platform::systemShell().run(u"explorer.exe", u"/select,\"" + o.exportedPath + u"\"", false);
        return;
    }
    if (!o.message.empty())
        MessageBoxW(owner, wide(o.message).c_str(), wide(o.caption).c_str(),
                    o.failed ? MB_OK | MB_ICONWARNING : MB_OK | MB_ICONINFORMATION);
}

void finishTask(CodeTablePage& p) {
    if (p.worker.joinable()) p.worker.join();
    std::optional<TaskOutcome> outcome;
    {
        std::lock_guard<std::mutex> hold(p.lock);
        outcome.swap(p.outcome);
    }
    p.busy = false;
    ShowWindow(GetDlgItem(p.window, ZV_TABLES_PROGRESS), SW_HIDE);
    holdMainWindow(p, false);
    if (!outcome) return;
    if (outcome->associationSeparator) {
        ImeSettings& ime = p.program.folder.blocks.ime;
        ime.setBit(ImeSettings::OptionC, ImeSettings::C_AssociationSeparator, *outcome->associationSeparator);
        p.program.folder.config.flush();
    }
    fillList(p);
    openFileOrReport(GetAncestor(p.window, GA_ROOT), *outcome);
    // The tree goes on its own thread: the page does not wait for it.
    if (outcome->releaser.joinable()) outcome->releaser.detach();
}

bool ask(HWND owner, std::u16string_view question) {
    return MessageBoxW(owner, wide(question).c_str(), wide(kCaption).c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void tell(HWND owner, std::u16string_view text) {
    MessageBoxW(owner, wide(text).c_str(), wide(kCaption).c_str(), MB_OK | MB_ICONWARNING);
}

std::optional<std::u16string> pickSource(HWND owner) {
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW o{};
    o.lStructSize = sizeof(o);
    o.hwndOwner = owner;
    o.lpstrFilter = kPickFilter;
    o.lpstrFile = file;
    o.nMaxFile = MAX_PATH;
    o.lpstrTitle = kPickTitle;
    o.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetOpenFileNameW(&o)) return std::nullopt;
    return std::u16string(reinterpret_cast<const char16_t*>(file));
}

void view(CodeTablePage& p, const TableRow& row) {
    HWND main = GetAncestor(p.window, GA_ROOT);
    ShowWindow(main, SW_HIDE);
    ViewerRequest request;
    request.file = pageTableFile(row.table);
    request.category = row.table == PageTable::Main ? std::max(row.category, 0) : 0;
    runViewer(p.program, request);
    ShowWindow(main, SW_SHOW);
    SetForegroundWindow(main);
    fillList(p);
}

void command(CodeTablePage& p, int id) {
    if (p.busy) return;
    const TableRow* selected = selectedRow(p);
    if (!selected) return;
    const TableRow row = *selected;
    const RowCommands allowed = rowCommands(&row, p.program.folder.blocks.soft);
    HWND owner = GetAncestor(p.window, GA_ROOT);
    switch (id) {
    case ZV_TABLES_VIEW:
        if (allowed.view) view(p, row);
        return;
    case ZV_TABLES_IMPORT:
    case ZV_TABLES_REPLACE: {
        if (!(id == ZV_TABLES_IMPORT ? allowed.import : allowed.replace)) return;
        // Word lists are always replaced whole, so both commands ask first.
        const bool replaces = id == ZV_TABLES_REPLACE || row.table != PageTable::Main;
        if (replaces && !ask(owner, replaceQuestion(row))) return;
        const std::optional<std::u16string> source = pickSource(owner);
        if (!source) return;
        const std::u16string path = *source;
        if (id == ZV_TABLES_REPLACE) {
            startTask(p, row, [path](const TaskFolder& f, const TableRow& r, const Progress& pr) {
                return replaceTable(f, r, path, pr);
            });
        } else {
            startTask(p, row, [path](const TaskFolder& f, const TableRow& r, const Progress& pr) {
                return importTable(f, r, path, pr);
            });
        }
        return;
    }
    case ZV_TABLES_EXPORT:
        if (!allowed.exportTable) return;
        startTask(p, row, exportRow);
        return;
    case ZV_TABLES_CLEAR:
        if (!allowed.clear) return;
        if (row.table == PageTable::Main && row.category > 0 &&
            !categoryEditable(p.program.folder.blocks.soft, row.category)) {
            tell(owner, u"当前分类的词条未被授权修改，所以您不能清空此类内容！");
            return;
        }
        if (!ask(owner, ClearQuestion)) return;
        startTask(p, row, clearRow);
        return;
    default: return;
    }
}

void contextMenu(CodeTablePage& p, POINT at) {
    if (p.busy || !selectedRow(p)) return;
    const RowCommands c = rowCommands(selectedRow(p), p.program.folder.blocks.soft);
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    struct Item {
        int id;
        std::u16string_view text;
        bool enabled;
    };
    const Item items[] = {{ZV_TABLES_VIEW, c.viewCaption, c.view},
                          {ZV_TABLES_IMPORT, u"导入(&I)", c.import},
                          {ZV_TABLES_EXPORT, u"导出(&O)", c.exportTable},
                          {ZV_TABLES_REPLACE, u"替换(&L)", c.replace},
                          {ZV_TABLES_CLEAR, u"清空(&C)", c.clear}};
    for (const Item& i : items)
        AppendMenuW(menu, MF_STRING | (i.enabled ? MF_ENABLED : MF_GRAYED), static_cast<UINT_PTR>(i.id),
                    wide(i.text).c_str());
    const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, p.window, nullptr);
    DestroyMenu(menu);
    if (chosen) command(p, chosen);
}

// A click on a category's 使用 cell flips whether the category is in use.
void clicked(CodeTablePage& p, const NMITEMACTIVATE& n) {
    LVHITTESTINFO hit{};
    hit.pt = n.ptAction;
    if (ListView_SubItemHitTest(p.list, &hit) < 0 || hit.iSubItem != ColumnInUse) return;
    if (hit.iItem < 0 || static_cast<size_t>(hit.iItem) >= p.rows.size()) return;
    if (!toggleInUse(p.program.folder.blocks.soft, p.rows[static_cast<size_t>(hit.iItem)])) return;
    p.program.folder.config.flush();
    fillList(p);
}

void initialise(CodeTablePage& p) {
    p.list = GetDlgItem(p.window, ZV_TABLES_LIST);
    ListView_SetExtendedListViewStyle(p.list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (int i = 0; i < ColumnCount; ++i) {
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        c.pszText = const_cast<wchar_t*>(kColumns[i].title);
        c.cx = kColumns[i].width;
        c.fmt = kColumns[i].format;
        ListView_InsertColumn(p.list, i, &c);
    }
    fillList(p);
}

INT_PTR CALLBACK pageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CodeTablePage* p = pageOf(window);
    switch (message) {
    case WM_INITDIALOG:
        p = reinterpret_cast<CodeTablePage*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        p->window = window;
        *p->owned = true;
        initialise(*p);
        return TRUE;
    case WM_COMMAND:
        if (p && HIWORD(wParam) == BN_CLICKED) command(*p, LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        if (!p) return FALSE;
        const auto* n = reinterpret_cast<const NMHDR*>(lParam);
        if (n->idFrom != ZV_TABLES_LIST) return FALSE;
        if (n->code == LVN_ITEMCHANGED) updateCommands(*p);
        else if (n->code == NM_DBLCLK && !p->busy && selectedRow(*p)) command(*p, ZV_TABLES_VIEW);
        else if (n->code == NM_CLICK && !p->busy) clicked(*p, *reinterpret_cast<const NMITEMACTIVATE*>(lParam));
        return TRUE;
    }
    case WM_CONTEXTMENU:
        if (p && reinterpret_cast<HWND>(wParam) == p->list) {
            POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (at.x == -1 && at.y == -1) {  // from the keyboard: under the selected row
                RECT r{};
                ListView_GetItemRect(p->list, std::max(ListView_GetNextItem(p->list, -1, LVNI_SELECTED), 0), &r,
                                     LVIR_LABEL);
                at = {r.left, r.bottom};
                ClientToScreen(p->list, &at);
            }
            contextMenu(*p, at);
        }
        return TRUE;
    case kProgressMessage:
        if (p && p->busy) SendDlgItemMessageW(window, ZV_TABLES_PROGRESS, PBM_SETPOS, wParam, 0);
        return TRUE;
    case kDoneMessage:
        if (p && p->busy) finishTask(*p);
        return TRUE;
    case WM_DESTROY:
        // A page closed under a running task waits for it: the task's
        // files must be whole when the program ends.
        if (p && p->worker.joinable()) p->worker.join();
        return FALSE;
    case WM_NCDESTROY:
        delete p;
        SetWindowLongPtrW(window, DWLP_USER, 0);
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

HWND createCodeTablePage(HWND parent, Program& program) {
    auto* page = new CodeTablePage(program);
    bool owned = false;
    page->owned = &owned;
    HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ZV_DIALOG_CODE_TABLE_PAGE), parent,
                                     pageProc, reinterpret_cast<LPARAM>(page));
    if (!owned) delete page;  // a window that was made and failed has freed it already
    else if (window) page->owned = nullptr;
    return window;
}

bool codeTablePageBusy(HWND page) {
    const CodeTablePage* p = page ? pageOf(page) : nullptr;
    return p && p->busy;
}

}  // namespace zv::config::win32
