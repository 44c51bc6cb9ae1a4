#pragma once
// A web-browser control in a child window of a dialog, for the about page
// and the information window. Where the system has no usable browser
// engine the place shows a plain text that says so and names the address
// instead, so that the window still opens and closes as it should.

#include <windows.h>

#include <memory>
#include <string>

namespace zv::config::win32 {

class BrowserControl {
public:
    // Creates the control over the rectangle (client coordinates of the
    // parent) and opens the address in it.
    BrowserControl(HWND parent, const RECT& place, int id, const std::wstring& address);
    ~BrowserControl();
    BrowserControl(const BrowserControl&) = delete;
    BrowserControl& operator=(const BrowserControl&) = delete;

    // False when the fallback text shows instead of a browser.
    bool live() const;
    HWND window() const { return window_; }
    void move(const RECT& place);
    // The loaded page's title; empty before one has loaded (and always for
    // the fallback).
    std::wstring title() const;

private:
    struct Browser;
    std::unique_ptr<Browser> browser_;
    HWND window_ = nullptr;
};

// The text the place shows without a browser.
std::wstring browserFallbackText(const std::wstring& address);

}  // namespace zv::config::win32
