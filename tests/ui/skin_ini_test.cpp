#include "platform/utf.h"
#include "tests/ui/ui_fixture.h"
#include "ui/skin_ini.h"

#include <gtest/gtest.h>

namespace zv::ui {
namespace {

using test::utf16leWithMark;

const std::u16string Sample =
    u"; comment line\r\n"
    u"[-皮肤信息-]\r\n"
    u"名称=测试皮肤\r\n"
    u"[-文字显示-]\r\n"
    u"候选字体名称=微软雅黑\r\n"
    u"候选字体大小=-16\r\n"
    u"候选字体颜色=#255\r\n"
    u"[-候选窗口-合并-]\r\n"
    u"编码起始位置=12,7\r\n"
    u"序号后缀=.\r\n";

SkinInfo parse(const std::vector<uint8_t>& bytes, bool* ok = nullptr) {
    SkinInfo info;
    bool r = parseSkinIni(bytes, info);
    if (ok) *ok = r;
    return info;
}

SkinInfo parseText(const std::u16string& text, bool* ok = nullptr) { return parse(utf16leWithMark(text), ok); }

std::vector<uint8_t> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }

TEST(SkinIni, EveryEncodingGivesTheSameSkin) {
    const std::string utf8 = utf16ToUtf8(Sample);
    std::vector<uint8_t> be = {0xFE, 0xFF};
    for (char16_t u : Sample) {
        be.push_back(static_cast<uint8_t>(u >> 8));
        be.push_back(static_cast<uint8_t>(u));
    }
    std::vector<uint8_t> utf8Mark = {0xEF, 0xBB, 0xBF};
    utf8Mark.insert(utf8Mark.end(), utf8.begin(), utf8.end());
    // The same text in code page 936, as a Chinese Windows saves it.
    const std::string gbk =
        "[-\xC6\xA4\xB7\xF4\xD0\xC5\xCF\xA2-]\r\n\xC3\xFB\xB3\xC6=\xB2\xE2\xCA\xD4\xC6\xA4\xB7\xF4\r\n"
        "[-\xCE\xC4\xD7\xD6\xCF\xD4\xCA\xBE-]\r\n\xBA\xF2\xD1\xA1\xD7\xD6\xCC\xE5\xD1\xD5\xC9\xAB=#255\r\n";

    for (const std::vector<uint8_t>& bytes : {utf16leWithMark(Sample), be, utf8Mark, bytesOf(utf8), bytesOf(gbk)}) {
        bool ok = false;
        SkinInfo s = parse(bytes, &ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ(u"测试皮肤", s.name);
        EXPECT_EQ(255, s.text.candidate.colour);
    }
    SkinInfo s = parse(bytesOf(utf8));
    EXPECT_EQ(u"微软雅黑", s.text.candidate.face);
    EXPECT_EQ(-16, s.text.candidate.height);
    EXPECT_EQ((Point{12, 7}), s.layout(LayoutSection::Merged).codeStart);
    EXPECT_EQ(u'.', s.layout(LayoutSection::Merged).indexSuffix);
}

TEST(SkinIni, FontSizeAndWeightRulesApplyOnlyToPresentKeys) {
    SkinInfo s = parseText(u"[-皮肤信息-]\n名称=x\n[-文字显示-]\n编码字体大小=0\n序号字体大小=\n"
                           u"编码字体粗细=50\n候选字体粗细=700\n提示编码大小=9\n提示编码颜色=#-1\n");
    EXPECT_EQ(12, s.text.composition.height);
    EXPECT_EQ(12, s.text.label.height);
    EXPECT_EQ(0, s.text.candidate.height);  // absent: the platform default
    EXPECT_EQ(100, s.text.composition.weight);
    EXPECT_EQ(700, s.text.candidate.weight);
    EXPECT_EQ(0, s.text.label.weight);
    // The tip keys' aliases write the same fields.
    EXPECT_EQ(9, s.text.tip.height);
    EXPECT_EQ(-1, s.text.tip.colour);
}

TEST(SkinIni, ValueForms) {
    SkinInfo s = parseText(
        u"[-皮肤信息-]\n名称=x\n"
        u"[-文字显示-]\n候选字体颜色=255\n光标颜色=#4294967295\n第一候选颜色=#  -5xyz\n"
        u"[-候选窗口-分离-]\n前翻页按钮位置=37\n后翻页按钮位置=3,4\n后翻页按钮位置=5,6\n候选间距=  +12px\n"
        u"右边据=9\n下边距=x\n横向拉伸区域=2,\n编码窗口最小高度=44\n最小宽度=99999999999\n序号后缀=\n"
        u"编码起始位置=1,2,3\n");
    const CandidateLayout& l = s.layout(LayoutSection::Separate);
    EXPECT_EQ(0, s.text.candidate.colour);                 // no "#": black
    EXPECT_EQ(-1, s.text.caret);                           // all 32 bits set: none
    EXPECT_EQ(-5, s.text.firstText);                       // blanks and sign, digits up to the first other character
    EXPECT_EQ((Point{0, 0}), l.previousPage);              // no comma: unchanged
    EXPECT_EQ((Point{5, 6}), l.nextPage);                  // the last value wins
    EXPECT_EQ(12, l.candidateGap);
    EXPECT_EQ(9, l.rightMargin);                           // 右边据 is an alias
    EXPECT_EQ(0, l.bottomMargin);
    EXPECT_EQ((Range{2, 0}), l.stretchX);
    EXPECT_EQ(44, l.valueB);
    EXPECT_EQ(32767, l.minWidth);                          // pixels are bounded
    EXPECT_EQ(0, l.indexSuffix);
    EXPECT_EQ((Point{1, 2}), l.codeStart);                 // the second number ends at the next comma
}

TEST(SkinIni, SectionsAndLines) {
    SkinInfo s = parseText(
        u"名称=before any section\n"
        u"[-皮肤信息-]\r\n\r\n\n名称=skin\r"
        u"[-候选窗口-合并-] \n候选间距=5\n"                 // a trailing blank: not the merged section
        u"[-候选窗口-合并-竖排-]\n候选间距=6\n"
        u"[-候选窗口-嵌入-竖排-]\n 候选间距=7\n候选间距 =8\n[候选间距=9\n"
        u"[-候选窗口-分离-]\n;候选间距=10\n候选间距\n"
        u"[-状态栏窗口-]\n菜单按钮位置=-1,-1\n状态栏默认位置=3\n");
    EXPECT_EQ(u"skin", s.name);
    EXPECT_EQ(0, s.layout(LayoutSection::Merged).candidateGap);
    EXPECT_EQ(6, s.layout(LayoutSection::MergedVertical).candidateGap);
    EXPECT_EQ(0, s.layout(LayoutSection::EmbeddedVertical).candidateGap);  // keys are not trimmed
    EXPECT_EQ(0, s.layout(LayoutSection::Separate).candidateGap);
    EXPECT_EQ((Point{-1, -1}), s.statusBar.position(StatusElement::Menu));
    EXPECT_EQ(3, s.statusBar.defaultPosition);
}

TEST(SkinIni, LongLinesContinueAsTheNextLine) {
    // 127 units per line: the rest of a longer line is read as a line of its own.
    std::u16string filler(124, u'x');
    SkinInfo s = parseText(u"[-皮肤信息-]\n名称=a\n描述=" + filler + u"版本=2.0\n");
    EXPECT_EQ(filler.substr(0, 39), s.description);
    EXPECT_EQ(u"2.0", s.version);
    // Text fields keep at most their capacity less one.
    s = parseText(u"[-皮肤信息-]\n名称=" + std::u16string(60, u'名') + u"\n所有者联系方式=" + std::u16string(100, u'c') + u"\n");
    EXPECT_EQ(39u, s.name.size());
    EXPECT_EQ(100u, s.ownerContact.size());
}

TEST(SkinIni, MissingNameOrOversizedTextFails) {
    bool ok = true;
    parseText(u"[-皮肤信息-]\n描述=no name\n", &ok);
    EXPECT_FALSE(ok);
    parseText(u"[-皮肤信息-]\n名称=\n", &ok);
    EXPECT_FALSE(ok);
    std::u16string huge = u"[-皮肤信息-]\n名称=big\n" + std::u16string(MaxSkinIniBytes, u';');
    parseText(huge, &ok);
    EXPECT_FALSE(ok);
    parse({}, &ok);
    EXPECT_FALSE(ok);
    // A NUL ends the text.
    SkinInfo s = parseText(std::u16string(u"[-皮肤信息-]\n名称=a\0b\n", 16) + u"版本=1\n");
    EXPECT_EQ(u"a", s.name);
    EXPECT_EQ(u"", s.version);
}

}  // namespace
}  // namespace zv::ui
