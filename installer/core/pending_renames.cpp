#include "installer/core/pending_renames.h"

namespace zv::installer {

namespace {

constexpr std::u16string_view kObjectMark = u"\\??\\";

std::u16string withoutMark(std::u16string_view path) {
    if (path.substr(0, kObjectMark.size()) == kObjectMark) path.remove_prefix(kObjectMark.size());
    return std::u16string(path);
}

char16_t folded(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c - u'A' + u'a');
    return c == u'/' ? u'\\' : c;
}

}  // namespace

std::vector<std::u16string> pendingDeletions(std::u16string_view list) {
    std::vector<std::u16string_view> paths;
    size_t start = 0;
    while (start < list.size()) {
        const size_t end = list.find(u'\0', start);
        // A path without its NUL is cut short and not one of a pair.
        if (end == std::u16string_view::npos) break;
        paths.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    std::vector<std::u16string> deletions;
    for (size_t i = 0; i + 1 < paths.size(); i += 2)
        if (!paths[i].empty() && paths[i + 1].empty()) deletions.push_back(withoutMark(paths[i]));
    return deletions;
}

bool isPendingDeletion(const std::vector<std::u16string>& deletions, std::u16string_view path) {
    for (const std::u16string& d : deletions) {
        if (d.size() != path.size()) continue;
        bool same = true;
        for (size_t i = 0; same && i < d.size(); ++i) same = folded(d[i]) == folded(path[i]);
        if (same) return true;
    }
    return false;
}

}  // namespace zv::installer
