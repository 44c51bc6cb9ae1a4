#include "tests/ui/ui_fixture.h"

#include "platform/utf.h"

#include <zlib.h>

namespace zv::test {

using namespace ui;

SkinImage solidImage(int32_t width, int32_t height, uint32_t px) {
    SkinImage img;
    img.width = width;
    img.height = height;
    img.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), px);
    return img;
}

LoadedSkin fixtureSkin() {
    LoadedSkin s;
    s.info.packagePath = u"fixture.col";
    s.info.name = u"fixture";
    SkinTextStyle& t = s.info.text;
    t.composition = {0x222222, u"Fixed", -14, 400};
    t.candidate = {0x111111, u"Fixed", -16, 400};
    t.label = {-1, u"Fixed", -12, 400};
    t.tip = {0x777777, u"Fixed", -12, 400};
    t.caret = 0x333333;
    t.firstText = 0x0000FF;
    t.firstBackground = 0x00FFFF;
    t.tempWord = 0x00FF00;
    t.userWord = 0xFF0000;
    t.hoverText = 0x123456;
    t.hoverBackground = 0x654321;
    for (CandidateLayout& l : s.info.layouts) {
        l.codeStart = {5, 4};
        l.candidateStart = {5, 24};
        l.labelGap = 2;
        l.tipGap = 3;
        l.candidateGap = 8;
        l.lineGap = 4;
        l.rightMargin = 6;
        l.bottomMargin = 5;
        l.stretchX = {10, 20};
        l.stretchY = {10, 20};
        l.compStretchX = {5, 10};
        l.compStretchY = {5, 10};
        l.compRightMargin = 6;
        l.compBottomMargin = 5;
        l.previousPage = {22, 2};   // past the stretch range: follows the right edge
        l.nextPage = {0, 0};        // inside it: stays
        l.punctuation = {1, 25};    // below the vertical range: follows the bottom
        l.width = {-1, -1};
        l.extension1 = {-1, -1};
        l.extension2 = {-1, -1};
        l.rightOffset = {3, 1};
        l.belowOffset = {0, 4};
    }
    for (SkinImage& b : s.images.backgrounds) b = solidImage(30, 30, 0xFFFFFFFF);
    s.images.backgrounds[static_cast<size_t>(Background::SeparateComposition)] = solidImage(20, 20, 0xFFFFFFFF);
    for (ButtonImages& b : s.images.buttons) {
        b.normal = solidImage(10, 10, 0xFF0000FF);
        b.first = solidImage(10, 10, 0xFF00FF00);
        b.second = solidImage(10, 10, 0xFFFF0000);
    }
    return s;
}

UiView fixturePage() {
    UiView v;
    v.display = u"abcd";
    v.cursor = 4;
    v.items = {{u"一", u"a"}, {u"二二", u"bc"}, {u"三", u""}};
    v.highlight = 0;
    v.firstPage = true;
    v.lastPage = false;
    v.candidateCount = 8;
    return v;
}

LayoutRig::LayoutRig() {
    options.skin = SkinSettings::ShowIndex | SkinSettings::ShowHints | SkinSettings::ShowButtons |
                   SkinSettings::LayoutMerged | SkinSettings::LayoutHorizontal;
}

LayoutInput LayoutRig::input() {
    fonts = createUiFonts(renderer, skin.info.text, options.skin, nullptr, options.listStyle() == ListStyle::Columns);
    return {view, options, skin.info, skin.images, fonts};
}

std::vector<uint8_t> utf16leWithMark(std::u16string_view text) {
    std::vector<uint8_t> b = {0xFF, 0xFE};
    for (char16_t u : text) {
        b.push_back(static_cast<uint8_t>(u));
        b.push_back(static_cast<uint8_t>(u >> 8));
    }
    return b;
}

std::vector<uint8_t> pngOf(const SkinImage& image) { return encodePng(image); }

std::vector<uint8_t> hugePng() {
    std::vector<uint8_t> png = encodePng(solidImage(40, 40, 0xFF00FF00));
    for (size_t at : {size_t{16}, size_t{20}}) {  // width and height in the header
        png[at] = 0x00, png[at + 1] = 0x01, png[at + 2] = 0x86, png[at + 3] = 0xA0;
    }
    const auto crc = static_cast<uint32_t>(crc32(0, png.data() + 12, 17));
    png[29] = static_cast<uint8_t>(crc >> 24), png[30] = static_cast<uint8_t>(crc >> 16);
    png[31] = static_cast<uint8_t>(crc >> 8), png[32] = static_cast<uint8_t>(crc);
    return png;
}

std::vector<uint8_t> skinPackage(std::u16string_view ini, bool images, bool deflate) {
    std::vector<ZipEntry> entries;
    entries.push_back({"skin.ini", utf16leWithMark(ini)});
    if (images) {
        for (const char* name : {"candFL_comp.png", "candFL_cand.png", "candFL_cand_shu.png", "candHB.png",
                                 "candHB_shu.png", "candQR.png", "candQR_shu.png"})
            entries.push_back({name, pngOf(solidImage(8, 6, 0xFF102030))});
    }
    return writeZip(entries, deflate);
}

std::u16string sourcePath(const std::string& relative) {
#ifdef _WIN32
    // Under wine the Linux file system is drive Z:.
    std::u16string p = u"Z:" + utf8ToUtf16(ZV_SOURCE_DIR "/" + relative);
    for (char16_t& c : p)
        if (c == u'/') c = u'\\';
    return p;
#else
    return utf8ToUtf16(ZV_SOURCE_DIR "/" + relative);
#endif
}

bool writeShippedPackage(const std::string& skin, const std::u16string& packagePath) {
    return zipSkinFolder(sourcePath("resources/skins/" + skin), packagePath);
}

}  // namespace zv::test
