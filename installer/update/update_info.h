#pragma once
// The update server's answer (update_list.txt): an "UpdateInfo" document
// with the newest version, its download address and its change log; and
// versions of four numbers compared as one 64-bit value.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zv::installer {

// The answer is small; anything larger is not an answer of the server.
inline constexpr size_t MaxUpdateInfoBytes = 64 * 1024;
inline constexpr size_t MaxDownloadAddressUnits = 512;
inline constexpr size_t MaxChangeLogUnits = 4096;

// "a.b.c.d": each number in 16 bits, the first highest; a missing part
// counts as 0. None for an empty text, a number above 65535, more than four
// parts or anything but digits and dots (blanks around it are allowed).
std::optional<uint64_t> parseVersion(std::u16string_view text);
// The installed version: unreadable counts as the lowest.
uint64_t installedVersion(std::u16string_view text);
// "%d.%d.%d.%d".
std::u16string formatVersion(uint64_t version);

struct UpdateInfo {
    std::optional<uint64_t> version;  // none: the server sent no version
    std::u16string url;
    std::u16string log;  // as sent, cut at MaxChangeLogUnits
};

// The answer's bytes; none when they are too many, not a well-formed
// document, its root is not "UpdateInfo" (in any case), the version is
// present but not a version, or the address is longer than the limit.
std::optional<UpdateInfo> parseUpdateInfo(std::string_view bytes);

// The log as shown: every "[r]" a blank and a line break, and line breaks
// of any kind as CR LF for the edit field.
std::u16string displayedLog(std::u16string_view log);

}  // namespace zv::installer
