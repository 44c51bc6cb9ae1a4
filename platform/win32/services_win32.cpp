#include "platform/services.h"

#include <windows.h>
#include <shellapi.h>

namespace zv::platform {

namespace {

std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

class WindowsServices : public Shell, public Dialogs, public Clipboard, public KeySender {
public:
    bool open(std::u16string_view target) override {
        auto r = reinterpret_cast<INT_PTR>(
            ShellExecuteW(nullptr, L"open", wide(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        return r > 32;
    }
    bool run(std::u16string_view program, std::u16string_view arguments, bool hidden) override {
        std::wstring p = wide(program), a = wide(arguments);
        auto r = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", p.c_str(), a.empty() ? nullptr : a.c_str(),
                                                         nullptr, hidden ? SW_HIDE : SW_SHOWNORMAL));
        return r > 32;
    }
    bool showHelp(std::u16string_view file, std::u16string_view page) override {
        using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
        // The HTML Help control is loaded on first use and stays loaded.
        static HtmlHelpFunction htmlHelp = [] {
            HMODULE module = LoadLibraryW(L"hhctrl.ocx");
            return module ? reinterpret_cast<HtmlHelpFunction>(
                                reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpW")))
                          : nullptr;
        }();
        if (!htmlHelp) return open(file);
        constexpr UINT kDisplayTopic = 0;  // HH_DISPLAY_TOPIC
        std::wstring topic = wide(file) + L"::/" + wide(page);
        return htmlHelp(GetDesktopWindow(), topic.c_str(), kDisplayTopic, 0) != nullptr;
    }
    bool confirm(std::u16string_view caption, std::u16string_view text) override {
        return MessageBoxW(nullptr, wide(text).c_str(), wide(caption).c_str(),
                           MB_OKCANCEL | MB_ICONQUESTION | MB_TOPMOST) == IDOK;
    }
    void inform(std::u16string_view caption, std::u16string_view text, DialogIcon icon) override {
        UINT flags = MB_OK | MB_TOPMOST;
        switch (icon) {
        case DialogIcon::Information: flags |= MB_ICONINFORMATION; break;
        case DialogIcon::Question: flags |= MB_ICONQUESTION; break;
        case DialogIcon::Warning: flags |= MB_ICONWARNING; break;
        case DialogIcon::Error: flags |= MB_ICONERROR; break;
        }
        MessageBoxW(nullptr, wide(text).c_str(), wide(caption).c_str(), flags);
    }
    std::u16string text() override {
        std::u16string out;
        if (!OpenClipboard(nullptr)) return out;
        if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
            if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
                SIZE_T limit = GlobalSize(h) / sizeof(wchar_t);
                for (SIZE_T i = 0; i < limit && p[i]; ++i) out.push_back(static_cast<char16_t>(p[i]));
                GlobalUnlock(h);
            }
        }
        CloseClipboard();
        return out;
    }
    void send(const std::vector<KeyEvent>& events) override {
        std::vector<INPUT> inputs;
        for (const KeyEvent& e : events) {
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wVk = e.virtualKey;
            in.ki.wScan = e.scan;
            in.ki.dwFlags = (e.up ? KEYEVENTF_KEYUP : 0) | (e.extended ? KEYEVENTF_EXTENDEDKEY : 0);
            in.ki.dwExtraInfo = EngineKeyMark;
            inputs.push_back(in);
        }
        if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }
};

WindowsServices& services() {
    static WindowsServices s;
    return s;
}

}  // namespace

Shell& systemShell() { return services(); }
Dialogs& systemDialogs() { return services(); }
Clipboard& systemClipboard() { return services(); }
KeySender& systemKeySender() { return services(); }

}  // namespace zv::platform
