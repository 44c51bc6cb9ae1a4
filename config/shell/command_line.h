#pragma once
// The configuration program's command line: the instance it works on
// ("/n "), the page or tool it opens ("/do ") and the address and size of
// its information window ("/showurl ", "/showurlCX ", "/showurlCY ").

#include <string>
#include <string_view>

namespace zv::config {

// The most units each value keeps; a longer value is cut.
constexpr size_t MaxInstanceUnits = 40;
constexpr size_t MaxTargetUnits = 256;
constexpr size_t MaxUrlUnits = 256;

struct ProgramCommand {
    bool hasInstance = false;  // "/n " was given (its value may still be empty)
    std::u16string instance;
    std::u16string target;
    bool hasUrl = false;
    std::u16string url;
    int urlWidth = -1;  // -1 when absent or not a number
    int urlHeight = -1;
};

// Options stand at the start of the text or after a blank, and are found
// wherever they are. A value is a quoted string (single or double quotes,
// ending at the matching quote, so that it keeps its blanks) or runs to
// the next blank.
ProgramCommand parseProgramCommand(std::u16string_view commandLine);

}  // namespace zv::config
