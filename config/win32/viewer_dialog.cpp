#include "config/win32/viewer_dialog.h"

#include "config/entry_editor.h"
#include "config/table_export.h"
#include "config/shell/targets.h"
#include "config/viewer.h"
#include "config/win32/entry_dialog.h"
#include "config/win32/resource_ids.h"
#include "engine/data_files.h"
#include "host/dll/resource_ids.h"
#include "platform/services.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace zv::config::win32 {

namespace {

constexpr UINT kBuiltMessage = WM_APP + 1;
constexpr std::u16string_view kCaption = u"配置程序";
constexpr std::u16string_view kBuilding = u"正在创建视图，请稍候...\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
constexpr COLORREF kDeletedColour = RGB(255, 0, 0), kUserColour = RGB(0, 0, 128);
constexpr int kFirstClassified = 16, kLastClassified = 31;
constexpr int kViewerIcon = 121;

enum Column { ColumnNumber, ColumnCode, ColumnWord, ColumnCategory, ColumnOrder, ColumnCount };
struct ColumnSpec {
    const wchar_t* title;
    int width;
};
constexpr ColumnSpec kColumns[ColumnCount] = {
    {L"序号", 80}, {L"编码", 100}, {L"词条", 250}, {L"分类", 150}, {L"候选排序", 80}};

std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

std::u16string itemText(HWND window, int id) {
    wchar_t text[MaxFilterUnits + 1] = {};
    GetDlgItemTextW(window, id, text, static_cast<int>(MaxFilterUnits + 1));
    return std::u16string(reinterpret_cast<const char16_t*>(text));
}

DataSlot slotOf(ViewerTable which) {
    switch (which) {
    case ViewerTable::Temp: return SlotTemp;
    case ViewerTable::Association: return SlotAssociation;
    case ViewerTable::English: return SlotEnglish;
    default: return SlotMain;
    }
}

struct Viewer {
    Program& program;
    EngineContext& engine;
    ViewerTable which;
    DataSlot slot;
    ViewerRequest request;
    HWND window = nullptr, list = nullptr, overlay = nullptr;
    HACCEL keys = nullptr;
    ViewFilter filter;
    std::vector<uint32_t> positions;  // what the list shows; replaced only while it is empty
    int topRow = -1, selectedRow = -1;
    // The worker's list, handed over under the lock.
    std::jthread builder;
    std::mutex lock;
    std::vector<uint32_t> built;
    bool building = false;
    bool again = false;  // another change came while building
    // The cells of the last row asked for: the list asks once per column.
    int cachedRow = -1;
    std::optional<ViewRow> cached;
    std::wstring cell;

    Viewer(Program& p, EngineContext& e, const ViewerRequest& r)
        : program(p), engine(e), which(viewerTableOf(r.file)), slot(slotOf(which)), request(r) {}
};

Viewer* viewerOf(HWND window) { return reinterpret_cast<Viewer*>(GetWindowLongPtrW(window, DWLP_USER)); }

CodeTable table(const Viewer& v) { return tableView(v.engine, v.slot); }
bool isMain(const Viewer& v) { return v.which == ViewerTable::Main; }

// Add and edit need the main table and a category that may be edited.
bool mayAddOrEdit(const Viewer& v) {
    return isMain(v) && (v.filter.category == 0 || categoryEditable(v.engine.blocks.soft, v.filter.category));
}

std::vector<uint32_t> selectedPositions(const Viewer& v) {
    std::vector<uint32_t> out;
    for (int i = ListView_GetNextItem(v.list, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(v.list, i, LVNI_SELECTED))
        if (static_cast<size_t>(i) < v.positions.size()) out.push_back(v.positions[static_cast<size_t>(i)]);
    return out;
}

void emptyList(Viewer& v) {
    ListView_SetItemCountEx(v.list, 0, 0);
    v.positions.clear();
    v.cachedRow = -1;
}

void startBuild(Viewer& v) {
    if (v.building) {
        v.again = true;
        return;
    }
    if (!v.positions.empty()) v.topRow = ListView_GetTopIndex(v.list);
    emptyList(v);
    ShowWindow(v.list, SW_HIDE);
    SetWindowTextW(v.overlay, wide(kBuilding).c_str());
    ShowWindow(v.overlay, SW_SHOW);
    v.filter.code = itemText(v.window, ZV_VIEWER_CODE);
    v.filter.word = itemText(v.window, ZV_VIEWER_WORD);
    v.filter.partial = IsDlgButtonChecked(v.window, ZV_VIEWER_PARTIAL) == BST_CHECKED;
    v.building = true;
    HWND window = v.window;
    Viewer* viewer = &v;
    // The UI thread writes nothing while the worker reads: every command
    // that changes the table waits for the list.
    v.builder = std::jthread([viewer, window, t = table(v), f = v.filter] {
        std::vector<uint32_t> result;
        try {
            result = buildViewList(t, f);
        } catch (...) {
            result.clear();
        }
        {
            std::lock_guard<std::mutex> hold(viewer->lock);
            viewer->built = std::move(result);
        }
        PostMessageW(window, kBuiltMessage, 0, 0);
    });
}

void showBuilt(Viewer& v) {
    if (v.builder.joinable()) v.builder.join();
    {
        std::lock_guard<std::mutex> hold(v.lock);
        v.positions.swap(v.built);
        v.built.clear();
    }
    v.cachedRow = -1;
    const int count = static_cast<int>(v.positions.size());
    ListView_SetItemCountEx(v.list, count, LVSICF_NOINVALIDATEALL);
    if (count > 0) {
        if (v.topRow >= 0) {
            ListView_EnsureVisible(v.list, count - 1, FALSE);
            ListView_EnsureVisible(v.list, std::min(v.topRow, count - 1), FALSE);
        }
        if (v.selectedRow >= 0) {
            const int row = std::min(v.selectedRow, count - 1);
            ListView_SetItemState(v.list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            ListView_EnsureVisible(v.list, row, FALSE);
        }
    }
    ShowWindow(v.overlay, SW_HIDE);
    ShowWindow(v.list, SW_SHOW);
    v.building = false;
    if (v.again) {
        v.again = false;
        startBuild(v);
    }
}

void rememberSelection(Viewer& v) {
    v.selectedRow = ListView_GetNextItem(v.list, -1, LVNI_SELECTED);
    v.topRow = ListView_GetTopIndex(v.list);
}

void tell(HWND owner, std::u16string_view text, UINT icon = MB_ICONWARNING) {
    MessageBoxW(owner, wide(text).c_str(), wide(kCaption).c_str(), MB_OK | icon);
}

void deleteSelected(Viewer& v) {
    if (!isMain(v) || v.building) return;
    std::vector<uint32_t> chosen = selectedPositions(v);
    if (chosen.empty()) return;
    if (MessageBoxW(v.window, L"是否继续删除选中词条？", wide(kCaption).c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    rememberSelection(v);
    emptyList(v);
    if (deleteEntries(v.engine, chosen) != EditStatus::Ok) tell(v.window, u"无法获取当前码表内容。");
    startBuild(v);
}

void undeleteSelected(Viewer& v) {
    if (!isMain(v) || v.building) return;
    std::vector<uint32_t> chosen = selectedPositions(v);
    if (chosen.empty()) return;
    rememberSelection(v);
    emptyList(v);
    if (undeleteEntries(v.engine, chosen) != EditStatus::Ok) tell(v.window, u"无法获取当前码表内容。");
    startBuild(v);
}

void copySelected(Viewer& v) {
    if (v.building) return;
    const std::vector<uint32_t> chosen = selectedPositions(v);
    if (chosen.empty()) return;
    const std::u16string text = copyText(table(v), chosen);
    if (!OpenClipboard(v.window)) return;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(char16_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* to = GlobalLock(memory)) {
            memcpy(to, text.c_str(), bytes);
            GlobalUnlock(memory);
            if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
        } else {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

void editRow(Viewer& v, int row) {
    if (!mayAddOrEdit(v) || v.building || row < 0 || static_cast<size_t>(row) >= v.positions.size()) return;
    const uint32_t position = v.positions[static_cast<size_t>(row)];
    const CodeTable t = table(v);
    const EntryView e = t.entry(position);
    if (!e.valid()) return;
    if (!mayEdit(v.engine.blocks.soft, e.attributes)) {
        tell(v.window, u"该类词条未被授权修改！");
        return;
    }
    const std::optional<ViewRow> cells = viewRow(t, position, v.which, v.engine.blocks.soft);
    if (!cells) return;
    EntryDialogRequest r;
    r.mode = EntryMode::Edit;
    r.category = attr::category(e.attributes);
    r.word = cells->word;
    r.code = cells->code;
    r.oldPosition = position;
    rememberSelection(v);
    emptyList(v);
    runEntryDialog(v.window, v.program, v.engine, r);
    startBuild(v);
}

void add(Viewer& v) {
    if (!isMain(v) || v.building) return;
    EntryVerdict refusal = EntryVerdict::Added;
    const std::optional<int> category = categoryForAdding(v.engine.blocks.soft, v.filter.category, &refusal);
    if (!category) {
        if (refusal != EntryVerdict::Added) tell(v.window, entryVerdictText(refusal));
        return;
    }
    rememberSelection(v);
    emptyList(v);
    EntryDialogRequest r;
    r.mode = EntryMode::Add;
    r.category = *category;
    runEntryDialog(v.window, v.program, v.engine, r);
    startBuild(v);
}

void chooseCategory(Viewer& v, int category) {
    v.filter.category = category;
    v.topRow = v.selectedRow = 0;
    startBuild(v);
}

void addCategoryItems(Viewer& v) {
    HMENU view = GetSubMenu(GetMenu(v.window), 1);
    if (!view || !isMain(v)) return;
    const SoftSettings& soft = v.engine.blocks.soft;
    const std::u16string main = soft.categoryName(0);
    auto item = [&](int category, std::u16string text) {
        AppendMenuW(view, MF_STRING, static_cast<UINT_PTR>(ZV_VIEWER_CATEGORY + category), wide(text).c_str());
    };
    AppendMenuW(view, MF_SEPARATOR, 0, nullptr);
    item(CategorySystem, main + u" - " + soft.categoryName(CategorySystem) + u"(&S)");
    for (int c = kFirstClassified; c <= kLastClassified && !soft.categoryName(c).empty(); ++c) {
        const std::wstring number = std::to_wstring(c - kFirstClassified + 1);
        item(c, main + u" - " + soft.categoryName(c) + u"(&" + std::u16string(number.begin(), number.end()) + u")");
    }
    if (!soft.categoryName(CategorySecondary).empty())
        item(CategorySecondary, main + u" - " + soft.categoryName(CategorySecondary) + u"(&N)");
    if (!soft.categoryName(CategoryUser).empty())
        item(CategoryUser, main + u" - " + soft.categoryName(CategoryUser) + u"(&U)");
    if (!soft.categoryName(CategoryAuxiliary).empty())
        item(CategoryAuxiliary, soft.categoryName(CategoryAuxiliary) + u"(&T)");
}

// The menus' greying and check marks follow the viewer's state each time
// one opens.
void updateMenu(const Viewer& v, HMENU menu) {
    const UINT mainOnly = isMain(v) && !v.building ? MF_ENABLED : MF_GRAYED;
    const UINT addEdit = mayAddOrEdit(v) && !v.building ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(menu, ZV_VIEWER_ADD, MF_BYCOMMAND | addEdit);
    EnableMenuItem(menu, ZV_VIEWER_EDIT, MF_BYCOMMAND | addEdit);
    EnableMenuItem(menu, ZV_VIEWER_DELETE, MF_BYCOMMAND | mainOnly);
    EnableMenuItem(menu, ZV_VIEWER_UNDELETE, MF_BYCOMMAND | mainOnly);
    auto check = [&](int id, bool on) { CheckMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)); };
    check(ZV_VIEWER_FIXED, v.filter.fixedOnly);
    check(ZV_VIEWER_DELETED, v.filter.deletedOnly);
    check(ZV_VIEWER_ALL, v.filter.category == 0);
    for (int c = 1; c <= kLastClassified; ++c) check(ZV_VIEWER_CATEGORY + c, v.filter.category == c);
}

void contextMenu(Viewer& v, POINT at) {
    HMENU edit = GetSubMenu(GetMenu(v.window), 0);
    if (!edit) return;
    updateMenu(v, GetMenu(v.window));
    const int chosen = TrackPopupMenu(edit, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, v.window, nullptr);
    if (chosen) PostMessageW(v.window, WM_COMMAND, static_cast<WPARAM>(chosen), 0);
}

bool command(Viewer& v, int id) {
    switch (id) {
    case ZV_VIEWER_FIND:
    case IDOK: startBuild(v); return true;
    case ZV_VIEWER_ADD: add(v); return true;
    case ZV_VIEWER_EDIT: editRow(v, ListView_GetNextItem(v.list, -1, LVNI_SELECTED)); return true;
    case ZV_VIEWER_DELETE: deleteSelected(v); return true;
    case ZV_VIEWER_UNDELETE: undeleteSelected(v); return true;
    case ZV_VIEWER_COPY: copySelected(v); return true;
    case ZV_VIEWER_FIXED:
        v.filter.fixedOnly = !v.filter.fixedOnly;
        startBuild(v);
        return true;
    case ZV_VIEWER_DELETED:
        v.filter.deletedOnly = !v.filter.deletedOnly;
        startBuild(v);
        return true;
    case ZV_VIEWER_ALL: chooseCategory(v, 0); return true;
    case ZV_VIEWER_EXIT:
    case IDCANCEL:
        if (!v.building) DestroyWindow(v.window);  // never under a running worker
        return true;
    default:
        if (id > ZV_VIEWER_CATEGORY && id <= ZV_VIEWER_CATEGORY + kLastClassified && isMain(v)) {
            chooseCategory(v, id - ZV_VIEWER_CATEGORY);
            return true;
        }
        return false;
    }
}

void cellText(Viewer& v, NMLVDISPINFOW& info) {
    if (!(info.item.mask & LVIF_TEXT) || info.item.cchTextMax <= 0) return;
    const int row = info.item.iItem;
    if (row < 0 || static_cast<size_t>(row) >= v.positions.size()) {
        info.item.pszText[0] = 0;
        return;
    }
    if (row != v.cachedRow) {
        v.cached = viewRow(table(v), v.positions[static_cast<size_t>(row)], v.which, v.engine.blocks.soft);
        v.cachedRow = row;
    }
    v.cell.clear();
    if (info.item.iSubItem == ColumnNumber) v.cell = std::to_wstring(row + 1);
    else if (v.cached) {
        switch (info.item.iSubItem) {
        case ColumnCode: v.cell = wide(v.cached->code); break;
        case ColumnWord: v.cell = wide(v.cached->word); break;
        case ColumnCategory: v.cell = wide(v.cached->category); break;
        case ColumnOrder: v.cell = std::to_wstring(v.cached->order); break;
        default: break;
        }
    }
    lstrcpynW(info.item.pszText, v.cell.c_str(), info.item.cchTextMax);
}

LRESULT customDraw(Viewer& v, NMLVCUSTOMDRAW& draw) {
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    const int row = static_cast<int>(draw.nmcd.dwItemSpec);
    if (row < 0 || static_cast<size_t>(row) >= v.positions.size()) return CDRF_DODEFAULT;
    const EntryView e = table(v).entry(v.positions[static_cast<size_t>(row)]);
    if (!e.valid()) return CDRF_DODEFAULT;
    if (attr::deleted(e.attributes)) draw.clrText = kDeletedColour;
    else if (attr::category(e.attributes) == CategoryUser) draw.clrText = kUserColour;
    return CDRF_NEWFONT;
}

void initialise(Viewer& v) {
    v.list = GetDlgItem(v.window, ZV_VIEWER_LIST);
    v.overlay = GetDlgItem(v.window, ZV_VIEWER_OVERLAY);
    ListView_SetExtendedListViewStyle(v.list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const bool wordList = v.which == ViewerTable::Association || v.which == ViewerTable::English;
    for (int i = 0; i < ColumnCount; ++i) {
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH;
        c.pszText = const_cast<wchar_t*>(kColumns[i].title);
        c.cx = i == ColumnCode && wordList ? 0 : kColumns[i].width;
        ListView_InsertColumn(v.list, i, &c);
    }
    if (HMODULE library = v.program.library.module()) {
        if (HICON icon = LoadIconW(library, MAKEINTRESOURCEW(kViewerIcon))) {
            SendMessageW(v.window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
            SendMessageW(v.window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        }
    }
    SendDlgItemMessageW(v.window, ZV_VIEWER_CODE, EM_LIMITTEXT, MaxFilterUnits, 0);
    SendDlgItemMessageW(v.window, ZV_VIEWER_WORD, EM_LIMITTEXT, MaxFilterUnits, 0);
    SetDlgItemTextW(v.window, ZV_VIEWER_WORD, wide(v.request.word.substr(0, MaxFilterUnits)).c_str());
    addCategoryItems(v);
    v.filter.category = isMain(v) ? std::max(v.request.category, 0) : 0;
    std::u16string title = v.request.title;
    if (title.empty()) {
        const std::u16string name = v.program.displayName();
        title = std::u16string(viewerTitle(v.which)) + u" - " + (name.empty() ? u"*****" : name);
    }
    startBuild(v);
    // The title last: a second start finds the window only once it is whole.
    SetWindowTextW(v.window, wide(title).c_str());
}

INT_PTR CALLBACK viewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Viewer* v = viewerOf(window);
    switch (message) {
    case WM_INITDIALOG:
        v = reinterpret_cast<Viewer*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        v->window = window;
        initialise(*v);
        return TRUE;
    case WM_COMMAND: return v && command(*v, LOWORD(wParam)) ? TRUE : FALSE;
    case WM_INITMENUPOPUP:
        if (v) updateMenu(*v, GetMenu(window));
        return FALSE;
    case WM_NOTIFY: {
        if (!v) return FALSE;
        const auto* n = reinterpret_cast<const NMHDR*>(lParam);
        if (n->idFrom != ZV_VIEWER_LIST) return FALSE;
        switch (n->code) {
        case LVN_GETDISPINFOW: cellText(*v, *reinterpret_cast<NMLVDISPINFOW*>(lParam)); return TRUE;
        case NM_CUSTOMDRAW:
            SetWindowLongPtrW(window, DWLP_MSGRESULT, customDraw(*v, *reinterpret_cast<NMLVCUSTOMDRAW*>(lParam)));
            return TRUE;
        case NM_DBLCLK: {
            const int row = reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem;
            if (row >= 0 && static_cast<size_t>(row) < v->positions.size()) {
                const EntryView e = table(*v).entry(v->positions[static_cast<size_t>(row)]);
                if (e.valid() && !attr::deleted(e.attributes)) editRow(*v, row);
            }
            return TRUE;
        }
        default: return FALSE;
        }
    }
    case WM_CONTEXTMENU:
        if (v && reinterpret_cast<HWND>(wParam) == v->list) {
            POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (at.x == -1 && at.y == -1) {
                RECT r{};
                GetWindowRect(v->list, &r);
                at = {r.left, r.top};
            }
            contextMenu(*v, at);
        }
        return TRUE;
    case kBuiltMessage:
        if (v && v->building) showBuilt(*v);
        return TRUE;
    case WM_CLOSE:
        if (v && v->building) return TRUE;
        return FALSE;
    case WM_HELP:
        if (v) platform::systemShell().showHelp(v->program.folder.info.installDir + u"main.chm", ViewerHelpTopic);
        return TRUE;
    case WM_DESTROY:
        if (v && v->builder.joinable()) v->builder.join();
        return FALSE;
    default: return FALSE;
    }
}

struct ToolEngineCloser {
    void operator()(EngineContext* e) const noexcept {
        closeData(*e);
        delete e;
    }
};

// The accelerators act on the list and the dialog; in a filter field the
// keys keep their editing meaning.
bool isEditKeyTarget(HWND target) {
    wchar_t name[16] = {};
    GetClassNameW(target, name, 16);
    return lstrcmpiW(name, L"Edit") == 0;
}

}  // namespace

void runViewer(Program& program, const ViewerRequest& request) {
    std::unique_ptr<EngineContext, ToolEngineCloser> engine(new EngineContext);
    engine->imeName = program.folder.info.name;
    engine->platform.clipboard = &platform::systemClipboard();
    const bool opened =
        openDataFolder(*engine, program.folder.info.dataDir, program.folder.info.installDir, OpenAs::Tool);
    auto viewer = std::make_unique<Viewer>(program, *engine, request);
    if (!opened || !tableView(*engine, viewer->slot).valid()) {
        platform::systemDialogs().inform(kCaption, u"无法获取当前码表内容。", platform::DialogIcon::Error);
        return;
    }
    // Modeless with its own loop, so that the accelerators reach it.
    HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ZV_DIALOG_VIEWER), nullptr,
                                     viewerProc, reinterpret_cast<LPARAM>(viewer.get()));
    if (!window) return;
    viewer->keys = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ZV_VIEWER_KEYS));
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    MSG m;
    while (IsWindow(window)) {
        const BOOL got = GetMessageW(&m, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(m.wParam));  // for the loop outside
            break;
        }
        const bool mine = m.hwnd == window || IsChild(window, m.hwnd);
        if (mine && viewer->keys && !isEditKeyTarget(m.hwnd) && TranslateAcceleratorW(window, viewer->keys, &m))
            continue;
        if (mine && IsDialogMessageW(window, &m)) continue;
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    if (IsWindow(window)) DestroyWindow(window);
    if (viewer->keys) DestroyAcceleratorTable(viewer->keys);
}

}  // namespace zv::config::win32
