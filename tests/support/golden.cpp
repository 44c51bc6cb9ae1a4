#include "tests/support/golden.h"

#include "platform/mapped_file.h"
#include "tests/ui/ui_fixture.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace zv::test {

namespace {

// A render matches when every channel is within this distance, save for a
// few edge pixels.
constexpr int Tolerance = 48;
constexpr double OutlierShare = 0.005;

}  // namespace

void expectLooksLike(const ui::SkinImage& render, const std::string& name) {
    const std::u16string path = sourcePath("tests/data/golden/" + name);
    if (std::getenv("ZV_UPDATE_GOLDEN")) {
        std::vector<uint8_t> png = ui::encodePng(render);
        ASSERT_TRUE(platform::writeWholeFile(path, png.data(), png.size()));
        return;
    }
    std::string bytes;
    ASSERT_TRUE(platform::readWholeFile(path, bytes)) << name;
    ui::SkinImage golden = ui::decodePng({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
    ASSERT_EQ(golden.width, render.width) << name;
    ASSERT_EQ(golden.height, render.height) << name;
    size_t outliers = 0;
    for (size_t i = 0; i < golden.pixels.size(); ++i) {
        const uint32_t a = golden.pixels[i], b = render.pixels[i];
        for (int shift = 0; shift < 32; shift += 8) {
            if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > Tolerance) {
                ++outliers;
                break;
            }
        }
    }
    EXPECT_LE(outliers, static_cast<size_t>(OutlierShare * static_cast<double>(golden.pixels.size()))) << name;
}

}  // namespace zv::test
