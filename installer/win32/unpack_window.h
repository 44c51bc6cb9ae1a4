#pragma once
// The "正在解开文件" window shown while the package is unpacked: a progress
// bar that follows the bytes extracted and the line of each entry. It has
// no buttons; it closes with the object.

#include <windows.h>

#include <cstdint>
#include <string>

namespace zv::installer::win32 {

enum UnpackWindowControl : int {
    UnpackProgressId = 401,
    UnpackLogId,
};

class UnpackWindow {
public:
    UnpackWindow();
    ~UnpackWindow();
    UnpackWindow(const UnpackWindow&) = delete;
    UnpackWindow& operator=(const UnpackWindow&) = delete;

    void progress(uint64_t done, uint64_t total);
    // "Success: %s", "Failure: %s", "Completed."
    void line(const std::wstring& text);

private:
    void pump();
    HWND window_ = nullptr;
};

}  // namespace zv::installer::win32
