#pragma once
// Text files of the configuration program. Read: UTF-8 with or without a
// byte-order mark, UTF-16LE or UTF-16BE with a mark, else the system ANSI
// code page. Written: UTF-16LE with a mark; callers write CR LF line ends.

#include <string>
#include <string_view>

namespace zv::config {

enum class TextEncoding { Utf8WithMark, Utf16Le, Utf16Be, Utf8, Ansi };

struct DecodedText {
    std::u16string text;
    TextEncoding encoding = TextEncoding::Ansi;
};

// A byte string that is well-formed UTF-8 (no overlong forms, surrogates or
// values above U+10FFFF).
bool isWellFormedUtf8(std::string_view bytes);
DecodedText decodeText(std::string_view bytes);
constexpr size_t MaxTextFileBytes = size_t(1) << 30;
// False when the file cannot be read or is larger than MaxTextFileBytes.
bool readTextFile(std::u16string_view path, DecodedText& out);
// Decoded text holds no NUL character: a file that does is no text table
// (a program, an image, a table file picked by mistake) and is refused
// before anything is changed.
bool isPlainText(std::u16string_view text);

std::string encodeUtf16File(std::u16string_view text);
bool writeTextFile(std::u16string_view path, std::u16string_view text);

}  // namespace zv::config
