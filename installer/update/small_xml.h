#pragma once
// A small, strict reader for the update server's answer: elements, their
// character data and nothing else. It refuses what it does not understand
// (document types, unbalanced tags, unknown entities) instead of guessing,
// and it bounds the depth and the number of elements it keeps.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv::installer {

struct XmlElement {
    std::u16string name;
    std::u16string text;  // the element's own character data, entities resolved
    std::vector<XmlElement> children;
};

inline constexpr int MaxXmlDepth = 16;
inline constexpr size_t MaxXmlElements = 1024;

// The root element of a document; none when the text is not a well-formed
// document within the limits.
std::optional<XmlElement> parseXmlDocument(std::u16string_view text);

// The document's bytes as text: UTF-16 with its byte-order mark, UTF-8
// (with or without one), or the system's code page when the declaration
// names another encoding. None when UTF-8 text is not valid UTF-8.
std::optional<std::u16string> decodeXmlBytes(std::string_view bytes);

}  // namespace zv::installer
