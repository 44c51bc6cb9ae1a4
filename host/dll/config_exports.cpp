// ZVITFGetObject: the objects the configuration program asks the library
// for. Each is a block of function addresses from the global heap, freed
// by its own first function.

#include "host/dll/config_objects.h"
#include "host/dll/config_pages.h"

#include "engine/config_store.h"
#include "engine/settings_options.h"

#include <cstring>
#include <string>

namespace zv::host {

namespace {

constexpr size_t kMaxOptionUnits = 4096;
constexpr int kNoSettings = -1;

template <typename R, typename F>
R guarded(R failed, F&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failed;
    }
}

std::u16string_view boundedView(const wchar_t* text) {
    if (!text) return {};
    size_t n = 0;
    while (n < kMaxOptionUnits && text[n]) ++n;
    return std::u16string_view(reinterpret_cast<const char16_t*>(text), n);
}

void WINAPI releasePageHost(PageHost* self) {
    if (self) GlobalFree(self);
}

HWND WINAPI createPage(HWND parent, int kind, const PageContext* context) {
    return guarded<HWND>(nullptr, [&] { return createConfigPage(parent, kind, context); });
}

int WINAPI closePage(int apply) {
    return guarded<int>(1, [&] { return closeConfigPage(apply); });
}

void WINAPI releaseCodec(SettingsCodec* self) {
    if (self) GlobalFree(self);
}

int WINAPI codecApplyOption(uint8_t* config, uint32_t size, const wchar_t* key, const wchar_t* value, int kind) {
    return guarded<int>(kNoSettings, [&] {
        if (!config) return kNoSettings;
        SettingsBlocks blocks = findBlocks(config, size);
        if (!blocks.complete()) return kNoSettings;
        OptionResult r = OptionResult::UnknownSection;
        if (kind == CodecDme) r = applyDmeOption(blocks.dme, boundedView(key), boundedView(value));
        if (kind == CodecSkin) r = applySkinOption(blocks.skin, boundedView(key), boundedView(value));
        return static_cast<int>(r);
    });
}

uint32_t WINAPI codecWriteSection(const uint8_t* config, uint32_t size, int kind, wchar_t* text, uint32_t capacity) {
    return guarded<uint32_t>(0, [&]() -> uint32_t {
        if (!config) return 0;
        // The blocks are only read here.
        SettingsBlocks blocks = findBlocks(const_cast<uint8_t*>(config), size);
        if (!blocks.complete()) return 0;
        std::u16string lines;
        if (kind == CodecDme) lines = writeDmeOptions(blocks.dme);
        else if (kind == CodecSkin) lines = writeSkinOptions(blocks.skin);
        else return 0;
        if (text && capacity > 0) {
            const size_t n = std::min<size_t>(lines.size(), capacity - 1);
            std::memcpy(text, lines.data(), n * sizeof(wchar_t));
            text[n] = 0;
        }
        return static_cast<uint32_t>(lines.size());
    });
}

template <typename T>
T* newObject() {
    return static_cast<T*>(GlobalAlloc(GPTR, sizeof(T)));
}

}  // namespace

}  // namespace zv::host

extern "C" int WINAPI ZVITFGetObject(int type, void** out) {
    using namespace zv::host;
    return guarded<int>(0, [&]() -> int {
        switch (type) {
        case ObjectPageHost: {
            if (!out) return 0;
            auto* host = newObject<PageHost>();
            if (!host) return 0;
            host->release = releasePageHost;
            host->createPage = createPage;
            host->closePage = closePage;
            *out = host;
            return 1;
        }
        case ObjectSettingsCodec: {
            if (!out) return 0;
            auto* codec = newObject<SettingsCodec>();
            if (!codec) return 0;
            codec->release = releaseCodec;
            codec->applyOption = codecApplyOption;
            codec->writeSection = codecWriteSection;
            *out = codec;
            return 1;
        }
        case ObjectCodeCodec:
            if (out) *out = nullptr;
            return 0;
        default: return 1;  // callers test the pointer, which stays as it was
        }
    });
}
