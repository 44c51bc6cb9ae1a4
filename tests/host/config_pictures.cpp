// Not a test: shows config.exe's dialogs one after the other (the pages of
// the main dialog, the embedded-display dialog, the key editor, the
// settings editor, the entry dialog, the code-table page and the viewer) for
// scripts/config-pictures. For each it prints "window NAME x y width
// height", keeps it up for the script's screenshot, and closes it; "done"
// at the end.

#include "engine/user_words.h"
#include "tests/host/config_instance.h"

#include <cstdio>
#include <string>

namespace {

using namespace zv;
using namespace zv::test;

constexpr DWORD kShownMs = 1500;
constexpr int kEmbeddedButton = 1210;

void announce(const char* name, HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    std::printf("window %s %ld %ld %ld %ld\n", name, r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::fflush(stdout);
    Sleep(kShownMs);
}

bool showPage(const wchar_t* target, const char* name) {
    Started program(ConfigInstance::instanceArgument() + L" /do " + target);
    HWND window = waitForDialog(L"使用设置 - 佐文五笔");
    if (!window) return false;
    Sleep(300);  // the page is drawn
    announce(name, window);
    if (std::string(name) == "config-advanced") {
        HWND button = waitForControl(window, kEmbeddedButton);
        if (button) {
            PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(kEmbeddedButton, BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
            if (HWND dialog = waitForDialog(L"嵌入显示模式设置")) {
                Sleep(300);
                announce("config-embedded", dialog);
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                Sleep(200);
            }
        }
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    return program.exitCode() == 0;
}

bool showTool(const wchar_t* target, const wchar_t* title, const char* name) {
    Started program(ConfigInstance::instanceArgument() + L" /do " + target);
    HWND window = waitForDialog(title);
    if (!window) return false;
    Sleep(300);
    announce(name, window);
    PostMessageW(window, WM_CLOSE, 0, 0);
    return program.exitCode() == 0;
}

// The viewer of the whole main table: 剪贴板反查 with nothing on the
// clipboard sets no filter.
bool showViewer() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    return showTool(L"剪贴板反查", L"码表浏览 - zvconfigtest", "config-viewer");
}

}  // namespace

int main() {
    ConfigInstance instance;
    SettingsBlocks blocks = instance.fx.blocks();
    blocks.ime.setBit(ImeSettings::OptionC, ImeSettings::C_Framework, true);
    recordCommit(blocks.ime, blocks.dme, u"输入法", "lwti");
    instance.fx.writeConfig();
    bool ok = showPage(L"常用", "config-general") && showPage(L"界面", "config-appearance") &&
              showPage(L"高级", "config-advanced") && showPage(L"关于", "config-about") &&
              showTool(L"按键设置", L"按键功能定义 - 佐文五笔", "config-key-editor") &&
              showTool(L"高级设置", L"高级设置模式 - 佐文五笔", "config-settings-editor") &&
              showTool(L"在线加词", L"在线加词 - 佐文五笔", "config-online-add") &&
              showPage(L"码表", "config-code-tables") && showViewer();
    std::printf(ok ? "done\n" : "config_pictures: a dialog did not show\n");
    return ok ? 0 : 1;
}
