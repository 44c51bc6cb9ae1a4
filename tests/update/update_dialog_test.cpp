// The update dialog against a web server on 127.0.0.1 started by the test:
// the dialog is driven with window messages as a user would drive it, and
// its log is read back from the edit field.
#include "installer/update/update_dialog.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zv::installer {
namespace {

// Not the other test programs' instance: this test removes its key at the end.
constexpr wchar_t kGuid[] = L"{B7D1C2E4-3F5A-4B6C-9D8E-0A1B2C3D4E5F}";
constexpr wchar_t kInstanceKey[] = L"Software\\ZorvanIME3\\{B7D1C2E4-3F5A-4B6C-9D8E-0A1B2C3D4E5F}";
constexpr wchar_t kDialogTitle[] = L"五笔测试 - 更新程序";
constexpr auto kPatience = std::chrono::seconds(20);

std::string utf8(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

// One answer per path: status, body and how long the server thinks first.
struct Answer {
    int status = 200;
    std::string body;
    int delayMs = 0;
};

class LocalServer {
public:
    explicit LocalServer(std::map<std::string, Answer> answers) : answers_(std::move(answers)) {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a = {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;  // any free port
        bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(listener_, 8);
        int size = sizeof a;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &size);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~LocalServer() {
        closesocket(listener_);  // ends accept()
        thread_.join();
        WSACleanup();
    }
    int port() const { return port_; }
    std::vector<std::string> requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

private:
    void serve() {
        for (;;) {
            SOCKET c = accept(listener_, nullptr, nullptr);
            if (c == INVALID_SOCKET) return;
            std::string request;
            char buffer[1024];
            while (request.find("\r\n\r\n") == std::string::npos) {
                int got = recv(c, buffer, sizeof buffer, 0);
                if (got <= 0) break;
                request.append(buffer, got);
            }
            // "GET /path?query HTTP/1.1"
            size_t start = request.find(' ') + 1, end = request.find(' ', start);
            std::string target = request.substr(start, end - start);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(target);
            }
            std::string path = target.substr(0, target.find('?'));
            auto it = answers_.find(path);
            Answer answer = it != answers_.end() ? it->second : Answer{404, "", 0};
            if (answer.delayMs) Sleep(answer.delayMs);
            std::string response = "HTTP/1.1 " + std::to_string(answer.status) + " X\r\nContent-Type: text/xml\r\n" +
                                   "Content-Length: " + std::to_string(answer.body.size()) +
                                   "\r\nConnection: close\r\n\r\n" + answer.body;
            send(c, response.data(), static_cast<int>(response.size()), 0);
            shutdown(c, SD_SEND);
            while (recv(c, buffer, sizeof buffer, 0) > 0) {
            }
            closesocket(c);
        }
    }

    std::map<std::string, Answer> answers_;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

// The instance key the installer writes, with the template given; removed
// again at the end.
struct InstanceKey {
    explicit InstanceKey(const std::wstring& urlTemplate) {
        auto set = [](const wchar_t* name, const std::wstring& value) {
            RegSetKeyValueW(HKEY_LOCAL_MACHINE, kInstanceKey, name, REG_SZ, value.c_str(),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        };
        set(L"URLUpdateInfo", urlTemplate);
        set(L"DisplayVersion", L"1.2.0.0");
        set(L"DisplayName", L"五笔测试");
        set(L"DataLocation", L"C:\\ZorvanData\\");
    }
    ~InstanceKey() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kInstanceKey); }
};

std::wstring windowText(HWND w) {
    int n = static_cast<int>(SendMessageW(w, WM_GETTEXTLENGTH, 0, 0));
    std::wstring s(n + 1, L'\0');
    SendMessageW(w, WM_GETTEXT, n + 1, reinterpret_cast<LPARAM>(s.data()));
    s.resize(n);
    return s;
}

template <typename F>
bool waitFor(F condition) {
    auto until = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < until) {
        if (condition()) return true;
        Sleep(20);
    }
    return false;
}

// A message box of this thread's process with the given title.
HWND findBox(const wchar_t* title) { return FindWindowW(L"#32770", title); }
std::wstring boxText(HWND box) { return windowText(GetDlgItem(box, 0xFFFF)); }

struct CheckRun {
    std::wstring log;
    std::vector<std::wstring> opened;
    std::vector<std::wstring> questions;  // the 更新提示 boxes' texts
    bool refusedWhileBusy = false;
};

// Shows the dialog, clicks 检查更新 once, answers the question with
// `answer` (IDYES or IDNO), and closes the dialog when the check is over.
CheckRun check(int answer, bool tryToCloseWhileBusy = false) {
    CheckRun run;
    UpdateDialogHooks hooks;
    hooks.openAddress = [&](const std::wstring& a) {
        run.opened.push_back(a);
        return true;
    };
    std::thread driver([&] {
        HWND dialog = nullptr;
        if (!waitFor([&] { return (dialog = FindWindowW(L"#32770", kDialogTitle)) != nullptr; })) return;
        HWND button = GetDlgItem(dialog, UpdateCheckButtonId);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(UpdateCheckButtonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        waitFor([&] { return !IsWindowEnabled(button); });
        if (tryToCloseWhileBusy) {
            PostMessageW(dialog, WM_CLOSE, 0, 0);
            HWND box = nullptr;
            if (waitFor([&] { return (box = findBox(L"更新程序")) != nullptr; })) {
                run.refusedWhileBusy = boxText(box) == L"无法取消操作，请等待更新完成。" && IsWindow(dialog);
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                waitFor([&] { return !IsWindow(box); });
            }
        }
        // Until the button comes back, answer every question that is asked.
        waitFor([&] {
            if (HWND box = findBox(L"更新提示")) {
                run.questions.push_back(boxText(box));
                PostMessageW(box, WM_COMMAND, answer, 0);
                waitFor([&] { return !IsWindow(box); });
            }
            return IsWindowEnabled(button) != FALSE;
        });
        run.log = windowText(GetDlgItem(dialog, UpdateLogId));
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    int result = runUpdateDialog(GetModuleHandleW(nullptr), kGuid, hooks);
    driver.join();
    EXPECT_EQ(0, result);
    return run;
}

std::wstring wideOf(const std::string& s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string updateList(const std::string& version, const std::string& url, const std::string& log) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><UpdateInfo><version>" + version + "</version><url>" + url +
           "</url><log>" + log + "</log></UpdateInfo>";
}

std::wstring templateFor(const LocalServer& server, const std::string& path) {
    return wideOf("http://127.0.0.1:" + std::to_string(server.port()) + path +
                  "?v={version}&g={guid}&m={macaddr}");
}

std::string tempFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    HANDLE f = CreateFileW((std::wstring(folder) + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return "(missing)";
    std::string out(64 * 1024, '\0');
    DWORD got = 0;
    ReadFile(f, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
    CloseHandle(f);
    out.resize(got);
    return out;
}

bool contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

TEST(UpdateDialog, AnEqualVersionIsUpToDateAndTheRequestCarriesThePlaceholders) {
    const std::string body = updateList("1.2", "example.test/setup.exe", "nothing new");
    LocalServer server({{"/equal", {200, body, 0}}});
    InstanceKey key(templateFor(server, "/equal"));
    CheckRun run = check(IDNO);
    EXPECT_TRUE(contains(run.log, L"您当前的程序版本为: 1.2.0.0\r\n\r\n您可以单击“检查更新”按钮，检查是否存在新版程序。"));
    EXPECT_TRUE(contains(run.log, L"\r\n-----------------------------------------------------\r\n"
                                  L"\r\n您现在的程序是最新版本，无需更新。\r\n"))
        << utf8(run.log);
    EXPECT_TRUE(run.questions.empty());
    ASSERT_EQ(1u, server.requests().size());
    const std::string request = server.requests()[0];
    EXPECT_EQ(0u, request.find("/equal?v=1.2.0.0&g=B7D1C2E43F5A4B6C9D8E0A1B2C3D4E5F&m=")) << request;
    // The digest is 32 lower-case hex digits, or nothing without an adapter.
    std::string digest = request.substr(request.find("&m=") + 3);
    EXPECT_TRUE(digest.empty() || (digest.size() == 32 && digest.find_first_not_of("0123456789abcdef") == std::string::npos))
        << digest;
    EXPECT_EQ(body, tempFile(L"update_list.txt"));
}

TEST(UpdateDialog, ANewerVersionShowsOneLinePerLogPartAndOpensItsAddressWithHttp) {
    LocalServer server({{"/newer", {200, updateList("1.3.0.2", "example.test/zorvan-setup.exe", "修复输入[r]新增皮肤"), 0}}});
    InstanceKey key(templateFor(server, "/newer"));
    CheckRun yes = check(IDYES);
    EXPECT_TRUE(contains(yes.log, L"服务器存在更新版本: 1.3.0.2")) << utf8(yes.log);
    EXPECT_TRUE(contains(yes.log, L"更新内容如下: \r\n修复输入 \r\n新增皮肤\r\n")) << utf8(yes.log);
    EXPECT_TRUE(contains(yes.log, L"下载地址: example.test/zorvan-setup.exe"));
    ASSERT_EQ(1u, yes.questions.size());
    EXPECT_EQ(L"发现新版 1.3.0.2 ，是否使用系统默认方式下载？\r\n单击“否”后，可以手动复制下载地址并下载程序。",
              yes.questions[0]);
    EXPECT_EQ(std::vector<std::wstring>{L"http://example.test/zorvan-setup.exe"}, yes.opened);

    CheckRun no = check(IDNO);
    EXPECT_EQ(1u, no.questions.size());
    EXPECT_TRUE(no.opened.empty());
}

TEST(UpdateDialog, AnotherStatusThan200IsReportedWithItsCode) {
    LocalServer server({});  // every path is 404
    InstanceKey key(templateFor(server, "/gone"));
    CheckRun run = check(IDYES);
    EXPECT_TRUE(contains(run.log, L"无法访问的URL，错误代码：404")) << utf8(run.log);
    EXPECT_TRUE(run.opened.empty());
    EXPECT_EQ("(missing)", tempFile(L"update_list.txt"));
}

TEST(UpdateDialog, ClosingIsRefusedWhileACheckRuns) {
    LocalServer server({{"/slow", {200, updateList("1.2", "", ""), 1500}}});
    InstanceKey key(templateFor(server, "/slow"));
    CheckRun run = check(IDNO, true);
    EXPECT_TRUE(run.refusedWhileBusy);
    EXPECT_TRUE(contains(run.log, L"无需更新")) << utf8(run.log);
}

TEST(UpdateDialog, WithoutATemplateTheProgramSaysItCannotUpdate) {
    InstanceKey key(L"");
    CheckRun run = check(IDYES);
    EXPECT_TRUE(contains(run.log, L"当前软件尚未支持更新功能。")) << utf8(run.log);
}

}  // namespace
}  // namespace zv::installer
