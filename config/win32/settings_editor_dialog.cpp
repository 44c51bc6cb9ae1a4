#include "config/win32/settings_editor_dialog.h"

#include "config/settings_file.h"
#include "config/shell/settings_editor.h"
#include "config/shell/targets.h"
#include "config/text_file.h"
#include "config/win32/resource_ids.h"
#include "engine/set_command.h"
#include "engine/settings_text.h"
#include "platform/services.h"

#include <commdlg.h>
#include <windowsx.h>
#include <richedit.h>
#include <shlobj.h>

#include <string>

namespace zv::config::win32 {

namespace {

constexpr LONG kUndoLimit = 40960;
constexpr LONG kTextLimit = 1 << 24;
constexpr LONG kFontTwips = 196;
constexpr COLORREF kCommentColour = RGB(0, 128, 0);
constexpr COLORREF kValueColour = RGB(0, 0, 255);
constexpr std::u16string_view kNotFound = u"未找到指定文本";
constexpr std::u16string_view kSearchCaption = u"高级设置";
constexpr wchar_t kSaveQuestion[] = L"是否保存对设置内容的更改？";
constexpr wchar_t kProgramCaption[] = L"配置程序";
constexpr wchar_t kBackupTitle[] = L"导出全部设置..";
constexpr wchar_t kBackupFilter[] = L"文本文档(*.txt)\0*.txt\0";

struct SettingsEditor {
    Program& program;
    HWND window = nullptr;
    HWND text = nullptr;
    size_t searchFrom = 0;
    std::wstring lastFolder;
    explicit SettingsEditor(Program& p) : program(p) {}
};

std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
std::u16string narrowed(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }

// The rich-edit control of the newest library the system has.
const wchar_t* richEditClass() {
    static const wchar_t* name = [] {
        if (LoadLibraryW(L"Msftedit.dll")) return L"RICHEDIT50W";
        if (LoadLibraryW(L"riched20.dll")) return RICHEDIT_CLASSW;
        return L"EDIT";
    }();
    return name;
}

// The text as the control holds it (lines ending in CR), or with CR LF.
std::wstring textOf(HWND text, bool crlf) {
    GETTEXTLENGTHEX length{static_cast<DWORD>(crlf ? GTL_USECRLF | GTL_NUMCHARS : GTL_NUMCHARS), 1200};
    const LRESULT n = SendMessageW(text, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n) + 1, L'\0');
    GETTEXTEX get{};
    get.cb = static_cast<DWORD>(out.size() * sizeof(wchar_t));
    get.flags = crlf ? GT_USECRLF : GT_DEFAULT;
    get.codepage = 1200;
    const LRESULT got = SendMessageW(text, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(out.data()));
    out.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return out;
}

void setColour(HWND text, LONG start, LONG end, COLORREF colour, bool font) {
    CHARRANGE range{start, end};
    SendMessageW(text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR | (font ? CFM_FACE | CFM_SIZE : 0);
    format.crTextColor = colour;
    if (font) {
        lstrcpynW(format.szFaceName, L"Tahoma", LF_FACESIZE);
        format.yHeight = kFontTwips;
    }
    SendMessageW(text, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

void colour(SettingsEditor& e) {
    const LRESULT events = SendMessageW(e.text, EM_SETEVENTMASK, 0, 0);
    const std::wstring text = textOf(e.text, false);
    setColour(e.text, 0, -1, RGB(0, 0, 0), true);
    for (const ColourSpan& span : settingsColours(narrowed(text)))
        setColour(e.text, static_cast<LONG>(span.start), static_cast<LONG>(span.start + span.length),
                  span.colour == TextColour::Comment ? kCommentColour : kValueColour, false);
    CHARRANGE start{0, 0};
    SendMessageW(e.text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
    SendMessageW(e.text, EM_SETEVENTMASK, 0, events);
}

void setModified(SettingsEditor& e, bool modified) {
    SendMessageW(e.text, EM_SETMODIFY, modified, 0);
    EnableWindow(GetDlgItem(e.window, ZV_EDITOR_SAVE), modified);
}

void showText(SettingsEditor& e, std::u16string_view text) {
    const LRESULT events = SendMessageW(e.text, EM_SETEVENTMASK, 0, 0);
    SetWindowTextW(e.text, wide(text).c_str());
    SendMessageW(e.text, EM_SETEVENTMASK, 0, events);
    colour(e);
    e.searchFrom = 0;
}

// Applies the whole text; false (with the reason shown) when nothing changed.
bool save(SettingsEditor& e) {
    Program& p = e.program;
    const SettingsImport result = importSettingsText(p.folder.config, narrowed(textOf(e.text, true)));
    if (result.status == SettingsImportStatus::NotSettings) {
        platform::systemDialogs().inform(kSearchCaption, u"文本中没有可识别的设置节，设置未作更改。",
                                         platform::DialogIcon::Warning);
        return false;
    }
    if (result.status == SettingsImportStatus::NotWritable) {
        platform::systemDialogs().inform(kSearchCaption, u"配置文件无法写入，设置未作更改。", platform::DialogIcon::Error);
        return false;
    }
    if (styleSwitchNeedsInstaller(result.optionABefore, result.optionAAfter))
        startStyleInstaller({&platform::systemShell(), p.folder.info.installDir, p.folder.info.name},
                            result.optionAAfter);
    setModified(e, false);
    SetFocus(e.text);
    return true;
}

void find(SettingsEditor& e) {
    wchar_t needle[MaxSearchUnits + 1] = {};
    GetDlgItemTextW(e.window, ZV_EDITOR_SEARCH, needle, MaxSearchUnits + 1);
    const std::u16string text = narrowed(textOf(e.text, false));
    const std::u16string wanted = narrowed(needle);
    const auto at = findText(text, wanted, e.searchFrom);
    if (!at) {
        platform::systemDialogs().inform(kSearchCaption, kNotFound, platform::DialogIcon::Information);
        return;
    }
    CHARRANGE range{static_cast<LONG>(*at), static_cast<LONG>(*at + wanted.size())};
    SendMessageW(e.text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageW(e.text, EM_SCROLLCARET, 0, 0);
    SetFocus(e.text);
    e.searchFrom = *at + 1;
}

// The backups' folder: "[ <name> ]" in the user's documents, made when
// missing; later the folder last used.
std::wstring backupFolder(SettingsEditor& e) {
    if (!e.lastFolder.empty()) return e.lastFolder;
    wchar_t documents[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, documents))) return {};
    std::wstring folder = std::wstring(documents) + L"\\[ " + wide(e.program.folder.info.imeName) + L" ]";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

bool askFile(SettingsEditor& e, bool saving, std::wstring& path) {
    wchar_t file[MAX_PATH] = {};
    const std::wstring folder = backupFolder(e);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = e.window;
    ofn.lpstrFilter = kBackupFilter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = kBackupTitle;
    ofn.Flags = OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | (saving ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (!(saving ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn))) return false;
    path = file;
    e.lastFolder = path.substr(0, path.find_last_of(L'\\'));
    return true;
}

void backup(SettingsEditor& e) {
    std::wstring chosen;
    if (!askFile(e, true, chosen)) return;
    const std::u16string path = backupFileName(narrowed(chosen));
    if (!writeTextFile(path, narrowed(textOf(e.text, true))))
        platform::systemDialogs().inform(kSearchCaption, u"无法写入备份文件。", platform::DialogIcon::Error);
}

// A restored file is untrusted: one without settings changes nothing.
void restore(SettingsEditor& e) {
    std::wstring chosen;
    if (!askFile(e, false, chosen)) return;
    DecodedText decoded;
    if (!readTextFile(narrowed(chosen), decoded)) {
        platform::systemDialogs().inform(kSearchCaption, u"无法读取所选文件。", platform::DialogIcon::Error);
        return;
    }
    if (!hasSettingsSection(decoded.text)) {
        platform::systemDialogs().inform(kSearchCaption, u"所选文件中没有可识别的设置节，设置未作更改。",
                                         platform::DialogIcon::Warning);
        return;
    }
    showText(e, decoded.text);
    save(e);
}

// False when the user chose to stay.
bool mayClose(SettingsEditor& e) {
    if (!SendMessageW(e.text, EM_GETMODIFY, 0, 0)) return true;
    switch (MessageBoxW(e.window, kSaveQuestion, kProgramCaption, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES: return save(e);
    case IDNO: return true;
    default: return false;
    }
}

// The text's context menu: each edit offered only when it applies.
void showContextMenu(SettingsEditor& e, POINT at) {
    enum : UINT { kCut = 1, kCopy, kPaste, kDelete, kUndo, kRedo };
    CHARRANGE selection{};
    SendMessageW(e.text, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    const bool selected = selection.cpMax > selection.cpMin;
    const bool canPaste = SendMessageW(e.text, EM_CANPASTE, 0, 0) != 0;
    const bool canUndo = SendMessageW(e.text, EM_CANUNDO, 0, 0) != 0;
    const bool canRedo = SendMessageW(e.text, EM_CANREDO, 0, 0) != 0;
    HMENU menu = CreatePopupMenu();
    auto add = [&](UINT id, const wchar_t* label, bool enabled) {
        AppendMenuW(menu, MF_STRING | (enabled ? 0 : MF_GRAYED), id, label);
    };
    add(kCut, L"剪切(&X)", selected);
    add(kCopy, L"复制(&C)", selected);
    add(kPaste, L"粘贴(&V)", canPaste);
    add(kDelete, L"删除(&D)", selected);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    add(kUndo, L"撤销(&R)", canUndo);
    add(kRedo, L"重复(&U)", canRedo);
    if (at.x == -1 && at.y == -1) {  // from the keyboard: at the caret
        GetCaretPos(&at);
        ClientToScreen(e.text, &at);
    }
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, e.window, nullptr));
    DestroyMenu(menu);
    switch (chosen) {
    case kCut: SendMessageW(e.text, WM_CUT, 0, 0); break;
    case kCopy: SendMessageW(e.text, WM_COPY, 0, 0); break;
    case kPaste: SendMessageW(e.text, EM_PASTESPECIAL, CF_UNICODETEXT, 0); break;
    case kDelete: SendMessageW(e.text, WM_CLEAR, 0, 0); break;
    case kUndo: SendMessageW(e.text, EM_UNDO, 0, 0); break;
    case kRedo: SendMessageW(e.text, EM_REDO, 0, 0); break;
    default: break;
    }
}

void makeTextControl(SettingsEditor& e) {
    RECT r{};
    GetWindowRect(GetDlgItem(e.window, ZV_EDITOR_TEXT_PLACE), &r);
    MapWindowPoints(nullptr, e.window, reinterpret_cast<POINT*>(&r), 2);
    e.text = CreateWindowExW(WS_EX_CLIENTEDGE, richEditClass(), L"",
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE |
                                 ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                             r.left, r.top, r.right - r.left, r.bottom - r.top, e.window,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(ZV_EDITOR_TEXT)), GetModuleHandleW(nullptr),
                             nullptr);
    SetWindowPos(e.text, GetDlgItem(e.window, ZV_EDITOR_FIND), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SendMessageW(e.text, EM_EXLIMITTEXT, 0, kTextLimit);
    SendMessageW(e.text, EM_SETUNDOLIMIT, kUndoLimit, 0);
    SendDlgItemMessageW(e.window, ZV_EDITOR_SEARCH, EM_LIMITTEXT, MaxSearchUnits, 0);
}

INT_PTR CALLBACK editorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* e = reinterpret_cast<SettingsEditor*>(GetWindowLongPtrW(window, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        e = reinterpret_cast<SettingsEditor*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        e->window = window;
        makeTextControl(*e);
        showText(*e, writeSettingsText(e->program.folder.blocks));
        setModified(*e, false);
        SendMessageW(e->text, EM_SETEVENTMASK, 0, ENM_CHANGE);
        // The title last: a second start finds the window only when it is whole.
        SetWindowTextW(window, wide(toolWindowTitle(Tool::AdvancedEditor, e->program.displayName(), {})).c_str());
        return TRUE;
    case WM_CONTEXTMENU:
        if (e && reinterpret_cast<HWND>(wParam) == e->text) {
            showContextMenu(*e, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND:
        if (!e) return FALSE;
        switch (LOWORD(wParam)) {
        case ZV_EDITOR_TEXT:
            if (HIWORD(wParam) == EN_CHANGE) setModified(*e, true);
            return TRUE;
        case ZV_EDITOR_SEARCH:
            if (HIWORD(wParam) == EN_CHANGE)
                EnableWindow(GetDlgItem(window, ZV_EDITOR_FIND),
                             GetWindowTextLengthW(GetDlgItem(window, ZV_EDITOR_SEARCH)) > 0);
            return TRUE;
        case ZV_EDITOR_FIND: find(*e); return TRUE;
        case ZV_EDITOR_SAVE: save(*e); return TRUE;
        case ZV_EDITOR_BACKUP: backup(*e); return TRUE;
        case ZV_EDITOR_RESTORE: restore(*e); return TRUE;
        case IDOK: return TRUE;  // Enter belongs to the text
        case IDCANCEL:
            if (mayClose(*e)) EndDialog(window, IDCANCEL);
            return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

}  // namespace

void runSettingsEditor(HWND owner, Program& program) {
    SettingsEditor editor(program);
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ZV_DIALOG_SETTINGS_EDITOR), owner, editorProc,
                    reinterpret_cast<LPARAM>(&editor));
}

}  // namespace zv::config::win32
