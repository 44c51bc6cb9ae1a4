#pragma once
// Numbers written in Chinese for dates, times and amounts: digit by digit,
// small numbers, the reading of integers up to 999999999999 with a fraction,
// and the uppercase money form. Inputs are ASCII digit texts.

#include <string>
#include <string_view>

namespace zv {

// Digit by digit: '0' as `zero` ("〇" in years, "零" in fractions), '1'..'9'
// as 一..九, '.' as 点; other units are left out.
std::u16string chineseDigits(std::u16string_view digits, char16_t zero);

// Months, days, hours, minutes and seconds: 十, 十五, 二十, 三十一, 四十;
// 0 reads 零. Negative numbers give nothing.
std::u16string chineseSmallNumber(int n);

// One group of up to four digits (1..9999): 一千零五, 一百零五, 一十; 0 and
// numbers outside the range give nothing.
std::u16string chineseGroup(int n);

// The reading of "digits[.digits]": groups with 亿 and 万, 零 where a group
// is short, 点 and the fraction digit by digit. Only zeros read as one 〇
// each. Nothing for an empty integer part, any other unit, or a number
// above 999999999999.
std::u16string chineseNumber(std::u16string_view number);

// The uppercase money form of a reading made by chineseNumber: 元 with 整,
// 角 and 分, and the financial numerals (壹 贰 叁 ... 拾 佰 仟). Nothing for
// more than two fraction digits.
std::u16string chineseMoney(std::u16string_view reading);

}  // namespace zv
