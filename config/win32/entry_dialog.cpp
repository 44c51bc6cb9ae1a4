#include "config/win32/entry_dialog.h"

#include "config/win32/resource_ids.h"
#include "engine/data_files.h"
#include "host/dll/resource_ids.h"
#include "platform/services.h"

#include <commctrl.h>

#include <memory>
#include <string>

namespace zv::config::win32 {

namespace {

constexpr size_t kMaxWordUnits = 128;
constexpr size_t kMaxClipboardUnits = 128;
constexpr int kInitialLength = 2;
constexpr UINT_PTR kWordKeysId = 1;
constexpr std::u16string_view kLengthHint = u"可用↑、↓更改词长";

struct EntryDialog {
    Program& program;
    EngineContext& engine;
    EntryMode mode;
    int category = CategoryUser;
    std::u16string oldWord, oldCode;  // Edit
    uint32_t oldPosition = 0;
    HWND window = nullptr;
    std::u16string source;  // the online word's source: recent output or clipboard
    int length = kInitialLength;
    EntryDialog(Program& p, EngineContext& e, EntryMode m) : program(p), engine(e), mode(m) {}
};

std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

std::u16string itemText(HWND window, int id) {
    wchar_t text[kMaxWordUnits + 1] = {};
    GetDlgItemTextW(window, id, text, static_cast<int>(kMaxWordUnits + 1));
    return std::u16string(reinterpret_cast<const char16_t*>(text));
}

void setHint(EntryDialog& d, std::u16string_view hint) { SetDlgItemTextW(d.window, ZV_ENTRY_HINT, wide(hint).c_str()); }

void fillOnlineWord(EntryDialog& d) {
    d.length = std::min(d.length, characterCount(d.source));
    SetDlgItemTextW(d.window, ZV_ENTRY_WORD, wide(lastCharacters(d.source, d.length)).c_str());
}

void takeSource(EntryDialog& d) {
    if (IsDlgButtonChecked(d.window, ZV_ENTRY_CLIPBOARD) == BST_CHECKED) {
        d.source = platform::systemClipboard().text().substr(0, kMaxClipboardUnits);
    } else {
        d.source = recentOutputText(d.engine.blocks.ime);
    }
    d.length = kInitialLength;
    fillOnlineWord(d);
}

// The code the rules propose follows the word.
void wordChanged(EntryDialog& d) {
    if (d.mode == EntryMode::Edit) return;  // the code is the entry's own
    const std::u16string word = itemText(d.window, ZV_ENTRY_WORD);
    platform::MappedFile* chars = d.engine.file(SlotChars);
    const CharCodeTable danzi = chars ? CharCodeTable(chars->data(), chars->size()) : CharCodeTable();
    const int n = characterCount(word);
    const std::u16string code =
        n >= 1 && n <= MaxProposedCharacters ? proposeCode(word, d.engine.blocks.dme, danzi) : std::u16string();
    SetDlgItemTextW(d.window, ZV_ENTRY_CODE, wide(code).c_str());
}

void confirm(EntryDialog& d) {
    EntryRequest r;
    r.mode = d.mode;
    r.category = d.category;
    r.word = itemText(d.window, ZV_ENTRY_WORD);
    r.code = itemText(d.window, ZV_ENTRY_CODE);
    r.beforeSystemWords = IsDlgButtonChecked(d.window, ZV_ENTRY_BEFORE_SYSTEM) == BST_CHECKED;
    r.oldPosition = d.oldPosition;
    const EntryVerdict v = confirmEntry(d.engine, r);
    if (entryDone(v)) {
        EndDialog(d.window, IDOK);
        return;
    }
    setHint(d, entryVerdictText(v));
}

// Up and Down in the word field change the online word's length.
LRESULT CALLBACK wordKeys(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* d = reinterpret_cast<EntryDialog*>(data);
    if (message == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN)) {
        d->length = wParam == VK_UP ? std::min(d->length + 1, MaxOnlineWordCharacters) : std::max(d->length - 1, 0);
        fillOnlineWord(*d);
        return 0;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

INT_PTR CALLBACK entryProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* d = reinterpret_cast<EntryDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        d = reinterpret_cast<EntryDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        d->window = window;
        if (HMODULE library = d->program.library.module()) {
            if (HICON icon = LoadIconW(library, MAKEINTRESOURCEW(ZV_ICON_CODE_TABLE))) {
                SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
                SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
            }
        }
        SendDlgItemMessageW(window, ZV_ENTRY_WORD, EM_LIMITTEXT, kMaxWordUnits, 0);
        SendDlgItemMessageW(window, ZV_ENTRY_CODE, EM_LIMITTEXT, kMaxWordUnits, 0);
        const bool online = d->mode == EntryMode::OnlineAdd;
        ShowWindow(GetDlgItem(window, ZV_ENTRY_CLIPBOARD), online ? SW_SHOW : SW_HIDE);
        if (online) {
            SetWindowSubclass(GetDlgItem(window, ZV_ENTRY_WORD), wordKeys, kWordKeysId, reinterpret_cast<DWORD_PTR>(d));
            takeSource(*d);
            setHint(*d, kLengthHint);
        }
        if (d->mode == EntryMode::Edit) {
            SetDlgItemTextW(window, ZV_ENTRY_WORD, wide(d->oldWord).c_str());
            SetDlgItemTextW(window, ZV_ENTRY_CODE, wide(d->oldCode).c_str());
        }
        const std::u16string name = d->program.displayName();
        const std::u16string_view kind = online                             ? u"在线加词 - "
                                         : d->mode == EntryMode::Edit ? u"修改词条 - "
                                                                      : u"添加词条 - ";
        const std::u16string title = std::u16string(kind) + (name.empty() ? u"*****" : name);
        SetWindowTextW(window, wide(title).c_str());
        return TRUE;
    }
    case WM_COMMAND:
        if (!d) return FALSE;
        switch (LOWORD(wParam)) {
        case ZV_ENTRY_WORD:
            if (HIWORD(wParam) == EN_CHANGE) wordChanged(*d);
            return TRUE;
        case ZV_ENTRY_CLIPBOARD:
            if (HIWORD(wParam) == BN_CLICKED) takeSource(*d);
            return TRUE;
        case IDOK: confirm(*d); return TRUE;
        case IDCANCEL: EndDialog(window, IDCANCEL); return TRUE;
        default: return FALSE;
        }
    case WM_DESTROY:
        RemoveWindowSubclass(GetDlgItem(window, ZV_ENTRY_WORD), wordKeys, kWordKeysId);
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

}  // namespace

bool runEntryDialog(HWND owner, Program& program, EngineContext& engine, const EntryDialogRequest& request) {
    EntryDialog dialog(program, engine, request.mode);
    dialog.category = request.category;
    dialog.oldWord = request.word;
    dialog.oldCode = request.code;
    dialog.oldPosition = request.oldPosition;
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ZV_DIALOG_ENTRY), owner, entryProc,
                           reinterpret_cast<LPARAM>(&dialog)) == IDOK;
}

void runEntryDialog(Program& program, EntryMode mode) {
    // The tables through the engine's own data layer, as zvconfig edits them.
    std::unique_ptr<EngineContext, ToolEngineCloser> engine(new EngineContext);
    engine->imeName = program.folder.info.name;
    engine->platform.clipboard = &platform::systemClipboard();
    if (!openDataFolder(*engine, program.folder.info.dataDir, program.folder.info.installDir, OpenAs::Tool)) {
        platform::systemDialogs().inform(u"手动加词", entryVerdictText(EntryVerdict::TableUnavailable),
                                         platform::DialogIcon::Error);
        return;
    }
    EntryVerdict refusal = EntryVerdict::Added;
    const auto category = categoryForAdding(engine->blocks.soft, 0, &refusal);
    if (!category) {
        platform::systemDialogs().inform(u"手动加词", entryVerdictText(refusal), platform::DialogIcon::Warning);
        return;
    }
    EntryDialog dialog(program, *engine, mode);
    dialog.category = *category;
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ZV_DIALOG_ENTRY), nullptr, entryProc,
                    reinterpret_cast<LPARAM>(&dialog));
}

}  // namespace zv::config::win32
