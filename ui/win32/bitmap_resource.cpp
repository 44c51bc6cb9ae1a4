#include "ui/win32/bitmap_resource.h"

#include "ui/win32/gdi_handles.h"

namespace zv::ui::win32 {

namespace {

// Larger than any bitmap the library ships; a resource claiming more is
// not read.
constexpr LONG kMaxSide = 4096;

}  // namespace

SkinImage bitmapResource(HINSTANCE module, int id) {
    SkinImage image;
    BitmapHandle bitmap(static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP facts = {};
    if (!bitmap || !GetObjectW(bitmap.get(), sizeof facts, &facts)) return image;
    if (facts.bmWidth <= 0 || facts.bmHeight <= 0 || facts.bmWidth > kMaxSide || facts.bmHeight > kMaxSide)
        return image;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = facts.bmWidth;
    info.bmiHeader.biHeight = -facts.bmHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    image.width = facts.bmWidth;
    image.height = facts.bmHeight;
    image.pixels.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height), 0);
    HDC screen = GetDC(nullptr);
    const int rows = screen ? GetDIBits(screen, bitmap.get(), 0, static_cast<UINT>(image.height), image.pixels.data(),
                                        &info, DIB_RGB_COLORS)
                            : 0;
    if (screen) ReleaseDC(nullptr, screen);
    if (rows != image.height) return SkinImage{};
    for (uint32_t& p : image.pixels) p |= 0xFF000000u;
    return image;
}

}  // namespace zv::ui::win32
