#pragma once
// What the screen shows where a layered window is, read back through the
// screen's device context (under wine with a compositing manager that is
// the composed picture), and its comparison with the portable painter's
// picture of the same window laid over what is behind it.

#include "ui/image.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace zv::test {

// The screen's pixels in a rectangle, as blue, green, red, alpha 255.
inline ui::Canvas captureScreen(const RECT& r) {
    ui::Canvas out;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return out;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && memory) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY)) {
            GdiFlush();
            out.width = w;
            out.height = h;
            out.pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
            std::memcpy(out.pixels.data(), bits, out.pixels.size() * sizeof(uint32_t));
            for (uint32_t& p : out.pixels) p |= 0xFF000000u;
        }
        SelectObject(memory, old);
    }
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return out;
}

// One colour of the screen (blue, green, red).
inline uint32_t screenPixel(int x, int y) {
    const ui::Canvas one = captureScreen(RECT{x, y, x + 1, y + 1});
    return one.empty() ? 0 : one.pixels[0];
}

struct PixelComparison {
    size_t compared = 0;
    size_t differing = 0;
};

// Compares each pixel of the screen with the premultiplied picture laid
// over a plain backdrop, each channel within a tolerance.
inline PixelComparison comparePixels(const ui::Canvas& screen, const ui::Canvas& picture, uint32_t backdrop,
                                     int tolerance) {
    PixelComparison c;
    if (screen.width != picture.width || screen.height != picture.height) return c;
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
        const uint32_t p = picture.pixels[i], s = screen.pixels[i];
        const int alpha = static_cast<int>(p >> 24);
        bool same = true;
        for (int shift = 0; shift < 24; shift += 8) {
            const int over = static_cast<int>((p >> shift) & 0xFF);
            const int behind = static_cast<int>((backdrop >> shift) & 0xFF);
            const int expected = over + behind * (255 - alpha) / 255;
            same = same && std::abs(expected - static_cast<int>((s >> shift) & 0xFF)) <= tolerance;
        }
        ++c.compared;
        if (!same) ++c.differing;
    }
    return c;
}

// Handles the thread's messages for a while (the windows' timers go on).
inline void pumpMessagesFor(DWORD ms) {
    const DWORD start = GetTickCount();
    MSG m;
    do {
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

// The screen where a window is, compared with its picture over what is
// beside the window, once the compositing manager has caught up (it
// blends on its own time; on a busy machine that can take a while).
inline PixelComparison screenMatches(const RECT& r, const ui::Canvas& picture, int tolerance) {
    constexpr int kTries = 30;
    constexpr DWORD kPauseMs = 100;
    PixelComparison c;
    for (int i = 0; i < kTries; ++i) {
        pumpMessagesFor(kPauseMs);
        const uint32_t backdrop = screenPixel(r.right + 4, r.top + 1);
        c = comparePixels(captureScreen(r), picture, backdrop, tolerance);
        if (c.compared && c.differing == 0) break;
    }
    return c;
}

}  // namespace zv::test
