#include "ui/image.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <png.h>

namespace zv::ui {

namespace {

struct PngSource {
    const uint8_t* data;
    size_t size;
    size_t offset;
};

// Reads from the memory buffer. A request past the end is an error rather
// than a short read, so that libpng never works on bytes that were not there.
void readFromMemory(png_structp png, png_bytep out, png_size_t n) {
    auto* src = static_cast<PngSource*>(png_get_io_ptr(png));
    if (n > src->size - src->offset) png_error(png, "truncated");
    std::memcpy(out, src->data + src->offset, n);
    src->offset += n;
}

void quietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void quietWarning(png_structp, png_const_charp) {}

// The libpng calls, kept in a frame without C++ objects so that the error
// jump leaves nothing half-destroyed. Rows are owned by the info struct.
bool readRows(png_structp png, png_infop info, PngSource* src) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, src, readFromMemory);
    png_set_user_limits(png, MaxImageSide, MaxImageSide);
    png_set_chunk_malloc_max(png, 1u << 20);
    png_read_png(png, info, PNG_TRANSFORM_EXPAND, nullptr);
    return true;
}

struct PngWriter {
    std::vector<uint8_t>* out;
};

void writeToMemory(png_structp png, png_bytep data, png_size_t n) {
    auto* w = static_cast<PngWriter*>(png_get_io_ptr(png));
    w->out->insert(w->out->end(), data, data + n);
}
void flushNothing(png_structp) {}

bool writeRows(png_structp png, png_infop info, PngWriter* w, uint32_t width, uint32_t height, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, w, writeToMemory, flushNothing);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_set_rows(png, info, rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}

int32_t clampTo(int32_t v, int32_t lo, int32_t hi) { return std::min(std::max(v, lo), hi); }

}  // namespace

SkinImage decodePng(std::span<const uint8_t> bytes) {
    SkinImage image;
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return image;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
    if (!png) return image;
    png_infop info = png_create_info_struct(png);
    PngSource src{bytes.data(), bytes.size(), 0};
    if (info && readRows(png, info, &src)) {
        uint32_t w = png_get_image_width(png, info);
        uint32_t h = png_get_image_height(png, info);
        int channels = png_get_channels(png, info);
        png_bytepp rows = png_get_rows(png, info);
        bool usable = rows && w > 0 && h > 0 && w <= MaxImageSide && h <= MaxImageSide &&
                      png_get_bit_depth(png, info) == 8 && channels >= 1 && channels <= 4 &&
                      png_get_rowbytes(png, info) >= static_cast<size_t>(w) * static_cast<size_t>(channels);
        if (usable) {
            image.width = static_cast<int32_t>(w);
            image.height = static_cast<int32_t>(h);
            image.pixels.resize(static_cast<size_t>(w) * h);
            uint32_t* out = image.pixels.data();
            for (uint32_t y = 0; y < h; ++y) {
                const uint8_t* p = rows[y];
                for (uint32_t x = 0; x < w; ++x, p += channels) {
                    switch (channels) {
                    case 1: *out++ = pixel(p[0], p[0], p[0], 0); break;
                    case 2: *out++ = pixel(p[0], p[0], p[0], p[1]); break;
                    case 3: *out++ = pixel(p[2], p[1], p[0], 0); break;
                    default: *out++ = pixel(p[2], p[1], p[0], p[3]); break;
                    }
                }
            }
        }
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return image;
}

std::vector<uint8_t> encodePng(const SkinImage& image) {
    std::vector<uint8_t> out;
    if (image.empty() || image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
        return out;
    std::vector<uint8_t> rgba(image.pixels.size() * 4);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        uint32_t p = image.pixels[i];
        rgba[4 * i] = redOf(p);
        rgba[4 * i + 1] = greenOf(p);
        rgba[4 * i + 2] = blueOf(p);
        rgba[4 * i + 3] = alphaOf(p);
    }
    std::vector<png_bytep> rows(static_cast<size_t>(image.height));
    for (int32_t y = 0; y < image.height; ++y) rows[static_cast<size_t>(y)] = rgba.data() + static_cast<size_t>(y) * image.width * 4;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
    if (!png) return out;
    png_infop info = png_create_info_struct(png);
    PngWriter writer{&out};
    bool ok = info && writeRows(png, info, &writer, static_cast<uint32_t>(image.width),
                                static_cast<uint32_t>(image.height), rows.data());
    png_destroy_write_struct(&png, info ? &info : nullptr);
    if (!ok) out.clear();
    return out;
}

namespace {

// One target row of a nine-part stretch from one source row: the left and
// right parts copied, the middle range repeated by doubling what is
// already written.
void stretchRow(const uint32_t* src, uint32_t* dst, int32_t W, int32_t w, int32_t x1, int32_t x2) {
    const int32_t dw = w - W;
    const int32_t leftEnd = std::min(x1, w);
    std::memcpy(dst, src, sizeof(uint32_t) * static_cast<size_t>(leftEnd));
    const int32_t middleEnd = std::min(dw + x2 + 1, w);
    if (middleEnd > x1) {
        const auto length = static_cast<size_t>(middleEnd - x1);
        const auto period = static_cast<size_t>(x2 - x1 + 1);
        uint32_t* middle = dst + x1;
        size_t done = std::min(period, length);
        std::memcpy(middle, src + x1, sizeof(uint32_t) * done);
        while (done < length) {
            const size_t chunk = std::min(done, length - done);
            std::memcpy(middle + done, middle, sizeof(uint32_t) * chunk);
            done += chunk;
        }
    }
    const int32_t rightStart = std::max(dw + x2 + 1, x1);
    if (rightStart < w)
        std::memcpy(dst + rightStart, src + (rightStart - dw), sizeof(uint32_t) * static_cast<size_t>(w - rightStart));
}

}  // namespace

SkinImage stretchImage(const SkinImage& source, int32_t newWidth, int32_t newHeight, int32_t x1, int32_t x2,
                       int32_t y1, int32_t y2) {
    SkinImage out;
    if (source.empty() || newWidth <= 0 || newHeight <= 0) return out;
    const int32_t W = source.width, H = source.height;
    x1 = clampTo(x1, 0, W - 1);
    x2 = clampTo(x2, x1, W - 1);
    y1 = clampTo(y1, 0, H - 1);
    y2 = clampTo(y2, y1, H - 1);
    out.width = newWidth;
    out.height = newHeight;
    out.pixels.resize(static_cast<size_t>(newWidth) * static_cast<size_t>(newHeight));
    const auto rowSize = static_cast<size_t>(newWidth);
    // Target rows that come from the same source row are built once and copied.
    std::vector<int32_t> builtAt(static_cast<size_t>(H), -1);
    const int32_t dh = newHeight - H;
    for (int32_t i = 0; i < newHeight; ++i) {
        int32_t r;
        if (i < y1) r = i;
        else if (i > dh + y2) r = i - dh;
        else r = y1 + (i - y1) % (y2 - y1 + 1);
        uint32_t* dst = out.pixels.data() + static_cast<size_t>(i) * rowSize;
        int32_t& first = builtAt[static_cast<size_t>(r)];
        if (first >= 0) {
            std::memcpy(dst, out.pixels.data() + static_cast<size_t>(first) * rowSize, sizeof(uint32_t) * rowSize);
        } else {
            stretchRow(source.pixels.data() + static_cast<size_t>(r) * static_cast<size_t>(W), dst, W, newWidth, x1, x2);
            first = i;
        }
    }
    return out;
}

std::vector<Rect> regionFromAlpha(const SkinImage& image) {
    std::vector<Rect> runs;
    if (image.empty()) return runs;
    for (int32_t y = 0; y < image.height; ++y) {
        int32_t x = 0;
        while (x < image.width) {
            while (x < image.width && alphaOf(image.at(x, y)) == 0) ++x;
            if (x == image.width) break;
            int32_t start = x;
            while (x < image.width && alphaOf(image.at(x, y)) != 0) ++x;
            runs.push_back({start, y, x, y + 1});
        }
    }
    return runs;
}

Canvas scaleCanvas(const Canvas& canvas, int percent) {
    if (percent == 100 || canvas.empty() || percent <= 0) return canvas;
    percent = std::min(percent, MaxScalePercent);
    const int64_t w = std::min<int64_t>(MaxScaledSide, std::max<int64_t>(1, int64_t(canvas.width) * percent / 100));
    const int64_t h = std::min<int64_t>(MaxScaledSide, std::max<int64_t>(1, int64_t(canvas.height) * percent / 100));
    Canvas out;
    out.width = static_cast<int32_t>(w);
    out.height = static_cast<int32_t>(h);
    out.pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    // Source positions in 1/256 pixel, sampled at pixel centres.
    auto source = [](int64_t i, int64_t from, int64_t to) {
        const int64_t p = ((2 * i + 1) * from * 256) / (2 * to) - 128;
        return std::clamp<int64_t>(p, 0, (from - 1) * 256);
    };
    for (int64_t y = 0; y < h; ++y) {
        const int64_t sy = source(y, canvas.height, h);
        const int32_t y0 = static_cast<int32_t>(sy >> 8), y1 = std::min(y0 + 1, canvas.height - 1);
        const uint32_t fy = static_cast<uint32_t>(sy & 0xFF);
        for (int64_t x = 0; x < w; ++x) {
            const int64_t sx = source(x, canvas.width, w);
            const int32_t x0 = static_cast<int32_t>(sx >> 8), x1 = std::min(x0 + 1, canvas.width - 1);
            const uint32_t fx = static_cast<uint32_t>(sx & 0xFF);
            const uint32_t a = canvas.at(x0, y0), b = canvas.at(x1, y0), c = canvas.at(x0, y1), d = canvas.at(x1, y1);
            uint32_t result = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                auto ch = [shift](uint32_t p) { return (p >> shift) & 0xFF; };
                const uint32_t top = ch(a) * (256 - fx) + ch(b) * fx;
                const uint32_t bottom = ch(c) * (256 - fx) + ch(d) * fx;
                const uint32_t v = (top * (256 - fy) + bottom * fy + (1u << 15)) >> 16;
                result |= std::min<uint32_t>(v, 255) << shift;
            }
            out.pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = result;
        }
    }
    return out;
}

SkinImage unpremultiply(const Canvas& canvas) {
    SkinImage out = canvas;
    for (uint32_t& p : out.pixels) {
        uint32_t a = alphaOf(p);
        if (a == 0) {
            p = 0;
            continue;
        }
        auto un = [a](uint32_t c) { return static_cast<uint8_t>(std::min<uint32_t>(255, (c * 255 + a / 2) / a)); };
        p = pixel(un(blueOf(p)), un(greenOf(p)), un(redOf(p)), static_cast<uint8_t>(a));
    }
    return out;
}

}  // namespace zv::ui
