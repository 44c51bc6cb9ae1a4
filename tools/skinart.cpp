// Draws the shipped skins: every PNG and the "skin.ini" that describes
// their geometry, so that artwork and layout numbers come from one place.
//
//   skinart OUTDIR     writes OUTDIR/default/ and OUTDIR/night/
//
// The output is committed under resources/skins/; run this again after
// changing the drawing or the numbers below.

#include "platform/mapped_file.h"
#include "platform/utf.h"
#include "ui/draw.h"
#include "ui/image.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace zv;
using namespace zv::ui;

namespace {

struct Palette {
    const char* folder;
    const char* name;
    const char* description;
    Rgba panel, border, shadow, divider;
    Rgba icon, muted, accent, accentSoft, hover, pressed;
    // Text colours as 0xRRGGBB.
    uint32_t text, code, label, tip, first, firstBack, hoverText, hoverBack, tempWord, userWord;
};

const Palette Light = {
    "default", "清朗", "浅色圆角皮肤", rgb(0xFFFFFF), rgb(0xC9CFD8), rgb(0x1B2430, 40), rgb(0xE6E9EF),
    rgb(0x3C4350), rgb(0xB9BFC8), rgb(0x2F6FEB), rgb(0xDCE7FC), rgb(0xEDF0F4), rgb(0xDDE2E9),
    0x1F2329, 0x2F6FEB, 0x8A919C, 0x9AA0A8, 0x1D5FE0, 0xE3ECFD, 0x1F2329, 0xECEEF1, 0xB8690E, 0x1E8A5A,
};

const Palette Night = {
    "night", "夜航", "深色圆角皮肤", rgb(0x24272D), rgb(0x454B55), rgb(0x000000, 70), rgb(0x363B43),
    rgb(0xD5DAE1), rgb(0x5C636E), rgb(0x6EA1FF), rgb(0x2E3B55), rgb(0x30353D), rgb(0x3A404A),
    0xE6E8EB, 0x8AB4FF, 0x7D8592, 0x7D8592, 0xFFFFFF, 0x3461C7, 0xE6E8EB, 0x373C45, 0xF0A85A, 0x6BD49A,
};

// A rounded panel with a soft shadow: margins of 3 pixels left, right and
// top, 4 at the bottom.
SkinImage panel(int w, int h, const Palette& p, int dividerY = -1) {
    SkinImage img = blankImage(w, h);
    const float l = 3, t = 2, r = static_cast<float>(w) - 3, b = static_cast<float>(h) - 4;
    for (int i = 3; i >= 1; --i) {
        Rgba s = p.shadow;
        s.a = static_cast<uint8_t>(s.a / (i + 1));
        fillRoundedRect(img, l - static_cast<float>(i) + 1, t - static_cast<float>(i) + 2, r + static_cast<float>(i) - 1,
                        b + static_cast<float>(i), 8.0f + static_cast<float>(i), s);
    }
    fillRoundedRect(img, l, t, r, b, 7, p.panel);
    strokeRoundedRect(img, l, t, r, b, 7, 1, p.border);
    if (dividerY >= 0)
        for (int x = 11; x < w - 11; ++x) blendOver(img, x, dividerY, p.divider, 1);
    return img;
}

// State backgrounds of a button: nothing, hover, pressed.
SkinImage buttonBase(int size, Rgba back) {
    SkinImage img = blankImage(size, size);
    if (back.a) fillRoundedRect(img, 1, 1, static_cast<float>(size) - 1, static_cast<float>(size) - 1, 5, back);
    return img;
}

using Icon = void (*)(SkinImage&, Rgba, const Palette&);

void iconChinese(SkinImage& g, Rgba c, const Palette&) {  // 中
    strokeRoundedRect(g, 4.5f, 6.5f, 17.5f, 15.5f, 1.5f, 1.5f, c);
    strokeLine(g, 11, 4, 11, 18, 1.7f, c);
}

void iconEnglish(SkinImage& g, Rgba c, const Palette&) {  // EN
    strokeLine(g, 4.5f, 6.5f, 4.5f, 15.5f, 1.5f, c);
    strokeLine(g, 4.5f, 6.5f, 9, 6.5f, 1.5f, c);
    strokeLine(g, 4.5f, 11, 8.5f, 11, 1.5f, c);
    strokeLine(g, 4.5f, 15.5f, 9, 15.5f, 1.5f, c);
    strokeLine(g, 12, 15.5f, 12, 6.5f, 1.5f, c);
    strokeLine(g, 12, 6.5f, 17, 15.5f, 1.5f, c);
    strokeLine(g, 17, 15.5f, 17, 6.5f, 1.5f, c);
}

void iconCapsLock(SkinImage& g, Rgba c, const Palette&) {  // A over a bar
    strokeLine(g, 6.5f, 14, 11, 4.5f, 1.6f, c);
    strokeLine(g, 11, 4.5f, 15.5f, 14, 1.6f, c);
    strokeLine(g, 8.3f, 10.5f, 13.7f, 10.5f, 1.4f, c);
    strokeLine(g, 6, 17.5f, 16, 17.5f, 1.6f, c);
}

void iconFull(SkinImage& g, Rgba c, const Palette&) { fillCircle(g, 11, 11, 5.5f, c); }

void iconHalf(SkinImage& g, Rgba c, const Palette&) {
    strokeCircle(g, 11, 11, 5.5f, 1.4f, c);
    SkinImage half = blankImage(g.width, g.height);
    fillCircle(half, 11, 11, 5.5f, c);
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < 11; ++x) {
            uint32_t p = half.at(x, y);
            if (alphaOf(p)) blendOver(g, x, y, c, alphaOf(p) / 255.0f / (c.a / 255.0f));
        }
}

void comma(SkinImage& g, float x, float y, Rgba c) {
    fillCircle(g, x, y, 1.8f, c);
    strokeLine(g, x + 1.2f, y + 0.5f, x - 0.8f, y + 4, 1.3f, c);
}

void iconChinesePunctuation(SkinImage& g, Rgba c, const Palette&) {  // 。，
    strokeCircle(g, 7, 13.5f, 2.6f, 1.3f, c);
    comma(g, 14.5f, 12.5f, c);
}

void iconEnglishPunctuation(SkinImage& g, Rgba c, const Palette&) {  // . ,
    fillCircle(g, 7, 14, 1.8f, c);
    comma(g, 14.5f, 12.5f, c);
}

void keyboard(SkinImage& g, Rgba c, Rgba fill) {
    if (fill.a) fillRoundedRect(g, 3.5f, 6.5f, 18.5f, 16.5f, 2, fill);
    strokeRoundedRect(g, 3.5f, 6.5f, 18.5f, 16.5f, 2, 1.3f, c);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 4; ++col) fillCircle(g, 6.8f + 2.8f * static_cast<float>(col), 9.2f + 2.6f * static_cast<float>(row), 0.75f, c);
    strokeLine(g, 8, 14.2f, 14, 14.2f, 1.2f, c);
}

void iconKeyboardOff(SkinImage& g, Rgba c, const Palette&) { keyboard(g, c, Transparent); }
void iconKeyboardOn(SkinImage& g, Rgba, const Palette& p) { keyboard(g, p.accent, p.accentSoft); }

void iconMenu(SkinImage& g, Rgba c, const Palette&) {
    for (float y : {7.0f, 11.0f, 15.0f}) strokeLine(g, 6, y, 16, y, 1.6f, c);
}

void iconLogo(SkinImage& g, Rgba, const Palette& p) {  // a Z on an accent tile
    fillRoundedRect(g, 2, 2, 20, 20, 5, p.accent);
    const Rgba white = rgb(0xFFFFFF);
    strokeLine(g, 7, 7.5f, 15, 7.5f, 1.8f, white);
    strokeLine(g, 15, 7.5f, 7, 14.5f, 1.8f, white);
    strokeLine(g, 7, 14.5f, 15, 14.5f, 1.8f, white);
}

void chevron(SkinImage& g, Rgba c, bool right) {
    const float x0 = right ? 6.5f : 9.5f, x1 = right ? 9.5f : 6.5f;
    strokeLine(g, x0, 4.5f, x1, 8, 1.7f, c);
    strokeLine(g, x1, 8, x0, 11.5f, 1.7f, c);
}

struct Files {
    std::filesystem::path folder;
    void png(const std::string& name, const SkinImage& img) const {
        std::vector<uint8_t> bytes = encodePng(img);
        if (bytes.empty() || !platform::writeWholeFile((folder / name).u16string(), bytes.data(), bytes.size())) {
            std::fprintf(stderr, "skinart: cannot write %s\n", name.c_str());
            std::exit(1);
        }
    }
};

// A status-bar button: normal, mouse-over (_1) and pressed (_2).
void statusButton(const Files& f, const std::string& stem, Icon icon, Rgba colour, const Palette& p) {
    const Rgba backs[3] = {Transparent, p.hover, p.pressed};
    const char* suffix[3] = {"", "_1", "_2"};
    for (int i = 0; i < 3; ++i) {
        SkinImage img = buttonBase(22, backs[i]);
        icon(img, colour, p);
        f.png(stem + suffix[i] + ".png", img);
    }
}

// A paging button: normal, mouse-over and pressed (_1), disabled (_2).
void pagingButton(const Files& f, const std::string& stem, bool right, const Palette& p) {
    SkinImage normal = blankImage(16, 16), hover = buttonBase(16, p.hover), disabled = blankImage(16, 16);
    chevron(normal, p.icon, right);
    chevron(hover, p.accent, right);
    chevron(disabled, p.muted, right);
    f.png(stem + ".png", normal);
    f.png(stem + "_1.png", hover);
    f.png(stem + "_2.png", disabled);
}

// Colours in "skin.ini" are the platform's 0x00BBGGRR value in decimal.
std::string colour(uint32_t rrggbb) {
    uint32_t v = (rrggbb & 0xFF) << 16 | (rrggbb & 0xFF00) | (rrggbb >> 16 & 0xFF);
    return "#" + std::to_string(v);
}

std::string describe(const Palette& p) {
    std::string s;
    s += "; Zorvan skin: geometry in pixels from each image's top-left corner.\n";
    s += "[-皮肤信息-]\n";
    s += std::string("名称=") + p.name + "\n";
    s += std::string("描述=") + p.description + "\n";
    s += "版本=1.0\n所有者名称=Zorvan\n所有者联系方式=\n\n";
    s += "[-文字显示-]\n";
    s += "编码字体名称=微软雅黑\n编码字体大小=-15\n编码字体颜色=" + colour(p.code) + "\n编码字体粗细=400\n";
    s += "序号字体名称=微软雅黑\n序号字体大小=-15\n序号字体颜色=" + colour(p.label) + "\n序号字体粗细=400\n";
    s += "提示字体名称=微软雅黑\n提示字体大小=-13\n提示字体颜色=" + colour(p.tip) + "\n提示字体粗细=400\n";
    s += "候选字体名称=微软雅黑\n候选字体大小=-16\n候选字体颜色=" + colour(p.text) + "\n候选字体粗细=400\n";
    s += "光标颜色=" + colour(p.code) + "\n";
    s += "鼠标处候选颜色=" + colour(p.hoverText) + "\n鼠标处候选背景色=" + colour(p.hoverBack) + "\n";
    s += "第一候选颜色=" + colour(p.first) + "\n第一候选背景色=" + colour(p.firstBack) + "\n";
    s += "临时词候选颜色=" + colour(p.tempWord) + "\n用户词候选颜色=" + colour(p.userWord) + "\n";
    s += "编码最多显示个数=0\n候选最多显示个数=20\n\n";
    s += "[-状态栏窗口-]\n";
    s += "输入法标志位置=7,5\n中英文状态按钮位置=31,5\n全角半角按钮位置=55,5\n中英文标点按钮位置=79,5\n";
    s += "软键盘按钮位置=103,5\n菜单按钮位置=127,5\n简繁体按钮位置=-1,-1\n扩展按钮1位置=-1,-1\n扩展按钮2位置=-1,-1\n";
    s += "状态栏默认位置=6\n\n";

    // One row of candidates: paging buttons at the row's right end, which
    // follows the window's right edge (positions past the stretch range).
    const std::string row =
        "中英文标点按钮位置=-1,-1\n全角半角按钮位置=-1,-1\n扩展按钮1位置=-1,-1\n扩展按钮2位置=-1,-1\n"
        "序号-字词间距=3\n字词-提示间距=2\n候选间距=12\n行间距=5\n";
    // Vertical lists: paging buttons in a footer at the bottom right.
    const std::string column = row;
    const std::string box =
        "编码窗口横向拉伸区域=14,30\n编码窗口纵向拉伸区域=12,18\n编码窗口右边据=11\n编码窗口下边据=7\n"
        "右侧候选横向偏移量=2\n右侧候选纵向偏移量=0\n下方候选横向偏移量=0\n下方候选纵向偏移量=2\n";

    s += "[-候选窗口-合并-]\n" + row +
         "前翻页按钮位置=66,38\n后翻页按钮位置=84,38\n编码起始位置=13,7\n候选起始位置=13,36\n"
         "横向拉伸区域=24,48\n纵向拉伸区域=40,50\n右边距=36\n下边距=12\n最小宽度=0\n最小高度=0\n"
         "编码区最小宽度=0\n候选区最小宽度=0\n"
         "右侧候选横向偏移量=2\n右侧候选纵向偏移量=0\n下方候选横向偏移量=0\n下方候选纵向偏移量=4\n\n";
    s += "[-候选窗口-合并-竖排-]\n" + column +
         "前翻页按钮位置=51,100\n后翻页按钮位置=69,100\n编码起始位置=13,7\n候选起始位置=13,36\n"
         "横向拉伸区域=20,40\n纵向拉伸区域=40,56\n右边距=13\n下边距=30\n最小宽度=120\n最小高度=0\n"
         "编码区最小宽度=0\n候选区最小宽度=0\n"
         "右侧候选横向偏移量=2\n右侧候选纵向偏移量=0\n下方候选横向偏移量=0\n下方候选纵向偏移量=4\n\n";
    for (const char* name : {"分离", "嵌入"}) {
        s += std::string("[-候选窗口-") + name + "-]\n" + row +
             "前翻页按钮位置=66,8\n后翻页按钮位置=84,8\n编码起始位置=11,6\n候选起始位置=11,7\n"
             "横向拉伸区域=24,48\n纵向拉伸区域=12,20\n右边距=36\n下边距=8\n最小宽度=0\n最小高度=0\n"
             "编码窗口最小宽度=44\n编码窗口最小高度=32\n" + box + "\n";
        s += std::string("[-候选窗口-") + name + "-竖排-]\n" + column +
             "前翻页按钮位置=51,68\n后翻页按钮位置=69,68\n编码起始位置=11,6\n候选起始位置=11,8\n"
             "横向拉伸区域=20,40\n纵向拉伸区域=20,30\n右边距=13\n下边距=30\n最小宽度=120\n最小高度=0\n"
             "编码窗口最小宽度=44\n编码窗口最小高度=32\n" + box + "\n";
    }
    return s;
}

// "skin.ini" as shipped: UTF-16LE with a byte-order mark, CR LF line ends.
void writeIni(const Files& f, const std::string& utf8) {
    std::string crlf;
    for (char c : utf8) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    std::u16string text = utf8ToUtf16(crlf);
    std::vector<uint8_t> bytes = {0xFF, 0xFE};
    for (char16_t u : text) {
        bytes.push_back(static_cast<uint8_t>(u));
        bytes.push_back(static_cast<uint8_t>(u >> 8));
    }
    if (!platform::writeWholeFile((f.folder / "skin.ini").u16string(), bytes.data(), bytes.size())) {
        std::fprintf(stderr, "skinart: cannot write skin.ini\n");
        std::exit(1);
    }
}

void drawSkin(const std::filesystem::path& root, const Palette& p) {
    Files f{root / p.folder};
    std::filesystem::create_directories(f.folder);
    f.png("candHB.png", panel(72, 67, p, 30));
    f.png("candHB_shu.png", panel(80, 96, p, 30));
    f.png("candFL_cand.png", panel(72, 34, p));
    f.png("candFL_cand_shu.png", panel(80, 64, p));
    f.png("candQR.png", panel(72, 34, p));
    f.png("candQR_shu.png", panel(80, 64, p));
    f.png("candFL_comp.png", panel(44, 32, p));
    f.png("bar.png", panel(156, 32, p));

    statusButton(f, "flag", iconLogo, p.accent, p);
    statusButton(f, "cn", iconChinese, p.accent, p);
    statusButton(f, "en", iconEnglish, p.icon, p);
    statusButton(f, "capslock", iconCapsLock, p.icon, p);
    statusButton(f, "quan", iconFull, p.icon, p);
    statusButton(f, "ban", iconHalf, p.icon, p);
    statusButton(f, "cn_biaodian", iconChinesePunctuation, p.icon, p);
    statusButton(f, "en_biaodian", iconEnglishPunctuation, p.icon, p);
    statusButton(f, "key1", iconKeyboardOff, p.icon, p);
    statusButton(f, "key2", iconKeyboardOn, p.icon, p);
    statusButton(f, "menu", iconMenu, p.icon, p);
    pagingButton(f, "up", false, p);
    pagingButton(f, "down", true, p);
    writeIni(f, describe(p));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: skinart OUTDIR\n");
        return 2;
    }
    for (const Palette* p : {&Light, &Night}) drawSkin(argv[1], *p);
    return 0;
}
