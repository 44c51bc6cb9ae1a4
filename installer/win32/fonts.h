#pragma once
// The package's fonts ("$fonts$\"): copied into the fonts folder, listed
// in the system's font list under the name their name table gives, and
// loaded for the session. Each instance records the fonts it put there,
// and uninstall removes only those, and only when no other instance
// still records them. A font already there that is not ours is left
// alone, as is a name the system already lists for another file.

#include <functional>
#include <string>

namespace zv::installer::win32 {

using LogLine = std::function<void(const std::wstring&)>;

// Installs every font below `source`; a damaged font is skipped with a
// line in the log. False only when a font could not be written.
bool installFonts(const std::wstring& source, const std::wstring& guid, const LogLine& log);

// Removes the fonts the instance recorded.
void removeFonts(const std::wstring& guid, const LogLine& log);

}  // namespace zv::installer::win32
