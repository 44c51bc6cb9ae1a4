#pragma once
// A dialog template written in memory, so that the installer needs no
// resource script for its dialogs; items name their window class.

#include <windows.h>

#include <string_view>
#include <vector>

namespace zv::installer::win32 {

class DialogTemplate {
public:
    DialogTemplate(DWORD style, short cx, short cy, std::wstring_view font, WORD points) {
        dword(style);
        dword(0);
        countAt_ = words_.size();
        word(0);
        word(0), word(0);
        word(static_cast<WORD>(cx)), word(static_cast<WORD>(cy));
        word(0);  // no menu
        word(0);  // the standard dialog class
        text(L"");
        word(points);
        text(font);
    }
    void add(std::wstring_view windowClass, WORD id, DWORD style, short x, short y, short cx, short cy,
             std::wstring_view caption = L"") {
        while (words_.size() % 2) word(0);  // every item starts on a DWORD
        dword(style | WS_CHILD | WS_VISIBLE);
        dword(0);
        for (short v : {x, y, cx, cy}) word(static_cast<WORD>(v));
        word(id);
        text(windowClass);
        text(caption);
        word(0);  // no creation data
        ++words_[countAt_];
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void word(WORD w) { words_.push_back(w); }
    void dword(DWORD d) {
        word(LOWORD(d));
        word(HIWORD(d));
    }
    void text(std::wstring_view s) {
        for (wchar_t c : s) word(static_cast<WORD>(c));
        word(0);
    }
    std::vector<WORD> words_;
    size_t countAt_ = 0;
};

}  // namespace zv::installer::win32
