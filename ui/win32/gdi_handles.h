#pragma once
// Owners of the GDI objects the windows use: each frees its object when
// it goes, so that no painting path leaks one.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <type_traits>

namespace zv::ui::win32 {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const noexcept {
        if (object) DeleteObject(object);
    }
};
struct DcDeleter {
    void operator()(HDC dc) const noexcept {
        if (dc) DeleteDC(dc);
    }
};

using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using BitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using DcHandle = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

// A top-down 32-bit bitmap whose pixels the program reads and writes.
class DibSection {
public:
    DibSection(int32_t width, int32_t height) : width_(width), height_(height) {
        if (width <= 0 || height <= 0) return;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (bitmap_) bits_ = static_cast<uint32_t*>(bits);
    }
    explicit operator bool() const { return bits_ != nullptr; }
    HBITMAP bitmap() const { return bitmap_.get(); }
    uint32_t* row(int32_t y) const { return bits_ + static_cast<size_t>(y) * static_cast<size_t>(width_); }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }

private:
    BitmapHandle bitmap_;
    uint32_t* bits_ = nullptr;
    int32_t width_ = 0, height_ = 0;
};

}  // namespace zv::ui::win32
