#include "config/shell/command_line.h"

namespace zv::config {

namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// Where the text after the option begins, or npos when the option is not
// on the line. A match inside a longer word ("x/n ") is not the option.
size_t findOption(std::u16string_view line, std::u16string_view option) {
    for (size_t at = line.find(option); at != std::u16string_view::npos; at = line.find(option, at + 1)) {
        if (at == 0 || isBlank(line[at - 1])) return at + option.size();
    }
    return std::u16string_view::npos;
}

std::u16string valueAt(std::u16string_view line, size_t at, size_t maxUnits) {
    while (at < line.size() && isBlank(line[at])) ++at;
    std::u16string_view rest = line.substr(at < line.size() ? at : line.size());
    std::u16string_view value;
    if (!rest.empty() && (rest[0] == u'\'' || rest[0] == u'"')) {
        size_t close = rest.find(rest[0], 1);
        value = rest.substr(1, close == std::u16string_view::npos ? std::u16string_view::npos : close - 1);
    } else {
        size_t end = 0;
        while (end < rest.size() && !isBlank(rest[end])) ++end;
        value = rest.substr(0, end);
    }
    return std::u16string(value.substr(0, maxUnits));
}

// A pixel size: decimal digits, optionally signed; anything else is absent.
int sizeValue(std::u16string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    if (i == text.size()) return -1;
    long long n = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') return -1;
        n = n * 10 + (text[i] - u'0');
        if (n > 1000000) n = 1000000;  // far beyond any screen
    }
    return static_cast<int>(negative ? -n : n);
}

}  // namespace

ProgramCommand parseProgramCommand(std::u16string_view line) {
    ProgramCommand out;
    if (size_t at = findOption(line, u"/n "); at != std::u16string_view::npos) {
        out.hasInstance = true;
        out.instance = valueAt(line, at, MaxInstanceUnits);
    }
    if (size_t at = findOption(line, u"/do "); at != std::u16string_view::npos)
        out.target = valueAt(line, at, MaxTargetUnits);
    if (size_t at = findOption(line, u"/showurl "); at != std::u16string_view::npos) {
        out.hasUrl = true;
        out.url = valueAt(line, at, MaxUrlUnits);
    }
    if (size_t at = findOption(line, u"/showurlCX "); at != std::u16string_view::npos)
        out.urlWidth = sizeValue(valueAt(line, at, 16));
    if (size_t at = findOption(line, u"/showurlCY "); at != std::u16string_view::npos)
        out.urlHeight = sizeValue(valueAt(line, at, 16));
    return out;
}

}  // namespace zv::config
