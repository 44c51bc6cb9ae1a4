#include "config/shell/settings_editor.h"

namespace zv::config {

namespace {

constexpr std::u16string_view kBackupEnding = u".zvconfig.txt";
constexpr std::u16string_view kTextEnding = u".txt";

bool endsLine(char16_t c) { return c == u'\r' || c == u'\n'; }

}  // namespace

std::vector<ColourSpan> settingsColours(std::u16string_view text) {
    std::vector<ColourSpan> spans;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = at;
        while (end < text.size() && !endsLine(text[end])) ++end;
        std::u16string_view line = text.substr(at, end - at);
        if (line.substr(0, 2) == u"//") {
            spans.push_back({at, line.size(), TextColour::Comment});
        } else if (line.substr(0, 2) != u"[-") {
            size_t equals = line.find(u'=');
            if (equals != std::u16string_view::npos && equals + 1 < line.size())
                spans.push_back({at + equals + 1, line.size() - equals - 1, TextColour::Value});
        }
        at = end;
        while (at < text.size() && endsLine(text[at])) ++at;
    }
    return spans;
}

std::optional<size_t> findText(std::u16string_view text, std::u16string_view needle, size_t from) {
    if (needle.empty()) return std::nullopt;
    if (from > text.size()) from = text.size();
    size_t found = text.find(needle, from);
    if (found == std::u16string_view::npos && from > 0) found = text.find(needle);
    if (found == std::u16string_view::npos) return std::nullopt;
    return found;
}

std::u16string backupFileName(std::u16string_view chosen) {
    std::u16string path(chosen);
    const size_t nameStart = path.find_last_of(u"\\/") == std::u16string::npos ? 0 : path.find_last_of(u"\\/") + 1;
    for (size_t i = nameStart; i < path.size(); ++i)
        if (path[i] >= u'A' && path[i] <= u'Z') path[i] = static_cast<char16_t>(path[i] + 32);
    if (path.size() >= kBackupEnding.size() && std::u16string_view(path).substr(path.size() - kBackupEnding.size()) == kBackupEnding)
        return path;
    if (path.size() - nameStart > kTextEnding.size() &&
        std::u16string_view(path).substr(path.size() - kTextEnding.size()) == kTextEnding)
        path.resize(path.size() - kTextEnding.size());
    return path + std::u16string(kBackupEnding);
}

}  // namespace zv::config
