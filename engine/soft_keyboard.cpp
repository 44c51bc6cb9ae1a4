#include "engine/soft_keyboard.h"

namespace zv {

namespace {

struct Layout {
    std::u16string_view name;
    std::u16string_view normal, shifted;  // 58 positions each; a space is no character
};

// Positions follow the keys: 0..12 ` 1 2 3 4 5 6 7 8 9 0 - =, 15..27
// q w e r t y u i o p [ ] \, 29..39 a s d f g h j k l ; ', 42..51
// z x c v b n m , . /.
constexpr Layout Layouts[SoftKeyboardLayouts] = {
    {u"PC 键盘",
     u"`1234567890-=  qwertyuiop[]\\ asdfghjkl;'  zxcvbnm,./      ",
     u"~!@#$%^&*()_+  QWERTYUIOP{}| ASDFGHJKL:\"  ZXCVBNM<>?      "},
    {u"希腊字母",
     u"               αβγδεζηθι     κλμνξοπρ     στυφχψω         ",
     u"               ΑΒΓΔΕΖΗΘΙ     ΚΛΜΝΞΟΠΡ     ΣΤΥΦΧΨΩ         "},
    {u"俄文字母",
     u"               абвгдеёжзийк  лмнопрстуфх  цчшщъыьэюя      ",
     u"               АБВГДЕЁЖЗИЙК  ЛМНОПРСТУФХ  ЦЧШЩЪЫЬЭЮЯ      "},
    {u"注音符号",
     u" ㄅㄉˇˋㄓˊ˙ㄚㄞㄢㄦ   ㄆㄊㄍㄐㄔㄗㄧㄛㄟㄣ    ㄇㄋㄎㄑㄕㄘㄨㄜㄠㄤ   ㄈㄌㄏㄒㄖㄙㄩㄝㄡㄥ      ",
     u"                                                          "},
    {u"拼音符号",
     u"               āáǎà ōóǒò ê   ēéěè īíǐì    ūúǔù ǖǘǚǜü      ",
     u"                                                          "},
    {u"日文平假名",
     u"ぁぃぅぇぉかきくけこ ん   さしすせそたちつってとゐ  なにぬねのはひふへほゑ  まみむめもゃゅょゎを      ",
     u"あいうえおがぎぐげご     ざじずぜぞだぢづ でど   ぱぴぷぺぽばびぶべぼ   らりるれろやゆよわ       "},
    {u"日文片假名",
     u"ァィゥヴェカヵヵキクケヶコ  サシスセソタチツッテトヰン ナニヌネノハヒフヘホヱ  マミムメモャュョヮヲ      ",
     u"アイウ オガ  ギグゲ ゴ  ザジズゼゾダヂヅ デド   パピプペポバビブベボ   ラリルレロヤユヨワ       "},
    {u"标点符号",
     u"。，、；：？！…—·ˉˇ¨  ‘’“”々～‖∶＂＇｀｜〃 〔〕〈〉《》「」『』．  〖〗【】（）［］｛｝      ",
     u"                                                          "},
    {u"数字序号",
     u"ⅠⅡⅢⅣⅤⅥⅦⅧⅨⅩⅪⅫ   ⒈⒉⒊⒋⒌⒍⒎⒏⒐⒑    ㈠㈡㈢㈣㈤㈥㈦㈧㈨㈩   ⑴⑵⑶⑷⑸⑹⑺⑻⑼⑽      ",
     u"               ⒒⒓⒔⒕⒖⒗⒘⒙⒚⒛    ①②③④⑤⑥⑦⑧⑨⑩   ⑾⑿⒀⒁⒂⒃⒄⒅⒆⒇      "},
    {u"数学符号",
     u"≈≡≠＝≤≥＜＞≮≯ ∷   ±＋－×÷／ ∫∮∝∞   ∧∨∑∏∪∩∈ ∵∴   ⊥∥∠⌒⊙≌∽ √       ",
     u"                                                          "},
    {u"制表符号",
     u"┌┍┎┏┐┑┒┓ ─┄┈   ├┝┞┟┠┡┢┣ │┆┊  ┬┭┮┯┰┱┲┳     ┼┽┾┿╀╁╂         ",
     u"└┕┖┗┘┙┚┛ ━┅┉   ┤┥┦┧┨┩┪┫ ┃┇┋  ┴┵┶┷┸┹┺┻     ╄╅╆╇╈╉╊╋        "},
    {u"单位符号",
     u" 一二三四五六七八九〇    千万  太亿   拍    艾十 分 毫吉 厘    兆   百纳          ",
     u" 壹贰叁肆伍陆柒捌玖零    仟微       皮    阿拾 飞             佰           "},
    {u"特殊符号",
     u"               §№☆★○●◎◇◆□℃‰€ ■△▲※→←↑↓〓¤°  ＃＆＠＼︿＿￣―♂♀      ",
     u"                                                          "},
};

// The virtual key of each position's key on a US keyboard (0: no key).
constexpr uint8_t PositionKeys[SoftKeyboardPositions] = {
    0xC0, '1', '2', '3', '4', '5', '6', '7', '8', '9', '0', 0xBD, 0xBB, 0, 0,  // 0..14
    'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P', 0xDB, 0xDD, 0xDC, 0,     // 15..28
    'A', 'S', 'D', 'F', 'G', 'H', 'J', 'K', 'L', 0xBA, 0xDE, 0, 0,             // 29..41
    'Z', 'X', 'C', 'V', 'B', 'N', 'M', 0xBC, 0xBE, 0xBF,                        // 42..51
    0, 0, 0, 0, 0, 0,                                                           // 52..57
};

}  // namespace

std::u16string_view softKeyboardLayoutName(int layout) {
    if (layout < 1 || layout > SoftKeyboardLayouts) return {};
    return Layouts[layout - 1].name;
}

char16_t softKeyboardCharAt(int layout, int position, bool shifted) {
    if (layout < 1 || layout > SoftKeyboardLayouts || position < 0 || position >= SoftKeyboardPositions) return u' ';
    const Layout& l = Layouts[layout - 1];
    return (shifted ? l.shifted : l.normal)[static_cast<size_t>(position)];
}

int softKeyboardPosition(int virtualKey) {
    for (int p = 0; p < SoftKeyboardPositions; ++p)
        if (PositionKeys[p] && PositionKeys[p] == virtualKey) return p;
    return -1;
}

char16_t softKeyboardChar(int layout, int virtualKey, bool shifted) {
    const int p = softKeyboardPosition(virtualKey);
    if (p < 0 || layout < 1 || layout > SoftKeyboardLayouts) return 0;
    return softKeyboardCharAt(layout, p, shifted);
}

}  // namespace zv
