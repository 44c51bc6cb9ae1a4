#include "installer/update/internet_download_win32.h"

#include "installer/update/update_info.h"

#include <windows.h>
#include <wininet.h>

#include <memory>

namespace zv::installer {
namespace {

// Blocks of this size are what the server's answer is read in.
constexpr DWORD kReadBlock = 511;
// The dialog cannot be closed while a check runs, so a server that never
// answers must not keep it open forever.
constexpr DWORD kTimeoutMs = 30000;
constexpr DWORD kStatusUnits = 32;

struct InternetCloser {
    void operator()(HINTERNET h) const { InternetCloseHandle(h); }
};
using Internet = std::unique_ptr<void, InternetCloser>;

struct FileCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using File = std::unique_ptr<void, FileCloser>;

std::u16string decimal(unsigned long v) {
    std::string s = std::to_string(v);
    return std::u16string(s.begin(), s.end());
}

}  // namespace

DownloadResult downloadUpdateList(const std::wstring& url, const std::wstring& file,
                                  const std::function<void(uint64_t)>& progress) {
    DownloadResult result;
    DeleteFileW(file.c_str());
    Internet session(InternetOpenW(UpdateAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return result;  // NoModule
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT}) {
        DWORD timeout = kTimeoutMs;
        InternetSetOptionW(session.get(), option, &timeout, sizeof timeout);
    }

    Internet request(InternetOpenUrlW(session.get(), url.c_str(), nullptr, 0,
                                      INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD, 0));
    if (!request) {
        result.kind = DownloadResult::NotOpened;
        result.status = decimal(GetLastError());
        return result;
    }
    wchar_t status[kStatusUnits] = {};
    DWORD statusBytes = sizeof status - sizeof(wchar_t);
    result.kind = DownloadResult::Status;
    if (HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE, status, &statusBytes, nullptr))
        result.status.assign(status, status + statusBytes / sizeof(wchar_t));
    if (result.status != u"200") return result;

    File out(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (out.get() == INVALID_HANDLE_VALUE) out.release();
    char block[kReadBlock];
    for (;;) {
        DWORD got = 0;
        if (!InternetReadFile(request.get(), block, kReadBlock, &got)) {
            // An answer cut off on the way is not the server's list.
            result.kind = DownloadResult::NotOpened;
            result.status = decimal(GetLastError());
            break;
        }
        if (got == 0) break;
        if (result.body.size() + got > MaxUpdateInfoBytes) {
            result.kind = DownloadResult::TooLarge;
            break;
        }
        result.body.append(block, got);
        if (out) {
            DWORD written = 0;
            WriteFile(out.get(), block, got, &written, nullptr);
        }
        if (progress) progress(result.body.size());
    }
    if (result.kind != DownloadResult::Status) {
        out.reset();
        DeleteFileW(file.c_str());
        result.body.clear();
    }
    return result;
}

}  // namespace zv::installer
