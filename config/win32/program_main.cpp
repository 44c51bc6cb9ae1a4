// config.exe: the configuration program of an input-method instance. It
// opens the instance named on its command line, loads the instance's
// engine library for the pages that library hosts, and opens the page or
// tool the command line asks for; a tool that is open already is brought
// to the front instead.

#include "config/shell/command_line.h"
#include "config/shell/targets.h"
#include "config/shell/url_text.h"
#include "config/win32/entry_dialog.h"
#include "config/win32/html_window.h"
#include "config/win32/key_editor_dialog.h"
#include "config/win32/main_dialog.h"
#include "config/win32/program.h"
#include "config/win32/settings_editor_dialog.h"
#include "config/win32/single_instance.h"
#include "config/win32/viewer_dialog.h"
#include "engine/data_files.h"
#include "engine/user_words.h"
#include "platform/clock.h"
#include "platform/mapped_file.h"
#include "platform/registry.h"
#include "platform/services.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <string>

namespace {

using namespace zv;
using namespace zv::config;
using namespace zv::config::win32;

constexpr std::u16string_view kProgramCaption = u"配置程序";
constexpr std::u16string_view kUnusableInstance = u"非法的软件环境，本程序无法继续。";
constexpr int kExitUnusable = 1;

void initialiseControls() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TAB_CLASSES | ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES |
                                                       ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
}

constexpr size_t kMaxClipboardUnits = 128;

// The browser controls live in this thread's apartment.
struct OleApartment {
    bool entered = SUCCEEDED(OleInitialize(nullptr));
    OleApartment() = default;
    OleApartment(const OleApartment&) = delete;
    OleApartment& operator=(const OleApartment&) = delete;
    ~OleApartment() {
        if (entered) OleUninitialize();
    }
};

// "/showurl ": a page of the help file or a web address (the product's
// home page without one) in the information window; anything else is
// not opened, so that no command line makes the window start a program.
void showAddress(Program& program) {
    std::u16string url = program.command.url;
    if (url.empty()) {
        const SoftSettings& soft = program.folder.blocks.soft;
        url = soft.text(SoftSettings::HomePage, SoftSettings::HomePageUnits);
    }
    if (url.empty()) return;
    if (!helpFilePage(url) && !isWebAddress(url)) return;
    const std::u16string address = helpFilePage(url) ? url : escapeUrl(url);
    runHtmlWindow(std::wstring(address.begin(), address.end()), program.command.urlWidth, program.command.urlHeight);
}

int run() {
    initialiseControls();
    const OleApartment apartment;
    Program program;
    const wchar_t* line = GetCommandLineW();
    program.command = parseProgramCommand(std::u16string_view(reinterpret_cast<const char16_t*>(line)));
    program.windows = windowsVersion();

    auto registry = platform::openSystemRegistry();
    if (!program.command.hasInstance || program.command.instance.empty() || !registry ||
        openDataFolder(*registry, program.command.instance, program.folder) != FolderStatus::Ok) {
        platform::systemDialogs().inform(kProgramCaption, kUnusableInstance, platform::DialogIcon::Error);
        return kExitUnusable;
    }
    {
        platform::MappedFile temp;
        if (temp.open(program.folder.path(u"temp.dmg"), platform::MappedFile::Pages::OnDemand))
            clearTempWordsAfterBoot(temp, program.folder.blocks.ime, program.folder.info.dataDir,
                                    platform::systemClock());
    }
    program.library.load(program.folder.info.imeName);

    if (program.command.hasUrl) {
        showAddress(program);
        return 0;
    }

    const Tool tool = toolForTarget(program.command.target);
    const std::u16string title = toolWindowTitle(tool, program.displayName(), program.folder.info.imeName);
    if (raiseOpenWindow(title)) return 0;
    switch (tool) {
    case Tool::Help:
        platform::systemShell().open(program.folder.info.installDir + u"main.chm");
        return 0;
    case Tool::KeyEditor:
        runKeyEditor(program);
        return 0;
    case Tool::AdvancedEditor:
        runSettingsEditor(nullptr, program);
        return 0;
    case Tool::OutputLookup:
    case Tool::ClipboardLookup: {
        // The codes of what was typed last, or of the clipboard's text.
        ViewerRequest request;
        request.title = title;
        request.word = tool == Tool::OutputLookup
                           ? newestHistoryText(program.folder.blocks.ime)
                           : platform::systemClipboard().text().substr(0, kMaxClipboardUnits);
        runViewer(program, request);
        return 0;
    }
    case Tool::AddUserWord:
        runEntryDialog(program, EntryMode::Add);
        return 0;
    case Tool::OnlineAddWord:
        runEntryDialog(program, EntryMode::OnlineAdd);
        return 0;
    default:
        runMainDialog(program, pageForTarget(program.command.target));
        return 0;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        return run();
    } catch (...) {
        return kExitUnusable;
    }
}
