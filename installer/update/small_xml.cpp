#include "installer/update/small_xml.h"

#include "platform/codepage.h"
#include "platform/utf.h"

namespace zv::installer {
namespace {

bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
bool isNameStart(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' || c >= 0x80;
}
bool isNameChar(char16_t c) { return isNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.'; }

void appendCodePoint(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

class Reader {
public:
    explicit Reader(std::u16string_view text) : s_(text) {}

    std::optional<XmlElement> document() {
        if (!misc()) return std::nullopt;
        if (!at(u"<") || at(u"</")) return std::nullopt;
        XmlElement root;
        if (!element(root, 1)) return std::nullopt;
        if (!misc() || i_ != s_.size()) return std::nullopt;
        return root;
    }

private:
    bool at(std::u16string_view w) const { return s_.substr(i_, w.size()) == w; }
    bool skipPast(std::u16string_view end) {
        size_t found = s_.find(end, i_);
        if (found == std::u16string_view::npos) return false;
        i_ = found + end.size();
        return true;
    }
    void spaces() {
        while (i_ < s_.size() && isSpace(s_[i_])) ++i_;
    }

    // Blanks, comments and processing instructions (the declaration among
    // them) outside the root. A document type could define entities that
    // expand without bound, so it is refused.
    bool misc() {
        for (;;) {
            spaces();
            if (at(u"<!--")) {
                if (!skipPast(u"-->")) return false;
            } else if (at(u"<?")) {
                if (!skipPast(u"?>")) return false;
            } else if (at(u"<!")) {
                return false;
            } else {
                return true;
            }
        }
    }

    bool name(std::u16string& out) {
        if (i_ >= s_.size() || !isNameStart(s_[i_])) return false;
        size_t start = i_;
        while (i_ < s_.size() && isNameChar(s_[i_])) ++i_;
        out.assign(s_.substr(start, i_ - start));
        return true;
    }

    // "&...;" at i_; appends what it stands for.
    bool reference(std::u16string& out) {
        size_t semi = s_.find(u';', i_);
        if (semi == std::u16string_view::npos || semi - i_ > 12) return false;
        std::u16string_view ref = s_.substr(i_ + 1, semi - i_ - 1);
        i_ = semi + 1;
        static constexpr std::pair<std::u16string_view, char16_t> kNamed[] = {
            {u"lt", u'<'}, {u"gt", u'>'}, {u"amp", u'&'}, {u"quot", u'"'}, {u"apos", u'\''}};
        for (auto [n, c] : kNamed)
            if (ref == n) {
                out += c;
                return true;
            }
        if (ref.size() < 2 || ref[0] != u'#') return false;
        bool hex = ref[1] == u'x';
        std::u16string_view digits = ref.substr(hex ? 2 : 1);
        if (digits.empty()) return false;
        char32_t cp = 0;
        for (char16_t c : digits) {
            int d;
            if (c >= u'0' && c <= u'9') d = c - u'0';
            else if (hex && c >= u'a' && c <= u'f') d = c - u'a' + 10;
            else if (hex && c >= u'A' && c <= u'F') d = c - u'A' + 10;
            else return false;
            cp = cp * (hex ? 16 : 10) + d;
            if (cp > 0x10FFFF) return false;
        }
        if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        appendCodePoint(out, cp);
        return true;
    }

    bool attributes() {
        for (;;) {
            size_t before = i_;
            spaces();
            if (at(u">") || at(u"/>")) return true;
            if (i_ == before) return false;  // attributes are separated by blanks
            std::u16string ignored;
            if (!name(ignored)) return false;
            spaces();
            if (!at(u"=")) return false;
            ++i_;
            spaces();
            if (i_ >= s_.size() || (s_[i_] != u'"' && s_[i_] != u'\'')) return false;
            char16_t quote = s_[i_++];
            size_t end = s_.find(quote, i_);
            if (end == std::u16string_view::npos) return false;
            if (s_.substr(i_, end - i_).find(u'<') != std::u16string_view::npos) return false;
            i_ = end + 1;
        }
    }

    // An element starting at "<".
    bool element(XmlElement& e, int depth) {
        if (depth > MaxXmlDepth || ++elements_ > MaxXmlElements) return false;
        ++i_;
        if (!name(e.name) || !attributes()) return false;
        if (at(u"/>")) {
            i_ += 2;
            return true;
        }
        ++i_;  // ">"
        for (;;) {
            if (i_ >= s_.size()) return false;
            if (at(u"</")) {
                i_ += 2;
                std::u16string closing;
                if (!name(closing) || closing != e.name) return false;
                spaces();
                if (!at(u">")) return false;
                ++i_;
                return true;
            }
            if (at(u"<!--")) {
                if (!skipPast(u"-->")) return false;
            } else if (at(u"<![CDATA[")) {
                size_t start = i_ + 9;
                size_t end = s_.find(u"]]>", start);
                if (end == std::u16string_view::npos) return false;
                e.text += s_.substr(start, end - start);
                i_ = end + 3;
            } else if (at(u"<?")) {
                if (!skipPast(u"?>")) return false;
            } else if (at(u"<!")) {
                return false;
            } else if (at(u"<")) {
                XmlElement child;
                if (!element(child, depth + 1)) return false;
                e.children.push_back(std::move(child));
            } else if (s_[i_] == u'&') {
                if (!reference(e.text)) return false;
            } else {
                e.text += s_[i_++];
            }
        }
    }

    std::u16string_view s_;
    size_t i_ = 0;
    size_t elements_ = 0;
};

// Lead byte -> number of continuation bytes; overlong two-byte forms and
// leads beyond U+10FFFF are refused.
bool validUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        size_t more;
        if (c < 0x80) more = 0;
        else if (c >= 0xC2 && c <= 0xDF) more = 1;
        else if (c >= 0xE0 && c <= 0xEF) more = 2;
        else if (c >= 0xF0 && c <= 0xF4) more = 3;
        else return false;
        if (s.size() - i <= more) return false;
        for (size_t k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += more + 1;
    }
    return true;
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

// The encoding named in "<?xml ... encoding="..."?>", lower-cased; empty
// without a declaration or without the pseudo-attribute.
std::string declaredEncoding(std::string_view bytes) {
    if (bytes.substr(0, 5) != "<?xml") return {};
    size_t end = bytes.find("?>");
    std::string_view decl = bytes.substr(0, end);
    size_t at = decl.find("encoding");
    if (at == std::string_view::npos) return {};
    size_t quote = decl.find_first_of("\"'", at);
    if (quote == std::string_view::npos) return {};
    size_t close = decl.find(decl[quote], quote + 1);
    if (close == std::string_view::npos) return {};
    std::string out;
    for (char c : decl.substr(quote + 1, close - quote - 1)) out += asciiLower(c);
    return out;
}

std::u16string utf16(std::string_view bytes, bool bigEndian) {
    std::u16string out;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        out += static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
    }
    return out;
}

}  // namespace

std::optional<XmlElement> parseXmlDocument(std::u16string_view text) { return Reader(text).document(); }

std::optional<std::u16string> decodeXmlBytes(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE") return utf16(bytes.substr(2), false);
    if (bytes.substr(0, 2) == "\xFE\xFF") return utf16(bytes.substr(2), true);
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    else if (std::string enc = declaredEncoding(bytes); !enc.empty() && enc != "utf-8" && enc != "utf8")
        return platform::ansiToUtf16(bytes);
    if (!validUtf8(bytes)) return std::nullopt;
    return utf8ToUtf16(bytes);
}

}  // namespace zv::installer
