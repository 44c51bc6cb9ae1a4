#pragma once
// What the advanced settings editor (高级设置模式) decides apart from its
// window: the colours of the settings text, the search with its one wrap to
// the top, and the name a backup is written under.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv::config {

enum class TextColour { Comment, Value };

// A stretch of the text to colour; everything not covered stays black.
struct ColourSpan {
    size_t start = 0, length = 0;
    TextColour colour = TextColour::Comment;
};

// Line by line (a line ends at CR or LF): "//" lines are comments; a
// section header ("[-") stays black; in an option line what follows the
// first "=" is its value.
std::vector<ColourSpan> settingsColours(std::u16string_view text);

// The next place of `needle` from `from` on; not found there and `from`
// not at the start, once more from the start.
std::optional<size_t> findText(std::u16string_view text, std::u16string_view needle, size_t from);

// A backup's file name as written: the name lower-cased, ".txt" at its end
// replaced by ".zvconfig.txt", and ".zvconfig.txt" appended to any other.
std::u16string backupFileName(std::u16string_view chosenPath);

constexpr size_t MaxSearchUnits = 64;

}  // namespace zv::config
