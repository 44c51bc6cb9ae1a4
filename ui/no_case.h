#pragma once
// Skin entries, section headers and package file names are compared
// without case, ASCII letters only (Chinese names have no case).

#include <string_view>

namespace zv::ui {

namespace detail {
template <class Char>
bool equalNoCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    if (a.size() != b.size()) return false;
    auto lower = [](Char c) { return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}
}  // namespace detail

inline bool equalNoCase(std::string_view a, std::string_view b) { return detail::equalNoCase(a, b); }
inline bool equalNoCase(std::u16string_view a, std::u16string_view b) { return detail::equalNoCase(a, b); }

}  // namespace zv::ui
