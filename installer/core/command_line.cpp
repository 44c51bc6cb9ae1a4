#include "installer/core/command_line.h"

#include <algorithm>
#include <initializer_list>

namespace zv::installer {

namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// Where `option` stands as an option of its own: at the start or after a
// blank, and (when it takes no value) followed by a blank or the end.
bool hasOption(std::u16string_view line, std::u16string_view option, bool takesValue) {
    for (size_t at = line.find(option); at != std::u16string_view::npos; at = line.find(option, at + 1)) {
        if (at > 0 && !isBlank(line[at - 1])) continue;
        const size_t end = at + option.size();
        if (takesValue || end == line.size() || isBlank(line[end])) return true;
    }
    return false;
}

// The value after the first standing occurrence of `option` (blanks
// before it skipped): up to the next blank, at most MaxGuidUnits units.
std::u16string valueOf(std::u16string_view line, std::u16string_view option) {
    for (size_t at = line.find(option); at != std::u16string_view::npos; at = line.find(option, at + 1)) {
        if (at > 0 && !isBlank(line[at - 1])) continue;
        size_t start = at + option.size();
        while (start < line.size() && isBlank(line[start])) ++start;
        size_t end = start;
        while (end < line.size() && !isBlank(line[end])) ++end;
        return std::u16string(line.substr(start, std::min(end - start, MaxGuidUnits)));
    }
    return {};
}

bool anyOf(std::u16string_view line, std::initializer_list<std::u16string_view> options) {
    for (std::u16string_view o : options)
        if (hasOption(line, o, false)) return true;
    return false;
}

}  // namespace

InstallerCommand parseInstallerCommand(std::u16string_view line) {
    InstallerCommand c;
    c.instance = valueOf(line, u"/n ");
    if (c.instance.empty()) c.instance = valueOf(line, u"-n ");
    c.temporaryCopy = anyOf(line, {u"/f", u"/F"});
    if (anyOf(line, {u"/u", u"/U", u"-u", u"-U"})) c.mode = Mode::Uninstall;
    if (anyOf(line, {u"/r", u"/R", u"-r", u"-R"})) c.mode = Mode::Repair;
    if (anyOf(line, {u"/z", u"/Z", u"-z", u"-Z"})) c.mode = Mode::CleanOnly;
    if (anyOf(line, {u"/g", u"/G", u"-g", u"-G"})) c.mode = Mode::Update;
    if (hasOption(line, u"/GUID=", true)) {
        c.mode = Mode::ServiceSwitch;
        c.switchGuid = valueOf(line, u"/GUID=");
        const std::u16string mode = valueOf(line, u"/EMMODE=");
        c.serviceMode = (mode == u"1" || mode == u"2" || mode == u"3") ? mode[0] - u'0' : 0;
    }
    return c;
}

std::u16string temporaryCopyCommand(std::u16string_view line) {
    std::u16string out(line);
    while (!out.empty() && isBlank(out.back())) out.pop_back();
    out += u" /f";
    return out;
}

bool isBracedGuid(std::u16string_view t) {
    if (t.size() != 38 || t.front() != u'{' || t.back() != u'}') return false;
    for (size_t i = 1; i < 37; ++i) {
        const char16_t c = t[i];
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? c != u'-'
                 : !((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
}

}  // namespace zv::installer
